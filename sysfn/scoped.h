// The program's owners of system resources, one tiny holder per kind, each
// freeing what it holds when it goes out of scope, on every path.
#pragma once

#include "sysfn/sysfn.h"

#include <windows.h>

namespace sysfn {

// A kernel handle (snapshots, timers, processes, tokens), closed through the
// table so that a test can count the closes.
struct OwnedHandle {
    HANDLE handle;

    explicit OwnedHandle(HANDLE opened) : handle(opened) {}
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    ~OwnedHandle() {
        if (valid()) sysfn::CloseHandle(handle);
    }

    // A Toolhelp snapshot fails with INVALID_HANDLE_VALUE, a timer with null.
    bool valid() const { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
};

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

// A GDI object that the program made (a font), deleted with the holder or
// when another takes its place; null holds nothing.
struct OwnedGdiObject {
    HGDIOBJ object = nullptr;

    OwnedGdiObject() = default;
    OwnedGdiObject(const OwnedGdiObject&) = delete;
    OwnedGdiObject& operator=(const OwnedGdiObject&) = delete;
    ~OwnedGdiObject() { Reset(nullptr); }
    void Reset(HGDIOBJ made) {
        if (object) DeleteObject(object);
        object = made;
    }
};

// One reference to a COM object (a creation or a query hands out one),
// released with the holder.
template <typename Interface>
struct ComRef {
    Interface* p = nullptr;

    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() { Reset(); }
    void Reset() {
        if (p) p->Release();
        p = nullptr;
    }
};

}  // namespace sysfn
