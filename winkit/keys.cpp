#include "winkit/keys.h"

#include "sysfn/sysfn.h"
#include "winkit/answer.h"
#include "winkit/wait.h"

namespace winkit {

namespace {

constexpr int32_t kSettleMilliseconds = 50;
// How long a thread may take to answer before it counts as hung.
constexpr UINT kAnswerMilliseconds = 200;
// How long the caller waits for a focus step, dispatching meanwhile.
constexpr int32_t kFocusMilliseconds = 200;

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

// A thread that does not answer leaves a key waiting in its queue behind
// whatever comes meanwhile: nothing is typed for it.
bool Answers(HWND target) {
    DWORD_PTR result = 0;
    return sysfn::SendMessageTimeoutW(target, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kAnswerMilliseconds, &result) != 0;
}

// Whether the foreground may be handed to the target: only when, before
// anything is touched, nobody holds it or the target's thread or our own
// does; never when the user is working in another program.
bool MayTakeForeground(Foreground foreground, DWORD targetThread) {
    return foreground == Foreground::MayTake && NobodysOrOurs(GetForegroundWindow(), targetThread);
}

// The focus step, on a thread of our own attached to the target's thread for
// the call: SetFocus waits until that thread has handled its focus messages,
// and a thread slow over them holds this one alone. One at a time: while one
// is still held, no other starts.
struct FocusStep {
    HWND target;
    DWORD targetThread;
    // Bound on the caller's thread: a binding that fails is reported there.
    sysfn::Function<sysfn::kGetCurrentThreadId> currentThread;
    sysfn::Function<sysfn::kAttachThreadInput> attach;
    sysfn::Function<sysfn::kSetFocus> setFocus;
};
FocusStep gFocusStep;
HANDLE gFocusThread = nullptr;  // the step under way, or still held by a slow thread

DWORD WINAPI RunFocusStep(void*) {
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // only a thread with a queue can be attached
    const DWORD self = gFocusStep.currentThread();
    if (gFocusStep.attach(self, gFocusStep.targetThread, TRUE)) {
        gFocusStep.setFocus(gFocusStep.target);
        gFocusStep.attach(self, gFocusStep.targetThread, FALSE);
    }
    return 0;
}

// Whether the keyboard focus of target's thread lies on target or on a button
// of it: a letter that reaches a box of target is taken as text. Asked of the
// system, not of the thread, so it never waits.
bool FocusInside(HWND target, DWORD targetThread) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!sysfn::GetGUIThreadInfo(targetThread, &info) || !info.hwndFocus) return false;
    return info.hwndFocus == target || (IsChild(target, info.hwndFocus) && IsButton(info.hwndFocus));
}

// True once the focus step has ended, within the bound.
bool MoveFocus(HWND target, DWORD targetThread) {
    if (gFocusThread) {
        if (WaitForSingleObject(gFocusThread, 0) != WAIT_OBJECT_0) return false;
        sysfn::CloseHandle(gFocusThread);
        gFocusThread = nullptr;
    }
    using namespace sysfn;
    gFocusStep = {target, targetThread, Typed<kGetCurrentThreadId>(Bound(kGetCurrentThreadId)),
                  Typed<kAttachThreadInput>(Bound(kAttachThreadInput)), Typed<kSetFocus>(Bound(kSetFocus))};
    gFocusThread = CreateThread(nullptr, 0, RunFocusStep, nullptr, 0, nullptr);
    if (!gFocusThread) return false;
    if (!PumpingWaitFor(gFocusThread, kFocusMilliseconds)) return false;
    sysfn::CloseHandle(gFocusThread);
    gFocusThread = nullptr;
    return true;
}

// Injected keys go to the foreground thread, whatever got the focus: unless
// the target's thread holds the foreground, the key would land in whatever
// program the user is working in. A prompt raised in the background would
// never be answered, though, if the foreground were not handed to it when it
// may be.
bool HoldsForeground(HWND target, DWORD targetThread, bool mayTake) {
    if (ForegroundThread() == targetThread) return true;
    if (!mayTake) return false;
    SetForegroundWindow(target);
    return ForegroundThread() == targetThread;
}

// A down without its up would leave the key logically held. A locked desktop
// takes nothing; a program of higher rights drops the key without a word,
// which the caller learns only from the prompt staying open.
KeyResult InjectPress(int keyCode, bool extended) {
    INPUT press[2] = {};
    press[0].type = INPUT_KEYBOARD;
    press[0].ki.wVk = static_cast<WORD>(keyCode);
    press[0].ki.wScan = static_cast<WORD>(sysfn::MapVirtualKeyW(static_cast<UINT>(keyCode), MAPVK_VK_TO_VSC));
    press[0].ki.dwFlags = extended ? KEYEVENTF_EXTENDEDKEY : 0;
    press[0].ki.time = sysfn::GetTickCount();
    press[0].ki.dwExtraInfo = 0;
    press[1] = press[0];
    press[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    const UINT count = static_cast<UINT>(sizeof press / sizeof press[0]);
    const UINT taken = sysfn::SendInput(count, press, static_cast<int>(sizeof press[0]));
    PumpingWait(kSettleMilliseconds);
    return taken == count ? KeyResult::Sent : KeyResult::Short;
}

}  // namespace

Reading ThreadReading(HWND window) {
    if (sysfn::IsHungAppWindow(window)) return Reading::Hung;
    return Answers(window) ? Reading::Reads : Reading::Busy;
}

KeyResult SendKeyToWindow(HWND target, int keyCode, Foreground foreground, bool extended) {
    if (target) {
        if (!sysfn::IsWindow(target)) return KeyResult::Gone;
        const DWORD targetThread = sysfn::GetWindowThreadProcessId(target, nullptr);
        const bool mayTake = MayTakeForeground(foreground, targetThread);
        // When the key could not land anyway, the client is left untouched.
        if (!mayTake && ForegroundThread() != targetThread) return KeyResult::Refused;
        if (!Answers(target)) return KeyResult::Hung;
        // A dialog just raised has its focus inside already: its thread is not asked.
        if (!FocusInside(target, targetThread) && !MoveFocus(target, targetThread)) return KeyResult::Withheld;
        PumpingWait(kSettleMilliseconds);
        // The wait let the world move: a prompt closed meanwhile hands the
        // focus to a box of its program, where the key must not land.
        if (!sysfn::IsWindow(target)) return KeyResult::Gone;
        if (!HoldsForeground(target, targetThread, mayTake)) return KeyResult::Refused;
        if (!FocusInside(target, targetThread)) return KeyResult::Withheld;
    }
    return InjectPress(keyCode, extended);
}

}  // namespace winkit
