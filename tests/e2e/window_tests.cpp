// The real program, started as a user starts it: its window, its units, and
// how it ends.
#include "tests/support/program.h"
#include "tests/support/pump.h"
#include "tests/support/standin.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

namespace {

struct UnitPlace {
    const char* name;  // in the main form's table
    const wchar_t* cls;
    int left, top, width, height;
    const wchar_t* text;
};

const UnitPlace kVisibleUnits[] = {
    {"编辑框1", L"Edit", 8, 184, 80, 20, L""},
    {"按钮1", L"Button", 96, 184, 50, 24, L"开始"},
    {"标签1", L"Static", 8, 8, 144, 24, L""},
    {"标签2", L"Static", 8, 64, 80, 24, L""},
    {"进度条1", L"msctls_progress32", 8, 32, 150, 24, nullptr},
    {"标签3", L"Static", 168, 32, 80, 24, L""},
    {"标签4", L"Static", 8, 144, 168, 24, nullptr},
    {"按钮2", L"Button", 152, 184, 50, 24, L"停止"},
    {"图片框1", L"AutoredialPicture", 8, 96, 32, 32, nullptr},
    {"标签6", L"Static", 40, 101, 160, 24, L"<-拖动此图标到拔号按钮上->"},
    {"图片框2", L"AutoredialPicture", 216, 72, 64, 77, nullptr},
    {"标签5", L"Static", 8, 208, 256, 24, L"开始工作后不要最小化本窗口和岚川软件窗口"},
    {"简单超文本框1", L"AutoredialLink", 166, 4, 120, 24, nullptr},
};

using ProgramAnyCodePage = support::ProgramTest;

TEST_F(ProgramAnyCodePage, MainWindowStandsCentredWithItsUnits) {
    ASSERT_TRUE(support::LaunchProgram(program));
    RECT outer;
    GetWindowRect(program.main, &outer);
    EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 300) / 2);
    EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - 276) / 2);
    EXPECT_EQ(outer.right - outer.left, 300);
    EXPECT_EQ(outer.bottom - outer.top, 276);
    EXPECT_EQ(support::WindowText(program.main), L"岚川宽带断线自动重拔工具");

    const LONG style = GetWindowLongW(program.main, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)) << "it can't be resized";

    for (const UnitPlace& unit : kVisibleUnits) {
        SCOPED_TRACE(unit.name);
        HWND hwnd = Unit(unit.name);
        ASSERT_TRUE(hwnd);
        EXPECT_EQ(lstrcmpiW(support::ClassOf(hwnd).c_str(), unit.cls), 0) << support::ClassOf(hwnd);
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
    for (const char* name : {"时钟1", "时钟2", "时钟3"}) {
        HWND timer = Unit(name);
        ASSERT_TRUE(timer);
        EXPECT_FALSE(IsWindowVisible(timer));
    }

    // The status bar lies along the bottom of the client area, with two panes.
    HWND status = Unit("状态条1");
    ASSERT_TRUE(status);
    RECT client, bar = support::ChildRect(status);
    GetClientRect(program.main, &client);
    EXPECT_EQ(bar.bottom, client.bottom);
    EXPECT_EQ(bar.right - bar.left, client.right);
    EXPECT_EQ(SendMessageW(status, SB_GETPARTS, 0, 0), 2);
}

TEST_F(ProgramAnyCodePage, PromptLabelReportsNoPromptEverySecond) {
    ASSERT_TRUE(support::LaunchProgram(program));
    EXPECT_TRUE(support::PumpUntil([&] { return Text(ui::kPromptLine) == L"出现提示窗口句柄：-1"; }, 3000)) << Text(ui::kPromptLine);
}

TEST_F(ProgramAnyCodePage, EscapeEndsTheProgramWithZero) {
    ASSERT_TRUE(support::LaunchProgram(program));
    // Esc pressed while the edit box has the focus closes the whole window.
    PostMessageW(Unit(ui::kTargetBox), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    EXPECT_EQ(support::WaitForExit(program, 10000), 0u);
}

// In a folder whose name only a Chinese code page can write, started from
// elsewhere: it works from its own folder, and the link test there comes from
// the system directory's wininet.dll, the stand-in (Wine's own always says
// connected).
TEST_F(ProgramAnyCodePage, FromAChineseFolderStartedElsewhereItWatchesTheLink) {
    std::wstring folder = support::BuildDirectory() + L"\\岚川 程序";
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        // Wine writes file names in the Unix locale's character set, and the
        // Chinese test locale here has none that holds Chinese: under code
        // page 936 the folder takes a plain name (e2e_english runs the case
        // with the Chinese one).
        ASSERT_EQ(GetACP(), 936u) << "the folder could not be made";
        folder = support::BuildDirectory() + L"\\program folder";
        CreateDirectoryW(folder.c_str(), nullptr);
    }
    ASSERT_TRUE(CopyFileW((support::BuildDirectory() + L"\\autoredial.exe").c_str(),
                          (folder + L"\\autoredial.exe").c_str(), FALSE));
    support::SetLinkState(false);
    support::Client client;
    ASSERT_TRUE(support::StartClient(client));
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    ASSERT_TRUE(support::LaunchProgram(program, folder + L"\\autoredial.exe", windows));
    EXPECT_EQ(lstrcmpiW(support::CurrentDirectoryOf(program).c_str(), (folder + L"\\").c_str()), 0)
        << support::CurrentDirectoryOf(program);

    const std::wstring handle = support::HandleText(client.dialButton);
    SendMessageW(Unit(ui::kTargetBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(handle.c_str()));
    PostMessageW(Unit(ui::kStartButton), BM_CLICK, 0, 0);
    EXPECT_TRUE(support::PumpUntil([&] { return Text(ui::kRedialCount) == L"已拔1次"; }, support::kFirstTickWaitMs))
        << Text(ui::kRedialCount);
    EXPECT_EQ(Text(ui::kLinkState), L"断网了");
    EXPECT_EQ(Text(ui::kTargetLine), L"拔号按钮句柄为：" + handle);
    EXPECT_TRUE(support::PumpUntil([&] { return support::ClickCount(client) == 1; }, 3000));
    support::StopClient(client);
    support::SetLinkState(true);
    support::EndProgram(program);
    DeleteFileW((folder + L"\\autoredial.exe").c_str());
}

// One watcher at a time: a second launch brings the first forward and ends;
// the restart as administrator waits for the instance it replaces.
class OneWatcher : public support::ProgramBesideClient {
protected:
    void TearDown() override {
        support::EndProgram(second);
        ProgramBesideClient::TearDown();
    }
    bool StartSecond(const std::wstring& arguments = std::wstring()) {
        return support::StartProcess(support::BuildDirectory() + L"\\autoredial.exe", L"", second.process, arguments);
    }
    HWND SecondsWindow() const { return support::FindVisibleWindow(second.process.dwProcessId, L"AutoredialForm"); }

    support::Program second;
};

TEST_F(OneWatcher, ASecondLaunchBringsTheFirstForwardAndEndsWithZero) {
    ShowWindow(program.main, SW_MINIMIZE);
    ASSERT_TRUE(support::PumpUntil([&] { return IsIconic(program.main) != FALSE; }, 3000));
    ASSERT_TRUE(StartSecond());
    bool shown = false;
    const bool ended = support::PumpUntil([&] {
        shown = shown || SecondsWindow();
        return WaitForSingleObject(second.process.hProcess, 0) == WAIT_OBJECT_0;
    }, 10000);
    ASSERT_TRUE(ended);
    EXPECT_EQ(support::WaitForExit(second, 0), 0u);
    EXPECT_FALSE(shown) << "it showed a window of its own";
    EXPECT_FALSE(IsIconic(program.main));
    EXPECT_TRUE(support::PumpUntil([&] { return GetForegroundWindow() == program.main; }, 3000));
}

TEST_F(OneWatcher, TheRestartAsAdministratorWaitsForTheInstanceItReplaces) {
    // A plain second launch ends at the guard: how long a copy takes to get
    // there on this machine now. The old copy stays open 3 s past that, so
    // the restart is in its wait when the old one closes.
    support::Stopwatch toTheGuard;
    ASSERT_TRUE(StartSecond());
    ASSERT_EQ(support::WaitForExit(second, 30000), 0u);
    const int reach = static_cast<int>(toTheGuard.Elapsed());
    support::EndProgram(second);
    const std::wstring handle = support::HandleText(client.dialButton);
    ASSERT_TRUE(StartSecond(L"/redial-target:" + handle));
    support::PumpFor(reach + 3000);
    EXPECT_EQ(WaitForSingleObject(second.process.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "it gave up";
    EXPECT_FALSE(SecondsWindow());
    PostMessageW(program.main, WM_CLOSE, 0, 0);
    EXPECT_EQ(support::WaitForExit(program, 10000), 0u);
    EXPECT_TRUE(support::PumpUntil([&] { return (second.main = SecondsWindow()) != nullptr; }, 10000));
    EXPECT_EQ(support::WindowText(support::UnitWindow(second.main, ui::kTargetBox.name)), handle);
    EXPECT_EQ(support::WindowText(support::UnitWindow(second.main, ui::kTargetLine.name)), L"拔号按钮句柄为：" + handle);
}

}  // namespace
