// Searching the top-level windows by owning program, class and title, and the
// window under a point of the screen.
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
    std::wstring className;  // at most 254 characters (UTF-16 code units)
    std::wstring title;      // at most 254 characters
};

// A window's class name and its text, read as the search reads them (at most
// 254 characters). Another program's text comes from the system's copy: no message
// goes to its thread, so a hung program can't stall the read.
std::wstring WindowClassName(HWND window);
std::wstring WindowTitle(HWND window);

// Replaces list with the top-level windows in Z-order, topmost first, only the
// visible ones unless onlyVisible is false; returns their number.
int ListTopLevelWindows(std::vector<WindowInfo>& list, bool onlyVisible = true);

// What a search answers when it finds no window.
constexpr int32_t kNoWindow = -1;

// Handle of the first visible top-level window, in Z-order, that passes every
// test whose criterion is not empty; kNoWindow when none does, or no criterion
// is given.
// Texts compare code unit for code unit, letter case included. The title test
// looks for title inside '<window title>' (so a criterion can anchor itself
// with single quotes). imageProcesses, when given, is replaced with the ids of
// the running processes of imageName.
int32_t FindProcessWindow(const std::wstring& imageName = std::wstring(),
                          const std::wstring& className = std::wstring(),
                          const std::wstring& title = std::wstring(),
                          std::vector<uint32_t>* imageProcesses = nullptr);

// The deepest visible child under a point of the screen, disabled or not,
// passing over group boxes, else the window there (null when none). The system's WindowFromPoint passes over a
// disabled child and answers the window that holds it; a client greys its dial
// button while the link is up, just when a user aims at it.
HWND DeepestChildAt(POINT point);

}  // namespace winkit
