// The real program answers the stand-in client's prompt, from its start on,
// without any Start.
#include "tests/support/program.h"
#include "tests/support/pump.h"
#include "tests/support/standin.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const int kPromptLabel = 8;

class PromptTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(standin::StartClient(client));
        ASSERT_TRUE(support::LaunchProgram(program));
    }
    void TearDown() override {
        support::EndProgram(program);
        standin::StopClient(client);
    }
    std::string Label() const { return support::WindowText(support::UnitWindow(program, kPromptLabel)); }

    standin::Client client;
    support::Program program;
};

TEST_F(PromptTest, AnOpenPromptIsAnsweredEverySecondUntilItGoes) {
    HWND prompt = standin::RaisePrompt(client, "系统提示信息", standin::kPromptStaysOpen);
    ASSERT_TRUE(prompt);
    const std::string shown = "出现提示窗口句柄：" + support::HandleText(prompt);
    EXPECT_TRUE(support::PumpUntil([&] { return Label() == shown; }, 2500)) << Label();
    EXPECT_TRUE(support::PumpUntil([&] { return standin::AnsweredCount(client) >= 1; }, 2500));
    EXPECT_TRUE(support::PumpUntil([&] { return standin::AnsweredCount(client) >= 3; }, 6000))
        << "answered " << standin::AnsweredCount(client) << " times";
    EXPECT_TRUE(support::PumpUntil([&] { return standin::KeyUpCount(client) >= 3; }, 1000))
        << "each answer is a whole key press";

    PostMessageA(prompt, WM_CLOSE, 0, 0);
    EXPECT_TRUE(support::PumpUntil([&] { return Label() == "出现提示窗口句柄：-1"; }, 2500)) << Label();
}

TEST_F(PromptTest, PromptClosedByTheAnswerIsGoneAndOthersAreLeftAlone) {
    standin::RaisePrompt(client, "警告", 0);                                // no 提示 in the title
    standin::RaisePrompt(client, "提示", standin::kPromptOtherClass);       // not a dialog
    standin::RaisePrompt(client, "提示", standin::kPromptHidden);           // never shown
    ASSERT_EQ(standin::OpenPromptCount(client), 3);
    support::PumpFor(2500);
    EXPECT_EQ(standin::AnsweredCount(client), 0);
    EXPECT_EQ(Label(), "出现提示窗口句柄：-1");

    standin::RaisePrompt(client, "提示", 0);
    EXPECT_TRUE(support::PumpUntil([&] { return standin::OpenPromptCount(client) == 3; }, 3000))
        << "the prompt was not answered";
    EXPECT_EQ(standin::AnsweredCount(client), 1);
}

}  // namespace
