// The real program answers the stand-in client's prompt, from its start on,
// without any Start.
#include "tests/support/program.h"
#include "tests/support/pump.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class PromptAnyCodePage : public support::ProgramBesideClient {
protected:
    std::wstring Label() const { return Text(ui::kPromptLine); }
};

TEST_F(PromptAnyCodePage, AnOpenPromptIsAnsweredEverySecondUntilItGoes) {
    HWND prompt = support::RaisePrompt(client, L"系统提示信息", zorvic::kPromptStaysOpen);
    ASSERT_TRUE(prompt);
    const std::wstring shown = L"出现提示窗口句柄：" + support::HandleText(prompt);
    EXPECT_TRUE(support::PumpUntil([&] { return Label() == shown; }, 2500)) << Label();
    EXPECT_TRUE(support::PumpUntil([&] { return support::ButtonAnswerCount(client) >= 1; }, 2500));
    EXPECT_TRUE(support::PumpUntil([&] { return support::ButtonAnswerCount(client) >= 3; }, 6000))
        << "its 否 clicked " << support::ButtonAnswerCount(client) << " times";
    EXPECT_LE(support::ButtonAnswerCount(client), 5) << "once a second, not at every look";
    EXPECT_EQ(support::AnsweredCount(client), 0) << "no key";

    PostMessageW(prompt, WM_CLOSE, 0, 0);
    EXPECT_TRUE(support::PumpUntil([&] { return Label() == L"出现提示窗口句柄：-1"; }, 2500)) << Label();
}

TEST_F(PromptAnyCodePage, PromptClosedByTheAnswerIsGoneAndOthersAreLeftAlone) {
    support::RaisePrompt(client, L"警告", 0);                           // no 提示 in the title
    support::RaisePrompt(client, L"提示", zorvic::kPromptOtherClass);  // not a dialog
    support::RaisePrompt(client, L"提示", zorvic::kPromptHidden);      // never shown
    ASSERT_EQ(support::OpenPromptCount(client), 3);
    support::PumpFor(2500);
    EXPECT_EQ(support::ButtonAnswerCount(client) + support::AnsweredCount(client), 0);
    EXPECT_EQ(Label(), L"出现提示窗口句柄：-1");

    support::RaisePrompt(client, L"提示", 0);
    EXPECT_TRUE(support::PumpUntil([&] { return support::OpenPromptCount(client) == 3; }, 3000))
        << "the prompt was not answered";
    EXPECT_EQ(support::ButtonAnswerCount(client), 1);
}

// A message box of the client, as a Unicode program raises it (是 and 否, or
// Yes and No on an English system): found by its title and answered 否.
TEST_F(PromptAnyCodePage, AMessageBoxOfTheClientIsAnsweredNo) {
    HWND box = support::RaisePrompt(client, L"提示", zorvic::kPromptMessageBox);
    ASSERT_TRUE(box) << "no message box came up";
    EXPECT_TRUE(support::PumpUntil([&] { return !IsWindow(box); }, 3000));
    EXPECT_EQ(support::ButtonAnswerCount(client), 1);
}

}  // namespace
