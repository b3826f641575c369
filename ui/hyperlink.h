// The hyperlink box: a window class that renders one centred link from a small
// marked-up text (its window text) and opens the link's address in the web
// browser when the link is pressed.
//
// Of the markup only the first `a` element counts: its text is shown, 9-point
// 宋体 (else Verdana), blue, underlined while the pointer is over it; its href
// (or url) attribute is the address. Content without an `a` element, or an `a`
// without an address, shows its text in black and opens nothing. A left press
// on the link, or Enter or Space while the box has the focus, opens the
// address with the shell, or failing that with the browser registered for
// ".htm"; a failure is not reported. Text, address and command are wide.
// Over the link the pointer is a hand: the help viewer's (cursor 106 of
// winhlp32.exe in the system's Windows folder) where it has one, else the
// system's own (IDC_HAND).
// The font is made for the box's DPI when it is created, and again for the
// DPI that a kDpiNotice (ui/messages.h) gives.
#pragma once

#include <windows.h>

namespace ui {

extern const wchar_t kHyperlinkClass[];

bool RegisterHyperlinkClass();

// Frees what the boxes share (the hand pointer); for shutdown.
void ReleaseHyperlinkResources();

// Whether the pointer is over the link of a box, which then draws it underlined.
bool HyperlinkHot(HWND box);

// The link's hit area (the rectangle of its text) in the box's client area.
RECT HyperlinkHitArea(HWND box);

}  // namespace ui
