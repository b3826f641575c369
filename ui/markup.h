// The small markup of the hyperlink box and the browser command it may run.
// Of the markup only the first `a` element counts: its text is shown and its
// href (or url) attribute is the address.
#pragma once

#include <string>

namespace ui {

struct LinkMarkup {
    std::wstring text;     // tags left out, entities decoded, blanks collapsed
    std::wstring address;  // empty: the text is no link
};

// The text and address of the first `a` element of a marked-up content (the
// whole content's text when there is none).
LinkMarkup ParseLinkMarkup(const std::wstring& markup);

// The command line that opens address with a browser whose registered command
// is command: the command cut before its "%1" placeholder, a blank, the address.
std::wstring BrowserCommandLine(const std::wstring& command, const std::wstring& address);

}  // namespace ui
