#include "winkit/window_search.h"

#include "tests/support/probe.h"
#include "tests/support/program.h"
#include "winkit/text.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr char kClass[] = "WinkitSearchProbe";
constexpr char kOtherClass[] = "WinkitSearchOther";

class WindowSearch : public support::WindowsTest {
protected:
    // The search as the prompt dismissal makes it, with this process's image.
    int32_t Find(const char* className, const std::string& title) {
        return winkit::FindProcessWindow(image_, className, title);
    }
    int32_t Handle(HWND hwnd) { return winkit::HandleToInt(hwnd); }

    std::string image_ = support::OwnImageName();
};

int IndexOf(const std::vector<winkit::WindowInfo>& list, HWND hwnd) {
    auto it = std::find_if(list.begin(), list.end(), [hwnd](const winkit::WindowInfo& w) { return w.handle == hwnd; });
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TEST_F(WindowSearch, ListReadsEveryVisibleWindowInZOrder) {
    HWND lower = Make(kClass, "winkit 下层");
    HWND upper = Make(kOtherClass, "winkit 上层");
    HWND hidden = Make(kClass, "winkit 隐藏", false);

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
    EXPECT_EQ(info.title, "winkit 上层");

    winkit::ListTopLevelWindows(list, false);
    EXPECT_GE(IndexOf(list, hidden), 0);
}

TEST_F(WindowSearch, Criteria) {
    HWND probeWindow = Make(kClass, "winkit Probe 提示窗口");
    Make(kOtherClass, "winkit Other 提示窗口");
    Make(kClass, "winkit 隐藏 提示", false);

    std::string upperImage = image_;
    std::transform(upperImage.begin(), upperImage.end(), upperImage.begin(), ::toupper);
    const struct {
        std::string imageName;
        const char* className;
        std::string title;
        HWND expected;
    } cases[] = {
        {image_, kClass, "Probe 提示", probeWindow},
        {image_, kClass, "提示窗口", probeWindow},
        {image_, "", "winkit Probe", probeWindow},
        {"", kClass, "winkit Probe", probeWindow},
        {"", "", "winkit Probe 提示窗口", probeWindow},
        {"NoSuchImage.exe", kClass, "winkit Probe", nullptr},
        {upperImage, kClass, "winkit Probe", probeWindow},  // file names: either case
        {image_, "winkitsearchprobe", "winkit Probe", nullptr},
        {image_, kClass, "winkit probe", nullptr},
        {image_, kClass, "winkit 隐藏", nullptr},
        {image_, kClass, "winkit Other", nullptr},
        {"", "", "", nullptr},
    };
    for (const auto& c : cases) {
        int32_t expected = c.expected ? Handle(c.expected) : -1;
        EXPECT_EQ(winkit::FindProcessWindow(c.imageName, c.className, c.title), expected)
            << c.imageName << " / " << c.className << " / " << c.title;
    }
}

TEST_F(WindowSearch, QuotesAnchorTheTitle) {
    HWND hwnd = Make(kClass, "abc探针xyz");
    const struct {
        const char* title;
        bool found;
    } cases[] = {
        {"探针", true},       {"'abc", true},      {"xyz'", true},  {"'abc探针xyz'", true},
        {"'探针", false},     {"探针'", false},    {"'abc'", false}, {"'xyz", false},
        {"abc'", false},      {"'", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Find(kClass, c.title), c.found ? Handle(hwnd) : -1) << c.title;
    }
}

TEST_F(WindowSearch, EmptyTitlePassesOnlyQuotes) {
    HWND hwnd = Make("WinkitSearchEmpty", "");
    EXPECT_EQ(Find("WinkitSearchEmpty", "'"), Handle(hwnd));
    EXPECT_EQ(Find("WinkitSearchEmpty", "''"), Handle(hwnd));
    EXPECT_EQ(Find("WinkitSearchEmpty", "' '"), -1);
    EXPECT_EQ(Find("WinkitSearchEmpty", "x"), -1);
    EXPECT_EQ(Find("WinkitSearchEmpty", ""), Handle(hwnd));
}

TEST_F(WindowSearch, MatchNeverBeginsOnATrailByte) {
    // 丂 is 81 40, so '@' occurs in it as its second byte
    HWND hwnd = Make("WinkitSearchTrail", "\x81\x40" "x@y");
    EXPECT_EQ(Find("WinkitSearchTrail", "@x"), -1);
    EXPECT_EQ(Find("WinkitSearchTrail", "@y"), Handle(hwnd));
    EXPECT_EQ(Find("WinkitSearchTrail", "'\x81\x40"), Handle(hwnd));
}

TEST_F(WindowSearch, TitlesAreCutAt254Bytes) {
    const std::string exact(254, 'E');
    const std::string longer = std::string(254, 'L') + "TAIL";
    HWND exactWindow = Make("WinkitSearchExact", exact);
    HWND longWindow = Make("WinkitSearchLong", longer);

    std::vector<winkit::WindowInfo> list;
    winkit::ListTopLevelWindows(list);
    int exactAt = IndexOf(list, exactWindow);
    int longAt = IndexOf(list, longWindow);
    ASSERT_GE(exactAt, 0);
    ASSERT_GE(longAt, 0);
    EXPECT_EQ(list[exactAt].title, exact);
    EXPECT_EQ(list[longAt].title, std::string(254, 'L'));

    EXPECT_EQ(Find("WinkitSearchExact", "'" + exact + "'"), Handle(exactWindow));
    EXPECT_EQ(Find("WinkitSearchLong", "TAIL"), -1);
    EXPECT_EQ(Find("WinkitSearchLong", "L'"), Handle(longWindow));
}

TEST_F(WindowSearch, HighestInZOrderWins) {
    HWND first = Make(kClass, "winkit 同名");
    HWND second = Make(kClass, "winkit 同名");
    const UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    SetWindowPos(first, HWND_TOP, 0, 0, 0, 0, keep);
    EXPECT_EQ(Find(kClass, "winkit 同名"), Handle(first));
    SetWindowPos(second, HWND_TOP, 0, 0, 0, 0, keep);
    EXPECT_EQ(Find(kClass, "winkit 同名"), Handle(second));
    ShowWindow(second, SW_HIDE);
    EXPECT_EQ(Find(kClass, "winkit 同名"), Handle(first));
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
    gCircle[0] = Make(kClass, "winkit 圈甲");
    gCircle[1] = Make(kClass, "winkit 圈乙");
    support::TableFake fake(sysfn::kGetWindow, &CircularGetWindow);
    std::vector<winkit::WindowInfo> list;
    gSteps = 0;
    int count = winkit::ListTopLevelWindows(list, false);
    EXPECT_GT(count, 2);
    EXPECT_LE(count, 65536);
    gSteps = 0;
    EXPECT_EQ(Find(kClass, "没有这个"), -1);
    EXPECT_LE(gSteps, 65536);
    EXPECT_EQ(Find(kClass, "winkit 圈乙"), Handle(gCircle[1]));
}

}  // namespace
