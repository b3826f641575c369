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
#include "ui/runtime.h"
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
        winkit::UnhookDialogEvents();
        ui::SetPeriod(ui::kPromptTimer, ui::kPromptPeriod);
    }
    // Fires the manager and dispatches what it posted.
    void Notice() {
        manager.Fire();
        support::PumpFor(50);
    }
    int Ticks() const { return support::LinkQueryCount() - queriesBefore; }
    // When a timer of the main window ticks next, by the table's clock.
    static DWORD NextTick(const ui::UnitRef& timer) {
        const ui::Unit* unit = ui::FindUnit(timer);
        return unit->startedAt + static_cast<DWORD>(unit->period);
    }

    static constexpr DWORD kStart = 1000000;
    support::FakeNetworkList manager;
    support::FakeClock clock{kStart};
    int queriesBefore = support::LinkQueryCount();
};

TEST_F(EarlyTest, ADropIsClickedAtTheNoticeAndTheTimersStartAgain) {
    watch::Start(state, ui::EventArgs());
    EXPECT_EQ(manager.advised(), 1);
    const DWORD clickedAt = kStart + watch::kWatchPeriod / 2;
    clock.Set(clickedAt);
    state.countdownStep = 6;
    const int clicks = support::ClickCount(client);
    support::SetLinkState(false);
    Notice();
    EXPECT_EQ(Caption(ui::kLinkState), L"断网了");
    EXPECT_EQ(Caption(ui::kRedialCount), L"已拔1次");
    EXPECT_EQ(state.countdownStep, 1) << "the bar starts again";
    EXPECT_EQ(NextTick(ui::kWatchTimer), clickedAt + watch::kWatchPeriod)
        << "the next test a whole period after the click";
    EXPECT_EQ(NextTick(ui::kCountdownTimer), clickedAt + watch::kCountdownPeriod);
    EXPECT_TRUE(support::PumpUntil([&] { return support::ClickCount(client) == clicks + 1; }, 3000));

    // A link that is back is shown at the next notice; nothing is clicked.
    support::SetLinkState(true);
    clock.Advance(watch::kEarlyTickSpacing);
    Notice();
    EXPECT_EQ(Caption(ui::kLinkState), L"联网呢");
    EXPECT_EQ(state.redialCount, 1);
}

TEST_F(EarlyTest, NoClickWithinAWatchPeriodOfTheLast) {
    watch::Start(state, ui::EventArgs());
    support::SetLinkState(false);
    watch::WatchTick(state, ui::EventArgs());  // the timer's click
    ASSERT_EQ(state.redialCount, 1);
    // Early ticks a second apart at least, the last a second before the click's
    // time. Written out, not the program's constants: a second click within
    // seconds can cancel a dial in progress or hang up a toggle.
    constexpr DWORD kClickSpacing = 10000;
    constexpr DWORD kEarlyTickSpacing = 1000;
    for (DWORD after : {kEarlyTickSpacing, kClickSpacing / 2, kClickSpacing - kEarlyTickSpacing - 1}) {
        clock.Set(kStart + after);
        Notice();
        EXPECT_EQ(Caption(ui::kLinkState), L"断网了") << after;
        EXPECT_EQ(state.redialCount, 1) << after;
    }
    EXPECT_EQ(NextTick(ui::kWatchTimer), kStart + watch::kWatchPeriod)
        << "a tick that did not click leaves the timers alone";
    EXPECT_EQ(NextTick(ui::kCountdownTimer), kStart + watch::kCountdownPeriod);
    const DWORD early = kStart + kClickSpacing;
    clock.Set(early);
    Notice();
    EXPECT_EQ(state.redialCount, 2);
    // And from an early click as from the timer's.
    clock.Set(early + kClickSpacing - 1);
    Notice();
    EXPECT_EQ(Caption(ui::kLinkState), L"断网了");
    EXPECT_EQ(state.redialCount, 2);
    clock.Set(early + kClickSpacing - 1 + kEarlyTickSpacing);
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
// every 100 ms for 2.5 s at least, and until a second tick has come.
TEST_F(EarlyTest, AManagerFiringEvery100MsTicksAtMostOnceASecond) {
    support::TableFake<sysfn::kGetTickCount> realClock(&::GetTickCount);
    watch::Start(state, ui::EventArgs());
    const DWORD start = GetTickCount();
    DWORD elapsed = 0;
    while (((elapsed = GetTickCount() - start) < 2500 || Ticks() < 2) && elapsed < 20000) {
        manager.Fire();
        support::PumpFor(100);
    }
    EXPECT_GE(Ticks(), 2) << "the notices within the second are acted on after it";
    EXPECT_LE(Ticks(), 1 + static_cast<int>(elapsed / watch::kEarlyTickSpacing)) << "over " << elapsed << " ms";
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
    EXPECT_EQ(ui::GetPeriod(ui::kWatchTimer), watch::kWatchPeriod);
    support::SetLinkState(false);
    watch::WatchTick(state, ui::EventArgs());
    EXPECT_EQ(Caption(ui::kRedialCount), L"已拔1次");
}

// A notice that comes while a tick waits for the manager's answer, which
// dispatches the thread's messages as a call to another apartment does: it
// waits for the tick, and the tick is not run inside itself.
void FireAndDispatch() {
    support::FakeNetworkList::Fire();
    support::PumpFor(50);
}

TEST_F(EarlyTest, ANoticeInsideATickWaitsForIt) {
    watch::Start(state, ui::EventArgs());
    manager.DuringCalls(&FireAndDispatch);
    watch::WatchTick(state, ui::EventArgs());
    manager.DuringCalls(nullptr);
    EXPECT_EQ(Ticks(), 1);
    watch::CountdownTick(state, ui::EventArgs());
    EXPECT_EQ(Ticks(), 2) << "the countdown tick after it runs the waiting one";
}

// The system's time of the first message posted to the prompt; 0: none yet.
HWND gPrompt = nullptr;
DWORD gAnsweredAt = 0;
BOOL WINAPI RecordAnswer(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!gAnsweredAt && hwnd == gPrompt) gAnsweredAt = GetTickCount();
    return PostMessageW(hwnd, message, wParam, lParam);
}

// The program's own wiring as it starts: the dialog hook set when the main
// window is created. A client started later is followed once a prompt tick has
// found it, and a prompt that it raises just after that tick is answered when
// the hook reports it, before the next tick; the search shows what it found as
// the prompt tick does.
TEST_F(EarlyTest, TheStartUpHookAnswersAPromptOfALaterClientBeforeTheNextPromptTick) {
    support::TableFake<sysfn::kGetTickCount> realClock(&::GetTickCount);
    support::TableFake<sysfn::kPostMessageW> posts(&RecordAnswer);
    gAnsweredAt = 0;
    support::UnloadForm(kMainForm);
    ASSERT_TRUE(ui::LoadForm(app::kMainWiring, nullptr, false));  // support::LoadMainForm unhooks
    ui::SetPeriod(ui::kPromptTimer, 0);
    support::Client later;
    ASSERT_TRUE(support::StartClient(later));
    watch::PromptTick(state, ui::EventArgs());
    HWND prompt = support::RaisePrompt(later, L"提示", zorvic::kPromptStaysOpen);
    ASSERT_TRUE(prompt);
    gPrompt = prompt;
    // 时钟3 from now, as if that tick had come just as the prompt went up.
    ui::SetPeriod(ui::kPromptTimer, ui::kPromptPeriod);
    const DWORD nextTick = NextTick(ui::kPromptTimer);
    EXPECT_TRUE(support::PumpUntil([&] { return support::ButtonAnswerCount(later) == 1; }, 5000));
    EXPECT_NE(gAnsweredAt, 0u) << "nothing was posted";
    EXPECT_LT(static_cast<int32_t>(gAnsweredAt - nextTick), 0) << "ms from the next prompt tick's time to the answer";
    EXPECT_EQ(Caption(ui::kPromptLine), L"出现提示窗口句柄：" + support::HandleText(prompt));
    support::StopClient(later);
}

}  // namespace
