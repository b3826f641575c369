// Windows of the test process that count what reaches them, the key events
// that reach the system's input, and fakes put in place of entries of the
// system-function table.
#pragma once

#include "sysfn/sysfn.h"
#include "tests/support/pump.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace support {

// Registered once per class name; the procedure counts what it receives.
struct WindowCounts {
    int posted = 0;    // kProbeMessage
    int clicks = 0;    // BM_CLICK
    int keyDowns = 0;  // WM_KEYDOWN of any key
    int keyUps = 0;
    UINT lastKey = 0;
    LPARAM lastKeyData = 0;
};
constexpr UINT kProbeMessage = WM_APP + 7;

// A popup of the given class at the top of the Z-order, visible unless asked.
HWND MakeWindow(const wchar_t* className, const std::wstring& title, bool visible = true);
WindowCounts& CountsOf(HWND hwnd);

// Windows made by a test are destroyed with the test.
class WindowsTest : public ::testing::Test {
protected:
    HWND Make(const wchar_t* className, const std::wstring& title, bool visible = true);
    void TearDown() override;
    std::vector<HWND> made_;
};

// Gives the foreground to a window and waits until the system agrees.
bool MakeForeground(HWND hwnd);

// The key events that reach the system's input while it lives, as a
// low-level hook on this thread sees them (it sees them while the thread
// dispatches messages).
class KeyHook {
public:
    struct Event {
        WPARAM kind;  // WM_KEYDOWN, WM_KEYUP...
        KBDLLHOOKSTRUCT data;
    };
    KeyHook();
    ~KeyHook();
    KeyHook(const KeyHook&) = delete;
    KeyHook& operator=(const KeyHook&) = delete;
    bool installed() const { return hook_ != nullptr; }
    const std::vector<Event>& events() const;
    void Clear();

private:
    HHOOK hook_;
};

// Puts a function of the entry's exact type in place of a table entry while
// it lives: TableFake<sysfn::kSendInput> fake(&MySendInput).
template <sysfn::Index index>
class TableFake {
public:
    explicit TableFake(sysfn::Function<index> function) : saved_(sysfn::gTable[index].address) {
        sysfn::gTable[index].address = sysfn::Untyped<index>(function);
    }
    ~TableFake() { sysfn::gTable[index].address = saved_; }
    TableFake(const TableFake&) = delete;
    TableFake& operator=(const TableFake&) = delete;

private:
    FARPROC saved_;
};

// The table's GetTickCount answers the time the test sets, while it lives.
class FakeClock {
public:
    explicit FakeClock(DWORD now = 1000000);
    void Set(DWORD now);
    void Advance(DWORD milliseconds);

private:
    TableFake<sysfn::kGetTickCount> entry_;
};

// While it lives, another thread posts a stamped message to a window of this
// thread every 20 ms; Longest() is the longest that one waited to be
// dispatched: how long the thread took no posted message.
class HoldMeter {
public:
    HoldMeter();
    ~HoldMeter();
    HoldMeter(const HoldMeter&) = delete;
    HoldMeter& operator=(const HoldMeter&) = delete;
    DWORD Longest() const;

private:
    HWND window_;
    std::atomic<bool> stop_{false};
    std::thread poster_;
};

// Fakes for table entries that pass each call on to the system and count it
// in gCallCounts (a snapshot only when it was taken); a test zeroes the counts.
struct CallCounts {
    int snapshots = 0;
    int closes = 0;
    int timers = 0;
    int isWindow = 0;
    int inputs = 0;  // SendInput
    int posts = 0;   // PostMessageW
    int sends = 0;   // SendMessageTimeoutW
};
extern CallCounts gCallCounts;
HANDLE WINAPI CountingSnapshot(DWORD flags, DWORD processId);
BOOL WINAPI CountingClose(HANDLE handle);
HANDLE WINAPI CountingTimer(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset, LPCWSTR name);
BOOL WINAPI CountingIsWindow(HWND hwnd);
UINT WINAPI CountingSendInput(UINT count, LPINPUT inputs, int size);
// A send that waits up to 10 s, whatever bound the caller gave: a client that
// answers is not taken for busy on a loaded machine. Counted.
LRESULT WINAPI PatientSend(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeout,
                           PDWORD_PTR result);
BOOL WINAPI CountingPost(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace support
