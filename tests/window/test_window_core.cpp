// Window helpers' decisions without windows: fitting and centring
// arithmetic, search conditions, the list-box extent state machine.
#include <gtest/gtest.h>

#include <string>

#include "window/geometry.h"
#include "window/logic.h"

using namespace gt::win;

namespace {
bool same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
}  // namespace

TEST(FitRect, MovesIntoTheAreaKeepingTheSize) {
    const RECT area{0, 0, 1024, 738};
    EXPECT_TRUE(same(fitRect({1000, 700, 1100, 800}, area), {924, 638, 1024, 738}));
    EXPECT_TRUE(same(fitRect({-20, -5, 80, 95}, area), {0, 0, 100, 100}));
    EXPECT_TRUE(same(fitRect({10, 10, 50, 50}, area), {10, 10, 50, 50}));
    // Larger than the area: ends at the left and top edges.
    EXPECT_TRUE(same(fitRect({100, 100, 1300, 1000}, area), {0, 0, 1200, 900}));
}

TEST(FitRect, AreaAwayFromTheScreenOrigin) {
    // A task bar on the left and at the top.
    const RECT area{60, 30, 1024, 768};
    EXPECT_TRUE(same(fitRect({10, 0, 110, 100}, area), {60, 30, 160, 130}));
    EXPECT_TRUE(same(fitRect({1000, 700, 1100, 800}, area), {924, 668, 1024, 768}));
}

TEST(CentredRect, HalvesTruncateAndTheResultIsFitted) {
    const RECT area{0, 0, 1024, 738};
    EXPECT_EQ(centreOf(area).x, 512);
    EXPECT_EQ(centreOf(area).y, 369);
    EXPECT_EQ(centreOf(RECT{60, 30, 1025, 769}).x, 60 + 482);
    EXPECT_TRUE(same(centredRect({512, 369}, 101, 51, area), {462, 344, 563, 395}));
    EXPECT_TRUE(same(centredRect({1000, 10}, 200, 100, area), {824, 0, 1024, 100}));
}

TEST(Search, SystemClassesAreSkippedOnlyWithoutAClass) {
    for (const char* c : {"#32768", "#32769", "#32771", "#32772", "#42", "ComboLBox", "MDICLIENT"})
        EXPECT_TRUE(isSystemClass(c)) << c;
    for (const char* c : {"#32770", "Button", "", "combolbox2"}) EXPECT_FALSE(isSystemClass(c)) << c;

    SearchRecord none = makeSearch(nullptr, nullptr);
    EXPECT_FALSE(threadWindowMatches(none, "ComboLBox"));
    EXPECT_TRUE(threadWindowMatches(none, "Button"));
    SearchRecord button = makeSearch("button", nullptr);
    EXPECT_TRUE(threadWindowMatches(button, "Button"));
    EXPECT_FALSE(threadWindowMatches(button, "Static"));
    EXPECT_TRUE(threadWindowMatches(makeSearch("combolbox", nullptr), "ComboLBox"));
}

TEST(Search, WindowTextMustLieWithinTheTitle) {
    SearchRecord s = makeSearch(nullptr, "Setup - Step 2");
    EXPECT_TRUE(windowMatches(s, "X", "Setup"));
    EXPECT_TRUE(windowMatches(s, "X", "Setup - Step 2"));
    EXPECT_FALSE(windowMatches(makeSearch(nullptr, "Setup"), "X", "Setup - Step 2"));
    EXPECT_FALSE(windowMatches(s, "X", ""));
    EXPECT_FALSE(windowMatches(makeSearch("Static", "Setup - Step 2"), "Button", "Setup"));
    EXPECT_TRUE(windowMatches(makeSearch("static", nullptr), "Static", ""));
}

TEST(Search, RecordFieldsAreCut) {
    SearchRecord s = makeSearch(std::string(100, 'c').c_str(), std::string(100, 't').c_str());
    EXPECT_EQ(std::string(s.className), std::string(32, 'c'));
    EXPECT_EQ(std::string(s.title), std::string(55, 't'));
    EXPECT_EQ(s.found, nullptr);
}

TEST(Extent, ModesAndTheLongestText) {
    EXPECT_EQ(extentStep(0), ExtentStep::ResetAndMeasure);
    EXPECT_EQ(extentStep(1), ExtentStep::ResetOnly);
    EXPECT_EQ(extentStep(2), ExtentStep::ApplyStored);
    EXPECT_EQ(extentStep(3), ExtentStep::Measure);
    EXPECT_EQ(extentStep(65535), ExtentStep::Measure);

    ExtentState s{};
    EXPECT_TRUE(takeIfLongest(s, 5));
    EXPECT_FALSE(storeIfWider(s, SIZE{90, 13}, 100));  // not wider than the box
    EXPECT_EQ(s.extent.cx, 0);
    EXPECT_FALSE(takeIfLongest(s, 5));  // same length: not measured again
    EXPECT_FALSE(takeIfLongest(s, 3));
    EXPECT_TRUE(takeIfLongest(s, 20));
    EXPECT_TRUE(storeIfWider(s, SIZE{150, 13}, 100));
    EXPECT_EQ(s.extent.cx, 150);
    EXPECT_EQ(s.extent.cy, 13);
    EXPECT_EQ(s.longest, 20);
    // The list width is a 16-bit value.
    ExtentState t{};
    EXPECT_TRUE(storeIfWider(t, SIZE{101, 1}, static_cast<WORD>(65636)));
}
