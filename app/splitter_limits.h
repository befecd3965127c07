// The limits of the five splitters and of the window size: every box a
// splitter separates keeps at least a minimum height (two text lines, as
// the window measures them) and no splitter leaves its page, whatever the
// drag, the window size or the stored settings ask for.
//
// Pure functions over the layout (main_window_layout.h): the positions of
// the boxes around each splitter are read from layoutMainWindow, so the
// limits follow the layout's rules instead of repeating them.
#pragma once

#include "app/main_window_layout.h"

namespace lcr {

// `in.splitters` brought into range for `in`'s client size: each box at
// least `minBoxHeight` high. When the page is too low for all its boxes
// (a window below its minimum size), the upper boxes keep their height and
// the lower ones shrink, so no splitter ever goes above its page.
SplitterTops limitSplitters(const LayoutInput& in, int minBoxHeight);

// The smallest client size at which every control of the window can be
// reached: the top strip's and the options' controls lie inside it, and
// every page holds all its boxes at `minBoxHeight`.
int minimumClientWidth();
int minimumClientHeight(int tabHeaderHeight, int minBoxHeight);

}  // namespace lcr
