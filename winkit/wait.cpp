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

void PumpingWait(int32_t amount, int32_t unit) {
    sysfn::OwnedHandle timer(sysfn::CreateWaitableTimerW(nullptr, FALSE, nullptr));
    if (!timer.valid()) return;
    LARGE_INTEGER due;
    due.QuadPart = DueTime(amount, unit);
    // A timer that was never set would never fire.
    if (!sysfn::SetWaitableTimer(timer.handle, &due, 0, nullptr, nullptr, FALSE)) return;
    for (;;) {
        DWORD result = sysfn::MsgWaitForMultipleObjects(1, &timer.handle, FALSE, INFINITE, kWakeMask);
        if (result == WAIT_OBJECT_0 || result == WAIT_FAILED) return;
        gPump();
    }
}

}  // namespace winkit
