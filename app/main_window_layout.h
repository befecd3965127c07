// The main window's layout: where every control it moves goes, computed
// from the client size, the height of the tab header and the splitter tops.
//
// A pure function, so the arithmetic is tested without a window. The window
// applies the result on every resize, after every splitter drag and once
// after start-up. Positions are relative to each control's container (a
// page's controls to their page frame, the strip's to the strip). Nothing is
// clamped: a splitter dragged below the next one gives the box between them
// a negative height, a tiny window negative widths. The window keeps its
// splitters and its size in range first (splitter_limits.h).
#pragma once

#include <map>
#include <string>

namespace lcr {

struct ControlRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const ControlRect&) const = default;
};

// Design tops of the five splitters within their page frames.
struct SplitterTops {
    int extract1 = 136;
    int extract2 = 225;
    int replace1 = 136;
    int replace2 = 225;
    int replace3 = 314;
};

struct LayoutInput {
    int clientWidth = 1019;
    int clientHeight = 689;
    int tabHeaderHeight = 0;  // the row of page captions of 选择夹
    SplitterTops splitters;
};

// The rectangles of the controls the layout places, keyed by control name
// (UTF-8); every value it does not compute keeps its design value
// (main_window_inventory.h).
std::map<std::string, ControlRect> layoutMainWindow(const LayoutInput& input);

// The splitters by name, to read and write SplitterTops by control name.
int* splitterTop(SplitterTops& tops, const std::string& name);

}  // namespace lcr
