// Window helpers' decisions without windows: fitting and centring
// arithmetic, search conditions, the list-box extent state machine.
#include <gtest/gtest.h>

#include <string>

#include "window/geometry.h"
#include "window/logic.h"

using namespace gt::win;

namespace {
std::string str(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}
}  // namespace

TEST(Geometry, FitAndCentre) {
    const RECT area{0, 0, 1024, 738}, shifted{60, 30, 1024, 768};  // shifted: task bars left and top
    struct {
        RECT in, area, out;
    } fits[] = {
        {{1000, 700, 1100, 800}, area, {924, 638, 1024, 738}},
        {{-20, -5, 80, 95}, area, {0, 0, 100, 100}},
        {{10, 10, 50, 50}, area, {10, 10, 50, 50}},
        {{100, 100, 1300, 1000}, area, {0, 0, 1200, 900}},  // larger than the area: at its left and top
        {{10, 0, 110, 100}, shifted, {60, 30, 160, 130}},
        {{1000, 700, 1100, 800}, shifted, {924, 668, 1024, 768}},
    };
    for (const auto& f : fits) EXPECT_EQ(str(fitRect(f.in, f.area)), str(f.out)) << str(f.in);
    EXPECT_EQ(centreOf(area).x, 512);
    EXPECT_EQ(centreOf(area).y, 369);
    EXPECT_EQ(centreOf(RECT{60, 30, 1025, 769}).x, 60 + 482);
    EXPECT_EQ(str(centredRect({512, 369}, 101, 51, area)), str({462, 344, 563, 395}));
    EXPECT_EQ(str(centredRect({1000, 10}, 200, 100, area)), str({824, 0, 1024, 100}));
}

TEST(Search, Conditions) {
    for (const char* c : {"#32768", "#32769", "#32771", "#32772", "#42", "ComboLBox", "MDICLIENT"})
        EXPECT_TRUE(isSystemClass(c)) << c;
    for (const char* c : {"#32770", "Button", "", "combolbox2"}) EXPECT_FALSE(isSystemClass(c)) << c;
    // Thread search: system classes are skipped only without a class.
    EXPECT_FALSE(threadWindowMatches(makeSearch(nullptr, nullptr), "ComboLBox"));
    EXPECT_TRUE(threadWindowMatches(makeSearch(nullptr, nullptr), "Button"));
    EXPECT_TRUE(threadWindowMatches(makeSearch("button", nullptr), "Button"));
    EXPECT_FALSE(threadWindowMatches(makeSearch("button", nullptr), "Static"));
    EXPECT_TRUE(threadWindowMatches(makeSearch("combolbox", nullptr), "ComboLBox"));
    // The window's text must lie within the title searched for.
    SearchRecord s = makeSearch(nullptr, "Setup - Step 2");
    EXPECT_TRUE(windowMatches(s, "X", "Setup"));
    EXPECT_TRUE(windowMatches(s, "X", "Setup - Step 2"));
    EXPECT_FALSE(windowMatches(makeSearch(nullptr, "Setup"), "X", "Setup - Step 2"));
    EXPECT_FALSE(windowMatches(s, "X", ""));
    EXPECT_FALSE(windowMatches(makeSearch("Static", "Setup - Step 2"), "Button", "Setup"));
    EXPECT_TRUE(windowMatches(makeSearch("static", nullptr), "Static", ""));
    // Fields are cut.
    s = makeSearch(std::string(100, 'c').c_str(), std::string(100, 't').c_str());
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
    ExtentState t{};  // the list width is a 16-bit value
    EXPECT_TRUE(storeIfWider(t, SIZE{101, 1}, static_cast<WORD>(65636)));
}
