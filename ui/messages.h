// The program's private window messages and timer ids, side by side.
#pragma once

#include <windows.h>

namespace ui {

// A posted close: the form is destroyed once the handler that asked has returned.
constexpr UINT kCloseRequest = WM_APP + 0x65;

// A notice posted to a form's window from outside the forms; the wiring says
// what it means (Event::Notice).
constexpr UINT kNotice = WM_APP + 0x66;

// Sent by the form runtime to a unit that makes fonts of its own (the
// hyperlink box) when its form's DPI changes; wParam is the new DPI.
constexpr UINT kDpiNotice = WM_APP + 0x67;

// The system timer of a Timer unit's hidden window.
constexpr UINT_PTR kTimerId = 1000;

}  // namespace ui
