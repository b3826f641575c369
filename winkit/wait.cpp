#include "winkit/wait.h"

#include "sysfn/scoped.h"
#include "sysfn/sysfn.h"

#include <windows.h>

namespace winkit {

namespace {

// QS_KEY through QS_HOTKEY: everything but raw input.
constexpr DWORD kWakeMask = 0xFF;

double MillisecondsPerUnit(int32_t unit) {
    switch (unit) {
    case kMilliseconds: return 1.0;
    case kSeconds: return 1000.0;
    case kMinutes: return 60000.0;
    case kHours: return 3600000.0;
    case kDays: return 86400000.0;
    default: return static_cast<double>(unit);
    }
}

void TranslateAndDispatch(MSG& msg) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void PlainPump() { DispatchPending(TranslateAndDispatch); }

Pump gPump = PlainPump;

}  // namespace

void DispatchPending(void (*dispatch)(MSG& msg)) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT) {
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) break;
        if (msg.message == WM_QUIT) {  // arrived between the two looks
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        dispatch(msg);
    }
}

void SetPump(Pump pump) { gPump = pump ? pump : PlainPump; }

int64_t DueTime(int32_t amount, int32_t unit) {
    double due = unit == kMicroseconds ? amount * -10.0 : amount * MillisecondsPerUnit(unit) * -10000.0;
    // Converting a double beyond the range is undefined; such waits are
    // unsupported anyway, so they are held at the ends of the range.
    if (due <= -9223372036854775808.0) return INT64_MIN;
    if (due >= 9223372036854775808.0) return INT64_MAX;
    return static_cast<int64_t>(due);
}

namespace {

// Waits for the time, or for object too when it is given; true when object
// was signalled first.
bool WaitDispatching(int32_t amount, int32_t unit, HANDLE object) {
    sysfn::OwnedHandle timer(sysfn::CreateWaitableTimerW(nullptr, FALSE, nullptr));
    if (!timer.valid()) return false;
    LARGE_INTEGER due;
    due.QuadPart = DueTime(amount, unit);
    // A timer that was never set would never fire.
    if (!sysfn::SetWaitableTimer(timer.handle, &due, 0, nullptr, nullptr, FALSE)) return false;
    const HANDLE handles[2] = {timer.handle, object};
    const DWORD count = object ? 2 : 1;
    for (;;) {
        DWORD result = sysfn::MsgWaitForMultipleObjects(count, handles, FALSE, INFINITE, kWakeMask);
        if (result == WAIT_FAILED) return false;
        // Both may be due at once: the object decides.
        if (result == WAIT_OBJECT_0) return object && WaitForSingleObject(object, 0) == WAIT_OBJECT_0;
        if (result == WAIT_OBJECT_0 + 1 && object) return true;
        gPump();
    }
}

}  // namespace

void PumpingWait(int32_t amount, int32_t unit) { WaitDispatching(amount, unit, nullptr); }

bool PumpingWaitFor(HANDLE object, int32_t boundMs) { return WaitDispatching(boundMs, kMilliseconds, object); }

}  // namespace winkit
