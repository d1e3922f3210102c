// Decisions behind the hostile-input mends, called directly: the room left
// in a block from any address inside it, rectangles fitted with edges at
// the ends of the 32-bit range, and the limits of the INI medium.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "profile/profilekeys.h"
#include "text/blockheap.h"
#include "window/geometry.h"

namespace {

TEST(BlockRoom, FromAnyAddressInsideALiveBlock) {
    char* small = static_cast<char*>(gt::heap::allocate(64));
    char* large = static_cast<char*>(gt::heap::allocate(70000));  // two 64 KiB regions
    char* stale = static_cast<char*>(gt::heap::allocate(64));
    gt::heap::release(stale);
    int onStack = 0;
    const struct { const char* name; const void* p; size_t want; } rows[] = {
        {"middle of a small block", small + 32, 32},
        {"last byte of a small block", small + 63, 1},
        {"start of a large block", large, 131072},
        {"second region of a large block", large + 70000, 131072 - 70000},
        {"last byte of a large block", large + 131071, 1},
        {"a released block", stale + 8, 0},
        {"the stack", &onStack, 0},
    };
    for (const auto& row : rows) EXPECT_EQ(gt::heap::roomFrom(row.p), row.want) << "case " << row.name;
    gt::heap::release(small);
    gt::heap::release(large);
}

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

TEST(IniLimits, NamesSectionsKeysAndValues) {
    const std::string name259(259, 'n'), name260(260, 'n'), s255(255, 's'), s256(256, 's'), v32000(32000, 'v'),
        v32001(32001, 'v');
    const char* ok = "x";
    const struct { const char* name; const char *file, *section, *key, *value; bool want; } rows[] = {
        {"name of 259 characters", name259.c_str(), ok, ok, ok, true},
        {"name of 260 characters", name260.c_str(), ok, ok, ok, false},
        {"no name", nullptr, ok, ok, ok, false},
        {"null section", "a.ini", nullptr, ok, ok, false},
        {"section of 255 characters", "a.ini", s255.c_str(), ok, ok, true},
        {"section of 256 characters", "a.ini", s256.c_str(), ok, ok, false},
        {"null key removes the section", "a.ini", ok, nullptr, nullptr, true},
        {"key of 256 characters", "a.ini", ok, s256.c_str(), ok, false},
        {"value of 32,000 characters", "a.ini", ok, ok, v32000.c_str(), true},
        {"value of 32,001 characters", "a.ini", ok, ok, v32001.c_str(), false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(gt::profile::iniAllowed(row.file, row.section, row.key, row.value), row.want) << "case " << row.name;
}

}  // namespace
