#include "winkit/text.h"

#include <cstring>

namespace winkit {

namespace {

bool IsLeadByte(unsigned char byte) { return byte >= 0x80; }

// GBK full-width forms: A1A1 is the ideographic space, A3xx mirrors ASCII xx-0x80.
constexpr unsigned char kFullWidthRow = 0xA3;

// Length of the blank at text[i] (0 when none): space, tab or the full-width blank.
std::size_t BlankAt(const std::string& text, std::size_t i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == ' ' || c == '\t') return 1;
    if (c == 0xA1 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xA1) return 2;
    return 0;
}

// The plain character that text[i] stands for, with its length in bytes; a
// full-width form counts as its plain form. Length 0 at the end.
char PlainAt(const std::string& text, std::size_t i, std::size_t& length) {
    if (i >= text.size()) {
        length = 0;
        return '\0';
    }
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (!IsLeadByte(c)) {
        length = 1;
        return static_cast<char>(c);
    }
    length = 2;
    if (c == kFullWidthRow && i + 1 < text.size()) {
        unsigned char second = static_cast<unsigned char>(text[i + 1]);
        if ((second >= 0xB0 && second <= 0xB9) || second == 0xAB || second == 0xAD) {
            return static_cast<char>(second - 0x80);
        }
    }
    return '\x01';  // some other two-byte character
}

}  // namespace

std::string FormatDecimal(int32_t value) {
    char digits[12];
    char* end = digits + sizeof digits;
    char* p = end;
    // Negating in unsigned arithmetic keeps INT32_MIN representable.
    uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    do {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) *--p = '-';
    return std::string(p, end);
}

int32_t ReadNumber(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t blank = BlankAt(text, i);
        if (blank == 0) break;
        i += blank;
    }
    std::size_t length = 0;
    bool negative = false;
    char c = PlainAt(text, i, length);
    if (c == '+' || c == '-') {
        negative = c == '-';
        i += length;
    }
    // Stops growing one past the range, so no digit count can overflow it.
    const int64_t limit = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
    int64_t magnitude = 0;
    for (c = PlainAt(text, i, length); c >= '0' && c <= '9'; c = PlainAt(text, i, length)) {
        if (magnitude <= limit) magnitude = magnitude * 10 + (c - '0');
        i += length;
    }
    if (magnitude > limit) magnitude = limit;
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

int FindInText(const char* haystack, std::size_t haystackLength, const char* needle, std::size_t needleLength) {
    if (needleLength > haystackLength) return -1;
    const std::size_t last = haystackLength - needleLength;
    for (std::size_t i = 0; i <= last; i += IsLeadByte(static_cast<unsigned char>(haystack[i])) ? 2 : 1) {
        if (std::memcmp(haystack + i, needle, needleLength) == 0) return static_cast<int>(i + 1);
    }
    return -1;
}

int FindInText(const std::string& haystack, const std::string& needle) {
    return FindInText(haystack.data(), haystack.size(), needle.data(), needle.size());
}

std::string TextFromArray(const char* chars, std::size_t capacity) {
    const void* nul = std::memchr(chars, '\0', capacity);
    return std::string(chars, nul ? static_cast<const char*>(nul) - chars : capacity);
}

}  // namespace winkit
