// Rectangles fitted with edges at the ends of the 32-bit range.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "window/geometry.h"

namespace {

std::string str(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

TEST(FitRect, EdgesAtTheEndsOfTheRangeGiveProperRectangles) {
    const RECT area{0, 0, 1024, 768}, shifted{60, 30, 1024, 768};
    const struct { const char* name; RECT in; RECT area; RECT want; } rows[] = {
        {"width past 2^31", {INT_MIN, 0, 1025, 100}, area, {0, 0, INT_MAX, 100}},
        {"whole range, shifted area", {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, shifted, {60, 30, INT_MAX, INT_MAX}},
        {"small one at the far right", {INT_MAX - 100, 0, INT_MAX, 50}, area, {924, 0, 1024, 50}},
        {"inverted width", {500, 0, 100, 50}, area, {500, 0, 500, 50}},
    };
    for (const auto& row : rows) EXPECT_EQ(str(gt::win::fitRect(row.in, row.area)), str(row.want)) << "case " << row.name;
}

}  // namespace
