#include "winkit/text.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(Text, FormatDecimal) {
    const struct {
        int32_t value;
        const wchar_t* text;
    } cases[] = {
        {0, L"0"},          {7, L"7"},
        {-7, L"-7"},        {1000000, L"1000000"},
        {-10, L"-10"},      {INT32_MAX, L"2147483647"},
        {INT32_MIN, L"-2147483648"},
    };
    for (const auto& c : cases) EXPECT_EQ(winkit::FormatDecimal(c.value), c.text) << c.value;
}

TEST(Text, ReadNumber) {
    const struct {
        const wchar_t* text;
        int32_t value;
    } cases[] = {
        {L"", 0},
        {L"abc", 0},
        {L"42", 42},
        {L"  42", 42},
        {L"\t-17x", -17},
        {L"+5", 5},
        {L"- 5", 0},
        {L"--5", 0},
        {L"3.7", 3},
        {L"0012", 12},
        {L"12提示", 12},
        {L"提示12", 0},
        // full-width digits, signs and blank
        {L"１２３", 123},
        {L"－４５", -45},
        {L"＋８", 8},
        {L"　　７", 7},
        {L"　-1０", -10},
        {L"１2３", 123},
        {L"、5", 0},  // another full-width mark is no blank
        {L"：", 0},   // the form after ９ is no digit
        {L"\xFF0F" L"1", 0},  // nor the one before ０
        // the signed 32-bit range holds, everything beyond it clamps
        {L"2147483647", INT32_MAX},
        {L"2147483648", INT32_MAX},
        {L"-2147483648", INT32_MIN},
        {L"-2147483649", INT32_MIN},
        {L"99999999999999999999999999", INT32_MAX},
        {L"-99999999999999999999999999", INT32_MIN},
        {L"０００００００００００００００００００００００３", 3},
    };
    for (const auto& c : cases) EXPECT_EQ(winkit::ReadNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(Text, FindInText) {
    const struct {
        const wchar_t* haystack;
        const wchar_t* needle;
        int position;
    } cases[] = {
        {L"abc", L"b", 2},
        {L"abc", L"abc", 1},
        {L"abc", L"d", -1},
        {L"ab", L"abc", -1},
        {L"Abc", L"a", -1},  // letter case matters
        {L"ａｂ", L"ab", -1},  // and full-width forms are other characters
        {L"abc", L"", 1},
        {L"", L"", 1},
        {L"", L"a", -1},
        // by character: 提示 is two code units, whatever the code page
        {L"'提示'", L"提示", 2},
        {L"出现提示", L"提示", 3},
        {L"'提示'", L"示", 3},
        {L"提 示", L"提示", -1},
        // 𠀀 (U+20000) is the pair D840 DC00: its second unit is never a candidate
        {L"\xD840\xDC00", L"\xDC00", -1},
        {L"\xD840\xDC00\xDC00", L"\xDC00", 3},
        {L"a\xD840\xDC00\xD840\xDC00" L"b", L"\xDC00\xD840", -1},
        {L"a\xD840\xDC00\xD840\xDC00" L"b", L"\xD840\xDC00" L"b", 4},
        {L"a\xD840", L"\xD840", 2},  // a pair cut off at the end
        {L"\xD840" L"ab", L"a", 2},   // a lone high surrogate is a character of its own
    };
    for (const auto& c : cases) {
        EXPECT_EQ(winkit::FindInText(c.haystack, c.needle), c.position) << '"' << c.haystack << "\" / \"" << c.needle << '"';
    }
}

TEST(Text, TextFromArray) {
    const wchar_t chars[] = {L'a', L'提', L'\0', L'c'};
    EXPECT_EQ(winkit::TextFromArray(chars, 4), L"a提");
    EXPECT_EQ(winkit::TextFromArray(chars, 1), L"a");
    EXPECT_EQ(winkit::TextFromArray(chars + 2, 2), L"");
    EXPECT_EQ(winkit::TextFromArray(chars, 0), L"");
    const wchar_t full[] = {L'x', L'y', L'z'};
    EXPECT_EQ(winkit::TextFromArray(full, 3), L"xyz");
}

}  // namespace
