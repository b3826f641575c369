#include "tests/support/probe.h"

#include "tests/support/pump.h"

#include <algorithm>
#include <map>

namespace support {

CallCounts gCallCounts;

namespace {

std::map<HWND, WindowCounts> gWindowCounts;
std::vector<KeyHook::Event> gKeyEvents;

LRESULT CALLBACK KeyboardHook(int code, WPARAM kind, LPARAM data) {
    if (code == HC_ACTION) gKeyEvents.push_back({kind, *reinterpret_cast<KBDLLHOOKSTRUCT*>(data)});
    return CallNextHookEx(nullptr, code, kind, data);
}

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kProbeMessage: ++gWindowCounts[hwnd].posted; return 0;
    case BM_CLICK: ++gWindowCounts[hwnd].clicks; return 0;
    case WM_KEYDOWN:
        ++gWindowCounts[hwnd].keyDowns;
        gWindowCounts[hwnd].lastKey = static_cast<UINT>(wParam);
        gWindowCounts[hwnd].lastKeyData = lParam;
        return 0;
    case WM_KEYUP: ++gWindowCounts[hwnd].keyUps; return 0;
    case WM_NCDESTROY: gWindowCounts.erase(hwnd); break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// A suite that makes probe windows calls the toolkit, whose table is bound on
// first use, as in the program, from the test's folder.
class ShellEnvironment : public ::testing::Environment {
public:
    void SetUp() override { EnsureShell(); }
};
::testing::Environment* const gEnvironment = ::testing::AddGlobalTestEnvironment(new ShellEnvironment);

}  // namespace

HWND MakeWindow(const wchar_t* className, const std::wstring& title, bool visible) {
    WNDCLASSW wc = {};
    if (!GetClassInfoW(GetModuleHandleW(nullptr), className, &wc)) {
        wc.lpfnWndProc = ProbeProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = className;
        RegisterClassW(&wc);
    }
    HWND hwnd = CreateWindowExW(0, className, title.c_str(), WS_POPUP | (visible ? WS_VISIBLE : 0), 20, 20, 60, 40,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (hwnd) {
        gWindowCounts[hwnd] = WindowCounts();
        SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    return hwnd;
}

WindowCounts& CountsOf(HWND hwnd) { return gWindowCounts[hwnd]; }

HWND WindowsTest::Make(const wchar_t* className, const std::wstring& title, bool visible) {
    HWND hwnd = MakeWindow(className, title, visible);
    EXPECT_NE(hwnd, nullptr) << title;
    made_.push_back(hwnd);
    return hwnd;
}

void WindowsTest::TearDown() {
    for (HWND hwnd : made_) DestroyWindow(hwnd);
    made_.clear();
}

bool MakeForeground(HWND hwnd) {
    for (int i = 0; i < 50 && GetForegroundWindow() != hwnd; ++i) {
        SetForegroundWindow(hwnd);
        PumpFor(10);
    }
    return GetForegroundWindow() == hwnd;
}

KeyHook::KeyHook() : hook_(SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardHook, GetModuleHandleW(nullptr), 0)) {
    gKeyEvents.clear();
}

KeyHook::~KeyHook() {
    if (hook_) UnhookWindowsHookEx(hook_);
}

const std::vector<KeyHook::Event>& KeyHook::events() const { return gKeyEvents; }

void KeyHook::Clear() { gKeyEvents.clear(); }

namespace {

constexpr UINT kStamp = WM_APP + 30;  // wParam: the tick count as it was posted
DWORD gLongestHold = 0;

LRESULT CALLBACK StampProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kStamp) gLongestHold = std::max<DWORD>(gLongestHold, GetTickCount() - static_cast<DWORD>(wParam));
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

HoldMeter::HoldMeter() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = StampProc;
    wc.lpszClassName = L"SupportHoldMeter";
    RegisterClassW(&wc);  // a second meter finds it registered
    window_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    gLongestHold = 0;
    poster_ = std::thread([this] {
        while (!stop_) {
            PostMessageW(window_, kStamp, GetTickCount(), 0);
            Sleep(20);
        }
    });
}

HoldMeter::~HoldMeter() {
    stop_ = true;
    poster_.join();
    DestroyWindow(window_);
}

DWORD HoldMeter::Longest() const { return gLongestHold; }

HANDLE WINAPI CountingSnapshot(DWORD flags, DWORD processId) {
    HANDLE snapshot = CreateToolhelp32Snapshot(flags, processId);
    gCallCounts.snapshots += snapshot != INVALID_HANDLE_VALUE;
    return snapshot;
}

BOOL WINAPI CountingClose(HANDLE handle) {
    ++gCallCounts.closes;
    return CloseHandle(handle);
}

HANDLE WINAPI CountingTimer(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset, LPCWSTR name) {
    ++gCallCounts.timers;
    return CreateWaitableTimerW(attributes, manualReset, name);
}

BOOL WINAPI CountingIsWindow(HWND hwnd) {
    ++gCallCounts.isWindow;
    return IsWindow(hwnd);
}

UINT WINAPI CountingSendInput(UINT count, LPINPUT inputs, int size) {
    ++gCallCounts.inputs;
    return SendInput(count, inputs, size);
}

LRESULT WINAPI PatientSend(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeout,
                           PDWORD_PTR result) {
    ++gCallCounts.sends;
    return SendMessageTimeoutW(hwnd, message, wParam, lParam, flags, timeout < 10000 ? 10000 : timeout, result);
}

BOOL WINAPI CountingPost(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    ++gCallCounts.posts;
    return PostMessageW(hwnd, message, wParam, lParam);
}

namespace {

DWORD gFakeNow = 0;

DWORD WINAPI FakeGetTickCount() { return gFakeNow; }

}  // namespace

FakeClock::FakeClock(DWORD now) : entry_(&FakeGetTickCount) { gFakeNow = now; }

void FakeClock::Set(DWORD now) { gFakeNow = now; }

void FakeClock::Advance(DWORD milliseconds) { gFakeNow += milliseconds; }

}  // namespace support
