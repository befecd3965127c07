// The one way long loops let pending window events run.
//
// The program runs on one thread; long work (an extraction with many rows,
// a replacement chain, a batch run) calls yieldToUi at fixed points of its
// loops. In the core the hook is a no-op; the app sets it to process the
// window's pending events. Calls are throttled so the hook really runs at
// most about every 10 ms: a loop of a million rows stays as fast as one
// without events, and the window as responsive as one that processes events
// on every row.
#pragma once

#include <functional>

namespace lcr {

// Sets the hook that processes pending events (empty: none).
void setYieldToUiHook(std::function<void()> hook);

// Runs the hook when at least the throttle interval has passed since it last
// ran. `beforeEvents`, when given, runs right before the hook, so a caller
// can show what it has done so far (append pending table rows) before the
// window paints. Returns whether the hook ran.
bool yieldToUi(const std::function<void()>& beforeEvents = {});

}  // namespace lcr
