#include "operations/yield_to_ui.h"

#include <chrono>

namespace lcr {

namespace {

constexpr auto kInterval = std::chrono::milliseconds(10);

struct Pump {
    std::function<void()> hook;
    std::chrono::steady_clock::time_point lastRun{};
};

Pump& pump() {
    static Pump p;
    return p;
}

}  // namespace

void setYieldToUiHook(std::function<void()> hook) {
    pump().hook = std::move(hook);
}

bool yieldToUi(const std::function<void()>& beforeEvents) {
    Pump& p = pump();
    if (!p.hook) {
        return false;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now - p.lastRun < kInterval) {
        return false;
    }
    if (beforeEvents) {
        beforeEvents();
    }
    p.hook();
    p.lastRun = std::chrono::steady_clock::now();
    return true;
}

}  // namespace lcr
