// Window fitting and centring arithmetic; the list-box extent state machine.
#include <gtest/gtest.h>
#include "window/geometry.h"
#include "window/logic.h"
using namespace gt::win;
static std::string str(const RECT& r) { return testing::PrintToString(std::vector<LONG>{r.left, r.top, r.right, r.bottom}); }

TEST(Geometry, FitAndCentre) {
    const RECT area{0, 0, 1024, 738}, shifted{60, 30, 1024, 768};  // shifted: task bars left and top
    const RECT fits[][3] = {{{1000, 700, 1100, 800}, area, {924, 638, 1024, 738}}, {{-20, -5, 80, 95}, area, {0, 0, 100, 100}},
                            {{10, 10, 50, 50}, area, {10, 10, 50, 50}}, {{100, 100, 1300, 1000}, area, {0, 0, 1200, 900}},
                            {{10, 0, 110, 100}, shifted, {60, 30, 160, 130}}, {{1000, 700, 1100, 800}, shifted, {924, 668, 1024, 768}}};
    for (const auto& f : fits) EXPECT_EQ(str(fitRect(f[0], f[1])), str(f[2])) << str(f[0]);
    EXPECT_EQ(centreOf(RECT{60, 30, 1025, 769}).x, 60 + 482);
    EXPECT_EQ(str(centredRect({512, 369}, 101, 51, area)), str({462, 344, 563, 395}));
    EXPECT_EQ(str(centredRect({1000, 10}, 200, 100, area)), str({824, 0, 1024, 100}));
}

TEST(Extent, ModesAndTheLongestText) {
    const ExtentStep steps[] = {ExtentStep::ResetAndMeasure, ExtentStep::ResetOnly, ExtentStep::ApplyStored, ExtentStep::Measure};
    for (int m : {0, 1, 2, 3, 65535}) EXPECT_EQ(extentStep(m), steps[m < 3 ? m : 3]) << "mode " << m;
    ExtentState s{};
    EXPECT_TRUE(takeIfLongest(s, 5));
    EXPECT_FALSE(storeIfWider(s, SIZE{90, 13}, 100));  // not wider than the box
    EXPECT_FALSE(takeIfLongest(s, 5));  // same length: not measured again
    EXPECT_TRUE(takeIfLongest(s, 20));
    EXPECT_TRUE(storeIfWider(s, SIZE{150, 13}, 100));
    EXPECT_EQ(s.extent.cx, 150);
    EXPECT_EQ(s.longest, 20);
    s = {};
    EXPECT_TRUE(storeIfWider(s, SIZE{101, 1}, static_cast<WORD>(65636)));  // the list width is 16-bit
}
