#include "winkit/keys.h"

#include "tests/support/probe.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace {

constexpr int kKeyN = 0x4E;

// What reaches SendInput and the other entries, through the table.
std::vector<std::vector<INPUT>> gSent;
int gSizeGiven = 0;

UINT WINAPI RecordingSendInput(UINT count, LPINPUT inputs, int size) {
    gSent.emplace_back(inputs, inputs + count);
    gSizeGiven = size;
    return count;
}

class Recorded : public support::WindowsTest {
protected:
    void SetUp() override {
        gSent.clear();
        gSizeGiven = 0;
        support::gCallCounts = {};
    }
    support::TableFake<sysfn::kSendInput> sendInput_{&RecordingSendInput};
    support::TableFake<sysfn::kIsWindow> isWindow_{&support::CountingIsWindow};
    support::TableFake<sysfn::kCreateWaitableTimerW> timers_{&support::CountingTimer};
};

TEST_F(Recorded, APressIsADownAndItsUp) {
    for (bool extended : {false, true}) {
        gSent.clear();
        winkit::SendKeyToWindow(nullptr, kKeyN, winkit::Foreground::MayTake, extended);
        ASSERT_EQ(gSent.size(), 1u);
        ASSERT_EQ(gSent[0].size(), 2u);
        EXPECT_EQ(gSizeGiven, static_cast<int>(sizeof(INPUT)));
        const DWORD flags = extended ? KEYEVENTF_EXTENDEDKEY : 0;
        const INPUT& down = gSent[0][0];
        const INPUT& up = gSent[0][1];
        for (const INPUT& input : gSent[0]) {
            EXPECT_EQ(input.type, static_cast<DWORD>(INPUT_KEYBOARD));
            EXPECT_EQ(input.ki.wVk, kKeyN);
            EXPECT_EQ(input.ki.wScan, MapVirtualKeyA(kKeyN, MAPVK_VK_TO_VSC));
            EXPECT_NE(input.ki.wScan, 0);
            EXPECT_NE(input.ki.time, 0u);
            EXPECT_EQ(input.ki.dwExtraInfo, 0u);
        }
        EXPECT_EQ(down.ki.dwFlags, flags);
        EXPECT_EQ(up.ki.dwFlags, flags | KEYEVENTF_KEYUP);
        EXPECT_EQ(up.ki.time, down.ki.time);
    }
    // Without a target: nothing is tested or focused, one wait follows the press.
    EXPECT_EQ(support::gCallCounts.isWindow, 0);
    EXPECT_EQ(support::gCallCounts.timers, 2);
}

UINT WINAPI TakeNothing(UINT, LPINPUT, int) { return 0; }

TEST_F(Recorded, ASystemThatTakesNoInputIsReported) {
    EXPECT_EQ(winkit::SendKeyToWindow(nullptr, kKeyN), winkit::KeyResult::Sent);
    support::TableFake<sysfn::kSendInput> locked(&TakeNothing);
    EXPECT_EQ(winkit::SendKeyToWindow(nullptr, kKeyN), winkit::KeyResult::Short);
}

TEST_F(Recorded, StaleHandleReturnsAtOnce) {
    HWND gone = support::MakeWindow(L"WinkitKeysProbe", L"winkit 已关");
    DestroyWindow(gone);
    EXPECT_EQ(winkit::SendKeyToWindow(gone, kKeyN), winkit::KeyResult::Gone);
    EXPECT_EQ(support::gCallCounts.isWindow, 1);
    EXPECT_EQ(support::gCallCounts.timers, 0) << "it waited";
    EXPECT_TRUE(gSent.empty());
}

// Posted: the window's thread signals its hung event, then takes no message
// until its release event or for wParam ms.
constexpr UINT kHangMessage = WM_APP + 9;

// A window on a thread of its own, which pumps its messages and counts the
// keys that reach it.
struct WindowThread {
    HANDLE thread = nullptr;
    DWORD threadId = 0;
    HWND hwnd = nullptr;
    HANDLE ready = nullptr;
    std::atomic<int> keyDowns{0};
    std::atomic<int> keyUps{0};
    const wchar_t* title = L"";
    bool closesWhenProbed = false;  // as it answers a WM_NULL, gives the focus to its second window and closes
    HWND second = nullptr;
    HANDLE hung = nullptr;
    HANDLE release = nullptr;
};

LRESULT CALLBACK ThreadWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* owner = reinterpret_cast<WindowThread*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (owner && message == WM_KEYDOWN && wParam == kKeyN) ++owner->keyDowns;
    if (owner && message == WM_KEYUP && wParam == kKeyN) ++owner->keyUps;
    if (owner && message == kHangMessage) {
        SetEvent(owner->hung);
        WaitForSingleObject(owner->release, static_cast<DWORD>(wParam));
    }
    if (owner && message == WM_NULL && owner->closesWhenProbed && hwnd == owner->hwnd) {
        SetFocus(owner->second);
        DestroyWindow(hwnd);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

DWORD WINAPI RunWindowThread(void* parameter) {
    auto* owner = static_cast<WindowThread*>(parameter);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ThreadWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"WinkitKeysThread";
    RegisterClassW(&wc);  // the second thread finds it registered
    owner->hwnd = CreateWindowExW(0, wc.lpszClassName, owner->title, WS_POPUP | WS_VISIBLE, 100, 100, 80, 60, nullptr,
                                  nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(owner->hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    if (owner->closesWhenProbed) {
        owner->second = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 200, 100, 80, 60, nullptr,
                                        nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrW(owner->second, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    }
    SetEvent(owner->ready);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    DestroyWindow(owner->hwnd);
    if (owner->second) DestroyWindow(owner->second);
    return 0;
}

void Start(WindowThread& owner, const wchar_t* title) {
    owner.title = title;
    owner.ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    owner.thread = CreateThread(nullptr, 0, RunWindowThread, &owner, 0, &owner.threadId);
    WaitForSingleObject(owner.ready, 5000);
}

void Stop(WindowThread& owner) {
    PostThreadMessageA(owner.threadId, WM_QUIT, 0, 0);
    WaitForSingleObject(owner.thread, 5000);
    CloseHandle(owner.thread);
    CloseHandle(owner.ready);
}

class Injected : public support::WindowsTest {
protected:
    void SetUp() override { ASSERT_TRUE(hook_.installed()); }
    support::KeyHook hook_;
};

TEST_F(Injected, TargetWindowGetsTheWholePress) {
    HWND target = Make(L"WinkitKeysProbe", L"winkit 按键");
    ASSERT_TRUE(support::MakeForeground(target));
    for (bool extended : {false, true}) {
        hook_.Clear();
        support::CountsOf(target) = support::WindowCounts();
        winkit::SendKeyToWindow(target, kKeyN, winkit::Foreground::MayTake, extended);

        const std::vector<support::KeyHook::Event>& hooked = hook_.events();
        ASSERT_EQ(hooked.size(), 2u);
        EXPECT_EQ(hooked[0].kind, static_cast<WPARAM>(WM_KEYDOWN));
        EXPECT_EQ(hooked[1].kind, static_cast<WPARAM>(WM_KEYUP));
        for (const support::KeyHook::Event& hookedEvent : hooked) {
            const KBDLLHOOKSTRUCT& event = hookedEvent.data;
            EXPECT_EQ(event.vkCode, static_cast<DWORD>(kKeyN));
            EXPECT_NE(event.time, 0u);
            EXPECT_TRUE(event.flags & LLKHF_INJECTED);
            EXPECT_EQ((event.flags & LLKHF_EXTENDED) != 0, extended);
        }
        EXPECT_EQ(hooked[0].data.time, hooked[1].data.time);
        EXPECT_TRUE(hooked[1].data.flags & LLKHF_UP);

        const support::WindowCounts& counts = support::CountsOf(target);
        EXPECT_EQ(counts.keyDowns, 1);
        EXPECT_EQ(counts.keyUps, 1);
        EXPECT_EQ(counts.lastKey, static_cast<UINT>(kKeyN));
        EXPECT_EQ((counts.lastKeyData & (1 << 24)) != 0, extended);
        EXPECT_FALSE(GetAsyncKeyState(kKeyN) & 0x8000);
    }
}

TEST_F(Injected, AnotherThreadsWindowIsFocusedAndPressed) {
    WindowThread target;
    Start(target, L"winkit 目标线程");
    ASSERT_TRUE(support::MakeForeground(target.hwnd));
    winkit::SendKeyToWindow(target.hwnd, kKeyN);
    EXPECT_TRUE(support::PumpUntil([&] { return target.keyUps == 1; }, 3000));
    EXPECT_EQ(target.keyDowns, 1);
    EXPECT_EQ(GetFocus(), nullptr);  // the input was detached again
    Stop(target);
}

TEST_F(Injected, NoKeyWhileAnotherProgramHoldsTheForeground) {
    WindowThread target;
    WindowThread other;
    Start(target, L"winkit 目标线程");
    Start(other, L"winkit 别的程序");
    ASSERT_TRUE(support::MakeForeground(other.hwnd));

    EXPECT_EQ(winkit::SendKeyToWindow(target.hwnd, kKeyN), winkit::KeyResult::Refused);
    support::PumpFor(50);
    EXPECT_TRUE(hook_.events().empty());
    EXPECT_EQ(target.keyDowns, 0);
    EXPECT_EQ(other.keyDowns, 0);
    EXPECT_FALSE(GetAsyncKeyState(kKeyN) & 0x8000);

    // Without a target the key goes wherever the input goes.
    ASSERT_EQ(GetForegroundWindow(), other.hwnd) << "the refused key moved the foreground";
    winkit::SendKeyToWindow(nullptr, kKeyN);
    EXPECT_TRUE(support::PumpUntil([&] { return other.keyUps == 1; }, 3000));
    EXPECT_EQ(other.keyDowns, 1);
    EXPECT_EQ(target.keyDowns, 0);
    EXPECT_EQ(hook_.events().size(), 2u);
    Stop(other);
    Stop(target);
}

TEST_F(Injected, OurOwnWindowKeepsTheForegroundWhenAskedTo) {
    WindowThread target;
    Start(target, L"winkit 目标线程");
    HWND ours = Make(L"WinkitKeysProbe", L"winkit 拖动中");
    ASSERT_TRUE(support::MakeForeground(ours));
    EXPECT_EQ(winkit::SendKeyToWindow(target.hwnd, kKeyN, winkit::Foreground::LeaveAlone), winkit::KeyResult::Refused);
    support::PumpFor(50);
    EXPECT_EQ(GetForegroundWindow(), ours);
    EXPECT_TRUE(hook_.events().empty());
    Stop(target);
}

TEST_F(Injected, AHungThreadIsNotWaitedFor) {
    WindowThread target;
    Start(target, L"winkit 卡住的线程");
    ASSERT_TRUE(support::MakeForeground(target.hwnd));
    target.hung = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    target.release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // Hung far longer than the bound below, until released.
    PostMessageW(target.hwnd, kHangMessage, 20000, 0);
    EXPECT_EQ(WaitForSingleObject(target.hung, 10000), WAIT_OBJECT_0);  // released below whatever comes
    support::Stopwatch watch;
    EXPECT_EQ(winkit::SendKeyToWindow(target.hwnd, kKeyN), winkit::KeyResult::Hung);
    EXPECT_LT(watch.Elapsed(), 2000);
    EXPECT_TRUE(hook_.events().empty());
    SetEvent(target.release);
    Stop(target);
    CloseHandle(target.hung);
    CloseHandle(target.release);
}

// The focus step: none where the thread's focus is inside the target already;
// elsewhere, from a thread of ours (a thread slow over its focus holds that
// one, not the caller).
std::atomic<int> gFocusCalls{0};
std::atomic<DWORD> gFocusThread{0};
HWND WINAPI RecordingSetFocus(HWND hwnd) {
    ++gFocusCalls;
    gFocusThread = GetCurrentThreadId();
    return SetFocus(hwnd);
}
BOOL WINAPI FocusElsewhereUntilMoved(DWORD thread, GUITHREADINFO* info) {
    if (!GetGUIThreadInfo(thread, info)) return FALSE;
    if (gFocusCalls == 0) info->hwndFocus = nullptr;
    return TRUE;
}

// A box of the target, where the letter would be text.
HWND gBox = nullptr;
BOOL WINAPI FocusInTheBox(DWORD thread, GUITHREADINFO* info) {
    if (!GetGUIThreadInfo(thread, info)) return FALSE;
    info->hwndFocus = gBox;
    return TRUE;
}

TEST_F(Injected, TheFocusIsMovedOnlyWhenElsewhereAndFromAThreadOfOurs) {
    HWND target = Make(L"WinkitKeysProbe", L"winkit 焦点");
    ASSERT_TRUE(support::MakeForeground(target));
    support::TableFake<sysfn::kSetFocus> focus(&RecordingSetFocus);
    gFocusCalls = 0;
    EXPECT_EQ(winkit::SendKeyToWindow(target, kKeyN), winkit::KeyResult::Sent);
    EXPECT_EQ(gFocusCalls, 0) << "the focus was inside already";

    support::TableFake<sysfn::kGetGUIThreadInfo> elsewhere(&FocusElsewhereUntilMoved);
    EXPECT_EQ(winkit::SendKeyToWindow(target, kKeyN), winkit::KeyResult::Sent);
    EXPECT_EQ(gFocusCalls, 1);
    EXPECT_NE(gFocusThread, GetCurrentThreadId());

    gBox = CreateWindowExW(0, L"Edit", L"", WS_CHILD | WS_VISIBLE, 0, 0, 40, 20, target, nullptr, nullptr, nullptr);
    support::TableFake<sysfn::kGetGUIThreadInfo> inBox(&FocusInTheBox);
    const size_t events = hook_.events().size();
    EXPECT_EQ(winkit::SendKeyToWindow(target, kKeyN), winkit::KeyResult::Withheld) << "the focus stays in its box";
    EXPECT_EQ(hook_.events().size(), events);
}

// The target closes as it answers, and its program hands the focus to another
// of its windows, where the key must not land.
TEST_F(Injected, NoKeyForATargetGoneBeforeTheKey) {
    WindowThread target;
    target.closesWhenProbed = true;
    Start(target, L"winkit 将关");
    ASSERT_TRUE(support::MakeForeground(target.hwnd));
    EXPECT_EQ(winkit::SendKeyToWindow(target.hwnd, kKeyN), winkit::KeyResult::Gone);
    support::PumpFor(50);
    EXPECT_TRUE(hook_.events().empty());
    EXPECT_EQ(target.keyDowns, 0);
    Stop(target);
}

}  // namespace
