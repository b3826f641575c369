// The toolkit against the stand-in client, a separate process.
#include "tests/support/standin.h"
#include "tests/support/probe.h"
#include "winkit/keys.h"
#include "winkit/process.h"
#include "winkit/text.h"
#include "winkit/window_search.h"

#include <gtest/gtest.h>

#include <cwchar>

namespace {

constexpr int kKeyN = 0x4E;
constexpr wchar_t kClientImage[] = L"ZorvicClient.exe";

int32_t FindPrompt(const wchar_t* imageName = kClientImage) {
    return winkit::FindProcessWindow(imageName, L"#32770", L"提示");
}

// A dialog closes on a posted IDCANCEL, so this waits until the window is gone.
void ClosePrompt(HWND prompt) {
    SendMessageTimeoutW(prompt, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
    for (int i = 0; i < 200 && IsWindow(prompt); ++i) Sleep(10);
}

// Waits until the client has taken in what it was sent.
int AnsweredAfter(const support::Client& client, int before) {
    for (int i = 0; i < 50 && support::AnsweredCount(client) == before; ++i) support::PumpFor(10);
    return support::AnsweredCount(client);
}

class Client : public support::WindowsTest {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(support::StartClient(client_)); }
    static void TearDownTestSuite() { support::StopClient(client_); }

    HWND Raise(const std::wstring& title, int flags = 0) {
        HWND prompt = support::RaisePrompt(client_, title, flags);
        EXPECT_NE(prompt, nullptr) << title;
        prompts_.push_back(prompt);
        return prompt;
    }
    void TearDown() override {
        for (HWND prompt : prompts_) ClosePrompt(prompt);
        prompts_.clear();
        support::WindowsTest::TearDown();
    }

    static support::Client client_;
    std::vector<HWND> prompts_;
};
support::Client Client::client_;

TEST_F(Client, ListedUnderItsImageName) {
    std::vector<winkit::ProcessInfo> list;
    winkit::ListProcesses(list, true);
    int matches = 0;
    for (const winkit::ProcessInfo& process : list) {
        if (process.processId != client_.process.dwProcessId) continue;
        ++matches;
        EXPECT_EQ(process.imageName, kClientImage);
        EXPECT_EQ(process.parentProcessId, GetCurrentProcessId());
        EXPECT_EQ(winkit::FindInText(process.fullPath, std::wstring(L"\\") + kClientImage),
                  static_cast<int>(process.fullPath.size() - std::wcslen(kClientImage)))
            << process.fullPath;
    }
    EXPECT_EQ(matches, 1);
}

TEST_F(Client, PromptIsFound) {
    EXPECT_EQ(FindPrompt(), -1);
    Raise(L"没有关键字");
    Raise(L"提示", support::kPromptHidden);
    Raise(L"提示", support::kPromptOtherClass);
    EXPECT_EQ(FindPrompt(), -1);

    HWND first = Raise(L"网络提示");
    EXPECT_EQ(FindPrompt(), winkit::HandleToInt(first));
    HWND second = Raise(L"提示");
    SetWindowPos(second, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(FindPrompt(), winkit::HandleToInt(second));
    ClosePrompt(second);
    EXPECT_EQ(FindPrompt(), winkit::HandleToInt(first));
}

TEST_F(Client, PromptOfAnotherProgramIsLeftAlone) {
    support::Client other;
    ASSERT_TRUE(support::StartClient(other, L"OtherClient.exe"));
    HWND foreign = support::RaisePrompt(other, L"提示");
    ASSERT_NE(foreign, nullptr);
    EXPECT_EQ(FindPrompt(), -1);
    EXPECT_EQ(FindPrompt(L"OtherClient.exe"), winkit::HandleToInt(foreign));
    support::StopClient(other);
}

TEST_F(Client, EitherOfTwoInstances) {
    support::Client second;
    ASSERT_TRUE(support::StartClient(second));
    HWND prompt = support::RaisePrompt(second, L"提示");
    EXPECT_EQ(FindPrompt(), winkit::HandleToInt(prompt));
    support::StopClient(second);
}

TEST_F(Client, PromptIsAnsweredWithOneWholePress) {
    HWND prompt = Raise(L"提示", support::kPromptStaysOpen);
    ASSERT_TRUE(support::MakeForeground(prompt));
    int answered = support::AnsweredCount(client_);
    int ups = support::KeyUpCount(client_);
    winkit::SendKeyToWindow(winkit::IntToHandle(FindPrompt()), kKeyN);
    EXPECT_EQ(AnsweredAfter(client_, answered), answered + 1);
    EXPECT_EQ(support::KeyUpCount(client_), ups + 1);

    HWND closing = Raise(L"提示");
    ASSERT_TRUE(support::MakeForeground(closing));
    winkit::SendKeyToWindow(winkit::IntToHandle(FindPrompt()), kKeyN);
    EXPECT_EQ(AnsweredAfter(client_, answered + 1), answered + 2);
    EXPECT_FALSE(IsWindow(closing));
    EXPECT_FALSE(GetAsyncKeyState(kKeyN) & 0x8000);
}

TEST_F(Client, NoKeyWhileAnotherProgramHoldsTheForeground) {
    HWND prompt = Raise(L"提示");
    support::Client other;
    ASSERT_TRUE(support::StartClient(other, L"OtherProgram.exe"));
    ASSERT_TRUE(support::MakeForeground(other.main));
    int answered = support::AnsweredCount(client_);
    support::KeyHook hook;
    ASSERT_TRUE(hook.installed());

    winkit::SendKeyToWindow(winkit::IntToHandle(FindPrompt()), kKeyN);
    support::PumpFor(100);
    EXPECT_TRUE(hook.events().empty());
    EXPECT_EQ(support::AnsweredCount(client_), answered);
    EXPECT_TRUE(IsWindow(prompt));
    EXPECT_FALSE(GetAsyncKeyState(kKeyN) & 0x8000);
    support::StopClient(other);
}

TEST_F(Client, PromptInTheBackgroundIsBroughtForwardFromOurWindow) {
    HWND mine = Make(L"WinkitClientProbe", L"winkit 本程序");
    ASSERT_TRUE(support::MakeForeground(mine));
    HWND prompt = Raise(L"提示", support::kPromptStaysOpen);
    ASSERT_TRUE(support::MakeForeground(mine)) << "the prompt must start behind our window";
    int answered = support::AnsweredCount(client_);
    winkit::SendKeyToWindow(prompt, kKeyN);
    EXPECT_EQ(AnsweredAfter(client_, answered), answered + 1);
    EXPECT_EQ(support::CountsOf(mine).keyDowns, 0);
}

}  // namespace
