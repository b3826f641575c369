// The link watcher's handlers on the real main window, in-process, against the
// stand-in client and the stand-in wininet.dll.
#include "tests/support/fake_network_list.h"
#include "tests/support/program.h"
#include "tests/support/probe.h"
#include "tests/support/standin.h"
#include "ui/loaded.h"
#include "ui/messages.h"
#include "ui/props.h"
#include "watch/watch.h"
#include "winkit/text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class WatchTest : public support::MainFormSuite {
protected:
    void SetUp() override { ui::SetContent(ui::kTargetBox, L""); }
};

TEST_F(WatchTest, OfflineTicksClickAndCountOnlineTicksOnlyReport) {
    state.dialTarget = winkit::HandleToInt(client.dialButton);
    const int before = support::ClickCount(client);
    support::SetLinkState(false);
    for (int n = 1; n <= 3; ++n) {
        watch::WatchTick(state, ui::EventArgs());
        EXPECT_EQ(Caption(ui::kLinkState), L"断网了");
        EXPECT_EQ(Caption(ui::kRedialCount), L"已拔" + std::to_wstring(n) + L"次");
    }
    EXPECT_TRUE(support::PumpUntil([&] { return support::ClickCount(client) == before + 3; }, 5000))
        << "the client counted " << support::ClickCount(client) - before << " clicks";

    support::SetLinkState(true);
    watch::WatchTick(state, ui::EventArgs());
    EXPECT_EQ(Caption(ui::kLinkState), L"联网呢");
    EXPECT_EQ(Caption(ui::kRedialCount), L"已拔3次");
    support::PumpFor(200);
    EXPECT_EQ(support::ClickCount(client), before + 3);
}

TEST_F(WatchTest, NeverClicksBroadcastOrNothingAndCountsOnlyClicksThatWent) {
    HWND counter = support::MakeWindow(L"WatchTestClickCounter", L"", false);  // counts the BM_CLICKs it is posted
    support::SetLinkState(false);

    // Numbers typed by hand: no signature is taken, each is clicked as given.
    for (int32_t target : {0xFFFF, 0}) {
        ui::SetContent(ui::kTargetBox, winkit::FormatDecimal(target));
        watch::Start(state, ui::EventArgs());
        watch::WatchTick(state, ui::EventArgs());
        EXPECT_EQ(Caption(ui::kTargetLine), L"点击未送达：句柄无效");
    }
    support::PumpFor(200);
    MSG stray;
    EXPECT_FALSE(PeekMessageW(&stray, reinterpret_cast<HWND>(-1), BM_CLICK, BM_CLICK, PM_REMOVE))
        << "a click was posted to the thread";
    EXPECT_EQ(support::CountsOf(counter).clicks, 0);
    EXPECT_EQ(state.redialCount, 0) << "a click that went nowhere is no redial";

    // A window that is gone by the tick: its program (this one) runs, but
    // holds no such window any more. No count either.
    ui::SetContent(ui::kTargetBox, winkit::FormatDecimal(winkit::HandleToInt(counter)));
    watch::Start(state, ui::EventArgs());
    DestroyWindow(counter);
    watch::WatchTick(state, ui::EventArgs());
    EXPECT_EQ(state.redialCount, 0);
    EXPECT_EQ(Caption(ui::kTargetLine), L"找不到拔号按钮");
    support::SetLinkState(true);
}

TEST_F(WatchTest, CountdownFillsInItsStepsAndStartsAgain) {
    state.countdownStep = 1;
    for (int step = 1; step <= watch::kCountdownSteps; ++step) {
        watch::CountdownTick(state, ui::EventArgs());
        EXPECT_EQ(ui::GetBarPosition(ui::kCountdownBar), 100 * step / watch::kCountdownSteps);
    }
    watch::CountdownTick(state, ui::EventArgs());
    EXPECT_EQ(ui::GetBarPosition(ui::kCountdownBar), 100 / watch::kCountdownSteps);
    EXPECT_EQ(state.countdownStep, 2);
}

TEST_F(WatchTest, StartReadsTheBoxAndStartsBothTimers) {
    ui::SetContent(ui::kTargetBox, L"　 ＋１２3x");  // full-width blank, +, 1, 2
    state.countdownStep = 7;
    watch::Start(state, ui::EventArgs());
    EXPECT_EQ(state.dialTarget, 123);
    EXPECT_EQ(Caption(ui::kTargetLine), L"拔号按钮句柄为：123");
    EXPECT_EQ(ui::GetPeriod(ui::kWatchTimer), 10000);
    EXPECT_EQ(ui::GetPeriod(ui::kCountdownTimer), watch::kCountdownPeriod);
    EXPECT_EQ(state.countdownStep, 1);

    ui::SetContent(ui::kTargetBox, L"句柄");
    watch::Start(state, ui::EventArgs());
    EXPECT_EQ(state.dialTarget, 0);
    EXPECT_EQ(Caption(ui::kTargetLine), L"拔号按钮句柄为：0");

    ui::SetContent(ui::kTargetBox, L"-99999999999");
    watch::Start(state, ui::EventArgs());
    EXPECT_EQ(Caption(ui::kTargetLine), L"拔号按钮句柄为：-2147483648");

    watch::Stop(state, ui::EventArgs());
    EXPECT_EQ(ui::GetPeriod(ui::kWatchTimer), 0);
    EXPECT_EQ(ui::GetPeriod(ui::kCountdownTimer), 0);
    EXPECT_EQ(Caption(ui::kTargetLine), L"拔号按钮句柄为：-2147483648") << "Stop touches nothing else";
    EXPECT_EQ(ui::GetPeriod(ui::kPromptTimer), 1000) << "the prompt timer runs on";
}

TEST_F(WatchTest, CountCarriesOverStopAndStart) {
    support::SetLinkState(false);
    ui::SetContent(ui::kTargetBox, support::HandleText(client.dialButton));
    watch::Start(state, ui::EventArgs());
    for (int i = 0; i < 3; ++i) watch::WatchTick(state, ui::EventArgs());
    watch::Stop(state, ui::EventArgs());
    watch::Start(state, ui::EventArgs());
    watch::WatchTick(state, ui::EventArgs());
    EXPECT_EQ(Caption(ui::kRedialCount), L"已拔4次");
    support::SetLinkState(true);
}

// Each timer of the main window, as the system ticks it, runs its own
// handler: a swap would click every second, or count down every ten.
TEST_F(WatchTest, EachTimerDrivesItsOwnHandler) {
    ui::SetPeriod(ui::kPromptTimer, 0);  // its ticks are the test's
    for (const ui::UnitRef* timer : {&ui::kWatchTimer, &ui::kCountdownTimer, &ui::kPromptTimer}) {
        state.countdownStep = 1;
        ui::SetCaption(ui::kPromptLine, L"");
        const int linkTests = support::LinkQueryCount();
        SendMessageW(ui::FindUnit(*timer)->hwnd, WM_TIMER, ui::kTimerId, 0);
        EXPECT_EQ(support::LinkQueryCount() - linkTests, timer == &ui::kWatchTimer ? 1 : 0) << timer->name;
        EXPECT_EQ(state.countdownStep, timer == &ui::kCountdownTimer ? 2 : 1) << timer->name;
        EXPECT_EQ(Caption(ui::kPromptLine).empty(), timer != &ui::kPromptTimer) << timer->name;
    }
    ui::SetPeriod(ui::kPromptTimer, ui::kPromptPeriod);
}

// The link verdict (link_verdict_tests.cpp) through the real tick, in the
// notation of tests/support/fake_network_list.h: the manager's answers, the
// clicks counted and sent, Start forgetting.
TEST_F(WatchTest, TheTickClicksOnTheManagersVerdict) {
    support::FakeNetworkList manager;
    support::SetLinkState(true);
    ui::SetContent(ui::kTargetBox, support::HandleText(client.dialButton));
    const int clicksBefore = support::ClickCount(client);
    std::string verdicts;
    for (const char* tick = "S6nnnSnninfnn-n"; *tick; ++tick) {
        if (*tick == 'S') {
            watch::Start(state, ui::EventArgs());
            watch::Stop(state, ui::EventArgs());  // the ticks are driven by hand
            continue;
        }
        manager.AnswerAs(*tick);
        const int count = state.redialCount;
        watch::WatchTick(state, ui::EventArgs());
        verdicts += support::VerdictLetter(Caption(ui::kLinkState) == L"断网了", state.redialCount > count);
    }
    EXPECT_EQ(verdicts, "uuDduuuuuuDuu");
    EXPECT_TRUE(support::PumpUntil([&] { return support::ClickCount(client) >= clicksBefore + 2; }, 3000));
    support::PumpFor(200);
    EXPECT_EQ(support::ClickCount(client), clicksBefore + 2) << "one click a counted click";
    EXPECT_EQ(manager.alive(), 0) << "every manager is released";
}

}  // namespace
