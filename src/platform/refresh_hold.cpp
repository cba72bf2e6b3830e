#include "platform/refresh_hold.h"

namespace {

constexpr u32 millisecondsPerSecond = 1000;

} // namespace

u32 refreshHoldUntil(RefreshHold* hold, u32 now, u32 hertz) {
    if (hertz == 0) {
        hold->running = false;
        return now;
    }
    if (hold->running) {
        if (++hold->shown == hertz) {
            hold->base += millisecondsPerSecond;
            hold->shown = 0;
        }
        u32 due = hold->base + hold->shown * millisecondsPerSecond / hertz;
        s32 early = static_cast<s32>(due - now);
        if (early >= -static_cast<s32>(millisecondsPerSecond / hertz)) {
            return early > 0 ? due : now;
        }
    }
    hold->running = true;
    hold->base = now;
    hold->shown = 0;
    return now;
}
