// Bad input for the readers of texts and images. Generated edit-box texts,
// window titles and search criteria are checked against plain reference
// readers written apart from the product code; truncated and corrupt image
// bytes must give a whole picture or the empty one, never an exit.
#include "ui/loaded.h"
#include "tests/soak/resources.h"
#include "tests/support/pump.h"
#include "ui/picture.h"
#include "ui/props.h"
#include "watch/aim_drag.h"
#include "watch/watch.h"
#include "winkit/text.h"
#include "winkit/window_search.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

extern const unsigned char kAimCursor[];
extern const unsigned kAimCursorSize;
extern const unsigned char kDialButtonJpeg[];
extern const unsigned kDialButtonJpegSize;
extern const unsigned char kProgressiveJpeg[];
extern const unsigned kProgressiveJpegSize;
extern const unsigned char kCmykJpeg[];
extern const unsigned kCmykJpegSize;
extern const unsigned char kGreyJpeg[];
extern const unsigned kGreyJpegSize;

namespace {

using ui::kMainForm;

// splitmix64: the same sequence on every platform and library.
struct Random {
    uint64_t state;
    uint64_t Next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint64_t>(n)); }
    int Between(int low, int high) { return low + Below(high - low + 1); }
    bool OneIn(int n) { return Below(n) == 0; }
    wchar_t Unit(int low, int high) { return static_cast<wchar_t>(Between(low, high)); }
};

std::string Hex(const std::wstring& text) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (wchar_t c : text) {
        for (int shift = 12; shift >= 0; shift -= 4) hex += kDigits[(c >> shift) & 15];
        hex += ' ';
    }
    return hex;
}

// ---- Reference readers ----

bool IsHigh(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The characters of a text: a high surrogate and the low one after it make one
// character; any other unit, a lone surrogate included, is a character of its own.
std::vector<unsigned> Characters(const std::wstring& text) {
    std::vector<unsigned> characters;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsHigh(text[i]) && i + 1 < text.size() && IsLow(text[i + 1])) {
            characters.push_back(0x10000 + ((text[i] - 0xD800u) << 10) + (text[i + 1] - 0xDC00u));
            ++i;
        } else {
            characters.push_back(text[i]);
        }
    }
    return characters;
}

bool IsBlank(unsigned c) { return c == ' ' || c == '\t' || c == 0x3000; }
int DigitOf(unsigned c) {  // -1: not a digit
    if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
    if (c >= 0xFF10 && c <= 0xFF19) return static_cast<int>(c - 0xFF10);
    return -1;
}
bool IsPlus(unsigned c) { return c == '+' || c == 0xFF0B; }
bool IsMinus(unsigned c) { return c == '-' || c == 0xFF0D; }

int32_t ReferenceNumber(const std::wstring& text) {
    const std::vector<unsigned> c = Characters(text);
    std::size_t i = 0;
    while (i < c.size() && IsBlank(c[i])) ++i;
    int64_t sign = 1;
    if (i < c.size() && (IsPlus(c[i]) || IsMinus(c[i]))) sign = IsMinus(c[i++]) ? -1 : 1;
    int64_t value = 0;
    for (; i < c.size() && DigitOf(c[i]) >= 0; ++i) {
        value = std::min<int64_t>(value * 10 + DigitOf(c[i]), int64_t(1) << 40);  // far past the range
    }
    return static_cast<int32_t>(std::max<int64_t>(INT32_MIN, std::min<int64_t>(INT32_MAX, sign * value)));
}

// 1-based offset of the first match that begins where a character begins, or -1.
int ReferenceFind(const std::wstring& haystack, const std::wstring& needle) {
    std::vector<std::size_t> starts;
    std::size_t at = 0;
    for (unsigned c : Characters(haystack)) {
        starts.push_back(at);
        at += c >= 0x10000 ? 2 : 1;
    }
    starts.push_back(haystack.size());
    for (std::size_t start : starts) {
        if (haystack.size() - start >= needle.size() && haystack.compare(start, needle.size(), needle) == 0)
            return static_cast<int>(start + 1);
    }
    return -1;
}

// What the search reads of a title: its first 254 units.
std::wstring TitleAsRead(const std::wstring& title) { return title.substr(0, 254); }

TEST(ReferenceReaders, AgreeWithKnownAnswers) {
    const struct {
        const wchar_t* text;
        int32_t value;
    } numbers[] = {
        {L"", 0},
        {L" \t\x3000" L"12", 12},
        {L"\xFF0D\xFF17" L"8", -78},
        {L"+-1", 0},
        {L"- 1", 0},
        {L"\xFF0F" L"1", 0},
        {L"7\xFF1A", 7},
        {L"2147483648", INT32_MAX},
        {L"-2147483648", INT32_MIN},
        {L"-000000000000000000000000002147483649", INT32_MIN},
    };
    for (const auto& n : numbers) EXPECT_EQ(ReferenceNumber(n.text), n.value) << Hex(n.text);
    const struct {
        const wchar_t* haystack;
        const wchar_t* needle;
        int position;
    } finds[] = {
        {L"", L"", 1},
        {L"a", L"", 1},
        {L"", L"a", -1},
        {L"\xD840\xDC00", L"\xDC00", -1},  // begins on a trail unit
        {L"\xD840" L"aa", L"a", 2},        // a lone lead unit is a character of its own
        {L"ab\xDC00\xDC00", L"\xDC00", 3},
        {L"ab\xD840\xD840\xDC00", L"\xD840\xDC00", 4},
    };
    for (const auto& f : finds) EXPECT_EQ(ReferenceFind(f.haystack, f.needle), f.position) << Hex(f.haystack);
    EXPECT_EQ(TitleAsRead(std::wstring(300, L'提')).size(), 254u);
}

// ---- Edit-box texts ----

// One piece of an edit-box text, from the things a careless reader trips over.
std::wstring NumberPiece(Random& r) {
    switch (r.Below(12)) {
    case 0: return L" ";
    case 1: return L"\t";
    case 2: return L"\x3000";  // full-width blank
    case 3: return std::wstring(1, r.Unit('0', '9'));
    case 4: return std::wstring(1, r.Unit(0xFF10, 0xFF19));  // full-width digit
    case 5: return r.OneIn(2) ? L"+" : L"-";
    case 6: return r.OneIn(2) ? L"\xFF0B" : L"\xFF0D";
    case 7: return std::wstring(1, r.Unit(0x4E00, 0x9FA5));  // a Chinese character
    case 8: return std::wstring(1, r.Unit(1, 0xFFFF));      // a stray unit
    case 9: {                                                 // an overflowing run
        std::wstring run;
        for (int n = r.Between(9, 30); n > 0; --n) run += r.OneIn(3) ? r.Unit(0xFF10, 0xFF19) : r.Unit('0', '9');
        return run;
    }
    case 10: {  // next to a full-width sign, digit or blank, but none of them
        static const wchar_t* const kNear[] = {L"\xFF0A", L"\xFF0C", L"\xFF0E", L"\xFF0F", L"\xFF1A",
                                               L"\x2FFF", L"\x3001", L"\xFF00", L"\xFE10", L"\xFF10\xFF0F"};
        return kNear[r.Below(10)];
    }
    default: return std::wstring(1, r.Unit(0x21, 0x7E));
    }
}

// Mostly shaped like a number (blanks, signs, digits, a tail), so that every
// rule is reached; now and then pieces at random.
std::wstring NumberText(Random& r) {
    std::wstring text;
    if (r.OneIn(4)) {
        for (int n = r.Below(9); n > 0; --n) text += NumberPiece(r);
        return text;
    }
    static const wchar_t* const kBlanks[] = {L" ", L"\t", L"\x3000"};
    for (int n = r.Below(4); n > 0; --n) text += kBlanks[r.Below(3)];
    static const wchar_t* const kSigns[] = {L"+", L"-", L"\xFF0B", L"\xFF0D"};
    for (int n = r.OneIn(3) ? 0 : r.Between(1, 2); n > 0; --n) text += kSigns[r.Below(4)];
    for (int n = r.OneIn(5) ? r.Between(10, 25) : r.Below(10); n > 0; --n) {
        text += r.OneIn(3) ? r.Unit(0xFF10, 0xFF19) : r.Unit('0', '9');
    }
    for (int n = r.Below(4); n > 0; --n) text += NumberPiece(r);
    return text;
}

TEST(BadNumbers, TenThousandTextsReadAsTheReferenceReadsThem) {
    Random r{20240601};
    int mismatches = 0;
    for (int i = 0; i < 10000; ++i) {
        const std::wstring text = NumberText(r);
        const int32_t expected = ReferenceNumber(text);
        const int32_t read = winkit::ReadNumber(text);
        if (read != expected && ++mismatches <= 10) {
            ADD_FAILURE() << "case " << i << ": [" << Hex(text) << "] reads " << read << ", not " << expected;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

class BadInputOnForm : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(support::LoadMainForm());
        ui::SetPeriod(ui::kPromptTimer, 0);  // no prompt search meanwhile
    }
    static void TearDownTestSuite() { support::UnloadForm(kMainForm); }
};

TEST_F(BadInputOnForm, StartReadsTheBoxAsTheReferenceReadsIt) {
    Random r{77};
    int started = 0;
    watch::Watch& state = support::FreshWatch();
    for (int i = 0; i < 300; ++i) {
        ui::SetContent(ui::kTargetBox, NumberText(r));
        // The box keeps what its code page can hold, which is what Start reads.
        const std::wstring shown = ui::GetContent(ui::kTargetBox);
        if (shown.empty()) continue;  // Start would show its message box
        state.dialTarget = 12345;
        watch::Start(state, ui::EventArgs());
        const int32_t expected = ReferenceNumber(shown);
        ASSERT_EQ(state.dialTarget, expected) << "case " << i << ": [" << Hex(shown) << "]";
        ASSERT_EQ(ui::GetCaption(ui::kTargetLine), L"拔号按钮句柄为：" + std::to_wstring(expected));
        ++started;
    }
    watch::Stop(state, ui::EventArgs());
    EXPECT_GT(started, 250);
}

// ---- Titles and criteria ----

// Pieces whose units overlap: the halves of surrogate pairs alone and paired
// both ways, Chinese characters, the quote of the title test.
const wchar_t* const kTextPieces[] = {
    L"a", L"b", L"Q", L"'", L"\xD840" L"a", L"\xD840\xDC00", L"\xD841\xDC01", L"\xDC00", L"提", L"示", L"\xDC01\xD840",
};
const int kTextPieceCount = sizeof kTextPieces / sizeof kTextPieces[0];
const wchar_t kTextUnits[] = L"abQ'\xD840\xD841\xDC00\xDC01提示";

std::wstring Pieces(Random& r, int count) {
    std::wstring text;
    for (; count > 0; --count) text += kTextPieces[r.Below(kTextPieceCount)];
    return text;
}

std::wstring Criterion(Random& r, const std::wstring& text, std::size_t around) {
    switch (r.Below(4)) {
    case 0:
    case 1: {  // any offset near the given one, a trail unit as often as not
        if (text.empty()) return Pieces(r, 1);
        const std::size_t low = around > 12 ? around - 12 : 0;
        const std::size_t start = std::min(text.size() - 1, low + r.Below(20));
        return text.substr(start, r.Between(1, 8));
    }
    case 2: return Pieces(r, r.Between(1, 3));
    default: {
        std::wstring units;
        for (int n = r.Between(1, 4); n > 0; --n) units += kTextUnits[r.Below(std::wcslen(kTextUnits))];
        return units;
    }
    }
}

TEST(BadTitles, TenThousandSearchesFindWhatTheReferenceFinds) {
    Random r{4242};
    int mismatches = 0;
    for (int i = 0; i < 10000; ++i) {
        std::wstring haystack = Pieces(r, r.Below(40));
        if (r.OneIn(8)) haystack += kTextUnits[r.Below(std::wcslen(kTextUnits))];  // may end on a lone lead unit
        const std::wstring needle = r.OneIn(50) ? std::wstring() : Criterion(r, haystack, r.Below(80));
        const int expected = ReferenceFind(haystack, needle);
        const int found = winkit::FindInText(haystack, needle);
        if (found != expected && ++mismatches <= 10) {
            ADD_FAILURE() << "case " << i << ": [" << Hex(needle) << "] in [" << Hex(haystack) << "] at " << found
                          << ", not " << expected;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

// Only windows of this class can pass the class test; the other one lies
// just above it in the Z-order with a long title, so a title read short
// would find that window's units in the shared buffer behind its own.
const wchar_t kTitleClass[] = L"SoakTitleWindow";
const wchar_t kAboveClass[] = L"SoakTitleAbove";

TEST(BadTitles, TheTitleTestSeesTheFirst254UnitsInQuotes) {
    support::EnsureShell();
    WNDCLASSW cls = {};
    cls.lpfnWndProc = DefWindowProcW;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = kTitleClass;
    RegisterClassW(&cls);
    cls.lpszClassName = kAboveClass;
    RegisterClassW(&cls);
    const DWORD style = WS_POPUP | WS_VISIBLE;
    HWND titled = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kTitleClass, L"", style, -40, -40, 8, 8,
                                  nullptr, nullptr, cls.hInstance, nullptr);
    HWND above = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kAboveClass, std::wstring(300, L'Q').c_str(),
                                 style, -40, -40, 8, 8, nullptr, nullptr, cls.hInstance, nullptr);
    ASSERT_TRUE(titled && above);
    SetWindowPos(titled, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    Random r{254};
    int found = 0;
    for (int i = 0; i < 300; ++i) {
        std::wstring title;
        const std::size_t length = r.Between(230, 290);
        while (title.size() < length) title += kTextPieces[r.Below(kTextPieceCount)];
        SetWindowTextW(titled, title.c_str());
        wchar_t stored[1024] = L"";
        GetWindowTextW(titled, stored, 1024);
        ASSERT_EQ(std::wstring(stored), title) << "the title does not keep its units: " << Hex(title);

        const std::wstring quoted = L"'" + TitleAsRead(title) + L"'";
        std::wstring criterion;
        switch (r.Below(4)) {
        case 0: criterion = quoted.substr(quoted.size() - r.Between(2, 8)); break;  // anchored at the end
        case 1: {  // across the cut
            const std::size_t start = std::min<std::size_t>(title.size(), r.Between(240, 256));
            criterion = title.substr(start, r.Between(1, 8)) + (r.OneIn(2) ? L"'" : L"");
            break;
        }
        default: criterion = Criterion(r, title, 254); break;
        }
        const bool expected = ReferenceFind(quoted, criterion) > 0;
        found += expected;
        const int32_t result = winkit::FindProcessWindow(L"", kTitleClass, criterion);
        ASSERT_EQ(result == winkit::HandleToInt(titled), expected)
            << "case " << i << ": [" << Hex(criterion) << "] in title [" << Hex(title) << "]";
        if (!expected) {
            ASSERT_EQ(result, -1);
        }
    }
    EXPECT_GT(found, 50);
    EXPECT_LT(found, 250);
    DestroyWindow(above);
    DestroyWindow(titled);
}

// ---- Pictures ----

// Copies bytes to the very end of a readable page run, with an inaccessible
// page right behind: reading one byte too far ends the test process at once.
class GuardedBytes {
public:
    explicit GuardedBytes(std::size_t capacity) {
        SYSTEM_INFO system;
        GetSystemInfo(&system);
        const std::size_t page = system.dwPageSize;
        readable_ = (capacity + page - 1) / page * page;
        base_ = static_cast<unsigned char*>(VirtualAlloc(nullptr, readable_ + page, MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        if (base_) VirtualProtect(base_ + readable_, page, PAGE_NOACCESS, &old);
    }
    ~GuardedBytes() {
        if (base_) VirtualFree(base_, 0, MEM_RELEASE);
    }
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;

    const unsigned char* Place(const std::vector<unsigned char>& bytes) {
        unsigned char* start = base_ + readable_ - bytes.size();
        if (!bytes.empty()) std::memcpy(start, bytes.data(), bytes.size());
        return start;
    }
    bool ready() const { return base_ != nullptr; }

private:
    unsigned char* base_ = nullptr;
    std::size_t readable_ = 0;
};

// A picture is whole (a bitmap or an icon of the stated size) or empty.
::testing::AssertionResult WholeOrEmpty(const ui::Picture& picture) {
    if (!picture.bitmap && !picture.icon) {
        if (picture.width == 0 && picture.height == 0) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "an empty picture of " << picture.width << "x" << picture.height;
    }
    if (picture.bitmap && picture.icon) return ::testing::AssertionFailure() << "both a bitmap and an icon";
    if (picture.width <= 0 || picture.height <= 0)
        return ::testing::AssertionFailure() << "a picture of " << picture.width << "x" << picture.height;
    if (picture.bitmap) {
        BITMAP info = {};
        if (!GetObjectA(picture.bitmap, sizeof info, &info)) return ::testing::AssertionFailure() << "a dead bitmap";
        if (info.bmWidth != picture.width || std::abs(info.bmHeight) != picture.height)
            return ::testing::AssertionFailure() << "a bitmap of " << info.bmWidth << "x" << info.bmHeight
                                                 << " said to be " << picture.width << "x" << picture.height;
    } else {
        ICONINFO info = {};
        if (!GetIconInfo(picture.icon, &info)) return ::testing::AssertionFailure() << "a dead icon";
        if (info.hbmMask) DeleteObject(info.hbmMask);
        if (info.hbmColor) DeleteObject(info.hbmColor);
    }
    return ::testing::AssertionSuccess();
}

std::vector<unsigned char> Asset(const unsigned char* bytes, unsigned size) {
    return std::vector<unsigned char>(bytes, bytes + size);
}

void PutWord(std::vector<unsigned char>& bytes, std::size_t at, unsigned value) {
    bytes[at] = static_cast<unsigned char>(value);
    bytes[at + 1] = static_cast<unsigned char>(value >> 8);
}
void PutDword(std::vector<unsigned char>& bytes, std::size_t at, uint32_t value) {
    PutWord(bytes, at, value & 0xFFFF);
    PutWord(bytes, at + 2, value >> 16);
}

// Offset of the first frame header's marker (SOF0..SOF15 but DHT, JPG, DAC).
std::size_t FrameHeader(const std::vector<unsigned char>& jpeg) {
    for (std::size_t at = 2; at + 4 <= jpeg.size();) {
        const unsigned marker = jpeg[at + 1];
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) return at;
        at += 2 + (jpeg[at + 2] << 8 | jpeg[at + 3]);
    }
    return 0;
}

std::size_t FindMarker(const std::vector<unsigned char>& jpeg, unsigned marker) {
    for (std::size_t at = 2; at + 4 <= jpeg.size();) {
        if (jpeg[at + 1] == marker) return at;
        at += 2 + (jpeg[at + 2] << 8 | jpeg[at + 3]);
    }
    return 0;
}

std::vector<unsigned char> WithFrameSize(std::vector<unsigned char> jpeg, unsigned width, unsigned height) {
    const std::size_t frame = FrameHeader(jpeg);
    jpeg[frame + 5] = static_cast<unsigned char>(height >> 8);
    jpeg[frame + 6] = static_cast<unsigned char>(height);
    jpeg[frame + 7] = static_cast<unsigned char>(width >> 8);
    jpeg[frame + 8] = static_cast<unsigned char>(width);
    return jpeg;
}

class BadPictures : public BadInputOnForm {
protected:
    static constexpr int kBoxWidth = 64;  // 图片框2, the dial-button picture's box
    static constexpr int kBoxHeight = 77;

    // Decodes the bytes from guarded memory, checks the picture, and that the
    // decode took less than 2 s of processor time, and frees it; every
    // twentieth goes through the picture box of the main window as well.
    void Decode(const std::vector<unsigned char>& bytes, const std::string& what) {
        ASSERT_TRUE(guard_.ready());
        const unsigned char* placed = guard_.Place(bytes);
        const double start = support::ThreadProcessorMs();
        ui::Picture picture = ui::DecodePicture(placed, bytes.size(), kBoxWidth, kBoxHeight);
        const double took = support::ThreadProcessorMs() - start;
        EXPECT_TRUE(WholeOrEmpty(picture)) << what;
        EXPECT_LT(took, 2000.0) << what << ": ms of processor time";
        decoded_ += picture.bitmap || picture.icon;
        ui::FreePicture(picture);
        EXPECT_FALSE(picture.bitmap || picture.icon) << "FreePicture leaves the picture empty";
        if (++count_ % 20 == 0) {
            ui::SetPicture(ui::kAimIcon, placed, bytes.size());
            ui::Unit* box = ui::FindUnit(ui::kAimIcon);
            ASSERT_TRUE(box);
            EXPECT_TRUE(WholeOrEmpty(box->picture)) << what << " in the picture box";
        }
    }
    void TearDown() override { watch::ShowAimIcon(ui::EventArgs()); }

    GuardedBytes guard_{64 * 1024};
    int count_ = 0;
    int decoded_ = 0;
};

TEST_F(BadPictures, EveryTruncationOfTheAssets) {
    Decode(Asset(kDialButtonJpeg, kDialButtonJpegSize), "the whole JPEG");
    Decode(Asset(kAimCursor, kAimCursorSize), "the whole cursor");
    EXPECT_EQ(decoded_, 2) << "the assets themselves decode";
    const soak::Resources before = soak::Measure();
    for (const auto& asset : {Asset(kDialButtonJpeg, kDialButtonJpegSize), Asset(kAimCursor, kAimCursorSize)}) {
        for (std::size_t length = 0; length < asset.size(); ++length) {
            Decode(std::vector<unsigned char>(asset.begin(), asset.begin() + length),
                   "the first " + std::to_string(length) + " bytes of " + std::to_string(asset.size()));
        }
    }
    soak::ExpectFlat(before, soak::Measure(), "truncated pictures");
}

TEST_F(BadPictures, RandomByteFlips) {
    Random r{99};
    Decode(Asset(kDialButtonJpeg, kDialButtonJpegSize), "warm-up");
    Decode(Asset(kAimCursor, kAimCursorSize), "warm-up");
    const soak::Resources before = soak::Measure();
    for (int i = 0; i < 3000; ++i) {
        std::vector<unsigned char> bytes =
            i % 2 ? Asset(kDialButtonJpeg, kDialButtonJpegSize) : Asset(kAimCursor, kAimCursorSize);
        // Headers are where the lengths and offsets are: aim there half the time.
        const int reach = r.OneIn(2) ? std::min<int>(400, static_cast<int>(bytes.size())) : static_cast<int>(bytes.size());
        for (int n = r.Between(1, 6); n > 0; --n) {
            const int at = r.OneIn(3) ? r.Below(2) + 2 : r.Below(reach);  // the first two say which decoder
            bytes[at] = r.OneIn(2) ? static_cast<unsigned char>(bytes[at] ^ (1u << r.Below(8)))
                                   : static_cast<unsigned char>(r.Below(256));
        }
        if (r.OneIn(4)) bytes.resize(r.Between(4, static_cast<int>(bytes.size())));
        Decode(bytes, "flip case " + std::to_string(i));
        if (HasFatalFailure()) return;
    }
    std::printf("[ soak     ] %d of 3000 corrupt pictures still decoded\n", decoded_ - 2);
    soak::ExpectFlat(before, soak::Measure(), "corrupt pictures");
}

TEST_F(BadPictures, AbsurdCursorHeaders) {
    const std::vector<unsigned char> cursor = Asset(kAimCursor, kAimCursorSize);
    const std::size_t entry = 6;
    const std::size_t image = cursor[entry + 12] | cursor[entry + 13] << 8;  // the header of the first image
    const uint32_t size = static_cast<uint32_t>(cursor.size());
    const struct {
        const char* what;
        std::size_t at;
        int width;  // 2 or 4 bytes
        uint32_t value;
    } patches[] = {
        {"image beyond the end", entry + 12, 4, size},
        {"image far beyond the end", entry + 12, 4, 0x7FFFFFFF},
        {"offset and size wrapping", entry + 12, 4, 0xFFFFFFF0},
        {"size beyond the end", entry + 8, 4, size},
        {"size of everything", entry + 8, 4, 0xFFFFFFFF},
        {"size below a header", entry + 8, 4, 39},
        {"size of the header alone", entry + 8, 4, 40},
        {"width and height 0", entry, 2, 0},
        {"no images", 4, 2, 0},
        {"65535 images", 4, 2, 0xFFFF},
        {"type 3", 2, 2, 3},
        {"an icon", 2, 2, 1},
        {"hotspot far out", entry + 4, 4, 0xFFFFFFFF},
        {"header size 0", image, 4, 0},
        {"header size huge", image, 4, 0xFFFFFFFF},
        {"header of a core bitmap", image, 4, 12},
        {"width huge", image + 4, 4, 0x7FFFFFFF},
        {"width negative", image + 4, 4, 0x80000000},
        {"height huge", image + 8, 4, 0x7FFFFFFF},
        {"height negative", image + 8, 4, static_cast<uint32_t>(-64)},
        {"height 0", image + 8, 4, 0},
        {"no planes", image + 12, 2, 0},
        {"0 bits", image + 14, 2, 0},
        {"3 bits", image + 14, 2, 3},
        {"32 bits", image + 14, 2, 32},
        {"64 bits", image + 14, 2, 64},
        {"bit fields", image + 16, 4, BI_BITFIELDS},
        {"run lengths", image + 16, 4, BI_RLE8},
        {"a PNG inside", image + 16, 4, BI_PNG},
        {"colours used huge", image + 32, 4, 0xFFFFFFFF},
        {"colours used 256", image + 32, 4, 256},
    };
    const soak::Resources before = soak::Measure();
    for (const auto& patch : patches) {
        std::vector<unsigned char> bytes = cursor;
        if (patch.width == 2) {
            PutWord(bytes, patch.at, patch.value);
        } else {
            PutDword(bytes, patch.at, patch.value);
        }
        Decode(bytes, patch.what);
        if (HasFatalFailure()) return;
    }
    soak::ExpectFlat(before, soak::Measure(), "absurd cursors");
}

TEST_F(BadPictures, AbsurdJpegHeaders) {
    const std::vector<unsigned char> jpeg = Asset(kDialButtonJpeg, kDialButtonJpegSize);
    const std::vector<unsigned char> progressive = Asset(kProgressiveJpeg, kProgressiveJpegSize);
    const std::size_t frame = FrameHeader(jpeg);
    const std::size_t table = FindMarker(jpeg, 0xDB);
    const std::size_t scan = FindMarker(jpeg, 0xDA);
    ASSERT_TRUE(frame && table && scan && FrameHeader(progressive));

    struct Case {
        std::string what;
        std::vector<unsigned char> bytes;
    };
    std::vector<Case> cases = {
        {"65535 x 65535", WithFrameSize(jpeg, 65535, 65535)},
        {"a width of 0", WithFrameSize(jpeg, 0, 77)},
        {"a height of 0", WithFrameSize(jpeg, 64, 0)},
        {"60000 x 1", WithFrameSize(jpeg, 60000, 1)},
        {"16385 x 16385", WithFrameSize(jpeg, 16385, 16385)},
        // A progressive file is buffered whole before its first line comes out.
        {"progressive 65500 x 65500", WithFrameSize(progressive, 65500, 65500)},
        {"progressive 30000 x 30000", WithFrameSize(progressive, 30000, 30000)},
        {"progressive 16385 x 8", WithFrameSize(progressive, 16385, 8)},
        {"a CMYK picture", Asset(kCmykJpeg, kCmykJpegSize)},
        {"a grey picture", Asset(kGreyJpeg, kGreyJpegSize)},
        {"start and end alone", {0xFF, 0xD8, 0xFF, 0xD9}},
        {"start alone", {0xFF, 0xD8, 0x00, 0x00}},
        {"a scan cut after its header", std::vector<unsigned char>(jpeg.begin(), jpeg.begin() + scan + 14)},
    };
    const struct {
        const char* what;
        std::size_t at;
        unsigned value;
    } patches[] = {
        {"12-bit samples", frame + 4, 12},
        {"0 components", frame + 9, 0},
        {"255 components", frame + 9, 255},
        {"a frame length of 0", frame + 2, 0},
        {"a frame length of 65535", frame + 2, 0xFF},
        {"a table length of 1", table + 3, 1},
        {"a table for slot 15", table + 4, 15},
        {"sampling 0x0", frame + 11, 0x00},
        {"sampling 15x15", frame + 11, 0xFF},
        {"an unknown table in the frame", frame + 12, 9},
        {"a scan of 9 components", scan + 4, 9},
        {"a scan of an unknown component", scan + 5, 77},
        {"a scan past the last coefficient", scan + 11, 0xFF},
        {"a second start marker", scan + 1, 0xD8},
    };
    for (const auto& patch : patches) {
        std::vector<unsigned char> bytes = jpeg;
        bytes[patch.at] = static_cast<unsigned char>(patch.value);
        cases.push_back({patch.what, bytes});
    }
    Decode(jpeg, "warm-up");
    Decode(progressive, "a progressive picture");
    EXPECT_EQ(decoded_, 2) << "pictures that fit the box decode";
    // One pixel more than the box has, and the decoder is not asked at all.
    Decode(WithFrameSize(jpeg, 64, 78), "one line more than the box");
    Decode(WithFrameSize(progressive, 4929, 1), "progressive 4929 x 1");
    EXPECT_EQ(decoded_, 2) << "pictures beyond the box are refused";
    const soak::Resources before = soak::Measure();
    for (const Case& c : cases) {
        Decode(c.bytes, c.what);
        if (HasFatalFailure()) return;
    }
    soak::ExpectFlat(before, soak::Measure(), "absurd JPEG files");
}

}  // namespace
