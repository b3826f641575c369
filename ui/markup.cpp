#include "ui/markup.h"

namespace ui {

// The markup is scanned character by character: its syntax (angle brackets,
// '=', quotes, blanks, '&', ';', '/') and its names are ASCII.

namespace {

struct Entity {
    const wchar_t* name;
    wchar_t value;
};
const Entity kEntities[] = {{L"&amp;", L'&'}, {L"&lt;", L'<'}, {L"&gt;", L'>'}, {L"&quot;", L'"'}, {L"&nbsp;", L' '}};

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\f'; }

wchar_t Lower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

// Whether s holds word at pos, letter case aside; word is lower case.
bool WordAt(const std::wstring& s, size_t pos, const wchar_t* word) {
    for (size_t i = 0; word[i]; ++i) {
        if (pos + i >= s.size() || Lower(s[pos + i]) != word[i]) return false;
    }
    return true;
}

// Whether a tag opening with start ("<a", "</a") begins at pos.
bool TagAt(const std::wstring& s, size_t pos, const wchar_t* start) {
    if (!WordAt(s, pos, start)) return false;
    size_t next = pos + std::char_traits<wchar_t>::length(start);
    return next == s.size() || IsBlank(s[next]) || s[next] == '>' || s[next] == '/';
}

size_t FindTag(const std::wstring& s, size_t from, const wchar_t* start) {
    size_t pos = s.find(L'<', from);
    while (pos != std::wstring::npos && !TagAt(s, pos, start)) pos = s.find(L'<', pos + 1);
    return pos;
}

// Appends the character at pos, or the entity that starts there, decoded;
// returns how many bytes it took.
size_t AppendDecoded(const std::wstring& s, size_t pos, std::wstring& out) {
    if (s[pos] == '&') {
        for (const Entity& entity : kEntities) {
            if (s.compare(pos, std::char_traits<wchar_t>::length(entity.name), entity.name) == 0) {
                out += entity.value;
                return std::char_traits<wchar_t>::length(entity.name);
            }
        }
    }
    out += s[pos];
    return 1;
}

// The text of s[begin, end): tags left out, entities decoded, each run of
// blanks made one blank, none at either end.
std::wstring TextOf(const std::wstring& s, size_t begin, size_t end) {
    std::wstring text;
    bool blank = false;
    for (size_t i = begin; i < end;) {
        if (s[i] == '<') {
            size_t close = s.find('>', i);
            i = close == std::wstring::npos || close >= end ? end : close + 1;
        } else if (IsBlank(s[i])) {
            blank = true;
            ++i;
        } else {
            if (blank && !text.empty()) text += ' ';
            blank = false;
            i += AppendDecoded(s, i, text);
        }
    }
    return text;
}

// An attribute value with its entities decoded and the blanks at either end cut.
std::wstring AddressOf(const std::wstring& value) {
    size_t begin = 0, end = value.size();
    while (begin < end && IsBlank(value[begin])) ++begin;
    while (end > begin && IsBlank(value[end - 1])) --end;
    std::wstring address;
    for (size_t i = begin; i < end;) i += AppendDecoded(value, i, address);
    return address;
}

// Reads the attributes of a tag from pos, just after its name, to its '>';
// returns the position after the tag. Of repeated attributes the first counts.
size_t ReadAttributes(const std::wstring& s, size_t pos, std::wstring& href, std::wstring& url) {
    bool haveHref = false, haveUrl = false;
    while (pos < s.size() && s[pos] != '>') {
        if (IsBlank(s[pos]) || s[pos] == '/') {
            ++pos;
            continue;
        }
        size_t nameStart = pos;
        while (pos < s.size() && !IsBlank(s[pos]) && s[pos] != '=' && s[pos] != '>' && s[pos] != '/') ++pos;
        size_t nameEnd = pos;
        while (pos < s.size() && IsBlank(s[pos])) ++pos;
        std::wstring value;
        if (pos < s.size() && s[pos] == '=') {
            ++pos;
            while (pos < s.size() && IsBlank(s[pos])) ++pos;
            if (pos < s.size() && (s[pos] == '"' || s[pos] == '\'')) {
                size_t close = s.find(s[pos], pos + 1);
                if (close == std::wstring::npos) close = s.size();
                value = s.substr(pos + 1, close - pos - 1);
                pos = close < s.size() ? close + 1 : close;
            } else {
                size_t valueStart = pos;
                while (pos < s.size() && !IsBlank(s[pos]) && s[pos] != '>') ++pos;
                value = s.substr(valueStart, pos - valueStart);
            }
        }
        if (nameEnd - nameStart == 4 && WordAt(s, nameStart, L"href") && !haveHref) {
            href = value;
            haveHref = true;
        } else if (nameEnd - nameStart == 3 && WordAt(s, nameStart, L"url") && !haveUrl) {
            url = value;
            haveUrl = true;
        }
    }
    return pos < s.size() ? pos + 1 : pos;
}

}  // namespace

LinkMarkup ParseLinkMarkup(const std::wstring& markup) {
    LinkMarkup link;
    size_t open = FindTag(markup, 0, L"<a");
    if (open == std::wstring::npos) {
        link.text = TextOf(markup, 0, markup.size());
        return link;
    }
    std::wstring href, url;
    size_t begin = ReadAttributes(markup, open + 2, href, url);
    size_t end = FindTag(markup, begin, L"</a");
    link.text = TextOf(markup, begin, end == std::wstring::npos ? markup.size() : end);
    link.address = AddressOf(href);
    if (link.address.empty()) link.address = AddressOf(url);
    return link;
}

std::wstring BrowserCommandLine(const std::wstring& command, const std::wstring& address) {
    size_t cut = command.find(L"\"%1\"");
    if (cut == std::wstring::npos) cut = command.find(L"%1");
    return command.substr(0, cut) + L" " + address;
}

}  // namespace ui
