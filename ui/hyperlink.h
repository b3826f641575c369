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
// ".htm"; a failure is not reported.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

extern const char kHyperlinkClass[];

bool RegisterHyperlinkClass();

struct LinkMarkup {
    std::string text;     // tags left out, entities decoded, blanks collapsed
    std::string address;  // empty: the text is no link
};

// The text and address of the first `a` element of a marked-up content (the
// whole content's text when there is none).
LinkMarkup ParseLinkMarkup(const std::string& markup);

// The command line that opens address with a browser whose registered command
// is command: the command cut before its "%1" placeholder, a blank, the address.
std::string BrowserCommandLine(const std::string& command, const std::string& address);

// Whether the pointer is over the link of a box, which then draws it underlined.
bool HyperlinkHot(HWND box);

// The link's hit area (the rectangle of its text) in the box's client area.
RECT HyperlinkHitArea(HWND box);

}  // namespace ui
