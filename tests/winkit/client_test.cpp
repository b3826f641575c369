// The toolkit against the stand-in client, a separate process.
#include "tests/support/standin.h"
#include "tests/support/probe.h"
#include "winkit/answer.h"
#include "winkit/button_signature.h"
#include "winkit/keys.h"
#include "winkit/process.h"
#include "winkit/text.h"
#include "winkit/window_search.h"

#include <gtest/gtest.h>

#include <cwchar>

namespace {

constexpr int kKeyN = zorvic::kAnswerKey;  // the key the prompts count
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
    support::PumpUntil([&] { return support::AnsweredCount(client) != before; }, 3000);
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
    Raise(L"提示", zorvic::kPromptHidden);
    Raise(L"提示", zorvic::kPromptOtherClass);
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
    HWND prompt = Raise(L"提示", zorvic::kPromptStaysOpen);
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
    EXPECT_TRUE(support::PumpUntil([&] { return !IsWindow(closing); }, 3000)) << "its 否(&N) closes it";
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
    HWND prompt = Raise(L"提示", zorvic::kPromptStaysOpen);
    ASSERT_TRUE(support::MakeForeground(mine)) << "the prompt must start behind our window";
    int answered = support::AnsweredCount(client_);
    winkit::SendKeyToWindow(prompt, kKeyN);
    EXPECT_EQ(AnsweredAfter(client_, answered), answered + 1);
    EXPECT_EQ(support::CountsOf(mine).keyDowns, 0);
}

// The system names a process as it was started. (Wine does so only while no
// process of the file's own spelling runs, hence no suite client here.)
TEST(ClientInLowerCase, IsTheClient) {
    support::Client lower;
    ASSERT_TRUE(support::StartClient(lower, L"zorvicclient.exe"));
    HWND prompt = support::RaisePrompt(lower, L"提示");
    EXPECT_EQ(FindPrompt(), winkit::HandleToInt(prompt));
    winkit::ButtonSignature signature;  // as read while it ran as ZorvicClient.exe
    ASSERT_TRUE(winkit::ReadButtonSignature(lower.dialButton, signature));
    ASSERT_EQ(signature.imageName, L"zorvicclient.exe");
    signature.imageName = kClientImage;
    EXPECT_TRUE(winkit::IsSameButton(lower.dialButton, signature));
    support::StopClient(lower);
}

// A button that loses BM_CLICK while its window is not in front, as the
// system's documentation allows, still gets the click.
TEST_F(Client, ARealButtonIsClickedThroughItsParent) {
    support::Client lossy;
    ASSERT_TRUE(support::StartClient(lossy, kClientImage, support::kFrontClicks));
    ASSERT_TRUE(support::MakeForeground(Make(L"WinkitClientProbe", L"winkit 本程序")));
    PostMessageW(lossy.dialButton, BM_CLICK, 0, 0);
    support::PumpFor(200);
    ASSERT_EQ(support::ClickCount(lossy), 0) << "the stand-in loses a BM_CLICK in the background";
    EXPECT_EQ(winkit::PostButtonClick(winkit::HandleToInt(lossy.dialButton)), 0u);
    EXPECT_TRUE(support::PumpUntil([&] { return support::ClickCount(lossy) == 1; }, 2000));
    support::StopClient(lossy);
}

// A toggle's parent reads the check state in the notice, as a user's click
// has left it: unchecked would hang up.
TEST_F(Client, AToggleDialButtonDialsOnEveryClick) {
    support::Client toggle;
    ASSERT_TRUE(support::StartClient(toggle, kClientImage, support::kToggleButton));
    for (int click = 1; click <= 2; ++click) {
        EXPECT_EQ(winkit::PostButtonClick(winkit::HandleToInt(toggle.dialButton)), 0u);
        EXPECT_TRUE(support::PumpUntil(
            [&] { return support::ClickCount(toggle) + support::HangUpCount(toggle) == click; }, 2000));
    }
    EXPECT_EQ(support::ClickCount(toggle), 2);
    EXPECT_EQ(support::HangUpCount(toggle), 0);
    support::StopClient(toggle);
}

// A dialog-based client's dial button is IDOK, and so is the OK button of a
// prompt in front of it, or of a box that it owns under its own title.
TEST_F(Client, TheDialButtonOfARestartedClientIsNeverGuessed) {
    const winkit::LeftOut prompts = {L"#32770", L"提示"};
    support::Client first, second;
    ASSERT_TRUE(support::StartClient(first, kClientImage, support::kDialogClient));
    winkit::ButtonSignature signature;
    ASSERT_TRUE(winkit::ReadButtonSignature(first.dialButton, signature));
    support::StopClient(first);

    ASSERT_TRUE(support::StartClient(first, kClientImage, support::kDialogClient));
    SetWindowTextW(first.dialButton, L"连接");
    ASSERT_TRUE(support::RaisePrompt(first, L"Zorvic 宽带客户端", zorvic::kPromptOwned));
    HWND prompt = support::RaisePrompt(first, L"提示");
    ASSERT_TRUE(prompt);
    SetWindowPos(prompt, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    HWND found = nullptr;
    EXPECT_EQ(winkit::FindButton(signature, prompts, found), winkit::ButtonSearch::Found);
    EXPECT_EQ(found, first.dialButton);

    // A second instance whose button reads the same: the two rank alike.
    ASSERT_TRUE(support::StartClient(second, kClientImage, support::kDialogClient));
    SetWindowTextW(second.dialButton, L"连接");
    EXPECT_EQ(winkit::FindButton(signature, prompts, found), winkit::ButtonSearch::Ambiguous);
    EXPECT_EQ(found, nullptr);

    // Neither text nor title is the same any more: nothing ranks.
    SetWindowTextW(first.main, L"别的窗口");
    SetWindowTextW(second.main, L"别的窗口");
    EXPECT_EQ(winkit::FindButton(signature, prompts, found), winkit::ButtonSearch::NoButton);
    support::StopClient(second);
    support::StopClient(first);
}

}  // namespace
