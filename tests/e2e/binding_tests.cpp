// A wininet.dll without the link-test function beside the program: start-up
// and the window work, and the first link test ends the program through the
// runtime error report.
#include "tests/support/program.h"
#include "tests/support/pump.h"
#include "tests/support/standin.h"

#include <gtest/gtest.h>

#include <string>

namespace {

BOOL CALLBACK FindReport(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<std::pair<DWORD, HWND>*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    char cls[16] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (owner == search->first && lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(hwnd)) {
        search->second = hwnd;
        return FALSE;
    }
    return TRUE;
}

TEST(Binding, MissingExportIsReportedAtTheFirstLinkTest) {
    // The stand-in without the export is built into noexport/; the program
    // goes beside it.
    const std::string folder = standin::BuildDirectory() + "\\noexport";
    const std::string exe = folder + "\\autoredial.exe";
    ASSERT_TRUE(CopyFileA((standin::BuildDirectory() + "\\autoredial.exe").c_str(), exe.c_str(), FALSE));

    support::Program program;
    ASSERT_TRUE(support::LaunchProgram(program, exe));
    HWND promptLabel = support::UnitWindow(program, 8);
    EXPECT_TRUE(support::PumpUntil([&] { return support::WindowText(promptLabel) == "出现提示窗口句柄：-1"; }, 3000))
        << "the window works before the link test";

    SendMessageA(support::UnitWindow(program, 0), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("1"));
    PostMessageA(support::UnitWindow(program, 1), BM_CLICK, 0, 0);
    std::pair<DWORD, HWND> report(program.process.dwProcessId, nullptr);
    ASSERT_TRUE(support::PumpUntil([&] {
        EnumWindows(FindReport, reinterpret_cast<LPARAM>(&report));
        return report.second != nullptr;
    }, 15000));
    EXPECT_EQ(support::WindowText(report.second), "错误");
    // The box may tidy the line breaks; the three lines are what counts.
    std::string text = support::WindowText(GetDlgItem(report.second, 0xFFFF));
    for (std::string::size_type at; (at = text.find('\r')) != std::string::npos;) text.erase(at, 1);
    EXPECT_EQ(text, "运行时出错!\n\n错误信息：无法找到指定DLL库文件“wininet.dll”中的输出命令“InternetGetConnectedState”\n");

    PostMessageA(report.second, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(support::WaitForExit(program, 10000), 0xFFFFFFFFu);
    support::EndProgram(program);
    DeleteFileA(exe.c_str());
}

}  // namespace
