#include "app/main_window_layout.h"

#include <gtest/gtest.h>

namespace lcr {
namespace {

// The client size and tab header for which the frames get their design
// geometry: the tab control 1013 x 567 at top 108, the page frames at top 35.
LayoutInput designInput() {
    LayoutInput in;
    in.clientWidth = 1013;
    in.clientHeight = 667;
    in.tabHeaderHeight = 31;
    return in;
}

TEST(LayoutMainWindow, DesignSizesGiveTheDesignBoxes) {
    auto r = layoutMainWindow(designInput());
    EXPECT_EQ(r["选择夹"], (ControlRect{0, 108, 1013, 567}));
    EXPECT_EQ(r["框1"], (ControlRect{1, 35, 1011, 532}));
    EXPECT_EQ(r["框3"], r["框1"]);
    EXPECT_EQ(r["框4"].top, 110);
    EXPECT_EQ(r["图片框底座"], (ControlRect{0, 0, 1013, 90}));
    EXPECT_EQ(r["标签12"], (ControlRect{0, 88, 1013, 2}));

    EXPECT_EQ(r["编辑框提取文本"], (ControlRect{8, 31, 995, 105}));
    EXPECT_EQ(r["标签1"].top, 148);
    EXPECT_EQ(r["编辑框提取表达式"], (ControlRect{8, 171, 995, 54}));
    EXPECT_EQ(r["标签提取"].top, 237);
    EXPECT_EQ(r["提取结果"], (ControlRect{8, 260, 995, 532 - 260 - 10}));
    EXPECT_EQ(r["标签批量提取"].left, 8 + 995 - 127);

    EXPECT_EQ(r["编辑框匹配表达式"], (ControlRect{8, 171, 995, 54}));
    EXPECT_EQ(r["编辑框替换表达式"], (ControlRect{8, 260, 995, 54}));
    EXPECT_EQ(r["标签7"].top, 326);
    EXPECT_EQ(r["编辑框替换结果"], (ControlRect{8, 349, 995, 532 - 349 - 10}));
    EXPECT_EQ(r["标签批量替换"].left, 8 + 995 - 127);
    EXPECT_EQ(r["语法"], (ControlRect{8, 9, 995, 532 - 9 - 10}));
    for (const char* splitter :
         {"分隔条_提取1", "分隔条_提取2", "分隔条_替换1", "分隔条_替换2", "分隔条_替换3"}) {
        EXPECT_EQ(r[splitter].width, 995) << splitter;
        EXPECT_EQ(r[splitter].height, 12) << splitter;
    }
}

TEST(LayoutMainWindow, TheExplainLabelsEndTheExpressionHeadings) {
    LayoutInput in = designInput();
    in.splitters.replace2 += 30;
    auto r = layoutMainWindow(in);
    for (const auto& [label, heading] :
         {std::pair{"标签解释提取", "标签1"}, std::pair{"标签解释匹配", "标签6"},
          std::pair{"标签解释替换", "标签4"}}) {
        EXPECT_EQ(r[label].top, r[heading].top) << label;
        EXPECT_EQ(r[label].left + r[label].width, r[heading].left + r[heading].width) << label;
    }
}

TEST(LayoutMainWindow, DraggingTheFirstSplitterMovesOnlyTheRowBelowIt) {
    LayoutInput in = designInput();
    auto before = layoutMainWindow(in);
    in.splitters.extract1 += 50;
    auto after = layoutMainWindow(in);
    EXPECT_EQ(after["编辑框提取文本"].height, before["编辑框提取文本"].height + 50);
    for (const char* label : {"标签1", "标签22", "标签8", "标签9"}) {
        EXPECT_EQ(after[label].top, before[label].top + 50) << label;
    }
    EXPECT_EQ(after["编辑框提取表达式"].top, before["编辑框提取表达式"].top + 50);
    EXPECT_EQ(after["编辑框提取表达式"].height, before["编辑框提取表达式"].height - 50);
    EXPECT_EQ(after["提取结果"], before["提取结果"]);
    EXPECT_EQ(after["编辑框替换文本"], before["编辑框替换文本"]);
}

TEST(LayoutMainWindow, NoLimitsOnSplittersOrWindowSize) {
    LayoutInput in = designInput();
    in.splitters.replace2 = 400;  // below replace3 at 314
    auto r = layoutMainWindow(in);
    EXPECT_EQ(r["编辑框替换表达式"].top, 412 + 23);
    EXPECT_LT(r["编辑框替换表达式"].height, 0);

    in = designInput();
    in.clientWidth = 10;
    in.clientHeight = 20;
    r = layoutMainWindow(in);
    EXPECT_EQ(r["编辑框提取文本"].width, 10 - 2 - 16);
    EXPECT_LT(r["提取结果"].height, 0);
}

TEST(LayoutMainWindow, ResizingChangesOnlyWidthsFramesAndBottomBoxes) {
    LayoutInput small = designInput();
    LayoutInput large = designInput();
    large.clientWidth += 300;
    large.clientHeight += 200;
    auto a = layoutMainWindow(small);
    auto b = layoutMainWindow(large);
    ASSERT_EQ(a.size(), b.size());
    for (const auto& [name, rect] : a) {
        const ControlRect& other = b[name];
        EXPECT_EQ(rect.top, other.top) << name;
        const bool bottomBox = name == "提取结果" || name == "编辑框替换结果" || name == "语法" ||
                               name == "选择夹" || name.starts_with("框");
        if (!bottomBox) {
            EXPECT_EQ(rect.height, other.height) << name;
        }
    }
    EXPECT_EQ(b["提取结果"].height, a["提取结果"].height + 200);
    EXPECT_EQ(b["编辑框提取文本"].width, a["编辑框提取文本"].width + 300);
    EXPECT_EQ(b["标签批量提取"].left, a["标签批量提取"].left + 300);
}

}  // namespace
}  // namespace lcr
