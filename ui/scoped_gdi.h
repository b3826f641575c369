// Owners for the device contexts and the selections that painting makes, so
// that every DC is released and every selection undone on every path.
#pragma once

#include <windows.h>

namespace ui {

// A window's DC (the screen's for null), released with the holder.
struct WindowDC {
    HWND hwnd;
    HDC dc;

    explicit WindowDC(HWND window) : hwnd(window), dc(GetDC(window)) {}
    ~WindowDC() {
        if (dc) ReleaseDC(hwnd, dc);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
};

// A memory DC compatible with another, deleted with the holder.
struct MemoryDC {
    HDC dc;

    explicit MemoryDC(HDC like) : dc(CreateCompatibleDC(like)) {}
    ~MemoryDC() {
        if (dc) DeleteDC(dc);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
};

// An object selected into a DC; the previous one goes back with the holder.
struct Selection {
    HDC dc;
    HGDIOBJ previous;

    Selection(HDC into, HGDIOBJ object) : dc(into), previous(SelectObject(into, object)) {}
    ~Selection() {
        if (previous) SelectObject(dc, previous);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
};

}  // namespace ui
