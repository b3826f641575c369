// The libraries that the program binds. A wininet.dll without the link-test
// function in the system directory: start-up and the window work, and the
// first link test ends the program through the runtime error report. A
// planted uxtheme.dll and wininet.dll beside the program: never loaded.
#include "tests/support/program.h"
#include "tests/support/pump.h"
#include "tests/support/standin.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The system directory's wininet.dll, where scripts/wine-env put the stand-in.
std::wstring SystemWininet() {
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    return std::wstring(system) + L"\\wininet.dll";
}

class BindingAnyCodePage : public support::ProgramTest {
protected:
    // The program ends first; a stand-in that a test put aside goes back.
    void TearDown() override {
        ProgramTest::TearDown();
        MoveFileExW((SystemWininet() + L".kept").c_str(), SystemWininet().c_str(), MOVEFILE_REPLACE_EXISTING);
        support::SetLinkState(true);
    }
};

TEST_F(BindingAnyCodePage, MissingExportIsReportedAtTheFirstLinkTest) {
    // The stand-in without the export is built into noexport/.
    ASSERT_TRUE(MoveFileExW(SystemWininet().c_str(), (SystemWininet() + L".kept").c_str(), MOVEFILE_REPLACE_EXISTING));
    const std::wstring noExport = support::BuildDirectory() + L"\\noexport\\wininet.dll";
    ASSERT_TRUE(CopyFileW(noExport.c_str(), SystemWininet().c_str(), FALSE));

    ASSERT_TRUE(support::LaunchProgram(program));
    EXPECT_TRUE(support::PumpUntil([&] { return Text(ui::kPromptLine) == L"出现提示窗口句柄：-1"; }, 3000))
        << "the window works before the link test";

    SendMessageW(Unit(ui::kTargetBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"1"));
    PostMessageW(Unit(ui::kStartButton), BM_CLICK, 0, 0);
    HWND report = nullptr;
    ASSERT_TRUE(support::PumpUntil([&] {
        return (report = support::FindVisibleWindow(program.process.dwProcessId, L"#32770")) != nullptr;
    }, support::kFirstTickWaitMs));
    EXPECT_EQ(support::WindowText(report), L"错误");
    // The box may tidy the line breaks; the three lines are what counts.
    std::wstring text = support::WindowText(GetDlgItem(report, 0xFFFF));
    for (std::wstring::size_type at; (at = text.find('\r')) != std::wstring::npos;) text.erase(at, 1);
    EXPECT_EQ(text, L"运行时出错!\n\n错误信息：无法找到指定DLL库文件“wininet.dll”中的输出命令“InternetGetConnectedState”\n");

    PostMessageW(report, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(support::WaitForExit(program, 10000), 0xFFFFFFFFu);
}

// Windows looks for a library that is not a known DLL in the program's folder
// first; Wine does so when told uxtheme=n,b, as scripts/wine-env tells it (set
// here, the variable would not reach the program's loader). The planted copies
// leave a mark when anything loads them: at start-up, while skinning the
// window, or while the link is tested and the Network List Manager asked. The
// program runs with the limited token, as an ordinary user's instance, which
// once took a wininet.dll from its folder.
TEST_F(BindingAnyCodePage, PlantedLibrariesAreNeverLoaded) {
    const std::wstring folder = support::BuildDirectory() + L"\\planted";
    const std::wstring exe = folder + L"\\autoredial.exe";
    ASSERT_TRUE(CopyFileW((support::BuildDirectory() + L"\\autoredial.exe").c_str(), exe.c_str(), FALSE));
    for (const wchar_t* mark : {L"\\uxtheme.mark", L"\\wininet.mark"}) DeleteFileW((folder + mark).c_str());
    // The system's wininet (the stand-in) says down; the planted one would say up.
    support::SetLinkState(false);

    ASSERT_TRUE(support::LaunchProgram(program, exe));
    HANDLE token = nullptr;
    TOKEN_ELEVATION elevation = {1};
    DWORD filled = 0;
    ASSERT_TRUE(OpenProcessToken(program.process.hProcess, TOKEN_QUERY, &token));
    GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &filled);
    CloseHandle(token);
    ASSERT_EQ(elevation.TokenIsElevated, 0u) << "run the suite through ordinary.exe, as ctest does";

    SendMessageW(Unit(ui::kTargetBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"1"));
    PostMessageW(Unit(ui::kStartButton), BM_CLICK, 0, 0);
    EXPECT_TRUE(support::PumpUntil([&] { return Text(ui::kLinkState) == L"断网了"; }, support::kFirstTickWaitMs))
        << "the link was tested";
    EXPECT_EQ(GetFileAttributesW((folder + L"\\uxtheme.mark").c_str()), INVALID_FILE_ATTRIBUTES)
        << "the planted uxtheme.dll was loaded";
    EXPECT_EQ(GetFileAttributesW((folder + L"\\wininet.mark").c_str()), INVALID_FILE_ATTRIBUTES)
        << "the planted wininet.dll was loaded";
    support::EndProgram(program);
    DeleteFileW(exe.c_str());
}

}  // namespace
