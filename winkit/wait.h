// Waiting on the user-interface thread while its messages go on being
// dispatched.
#pragma once

#include <cstdint>

namespace winkit {

enum WaitUnit : int32_t {
    kMilliseconds = 0,
    kMicroseconds = 1,
    kSeconds = 2,
    kMinutes = 3,
    kHours = 4,
    kDays = 5,
    // any other code n: n milliseconds per unit
};

// The waitable timer's due time for an amount: negative (relative) counts of
// 100 ns for positive amounts.
int64_t DueTime(int32_t amount, int32_t unit);

// Sleeps on a waitable timer, dispatching whatever arrives meanwhile, until
// the timer fires. A quit message is left queued.
void PumpingWait(int32_t amount, int32_t unit = kMilliseconds);

}  // namespace winkit
