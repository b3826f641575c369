// Libraries beside the program. A wininet.dll without the link-test function:
// start-up and the window work, and the first link test ends the program
// through the runtime error report. A planted uxtheme.dll: never loaded.
#include "tests/support/program.h"
#include "tests/support/pump.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using BindingAnyCodePage = support::ProgramTest;

TEST_F(BindingAnyCodePage, MissingExportIsReportedAtTheFirstLinkTest) {
    // The stand-in without the export is built into noexport/; the program
    // goes beside it.
    const std::wstring folder = support::BuildDirectory() + L"\\noexport";
    const std::wstring exe = folder + L"\\autoredial.exe";
    ASSERT_TRUE(CopyFileW((support::BuildDirectory() + L"\\autoredial.exe").c_str(), exe.c_str(), FALSE));

    ASSERT_TRUE(support::LaunchProgram(program, exe));
    EXPECT_TRUE(support::PumpUntil([&] { return Text(ui::kPromptLine) == L"出现提示窗口句柄：-1"; }, 3000))
        << "the window works before the link test";

    SendMessageW(Unit(ui::kTargetBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"1"));
    PostMessageW(Unit(ui::kStartButton), BM_CLICK, 0, 0);
    HWND report = nullptr;
    ASSERT_TRUE(support::PumpUntil([&] {
        return (report = support::FindVisibleWindow(program.process.dwProcessId, L"#32770")) != nullptr;
    }, 15000));
    EXPECT_EQ(support::WindowText(report), L"错误");
    // The box may tidy the line breaks; the three lines are what counts.
    std::wstring text = support::WindowText(GetDlgItem(report, 0xFFFF));
    for (std::wstring::size_type at; (at = text.find('\r')) != std::wstring::npos;) text.erase(at, 1);
    EXPECT_EQ(text, L"运行时出错!\n\n错误信息：无法找到指定DLL库文件“wininet.dll”中的输出命令“InternetGetConnectedState”\n");

    PostMessageW(report, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(support::WaitForExit(program, 10000), 0xFFFFFFFFu);
    support::EndProgram(program);
    DeleteFileW(exe.c_str());
}

// Windows looks for a library that is not a known DLL in the program's folder
// first; Wine does so when told uxtheme=n,b, as scripts/wine-env tells it (set
// here, the variable would not reach the program's loader). The planted copy
// leaves a mark when anything loads it: at start-up, while skinning the
// window, or while the link is tested and the Network List Manager asked.
TEST_F(BindingAnyCodePage, APlantedThemeLibraryIsNeverLoaded) {
    const std::wstring folder = support::BuildDirectory() + L"\\planted";
    const std::wstring exe = folder + L"\\autoredial.exe";
    const std::wstring mark = folder + L"\\uxtheme.mark";
    ASSERT_TRUE(CopyFileW((support::BuildDirectory() + L"\\autoredial.exe").c_str(), exe.c_str(), FALSE));
    DeleteFileW(mark.c_str());

    ASSERT_TRUE(support::LaunchProgram(program, exe));

    SendMessageW(Unit(ui::kTargetBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"1"));
    PostMessageW(Unit(ui::kStartButton), BM_CLICK, 0, 0);
    // No stand-in wininet here: the system's answers "connected".
    EXPECT_TRUE(support::PumpUntil([&] { return Text(ui::kLinkState) == L"联网呢"; }, 20000)) << "the link was tested";
    EXPECT_EQ(GetFileAttributesW(mark.c_str()), INVALID_FILE_ATTRIBUTES) << "the planted uxtheme.dll was loaded";
    support::EndProgram(program);
    DeleteFileW(exe.c_str());
}

}  // namespace
