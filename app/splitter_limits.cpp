#include "app/splitter_limits.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/main_window_inventory.h"

namespace lcr {

namespace {

// A page with splitters: its frame, its first box, and each splitter with
// the box that starts below it.
struct SplitPage {
    const char* frame;
    const char* firstBox;
    std::vector<std::pair<const char*, const char*>> splitters;
};

const std::vector<SplitPage>& splitPages() {
    static const std::vector<SplitPage> pages = {
        {"框1",
         "编辑框提取文本",
         {{"分隔条_提取1", "编辑框提取表达式"}, {"分隔条_提取2", "提取结果"}}},
        {"框2",
         "编辑框替换文本",
         {{"分隔条_替换1", "编辑框匹配表达式"},
          {"分隔条_替换2", "编辑框替换表达式"},
          {"分隔条_替换3", "编辑框替换结果"}}},
    };
    return pages;
}

// What the layout makes of one page, in the numbers the limits need.
struct PageGeometry {
    int firstBoxTop = 0;
    std::vector<int> boxOffsets;  // a box's top minus its splitter's top
    int lowestBottom = 0;         // where the last box must end, in the frame
};

PageGeometry measure(const SplitPage& page, const LayoutInput& in) {
    auto rects = layoutMainWindow(in);
    PageGeometry g;
    g.firstBoxTop = rects[page.firstBox].top;
    for (const auto& [splitter, box] : page.splitters) {
        g.boxOffsets.push_back(rects[box].top - rects[splitter].top);
    }
    const ControlRect& last = rects[page.splitters.back().second];
    g.lowestBottom = last.top + last.height;
    return g;
}

}  // namespace

SplitterTops limitSplitters(const LayoutInput& in, int minBoxHeight) {
    SplitterTops tops = in.splitters;
    for (const SplitPage& page : splitPages()) {
        const PageGeometry g = measure(page, in);
        std::vector<int*> slots;
        for (const auto& [splitter, box] : page.splitters) {
            slots.push_back(splitterTop(tops, splitter));
        }
        const std::size_t n = slots.size();
        // From the bottom up: room for every box below each splitter.
        int highestAllowed = g.lowestBottom - minBoxHeight - g.boxOffsets[n - 1];
        for (std::size_t i = n; i-- > 0;) {
            *slots[i] = std::min(*slots[i], highestAllowed);
            if (i > 0) {
                highestAllowed = *slots[i] - minBoxHeight - g.boxOffsets[i - 1];
            }
        }
        // From the top down: room for every box above each splitter. Last,
        // so a page too low for all its boxes keeps its splitters inside.
        int lowestAllowed = g.firstBoxTop + minBoxHeight;
        for (std::size_t i = 0; i < n; ++i) {
            *slots[i] = std::max(*slots[i], lowestAllowed);
            lowestAllowed = *slots[i] + g.boxOffsets[i] + minBoxHeight;
        }
    }
    return tops;
}

int minimumClientWidth() {
    // The controls the layout leaves where they are designed: the top
    // strip's and those of the options frame, with the design's margin
    // beyond the rightmost of them.
    constexpr int kMargin = 8;
    int right = 0;
    for (const DesignedControl& c : mainWindowControls()) {
        if (c.name == "标签12") {
            continue;  // the strip's bottom line follows the window's width
        }
        int parentLeft = 0;
        if (c.parent == "框4") {
            parentLeft = findDesignedControl("框4")->design.left;
        } else if (c.parent != "图片框底座") {
            continue;
        }
        right = std::max(right, parentLeft + c.design.left + c.design.width);
    }
    return right + kMargin;
}

int minimumClientHeight(int tabHeaderHeight, int minBoxHeight) {
    // Every page needs its first box's top, its boxes at their least, and
    // the rows between them; the layout at a height of 0 says how much of
    // the client lies outside the frames.
    LayoutInput in;
    in.clientHeight = 0;
    in.tabHeaderHeight = tabHeaderHeight;
    int needed = 0;
    for (const SplitPage& page : splitPages()) {
        const PageGeometry g = measure(page, in);
        const int frameAtZero = layoutMainWindow(in)[page.frame].height;
        const int bottomMargin = frameAtZero - g.lowestBottom;
        int height = g.firstBoxTop + minBoxHeight;
        for (int offset : g.boxOffsets) {
            height += offset + minBoxHeight;
        }
        needed = std::max(needed, height + bottomMargin - frameAtZero);
    }
    return needed;
}

}  // namespace lcr
