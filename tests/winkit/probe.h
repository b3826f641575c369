// Shared pieces of the toolkit tests: real top-level windows of this process,
// a stand-in for one entry of the system-function table, and a clock.
#pragma once

#include "sysfn/sysfn.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace probe {

// Registered once per class name; the procedure counts what it receives.
struct WindowCounts {
    int posted = 0;    // kProbeMessage
    int keyDowns = 0;  // WM_KEYDOWN of any key
    int keyUps = 0;
    UINT lastKey = 0;
    LPARAM lastKeyData = 0;
};
constexpr UINT kProbeMessage = WM_APP + 7;
constexpr UINT kNestedWaitMessage = WM_APP + 8;

// A popup of the given class at the top of the Z-order, visible unless asked.
HWND MakeWindow(const char* className, const std::string& title, bool visible = true);
WindowCounts& CountsOf(HWND hwnd);

// Windows made by a test are destroyed with the test.
class WindowsTest : public ::testing::Test {
protected:
    HWND Make(const char* className, const std::string& title, bool visible = true);
    void TearDown() override;
    std::vector<HWND> made_;
};

// Puts a function in place of a table entry while it lives.
class TableFake {
public:
    TableFake(sysfn::Index index, void* function);
    ~TableFake();
    TableFake(const TableFake&) = delete;
    TableFake& operator=(const TableFake&) = delete;

private:
    sysfn::Index index_;
    FARPROC saved_;
};

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

// Gives the foreground to a window and waits until the system agrees.
bool MakeForeground(HWND hwnd);

// Milliseconds since construction, from the performance counter.
class Stopwatch {
public:
    Stopwatch();
    double Elapsed() const;

private:
    LARGE_INTEGER start_;
};

// Pumps this thread's messages for about the given time.
void Pump(DWORD milliseconds);

// This executable's image name, as the module file name spells it.
std::string OwnImageName();

}  // namespace probe
