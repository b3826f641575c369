// Text helpers shared by the link watcher and the toolkit. Texts are UTF-16
// strings, as the system's wide functions take and give them; a character
// outside the basic plane takes two code units (a surrogate pair).
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace winkit {

// Signed decimal: a minus sign for negative values, no leading zeros, no
// spaces, no grouping.
std::wstring FormatDecimal(int32_t value);

// Reads text as a number: leading blanks skipped, an optional sign, then
// decimal digits up to the first other character. Full-width digits and signs
// count as their plain forms. Text that does not begin with a number reads as
// 0; values beyond the signed 32-bit range clamp to it. Blanks are the space,
// the tab and the ideographic (full-width) space.
int32_t ReadNumber(const std::wstring& text);

// 1-based position (in code units) of the first occurrence of needle in
// haystack, or -1. Case-sensitive, unit for unit; a match can only begin where
// a character begins, never on the second unit of a surrogate pair (a lone
// surrogate is a character of its own). An empty needle is found at 1.
int FindInText(const std::wstring& haystack, const std::wstring& needle);
int FindInText(const wchar_t* haystack, std::size_t haystackLength, const wchar_t* needle, std::size_t needleLength);

// The characters of a fixed array up to its first NUL.
std::wstring TextFromArray(const wchar_t* chars, std::size_t capacity);

// Window handles are kept as 32-bit signed integers, as the system gives them
// (a 64-bit system keeps the significant bits in the low 32 and sign-extends).
inline int32_t HandleToInt(HWND hwnd) {
    return static_cast<int32_t>(reinterpret_cast<intptr_t>(hwnd));
}
inline HWND IntToHandle(int32_t value) {
    return reinterpret_cast<HWND>(static_cast<intptr_t>(value));
}

}  // namespace winkit
