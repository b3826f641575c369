// Searching the top-level windows by owning program, class and title.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace winkit {

struct WindowInfo {
    HWND handle = nullptr;
    uint32_t processId = 0;
    uint32_t threadId = 0;
    std::string className;  // at most 254 bytes
    std::string title;      // at most 254 bytes
};

// A window's class name and its text, read as the search reads them (at most
// 254 bytes). Another program's text comes from the system's copy: no message
// goes to its thread, so a hung program can't stall the read.
std::string WindowClassName(HWND window);
std::string WindowTitle(HWND window);

// Replaces list with the top-level windows in Z-order, topmost first, only the
// visible ones unless onlyVisible is false; returns their number.
int ListTopLevelWindows(std::vector<WindowInfo>& list, bool onlyVisible = true);

// Handle of the first visible top-level window, in Z-order, that passes every
// test whose criterion is not empty; -1 when none does, or no criterion is given.
// The title test looks for title inside '<window title>' (so a criterion can
// anchor itself with single quotes).
int32_t FindProcessWindow(const std::string& imageName = std::string(),
                          const std::string& className = std::string(),
                          const std::string& title = std::string());

}  // namespace winkit
