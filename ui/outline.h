// The outline of a window on the screen: a ring of saturated red just inside
// the window's rectangle (cut to the monitor it is on, so that a maximised
// window's ring stays visible), 3 px wide at 96 dpi and scaled to that
// monitor's DPI. The ring is a window of this program that exists only for it:
// a popup owned by a form, its shape a region (the rectangle less its inside),
// layered and transparent to the mouse, so that no hit test (WindowFromPoint,
// the aim's search) ever finds it. It takes no focus, activation or mouse, has
// no taskbar button or Alt+Tab entry, stays above other windows and draws only
// into itself. It is made the first time it is needed and goes with the form
// that owns it, however that form ends (ui/loaded.cpp).
// Over the desktop, the shell's desktop window or a taskbar nothing is
// outlined: the ring would only run round the screen or its edge.
#pragma once

#include <windows.h>

namespace ui {

// The ring's window class, for a test that looks for it.
constexpr wchar_t kOutlineClass[] = L"AutoredialOutline";

struct Outline {
    HWND ring = nullptr;    // null until first needed
    HWND target = nullptr;  // the window last asked for
    bool desk = false;      // whether that window is the desktop's, or none
    RECT rect = {};         // where the ring is; empty: hidden
};

// Outlines target (null: nothing). While the target and its rectangle stay
// as they are, it reads that rectangle and does nothing else.
void ShowOutline(Outline& outline, HWND owner, HWND target);

// Destroys the ring's window.
void EndOutline(Outline& outline);

}  // namespace ui
