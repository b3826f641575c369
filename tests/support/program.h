// Running the real autoredial.exe from a test, as a user would, and reading
// its window from outside.
#pragma once

#include <windows.h>

#include <string>

namespace support {

struct Program {
    PROCESS_INFORMATION process{};
    HWND main = nullptr;
};

// Starts <build dir>\autoredial.exe (or the given executable) in the given
// working directory and waits until its main window is visible.
bool LaunchProgram(Program& program, const std::string& exe = std::string(),
                   const std::string& workingDirectory = std::string());

// Waits for the program to end; returns its exit code, or STILL_ACTIVE.
DWORD WaitForExit(Program& program, int timeoutMs);

// Ends the program by its process id if it still runs, and closes its handles.
void EndProgram(Program& program);

// The first visible top-level window of the process with that class, or null.
HWND FindVisibleWindow(DWORD processId, const char* className);

// A unit of the main window by its row in the form, and its text.
HWND UnitWindow(const Program& program, int row);
std::string WindowText(HWND hwnd);

// The running program's current directory (as the system keeps it, with a
// trailing backslash).
std::string CurrentDirectoryOf(const Program& program);

// The place of a child window in its parent's client area.
RECT ChildRect(HWND child);

}  // namespace support

namespace support {

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
std::string HandleText(HWND hwnd);

}  // namespace support
