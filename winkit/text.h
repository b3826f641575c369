// Text helpers shared by the link watcher and the toolkit. Texts are byte
// strings in the ANSI code page (GBK): a byte of 0x80 or more begins a
// two-byte character.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace winkit {

// Signed decimal: a minus sign for negative values, no leading zeros, no
// spaces, no grouping.
std::string FormatDecimal(int32_t value);

// Reads text as a number: leading blanks skipped, an optional sign, then
// decimal digits up to the first other character. Full-width digits, signs and
// blanks (GBK) count as their plain forms. Text that does not begin with a
// number reads as 0; values beyond the signed 32-bit range clamp to it.
// Blanks are the space, the tab and the full-width blank.
int32_t ReadNumber(const std::string& text);

// 1-based byte position of the first occurrence of needle in haystack, or -1.
// Case-sensitive, byte for byte; a match can only begin where a character
// begins, never on the second byte of a two-byte character. An empty needle
// is found at 1.
int FindInText(const std::string& haystack, const std::string& needle);
int FindInText(const char* haystack, std::size_t haystackLength, const char* needle, std::size_t needleLength);

// The bytes of a fixed character array up to its first NUL.
std::string TextFromArray(const char* chars, std::size_t capacity);

// Window handles are kept as 32-bit signed integers, as the system gives them
// (a 64-bit system keeps the significant bits in the low 32 and sign-extends).
inline int32_t HandleToInt(HWND hwnd) {
    return static_cast<int32_t>(reinterpret_cast<intptr_t>(hwnd));
}
inline HWND IntToHandle(int32_t value) {
    return reinterpret_cast<HWND>(static_cast<intptr_t>(value));
}

}  // namespace winkit
