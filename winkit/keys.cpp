#include "winkit/keys.h"

#include "sysfn/sysfn.h"
#include "winkit/wait.h"

namespace winkit {

namespace {

constexpr int32_t kSettleMilliseconds = 50;

DWORD ForegroundThread() {
    HWND foreground = GetForegroundWindow();
    return foreground ? sysfn::GetWindowThreadProcessId(foreground, nullptr) : 0;
}

// No window, the desktop, or a window of the target's thread or of ours.
bool NobodysOrOurs(HWND foreground, DWORD targetThread) {
    if (!foreground || foreground == sysfn::GetDesktopWindow() || foreground == GetShellWindow()) return true;
    DWORD thread = sysfn::GetWindowThreadProcessId(foreground, nullptr);
    return thread == targetThread || thread == sysfn::GetCurrentThreadId();
}

}  // namespace

void SendKeyToWindow(HWND target, int keyCode, bool extended) {
    if (target) {
        if (!sysfn::IsWindow(target)) return;
        DWORD targetThread = sysfn::GetWindowThreadProcessId(target, nullptr);
        // Whether the foreground may be handed to the target: only when, before
        // anything is touched, nobody holds it or the target's thread or our
        // own does; never when the user is working in another program.
        const bool mayTakeForeground = NobodysOrOurs(GetForegroundWindow(), targetThread);
        sysfn::AttachThreadInput(sysfn::GetCurrentThreadId(), targetThread, TRUE);
        sysfn::SetFocus(target);
        sysfn::AttachThreadInput(sysfn::GetCurrentThreadId(), targetThread, FALSE);
        PumpingWait(kSettleMilliseconds);
        // Injected keys go to the foreground thread, whatever got the focus
        // above: unless the target's thread holds the foreground, the key
        // would land in whatever program the user is working in. A prompt
        // raised in the background would never be answered, though, if the
        // foreground were not handed to it when it may be.
        if (ForegroundThread() != targetThread) {
            if (!mayTakeForeground) return;
            SetForegroundWindow(target);
            if (ForegroundThread() != targetThread) return;
        }
    }

    // A down without its up would leave the key logically held.
    INPUT press[2] = {};
    press[0].type = INPUT_KEYBOARD;
    press[0].ki.wVk = static_cast<WORD>(keyCode);
    press[0].ki.wScan = static_cast<WORD>(sysfn::MapVirtualKeyA(static_cast<UINT>(keyCode), MAPVK_VK_TO_VSC));
    press[0].ki.dwFlags = extended ? KEYEVENTF_EXTENDEDKEY : 0;
    press[0].ki.time = GetTickCount();
    press[0].ki.dwExtraInfo = 0;
    press[1] = press[0];
    press[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    sysfn::SendInput(static_cast<UINT>(sizeof press / sizeof press[0]), press, static_cast<int>(sizeof press[0]));
    PumpingWait(kSettleMilliseconds);
}

}  // namespace winkit
