#include "winkit/window_search.h"

#include "tests/support/probe.h"
#include "tests/support/program.h"
#include "winkit/text.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr wchar_t kClass[] = L"WinkitSearchProbe";
constexpr wchar_t kOtherClass[] = L"WinkitSearchOther";

class WindowSearch : public support::WindowsTest {
protected:
    // The search as the prompt dismissal makes it, with this process's image.
    int32_t Find(const wchar_t* className, const std::wstring& title) {
        return winkit::FindProcessWindow(image_, className, title);
    }
    int32_t Handle(HWND hwnd) { return winkit::HandleToInt(hwnd); }

    std::wstring image_ = support::OwnImageName();
};

int IndexOf(const std::vector<winkit::WindowInfo>& list, HWND hwnd) {
    auto it = std::find_if(list.begin(), list.end(), [hwnd](const winkit::WindowInfo& w) { return w.handle == hwnd; });
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TEST_F(WindowSearch, ListReadsEveryVisibleWindowInZOrder) {
    HWND lower = Make(kClass, L"winkit 下层");
    HWND upper = Make(kOtherClass, L"winkit 上层");
    HWND hidden = Make(kClass, L"winkit 隐藏", false);

    std::vector<winkit::WindowInfo> list(1);  // replaced, not appended to
    int count = winkit::ListTopLevelWindows(list);
    EXPECT_EQ(count, static_cast<int>(list.size()));
    EXPECT_EQ(IndexOf(list, nullptr), -1);
    int upperAt = IndexOf(list, upper);
    int lowerAt = IndexOf(list, lower);
    ASSERT_GE(upperAt, 0);
    ASSERT_GT(lowerAt, upperAt);
    EXPECT_EQ(IndexOf(list, hidden), -1);

    const winkit::WindowInfo& info = list[upperAt];
    EXPECT_EQ(info.processId, GetCurrentProcessId());
    EXPECT_EQ(info.threadId, GetCurrentThreadId());
    EXPECT_EQ(info.className, kOtherClass);
    EXPECT_EQ(info.title, L"winkit 上层");

    winkit::ListTopLevelWindows(list, false);
    EXPECT_GE(IndexOf(list, hidden), 0);
}

TEST_F(WindowSearch, Criteria) {
    HWND probeWindow = Make(kClass, L"winkit Probe 提示窗口");
    Make(kOtherClass, L"winkit Other 提示窗口");
    Make(kClass, L"winkit 隐藏 提示", false);

    std::wstring upperImage = image_;
    std::transform(upperImage.begin(), upperImage.end(), upperImage.begin(), ::towupper);
    const struct {
        std::wstring imageName;
        const wchar_t* className;
        std::wstring title;
        HWND expected;
    } cases[] = {
        {image_, kClass, L"Probe 提示", probeWindow},
        {image_, kClass, L"提示窗口", probeWindow},
        {image_, L"", L"winkit Probe", probeWindow},
        {L"", kClass, L"winkit Probe", probeWindow},
        {L"", L"", L"winkit Probe 提示窗口", probeWindow},
        {L"NoSuchImage.exe", kClass, L"winkit Probe", nullptr},
        {upperImage, kClass, L"winkit Probe", probeWindow},  // file names: either case
        {image_, L"winkitsearchprobe", L"winkit Probe", nullptr},
        {image_, kClass, L"winkit probe", nullptr},
        {image_, kClass, L"winkit 隐藏", nullptr},
        {image_, kClass, L"winkit Other", nullptr},
        {L"", L"", L"", nullptr},
    };
    for (const auto& c : cases) {
        int32_t expected = c.expected ? Handle(c.expected) : -1;
        EXPECT_EQ(winkit::FindProcessWindow(c.imageName, c.className, c.title), expected)
            << c.imageName << " / " << c.className << " / " << c.title;
    }
}

TEST_F(WindowSearch, QuotesAnchorTheTitle) {
    HWND hwnd = Make(kClass, L"abc探针xyz");
    const struct {
        const wchar_t* title;
        bool found;
    } cases[] = {
        {L"探针", true},       {L"'abc", true},      {L"xyz'", true},  {L"'abc探针xyz'", true},
        {L"'探针", false},     {L"探针'", false},    {L"'abc'", false}, {L"'xyz", false},
        {L"abc'", false},      {L"'", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Find(kClass, c.title), c.found ? Handle(hwnd) : -1) << c.title;
    }
}

TEST_F(WindowSearch, EmptyTitlePassesOnlyQuotes) {
    HWND hwnd = Make(L"WinkitSearchEmpty", L"");
    EXPECT_EQ(Find(L"WinkitSearchEmpty", L"'"), Handle(hwnd));
    EXPECT_EQ(Find(L"WinkitSearchEmpty", L"''"), Handle(hwnd));
    EXPECT_EQ(Find(L"WinkitSearchEmpty", L"' '"), -1);
    EXPECT_EQ(Find(L"WinkitSearchEmpty", L"x"), -1);
    EXPECT_EQ(Find(L"WinkitSearchEmpty", L""), Handle(hwnd));
}

TEST_F(WindowSearch, MatchNeverBeginsOnATrailUnit) {
    // 𠀀 (U+20000) is the pair D840 DC00, so DC00 occurs in it as its second unit
    HWND hwnd = Make(L"WinkitSearchTrail", L"\xD840\xDC00x\xDC00y");
    EXPECT_EQ(Find(L"WinkitSearchTrail", L"\xDC00x"), -1);
    EXPECT_EQ(Find(L"WinkitSearchTrail", L"\xDC00y"), Handle(hwnd));
    EXPECT_EQ(Find(L"WinkitSearchTrail", L"'\xD840\xDC00"), Handle(hwnd));
}

TEST_F(WindowSearch, TitlesAreCutAt254Characters) {
    const std::wstring exact(254, L'提');
    const std::wstring longer = std::wstring(254, L'长') + L"TAIL";
    HWND exactWindow = Make(L"WinkitSearchExact", exact);
    HWND longWindow = Make(L"WinkitSearchLong", longer);

    std::vector<winkit::WindowInfo> list;
    winkit::ListTopLevelWindows(list);
    int exactAt = IndexOf(list, exactWindow);
    int longAt = IndexOf(list, longWindow);
    ASSERT_GE(exactAt, 0);
    ASSERT_GE(longAt, 0);
    EXPECT_EQ(list[exactAt].title, exact);
    EXPECT_EQ(list[longAt].title, std::wstring(254, L'长'));

    EXPECT_EQ(Find(L"WinkitSearchExact", L"'" + exact + L"'"), Handle(exactWindow));
    EXPECT_EQ(Find(L"WinkitSearchLong", L"TAIL"), -1);
    EXPECT_EQ(Find(L"WinkitSearchLong", L"长'"), Handle(longWindow));
}

TEST_F(WindowSearch, HighestInZOrderWins) {
    HWND first = Make(kClass, L"winkit 同名");
    HWND second = Make(kClass, L"winkit 同名");
    const UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    SetWindowPos(first, HWND_TOP, 0, 0, 0, 0, keep);
    EXPECT_EQ(Find(kClass, L"winkit 同名"), Handle(first));
    SetWindowPos(second, HWND_TOP, 0, 0, 0, 0, keep);
    EXPECT_EQ(Find(kClass, L"winkit 同名"), Handle(second));
    ShowWindow(second, SW_HIDE);
    EXPECT_EQ(Find(kClass, L"winkit 同名"), Handle(first));
}

// Windows that keep reordering could lead the walk in a circle; here every
// step leads back to the same two windows.
// The fake gives up long after any bound, so a walk without one fails the
// test instead of hanging it.
HWND gCircle[2];
int gSteps = 0;
HWND WINAPI CircularGetWindow(HWND hwnd, UINT command) {
    if (command == GW_CHILD) return gCircle[0];
    if (++gSteps > 1000000) return nullptr;
    return hwnd == gCircle[0] ? gCircle[1] : gCircle[0];
}

TEST_F(WindowSearch, WalkEndsWhenWindowsGoInCircles) {
    gCircle[0] = Make(kClass, L"winkit 圈甲");
    gCircle[1] = Make(kClass, L"winkit 圈乙");
    support::TableFake<sysfn::kGetWindow> fake(&CircularGetWindow);
    std::vector<winkit::WindowInfo> list;
    gSteps = 0;
    int count = winkit::ListTopLevelWindows(list, false);
    EXPECT_GT(count, 2);
    EXPECT_LE(count, 65536);
    gSteps = 0;
    EXPECT_EQ(Find(kClass, L"没有这个"), -1);
    EXPECT_LE(gSteps, 65536);
    EXPECT_EQ(Find(kClass, L"winkit 圈乙"), Handle(gCircle[1]));
}

}  // namespace
