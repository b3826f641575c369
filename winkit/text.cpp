#include "winkit/text.h"

#include <cwchar>

namespace winkit {

namespace {

// A high surrogate followed by a low one: the two units of one character.
bool PairAt(const wchar_t* text, std::size_t length, std::size_t i) {
    return text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\x3000'; }

// The plain character that c stands for: FF01..FF5E are the full-width forms
// of 21..7E.
wchar_t Plain(wchar_t c) { return c >= 0xFF01 && c <= 0xFF5E ? static_cast<wchar_t>(c - 0xFEE0) : c; }

}  // namespace

std::wstring FormatDecimal(int32_t value) {
    wchar_t digits[12];
    wchar_t* end = digits + sizeof digits / sizeof digits[0];
    wchar_t* p = end;
    // Negating in unsigned arithmetic keeps INT32_MIN representable.
    uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    do {
        *--p = static_cast<wchar_t>(L'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) *--p = L'-';
    return std::wstring(p, end);
}

int32_t ReadNumber(const std::wstring& text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (Plain(text[i]) == L'+' || Plain(text[i]) == L'-')) {
        negative = Plain(text[i]) == L'-';
        ++i;
    }
    // Stops growing one past the range, so no digit count can overflow it.
    const int64_t limit = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
    int64_t magnitude = 0;
    for (; i < text.size() && Plain(text[i]) >= L'0' && Plain(text[i]) <= L'9'; ++i) {
        if (magnitude <= limit) magnitude = magnitude * 10 + (Plain(text[i]) - L'0');
    }
    if (magnitude > limit) magnitude = limit;
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

int FindInText(const wchar_t* haystack, std::size_t haystackLength, const wchar_t* needle, std::size_t needleLength) {
    if (needleLength > haystackLength) return -1;
    const std::size_t last = haystackLength - needleLength;
    for (std::size_t i = 0; i <= last; i += PairAt(haystack, haystackLength, i) ? 2 : 1) {
        if (std::wmemcmp(haystack + i, needle, needleLength) == 0) return static_cast<int>(i + 1);
    }
    return -1;
}

int FindInText(const std::wstring& haystack, const std::wstring& needle) {
    return FindInText(haystack.data(), haystack.size(), needle.data(), needle.size());
}

std::wstring TextFromArray(const wchar_t* chars, std::size_t capacity) {
    const wchar_t* nul = std::wmemchr(chars, L'\0', capacity);
    return std::wstring(chars, nul ? static_cast<std::size_t>(nul - chars) : capacity);
}

}  // namespace winkit
