// Starting programs from a test and reading their windows from outside: the
// real autoredial.exe as a user starts it, and the user's mouse and keyboard.
#pragma once

#include "tests/support/standin.h"
#include "ui/form.h"
#include "watch/period.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace support {

// Texts are wide, as the program's own.

// How long a test waits for the running program's first watch tick after
// Start: a whole watch period, and a margin for a loaded machine.
constexpr int kFirstTickWaitMs = watch::kWatchPeriod + 10000;

// This test executable's path, its folder (without a trailing backslash; the
// program and the stand-ins are built there) and its image name.
std::wstring OwnPath();
std::wstring BuildDirectory();
std::wstring OwnImageName();

// Starts an executable, its quoted path and the arguments as the command line,
// in the given working directory (empty: this process's).
bool StartProcess(const std::wstring& exe, const std::wstring& workingDirectory, PROCESS_INFORMATION& process,
                  const std::wstring& arguments = std::wstring());
// Ends the process by its id if it still runs, waits for it, closes its handles.
void EndProcess(PROCESS_INFORMATION& process);

// The first visible top-level window of the process with that class, or null.
HWND FindVisibleWindow(DWORD processId, const wchar_t* className);

std::wstring ClassOf(HWND hwnd);
// A window's text, also of another process's edit box.
std::wstring WindowText(HWND hwnd);

struct Program {
    PROCESS_INFORMATION process{};
    HWND main = nullptr;
};

// Starts <build dir>\autoredial.exe (or the given executable) in the given
// working directory and waits until its main window is visible.
bool LaunchProgram(Program& program, const std::wstring& exe = std::wstring(),
                   const std::wstring& workingDirectory = std::wstring());

// Waits for the program to end; returns its exit code, or STILL_ACTIVE.
DWORD WaitForExit(Program& program, int timeoutMs);

void EndProgram(Program& program);

// A unit of a running main window, by its name in the main form's table (its
// id follows its row there); null for a name the table does not have.
HWND UnitWindow(HWND main, const char* name);

// A test of the real program; the program ends with the test.
class ProgramTest : public ::testing::Test {
protected:
    void TearDown() override { EndProgram(program); }
    HWND Unit(const char* name) const { return UnitWindow(program.main, name); }
    HWND Unit(const ui::UnitRef& unit) const { return Unit(unit.name); }
    std::wstring Text(const ui::UnitRef& unit) const { return WindowText(Unit(unit)); }

    Program program;
};

// The program started beside the stand-in client; both end with the test, and
// the link is up again.
class ProgramBesideClient : public ProgramTest {
protected:
    void SetUp() override;
    void TearDown() override;

    Client client;
};

// The running program's current directory (as the system keeps it, with a
// trailing backslash).
std::wstring CurrentDirectoryOf(const Program& program);

// The place of a child window in its parent's client area.
RECT ChildRect(HWND child);

// Runs the X tool xdotool with the given arguments, as a user's mouse and
// keyboard would act. Wine starts Unix programs but gives no handle to wait
// on, so each call waits for the effect it asks for.
void MoveMouse(int x, int y);
void PressLeft();
void ReleaseLeft();
void PressKey(const char* keyName);

// The centre of a window on the screen.
POINT CentreOf(HWND hwnd);

// The handle shown in a unit as text, as the program shows it.
std::wstring HandleText(HWND hwnd);

}  // namespace support
