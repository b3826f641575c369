// Display scale. The forms' places and sizes are written for 96 dpi, where a
// pixel is a pixel; at another DPI each one is scaled by dpi/96. The program
// is per-monitor aware (its manifest), so Windows stretches none of its
// windows: a window at 144 dpi is laid out at 144 dpi by the form runtime.
#pragma once

#include <windows.h>

namespace ui {

constexpr int kBaseDpi = 96;

// The DPI that the system's stock fonts and metrics are made for.
int SystemDpi();

// The DPI of the monitor that the window is on; the system DPI where Windows
// does not tell it per window (before Windows 10 1607).
int WindowDpi(HWND hwnd);

// The DPI of a monitor; the system DPI where Windows does not tell it per
// monitor (before Windows 8.1).
int MonitorDpi(HMONITOR monitor);

inline int Scaled(int at96, int dpi) { return MulDiv(at96, dpi, kBaseDpi); }

}  // namespace ui
