// The system's notices acted on at once, in-process on the real main window:
// the fake manager's connection point fires, the stand-in client counts the
// clicks and answers, the stand-in wininet.dll gives the link test's answer.
#include "app/wiring.h"
#include "tests/support/fake_network_list.h"
#include "tests/support/probe.h"
#include "tests/support/program.h"
#include "tests/support/standin.h"
#include "ui/loaded.h"
#include "ui/messages.h"
#include "ui/props.h"
#include "watch/early.h"
#include "watch/watch.h"
#include "winkit/window_events.h"

#include <gtest/gtest.h>

namespace {

using ui::kMainForm;

class EarlyTest : public support::MainFormSuite {
protected:
    void SetUp() override {
        manager.Answer(NLM_CONNECTIVITY_IPV4_INTERNET);
        support::SetLinkState(true);
        ui::SetContent(ui::kTargetBox, support::HandleText(client.dialButton));
    }
    void TearDown() override {
        watch::Stop(state, ui::EventArgs());
        support::SetLinkState(true);
    }
    // Fires the manager and dispatches what it posted.
    void Notice() {
        manager.Fire();
        support::PumpFor(50);
    }
    int Ticks() const { return support::LinkQueryCount() - queriesBefore; }

    support::FakeNetworkList manager;
    support::FakeClock clock;
    int queriesBefore = support::LinkQueryCount();
};

TEST_F(EarlyTest, ADropIsClickedAtTheNoticeAndTheTimersStartAgain) {
    watch::Start(state, ui::EventArgs());
    EXPECT_EQ(manager.advised(), 1);
    state.countdownStep = 6;
    const int clicks = support::ClickCount(client);
    support::SetLinkState(false);
    Notice();
    EXPECT_EQ(Caption(ui::kLinkState), L"断网了");
    EXPECT_EQ(Caption(ui::kRedialCount), L"已拔1次");
    EXPECT_EQ(state.countdownStep, 1) << "the bar starts again";
    EXPECT_EQ(ui::GetPeriod(ui::kWatchTimer), 10000);
    EXPECT_EQ(ui::GetPeriod(ui::kCountdownTimer), 1000);
    EXPECT_TRUE(support::PumpUntil([&] { return support::ClickCount(client) == clicks + 1; }, 3000));

    // A link that is back is shown at the next notice; nothing is clicked.
    support::SetLinkState(true);
    clock.Advance(1000);
    Notice();
    EXPECT_EQ(Caption(ui::kLinkState), L"联网呢");
    EXPECT_EQ(state.redialCount, 1);
}

TEST_F(EarlyTest, NoClickWithinTenSecondsOfTheLast) {
    watch::Start(state, ui::EventArgs());
    support::SetLinkState(false);
    watch::WatchTick(state, ui::EventArgs());  // the timer's click
    ASSERT_EQ(state.redialCount, 1);
    state.countdownStep = 4;
    for (DWORD after : {1000u, 5000u, 8999u}) {
        clock.Set(1000000 + after);
        Notice();
        EXPECT_EQ(Caption(ui::kLinkState), L"断网了") << after;
        EXPECT_EQ(state.redialCount, 1) << after;
    }
    EXPECT_EQ(state.countdownStep, 4) << "a tick that did not click leaves the timers alone";
    clock.Set(1000000 + 10000);
    Notice();
    EXPECT_EQ(state.redialCount, 2);
    // And from an early click as from the timer's.
    clock.Set(1010000 + 9999);
    Notice();
    EXPECT_EQ(Caption(ui::kLinkState), L"断网了");
    EXPECT_EQ(state.redialCount, 2);
    clock.Set(1010000 + 11000);
    Notice();
    EXPECT_EQ(state.redialCount, 3);
}

TEST_F(EarlyTest, AtMostOneEarlyTickASecondAndALateNoticeIsNotLost) {
    watch::Start(state, ui::EventArgs());
    for (int i = 0; i < 10; ++i) {
        Notice();
        clock.Advance(99);
    }
    EXPECT_EQ(Ticks(), 1);
    EXPECT_TRUE(state.notices.pending) << "the notices after the first wait";
    clock.Advance(10);
    watch::CountdownTick(state, ui::EventArgs());
    EXPECT_EQ(Ticks(), 2) << "the countdown tick after the second runs the waiting one";
    watch::CountdownTick(state, ui::EventArgs());
    EXPECT_EQ(Ticks(), 2) << "one tick for any number of notices";
}

// The same with the system's clock and the real timers: a manager firing
// every 100 ms for 2.5 s.
TEST_F(EarlyTest, AManagerFiringEvery100MsTicksAtMostOnceASecond) {
    support::TableFake<sysfn::kGetTickCount> realClock(&::GetTickCount);
    watch::Start(state, ui::EventArgs());
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 2500) {
        manager.Fire();
        support::PumpFor(100);
    }
    EXPECT_GE(Ticks(), 2);
    EXPECT_LE(Ticks(), 3);
}

TEST_F(EarlyTest, StopUnadvisesAndANoticeOnItsWayIsDropped) {
    watch::Start(state, ui::EventArgs());
    watch::Start(state, ui::EventArgs());
    EXPECT_EQ(manager.advised(), 1) << "a second Start advises once";
    watch::Stop(state, ui::EventArgs());
    EXPECT_EQ(manager.advised(), 0);
    EXPECT_EQ(manager.alive(), 0) << "the manager is released";

    support::SetLinkState(false);
    PostMessageW(ui::FindForm(kMainForm)->hwnd, ui::kNotice, 0, 0);
    support::PumpFor(50);
    EXPECT_EQ(Ticks(), 0);
    EXPECT_EQ(state.redialCount, 0);
}

TEST_F(EarlyTest, WithoutAManagerOrItsSinkTheTimersActAlone) {
    manager.RefuseSinks();
    watch::Start(state, ui::EventArgs());
    EXPECT_EQ(manager.advised(), 0);
    EXPECT_EQ(manager.alive(), 0);
    manager.NoManager();
    watch::Start(state, ui::EventArgs());
    EXPECT_EQ(ui::GetPeriod(ui::kWatchTimer), 10000);
    support::SetLinkState(false);
    watch::WatchTick(state, ui::EventArgs());
    EXPECT_EQ(Caption(ui::kRedialCount), L"已拔1次");
}

// The notice comes inside the manager's answer to a tick (COM dispatches
// there): it waits, and the tick is not run twice.
TEST_F(EarlyTest, ANoticeInsideATickWaitsForIt) {
    watch::Start(state, ui::EventArgs());
    state.notices.watchTickRunning = true;
    Notice();
    EXPECT_EQ(Ticks(), 0);
    state.notices.watchTickRunning = false;
    watch::CountdownTick(state, ui::EventArgs());
    EXPECT_EQ(Ticks(), 1);
}

// A client that starts after the program: the prompt tick that finds it has
// the hook follow it, and its prompt is answered when the hook reports it,
// with the prompt timer stopped.
TEST_F(EarlyTest, TheHookAnswersAPromptOfALaterClientWithoutThePromptTick) {
    ASSERT_TRUE(winkit::HookDialogEvents([] { watch::SearchSoon(app::WiredWatchForTests()); }));
    support::Client later;
    ASSERT_TRUE(support::StartClient(later));
    watch::PromptTick(state, ui::EventArgs());
    ui::SetPeriod(ui::kPromptTimer, 0);
    support::RaisePrompt(later);
    EXPECT_TRUE(support::PumpUntil([&] { return support::AnsweredCount(later) == 1; }, 3000));
    EXPECT_TRUE(support::PumpUntil([&] { return support::OpenPromptCount(later) == 0; }, 2000));
    EXPECT_NE(Caption(ui::kPromptLine), L"");
    winkit::UnhookDialogEvents();
    ui::SetPeriod(ui::kPromptTimer, ui::kPromptPeriod);
    support::StopClient(later);
}

}  // namespace
