// The real program, started as a user starts it: its window, its units, and
// how it ends.
#include "tests/support/program.h"
#include "tests/support/pump.h"
#include "tests/support/standin.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

namespace {

using support::Program;

struct UnitPlace {
    int row;
    const char* cls;
    int left, top, width, height;
    const char* text;
};

// Rows of the main form, as a test finds them by their child-window ids.
const UnitPlace kVisibleUnits[] = {
    {0, "Edit", 8, 184, 80, 20, ""},
    {1, "Button", 96, 184, 50, 24, "开始"},
    {2, "Static", 8, 8, 144, 24, ""},
    {3, "Static", 8, 64, 80, 24, ""},
    {5, "msctls_progress32", 8, 32, 150, 24, nullptr},
    {7, "Static", 168, 32, 80, 24, ""},
    {8, "Static", 8, 144, 168, 24, nullptr},
    {10, "Button", 152, 184, 50, 24, "停止"},
    {11, "AutoredialPicture", 8, 96, 32, 32, nullptr},
    {12, "Static", 40, 101, 160, 24, "<-拖动此图标到拔号按钮上->"},
    {13, "AutoredialPicture", 216, 72, 64, 77, nullptr},
    {14, "Static", 8, 208, 256, 24, "开始工作后不要最小化本窗口和岚川软件窗口"},
    {16, "AutoredialLink", 166, 4, 120, 24, nullptr},
};
const int kTimerRows[] = {4, 6, 9};
const int kStatusBarRow = 15;

class ProgramTest : public ::testing::Test {
protected:
    void TearDown() override { support::EndProgram(program); }
    Program program;
};

TEST_F(ProgramTest, MainWindowStandsCentredWithItsUnits) {
    ASSERT_TRUE(support::LaunchProgram(program));
    RECT outer;
    GetWindowRect(program.main, &outer);
    EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 300) / 2);
    EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - 276) / 2);
    EXPECT_EQ(outer.right - outer.left, 300);
    EXPECT_EQ(outer.bottom - outer.top, 276);
    EXPECT_EQ(support::WindowText(program.main), "岚川宽带断线自动重拔工具");

    const LONG style = GetWindowLongA(program.main, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)) << "it can't be resized";

    for (const UnitPlace& unit : kVisibleUnits) {
        SCOPED_TRACE(unit.row);
        HWND hwnd = support::UnitWindow(program, unit.row);
        ASSERT_TRUE(hwnd);
        char cls[64] = {};
        GetClassNameA(hwnd, cls, sizeof cls);
        EXPECT_STRCASEEQ(cls, unit.cls);
        EXPECT_TRUE(IsWindowVisible(hwnd));
        RECT place = support::ChildRect(hwnd);
        EXPECT_EQ(place.left, unit.left);
        EXPECT_EQ(place.top, unit.top);
        EXPECT_EQ(place.right - place.left, unit.width);
        EXPECT_EQ(place.bottom - place.top, unit.height);
        if (unit.text) {
            EXPECT_EQ(support::WindowText(hwnd), unit.text);
        }
    }
    for (int row : kTimerRows) {
        HWND timer = support::UnitWindow(program, row);
        ASSERT_TRUE(timer);
        EXPECT_FALSE(IsWindowVisible(timer));
    }

    // The status bar lies along the bottom of the client area, with two panes.
    HWND status = support::UnitWindow(program, kStatusBarRow);
    ASSERT_TRUE(status);
    RECT client, bar = support::ChildRect(status);
    GetClientRect(program.main, &client);
    EXPECT_EQ(bar.bottom, client.bottom);
    EXPECT_EQ(bar.right - bar.left, client.right);
    EXPECT_EQ(SendMessageA(status, SB_GETPARTS, 0, 0), 2);
}

TEST_F(ProgramTest, PromptLabelReportsNoPromptEverySecond) {
    ASSERT_TRUE(support::LaunchProgram(program));
    HWND label = support::UnitWindow(program, 8);
    EXPECT_TRUE(support::PumpUntil([&] { return support::WindowText(label) == "出现提示窗口句柄：-1"; }, 3000))
        << support::WindowText(label);
}

TEST_F(ProgramTest, EscapeEndsTheProgramWithZero) {
    ASSERT_TRUE(support::LaunchProgram(program));
    // Esc pressed while the edit box has the focus closes the whole window.
    HWND edit = support::UnitWindow(program, 0);
    PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    EXPECT_EQ(support::WaitForExit(program, 10000), 0u);
}

TEST_F(ProgramTest, StartedElsewhereItWorksFromItsOwnFolder) {
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    ASSERT_TRUE(support::LaunchProgram(program, std::string(), windows));
    EXPECT_STRCASEEQ(support::CurrentDirectoryOf(program).c_str(), (standin::BuildDirectory() + "\\").c_str());
}

TEST_F(ProgramTest, OfflineWatchTickClicksTheDialButton) {
    standin::SetLinkState(false);
    standin::Client client;
    ASSERT_TRUE(standin::StartClient(client));
    ASSERT_TRUE(support::LaunchProgram(program));
    HWND edit = support::UnitWindow(program, 0);
    const std::string handle = std::to_string(reinterpret_cast<intptr_t>(client.dialButton));
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(handle.c_str()));
    PostMessageA(support::UnitWindow(program, 1), BM_CLICK, 0, 0);

    HWND count = support::UnitWindow(program, 7);
    EXPECT_TRUE(support::PumpUntil([&] { return support::WindowText(count) == "已拔1次"; }, 15000))
        << support::WindowText(count);
    EXPECT_EQ(support::WindowText(support::UnitWindow(program, 3)), "断网了");
    EXPECT_EQ(support::WindowText(support::UnitWindow(program, 2)), "拔号按钮句柄为：" + handle);
    EXPECT_TRUE(support::PumpUntil([&] { return standin::ClickCount(client) == 1; }, 3000));
    standin::StopClient(client);
    standin::SetLinkState(true);
}

}  // namespace
