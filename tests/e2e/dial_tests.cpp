// The real program where a real desk gets in the way of the click and the
// answer: a client that was restarted, another program in front, a prompt
// that eats injected keys, a client whose thread hangs.
#include "tests/support/program.h"
#include "tests/support/pump.h"
#include "tests/support/standin.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using DialEndToEnd = support::ProgramBesideClient;

TEST_F(DialEndToEnd, AfterAClientRestartTheNextDownTickClicksTheNewButton) {
    const std::wstring handle = support::HandleText(client.dialButton);
    SendMessageW(Unit(ui::kTargetBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(handle.c_str()));
    PostMessageW(Unit(ui::kStartButton), BM_CLICK, 0, 0);
    ASSERT_TRUE(support::PumpUntil([&] { return Text(ui::kTargetLine) == L"拔号按钮句柄为：" + handle; }, 3000));

    support::StopClient(client);
    ASSERT_TRUE(support::StartClient(client));
    ASSERT_NE(support::HandleText(client.dialButton), handle);
    support::SetLinkState(false);
    EXPECT_TRUE(support::PumpUntil([&] { return support::ClickCount(client) >= 1; }, support::kFirstTickWaitMs));
    EXPECT_EQ(Text(ui::kTargetLine), L"拔号按钮句柄为：" + support::HandleText(client.dialButton));
    EXPECT_EQ(Text(ui::kRedialCount), L"已拔1次");
}

// A window of this test in front, as another program the user works in; it
// counts the keys that reach it.
int gFrontKeys = 0;
LRESULT CALLBACK FrontProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN || message == WM_CHAR || message == WM_KEYUP) ++gFrontKeys;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST_F(DialEndToEnd, WithAnotherProgramInFrontThePromptIsAnsweredAndNoKeyReachesIt) {
    WNDCLASSW cls = {};
    cls.lpfnWndProc = FrontProc;
    cls.lpszClassName = L"DialEndToEndFront";
    RegisterClassW(&cls);
    HWND front = CreateWindowExW(0, cls.lpszClassName, L"别的程序", WS_POPUP | WS_VISIBLE, 300, 300, 200, 100,
                                 nullptr, nullptr, nullptr, nullptr);
    // Under Xvfb the foreground falls to the desktop when a window is mapped,
    // so the prompt is raised under a title the program ignores, the front
    // window is brought back, and only then does the prompt become one.
    HWND prompt = support::RaisePrompt(client, L"通知", zorvic::kPromptInBackground);
    ASSERT_TRUE(prompt);
    auto frontStays = [&] {
        if (GetForegroundWindow() != front) SetForegroundWindow(front);
        return false;
    };
    support::PumpUntil(frontStays, 500);
    ASSERT_EQ(GetForegroundWindow(), front);
    gFrontKeys = 0;
    SendMessageTimeoutW(prompt, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"提示"), SMTO_ABORTIFHUNG, 2000, nullptr);

    EXPECT_TRUE(support::PumpUntil([&] { return support::OpenPromptCount(client) == 0; }, 3000));
    EXPECT_EQ(support::ButtonAnswerCount(client), 1);
    EXPECT_EQ(support::AnsweredCount(client), 0) << "no key was typed";
    support::PumpFor(300);
    EXPECT_EQ(gFrontKeys, 0);
    EXPECT_EQ(GetForegroundWindow(), front);
    DestroyWindow(front);
}

TEST_F(DialEndToEnd, APromptThatEatsKeysIsAnsweredWithoutOne) {
    support::RaisePrompt(client, L"提示", zorvic::kPromptSwallowsKeys);
    support::RaisePrompt(client, L"提示", zorvic::kPromptSwallowsKeys | zorvic::kPromptNoMnemonic);
    EXPECT_TRUE(support::PumpUntil([&] { return support::OpenPromptCount(client) == 0; }, 4000));
    EXPECT_EQ(support::ButtonAnswerCount(client), 2) << "by 否(&N), and by 否 as IDNO";
    EXPECT_EQ(support::SwallowedKeyCount(client), 0) << "no key was typed";
}

// A program that waited for the client would leave its own queue alone until
// the client wakes, seconds after its prompt tick found the client hung: what
// is typed into it meanwhile would wait. (A message sent to it is taken even
// inside a send of its own, so only posted input shows the wait.)
TEST_F(DialEndToEnd, AHungClientNeverStallsTheProgram) {
    support::RaisePrompt(client, L"提示", zorvic::kPromptStaysOpen);
    support::PumpFor(1200);  // the prompt has been seen
    const int answers = support::ButtonAnswerCount(client);
    support::HangClient(client, 5000);
    HWND box = Unit(ui::kTargetBox);
    const DWORD start = GetTickCount();
    for (int typed = 1; GetTickCount() - start < 5500; ++typed) {
        PostMessageW(box, WM_CHAR, L'1', 1);
        if (!support::PumpUntil([&] { return static_cast<int>(Text(ui::kTargetBox).size()) >= typed; }, 2000)) {
            ADD_FAILURE() << "character " << typed << " waited";
            break;
        }
        support::PumpFor(50);
    }
    // Once awake, the client finds the answers posted to it meanwhile.
    EXPECT_TRUE(support::PumpUntil([&] { return support::ButtonAnswerCount(client) > answers; }, 3000));
}

}  // namespace
