// Waiting on the user-interface thread while its messages go on being
// dispatched.
#pragma once

#include <windows.h>

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

// The same wait, ended early when object is signalled: true when it was,
// false when boundMs passed first.
bool PumpingWaitFor(HANDLE object, int32_t boundMs);

// Hands queued messages to dispatch until the queue is empty or a quit message
// is at its head; the quit message stays queued for the main loop.
void DispatchPending(void (*dispatch)(MSG& msg));

// What dispatches the messages that arrive during a wait: the shell puts its
// own loop's dispatch in place (keyboard handling of its forms included). The
// plain default translates and dispatches what is pending; null restores it.
using Pump = void (*)();
void SetPump(Pump pump);

}  // namespace winkit
