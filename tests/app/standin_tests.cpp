// The stand-ins that the other suites lean on: the client counts clicks and N
// keys and raises the prompts asked of it; the wininet.dll answers the link
// state a test sets.
#include "tests/support/program.h"
#include "tests/support/pump.h"
#include "tests/support/standin.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <string>

namespace {

std::wstring ImageNameOf(DWORD processId) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return std::wstring();
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    std::wstring name;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (entry.th32ProcessID == processId) name = entry.szExeFile;
    }
    CloseHandle(snapshot);
    return name;
}

class StandinClient : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(support::StartClient(client_)); }
    void TearDown() override { support::StopClient(client_); }
    support::Client client_;
};

TEST_F(StandinClient, CountsPostedClicks) {
    EXPECT_EQ(support::ClickCount(client_), 0);
    for (int i = 0; i < 3; ++i) PostMessageW(client_.dialButton, BM_CLICK, 0, 0);
    EXPECT_TRUE(support::PumpUntil([&] { return support::ClickCount(client_) == 3; }, 2000));
    Sleep(100);
    EXPECT_EQ(support::ClickCount(client_), 3);
}

TEST_F(StandinClient, RaisesPromptsAsAsked) {
    struct Case {
        int flags;
        const wchar_t* className;
        bool visible;
    };
    const Case cases[] = {
        {0, L"#32770", true},
        {zorvic::kPromptHidden, L"#32770", false},
        {zorvic::kPromptOtherClass, L"ZorvicPromptPlain", true},
        {zorvic::kPromptMessageBox, L"#32770", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        HWND prompt = support::RaisePrompt(client_, L"网络提示", c.flags);
        ASSERT_TRUE(IsWindow(prompt));
        DWORD processId = 0;
        GetWindowThreadProcessId(prompt, &processId);
        EXPECT_EQ(processId, client_.process.dwProcessId);
        EXPECT_EQ(support::ClassOf(prompt), c.className);
        EXPECT_EQ(support::WindowText(prompt), L"网络提示");
        EXPECT_EQ(IsWindowVisible(prompt) != FALSE, c.visible);
        EXPECT_EQ(GetAncestor(prompt, GA_PARENT), GetDesktopWindow());
    }
    EXPECT_EQ(support::OpenPromptCount(client_), 4);
}

// The N keys that reach a prompt or its children are counted; the prompt
// answers them as a dialog does, through its mnemonic, so one without
// 否(&N) stays open.
TEST_F(StandinClient, CountsNKeysReachingAPromptAndAnswersThemAsADialog) {
    HWND closing = support::RaisePrompt(client_);
    HWND staying = support::RaisePrompt(client_, L"提示", zorvic::kPromptStaysOpen);
    HWND unmarked = support::RaisePrompt(client_, L"提示", zorvic::kPromptNoMnemonic);
    ASSERT_TRUE(closing && staying && unmarked);
    HWND child = GetWindow(staying, GW_CHILD);
    ASSERT_TRUE(child);

    PostMessageW(closing, WM_KEYDOWN, zorvic::kAnswerKey, 1);
    EXPECT_TRUE(support::PumpUntil([&] { return !IsWindow(closing); }, 2000));
    PostMessageW(staying, WM_KEYDOWN, 'Y', 1);  // other keys don't count
    PostMessageW(client_.main, WM_KEYDOWN, zorvic::kAnswerKey, 1);  // nor N outside a prompt
    PostMessageW(unmarked, WM_KEYDOWN, zorvic::kAnswerKey, 1);
    PostMessageW(child, WM_KEYDOWN, zorvic::kAnswerKey, 1);
    PostMessageW(child, WM_KEYUP, zorvic::kAnswerKey, 0xC0000001);
    EXPECT_TRUE(support::PumpUntil([&] { return support::ButtonAnswerCount(client_) >= 2; }, 2000));
    support::PumpFor(200);
    EXPECT_EQ(support::AnsweredCount(client_), 3);
    EXPECT_EQ(support::KeyUpCount(client_), 1);
    EXPECT_EQ(support::ButtonAnswerCount(client_), 2);
    EXPECT_TRUE(IsWindow(staying));
    EXPECT_TRUE(IsWindow(unmarked)) << "a dialog without the mnemonic takes no letter";
    EXPECT_EQ(support::OpenPromptCount(client_), 2);
}

TEST(StandinClientImage, RunsUnderTheNameItWasStartedWith) {
    for (const wchar_t* name : {L"ZorvicClient.exe", L"zorvicclient.exe", L"OtherClient.exe"}) {
        SCOPED_TRACE(name);
        support::Client client;
        ASSERT_TRUE(support::StartClient(client, name));
        EXPECT_EQ(ImageNameOf(client.process.dwProcessId), name);
        const support::Client stopped = client;  // StopClient forgets the windows
        support::StopClient(client);
        EXPECT_EQ(support::ClickCount(stopped), -1) << "it still answers";
    }
}

using ConnectedState = BOOL(WINAPI*)(LPDWORD, DWORD);

HMODULE LoadFromBuild(const std::wstring& module) {
    return LoadLibraryW((support::BuildDirectory() + L"\\" + module).c_str());
}

TEST(StandinWininet, AnswersTheLinkStateSet) {
    HMODULE library = LoadFromBuild(L"wininet.dll");
    ASSERT_TRUE(library);
    FARPROC found = GetProcAddress(library, "InternetGetConnectedState");
    ASSERT_TRUE(found);
    auto connectedState = reinterpret_cast<ConnectedState>(reinterpret_cast<void (*)()>(found));
    const int queries = support::LinkQueryCount();
    for (bool connected : {false, true, false}) {
        support::SetLinkState(connected);
        DWORD flags = 0;
        EXPECT_EQ(connectedState(&flags, 0) != FALSE, connected);
        EXPECT_NE(flags, 0u);
    }
    EXPECT_EQ(support::LinkQueryCount(), queries + 3);
    support::SetLinkState(true);
}

TEST(StandinWininet, TheOtherBuildLacksTheExport) {
    HMODULE library = LoadFromBuild(L"noexport\\wininet.dll");
    ASSERT_TRUE(library);
    EXPECT_TRUE(GetProcAddress(library, "StandinHasNoLinkTest"));
    EXPECT_FALSE(GetProcAddress(library, "InternetGetConnectedState"));
}

}  // namespace
