// gtFitRectToScreen with a width past 2^31: a proper rectangle.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>

#include "gtapi32.h"

namespace {

TEST(FitRect, AWidthPast2To31GivesAProperRectangle) {
    RECT r{INT_MIN, 0, 1025, 100}, area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    gtFitRectToScreen(&r);
    EXPECT_LE(r.left, r.right);
    EXPECT_EQ(r.left, area.left);  // wider than the area: at its left edge
}

}  // namespace
