// The hyperlink box: a window class that renders one centred link from a small
// marked-up text (its window text) and opens the link's address in the web
// browser when the link is pressed.
#pragma once

namespace ui {

extern const char kHyperlinkClass[];

bool RegisterHyperlinkClass();

}  // namespace ui
