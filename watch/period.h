// The watch period: 时钟1's from Start, the time from one link test to the
// next. What the watch times by it derives from it here: the countdown bar's
// steps, the spacing of the clicks that notices bring forward, the manager's
// waits.
#pragma once

#include <cstdint>

namespace watch {

constexpr int32_t kWatchPeriod = 10000;  // ms

// The countdown bar fills in this many steps a period, one a 时钟2 tick.
constexpr int32_t kCountdownSteps = 10;
constexpr int32_t kCountdownPeriod = kWatchPeriod / kCountdownSteps;

}  // namespace watch
