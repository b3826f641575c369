#include "ui/markup.h"

namespace ui {

// Every byte that the markup and the browser command use as syntax (angle
// brackets, '=', quotes, blanks, '&', ';', '/', '%', '1') lies below 0x40,
// where no GBK trail byte does, and letters are only compared right after such
// a byte. So a plain byte scan never takes half a Chinese character for syntax.

namespace {

struct Entity {
    const char* name;
    char value;
};
const Entity kEntities[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&nbsp;", ' '}};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether s holds word at pos, letter case aside; word is lower case.
bool WordAt(const std::string& s, size_t pos, const char* word) {
    for (size_t i = 0; word[i]; ++i) {
        if (pos + i >= s.size() || Lower(s[pos + i]) != word[i]) return false;
    }
    return true;
}

// Whether a tag opening with start ("<a", "</a") begins at pos.
bool TagAt(const std::string& s, size_t pos, const char* start) {
    if (!WordAt(s, pos, start)) return false;
    size_t next = pos + std::char_traits<char>::length(start);
    return next == s.size() || IsBlank(s[next]) || s[next] == '>' || s[next] == '/';
}

size_t FindTag(const std::string& s, size_t from, const char* start) {
    size_t pos = s.find('<', from);
    while (pos != std::string::npos && !TagAt(s, pos, start)) pos = s.find('<', pos + 1);
    return pos;
}

// Appends the character at pos, or the entity that starts there, decoded;
// returns how many bytes it took.
size_t AppendDecoded(const std::string& s, size_t pos, std::string& out) {
    if (s[pos] == '&') {
        for (const Entity& entity : kEntities) {
            if (s.compare(pos, std::char_traits<char>::length(entity.name), entity.name) == 0) {
                out += entity.value;
                return std::char_traits<char>::length(entity.name);
            }
        }
    }
    out += s[pos];
    return 1;
}

// The text of s[begin, end): tags left out, entities decoded, each run of
// blanks made one blank, none at either end.
std::string TextOf(const std::string& s, size_t begin, size_t end) {
    std::string text;
    bool blank = false;
    for (size_t i = begin; i < end;) {
        if (s[i] == '<') {
            size_t close = s.find('>', i);
            i = close == std::string::npos || close >= end ? end : close + 1;
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
std::string AddressOf(const std::string& value) {
    size_t begin = 0, end = value.size();
    while (begin < end && IsBlank(value[begin])) ++begin;
    while (end > begin && IsBlank(value[end - 1])) --end;
    std::string address;
    for (size_t i = begin; i < end;) i += AppendDecoded(value, i, address);
    return address;
}

// Reads the attributes of a tag from pos, just after its name, to its '>';
// returns the position after the tag. Of repeated attributes the first counts.
size_t ReadAttributes(const std::string& s, size_t pos, std::string& href, std::string& url) {
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
        std::string value;
        if (pos < s.size() && s[pos] == '=') {
            ++pos;
            while (pos < s.size() && IsBlank(s[pos])) ++pos;
            if (pos < s.size() && (s[pos] == '"' || s[pos] == '\'')) {
                size_t close = s.find(s[pos], pos + 1);
                if (close == std::string::npos) close = s.size();
                value = s.substr(pos + 1, close - pos - 1);
                pos = close < s.size() ? close + 1 : close;
            } else {
                size_t valueStart = pos;
                while (pos < s.size() && !IsBlank(s[pos]) && s[pos] != '>') ++pos;
                value = s.substr(valueStart, pos - valueStart);
            }
        }
        if (nameEnd - nameStart == 4 && WordAt(s, nameStart, "href") && !haveHref) {
            href = value;
            haveHref = true;
        } else if (nameEnd - nameStart == 3 && WordAt(s, nameStart, "url") && !haveUrl) {
            url = value;
            haveUrl = true;
        }
    }
    return pos < s.size() ? pos + 1 : pos;
}

}  // namespace

LinkMarkup ParseLinkMarkup(const std::string& markup) {
    LinkMarkup link;
    size_t open = FindTag(markup, 0, "<a");
    if (open == std::string::npos) {
        link.text = TextOf(markup, 0, markup.size());
        return link;
    }
    std::string href, url;
    size_t begin = ReadAttributes(markup, open + 2, href, url);
    size_t end = FindTag(markup, begin, "</a");
    link.text = TextOf(markup, begin, end == std::string::npos ? markup.size() : end);
    link.address = AddressOf(href);
    if (link.address.empty()) link.address = AddressOf(url);
    return link;
}

std::string BrowserCommandLine(const std::string& command, const std::string& address) {
    size_t cut = command.find("\"%1\"");
    if (cut == std::string::npos) cut = command.find("%1");
    return command.substr(0, cut) + " " + address;
}

}  // namespace ui
