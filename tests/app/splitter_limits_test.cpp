#include "app/splitter_limits.h"

#include <gtest/gtest.h>

namespace lcr {
namespace {

constexpr int kMinBox = 40;

LayoutInput designInput() {
    LayoutInput in;
    in.clientWidth = 1013;
    in.clientHeight = 667;
    in.tabHeaderHeight = 31;
    return in;
}

// Every box a splitter separates is at least kMinBox high and inside its
// page frame.
void expectBoxesInRange(const LayoutInput& in) {
    auto r = layoutMainWindow(in);
    for (const char* box : {"编辑框提取文本", "编辑框提取表达式", "提取结果", "编辑框替换文本",
                            "编辑框匹配表达式", "编辑框替换表达式", "编辑框替换结果"}) {
        EXPECT_GE(r[box].height, kMinBox) << box;
        EXPECT_GE(r[box].top, 0) << box;
        EXPECT_LE(r[box].top + r[box].height, r["框1"].height) << box;
    }
}

TEST(SplitterLimits, DesignValuesAreLeftAlone) {
    const LayoutInput in = designInput();
    const SplitterTops tops = limitSplitters(in, kMinBox);
    EXPECT_EQ(tops.extract1, 136);
    EXPECT_EQ(tops.extract2, 225);
    EXPECT_EQ(tops.replace1, 136);
    EXPECT_EQ(tops.replace2, 225);
    EXPECT_EQ(tops.replace3, 314);
}

TEST(SplitterLimits, AnyValueIsBroughtIntoRange) {
    struct Case {
        const char* what;
        SplitterTops tops;
    };
    const Case cases[] = {
        {"above the page", {-5000, -4000, -100000, -3, 0}},
        {"below the page", {5000, 6000, 100000, 2000000000, 700}},
        {"crossed", {400, 100, 400, 300, 150}},
        {"all at one place", {200, 200, 200, 200, 200}},
        {"just past the first box", {31, 225, 31, 225, 314}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LayoutInput in = designInput();
        in.splitters = c.tops;
        in.splitters = limitSplitters(in, kMinBox);
        expectBoxesInRange(in);
        // Limiting twice changes nothing.
        const SplitterTops again = limitSplitters(in, kMinBox);
        EXPECT_EQ(again.extract1, in.splitters.extract1);
        EXPECT_EQ(again.replace3, in.splitters.replace3);
    }
}

TEST(SplitterLimits, AValueInRangeIsKeptExactly) {
    LayoutInput in = designInput();
    in.splitters = {150, 300, 120, 240, 380};
    const SplitterTops tops = limitSplitters(in, kMinBox);
    EXPECT_EQ(tops.extract1, 150);
    EXPECT_EQ(tops.extract2, 300);
    EXPECT_EQ(tops.replace1, 120);
    EXPECT_EQ(tops.replace2, 240);
    EXPECT_EQ(tops.replace3, 380);
}

TEST(SplitterLimits, ShrinkingTheWindowPushesLowSplittersUp) {
    LayoutInput in = designInput();
    in.splitters.extract2 = 450;
    in.splitters.replace3 = 450;
    in.clientHeight = minimumClientHeight(in.tabHeaderHeight, kMinBox);
    in.splitters = limitSplitters(in, kMinBox);
    expectBoxesInRange(in);
    EXPECT_LT(in.splitters.extract2, 450);
}

TEST(SplitterLimits, TheMinimumSizeHoldsEveryBoxAndControl) {
    const int height = minimumClientHeight(31, kMinBox);
    LayoutInput in = designInput();
    in.clientHeight = height;
    in.clientWidth = minimumClientWidth();
    in.splitters = limitSplitters(in, kMinBox);
    expectBoxesInRange(in);
    // One pixel lower and the replace page no longer holds its four boxes.
    in.clientHeight = height - 1;
    in.splitters = limitSplitters(in, kMinBox);
    auto r = layoutMainWindow(in);
    EXPECT_LT(r["编辑框替换结果"].height, kMinBox);
    // The options frame's last check box (自动执行, 266 + 651 + 85) and the
    // strip's combo boxes (910 + 88) lie inside the minimum width.
    EXPECT_GE(minimumClientWidth(), 1002);
    EXPECT_LT(minimumClientWidth(), 1019);  // the design size is allowed
}

}  // namespace
}  // namespace lcr
