// The system calls of the prompt search as first designed, made directly: one
// full Toolhelp snapshot (every kind, TH32CS_SNAPALL) walked with
// Process32First/Next, and one walk down the Z-order reading the title, class
// and owner of every visible window. The benches measure the program against
// them; its own snapshot takes processes only.
#pragma once

#include <windows.h>
#include <tlhelp32.h>

namespace bench {

inline void WalkProcesses() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPALL, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    }
    CloseHandle(snapshot);
}

inline void WalkWindows() {
    wchar_t title[256];
    wchar_t className[256];
    DWORD processId = 0;
    for (HWND hwnd = GetWindow(GetDesktopWindow(), GW_CHILD); hwnd; hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
        if (!IsWindowVisible(hwnd)) continue;
        GetWindowTextW(hwnd, title, 255);
        GetClassNameW(hwnd, className, 255);
        GetWindowThreadProcessId(hwnd, &processId);
    }
}

}  // namespace bench
