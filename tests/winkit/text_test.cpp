#include "winkit/text.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(Text, FormatDecimal) {
    const struct {
        int32_t value;
        const char* text;
    } cases[] = {
        {0, "0"},          {7, "7"},
        {-7, "-7"},        {1000000, "1000000"},
        {-10, "-10"},      {INT32_MAX, "2147483647"},
        {INT32_MIN, "-2147483648"},
    };
    for (const auto& c : cases) EXPECT_EQ(winkit::FormatDecimal(c.value), c.text) << c.value;
}

TEST(Text, ReadNumber) {
    const struct {
        const char* text;
        int32_t value;
    } cases[] = {
        {"", 0},
        {"abc", 0},
        {"42", 42},
        {"  42", 42},
        {"\t-17x", -17},
        {"+5", 5},
        {"- 5", 0},
        {"--5", 0},
        {"3.7", 3},
        {"0012", 12},
        {"12提示", 12},
        {"提示12", 0},
        // full-width digits, signs and blank, as literals and as GBK bytes
        {"１２３", 123},
        {"－４５", -45},
        {"＋８", 8},
        {"　　７", 7},
        {"\xA3\xAD\xA3\xB9", -9},
        {"\xA1\xA1-1\xA3\xB0", -10},
        {"\xA3\xB1" "2\xA3\xB3", 123},
        {"\xA1\xA2" "5", 0},  // another full-width mark is no blank
        {"\xA3\xBA", 0},      // the form after ９ is no digit
        // the signed 32-bit range holds, everything beyond it clamps
        {"2147483647", INT32_MAX},
        {"2147483648", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"-2147483649", INT32_MIN},
        {"99999999999999999999999999", INT32_MAX},
        {"-99999999999999999999999999", INT32_MIN},
        {"０００００００００００００００００００００００３", 3},
    };
    for (const auto& c : cases) EXPECT_EQ(winkit::ReadNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(Text, FindInText) {
    const struct {
        const char* haystack;
        const char* needle;
        int position;
    } cases[] = {
        {"abc", "b", 2},
        {"abc", "abc", 1},
        {"abc", "d", -1},
        {"ab", "abc", -1},
        {"Abc", "a", -1},  // letter case matters
        {"abc", "", 1},
        {"", "", 1},
        {"", "a", -1},
        {"'提示'", "提示", 2},
        {"出现提示", "提示", 5},
        {"'提示'", "示", 4},
        // 丂 is 81 40: its second byte is '@', which is never a candidate
        {"\x81\x40", "@", -1},
        {"\x81\x40@", "@", 3},
        {"a\x81\x40\x81\x40" "b", "\x40\x81", -1},
        {"a\x81\x40\x81\x40" "b", "\x81\x40" "b", 4},
        // 提示 is CC E1 CA BE: E1 CA straddles the two characters
        {"提示", "\xE1\xCA", -1},
        {"a\x81", "\x81", 2},  // a lead byte cut off at the end
    };
    for (const auto& c : cases) {
        EXPECT_EQ(winkit::FindInText(c.haystack, c.needle), c.position) << '"' << c.haystack << "\" / \"" << c.needle << '"';
    }
}

TEST(Text, TextFromArray) {
    const char chars[] = {'a', 'b', '\0', 'c'};
    EXPECT_EQ(winkit::TextFromArray(chars, sizeof chars), "ab");
    EXPECT_EQ(winkit::TextFromArray(chars, 1), "a");
    EXPECT_EQ(winkit::TextFromArray(chars + 2, 2), "");
    EXPECT_EQ(winkit::TextFromArray(chars, 0), "");
    const char full[] = {'x', 'y', 'z'};
    EXPECT_EQ(winkit::TextFromArray(full, sizeof full), "xyz");
}

}  // namespace
