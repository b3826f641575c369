// Long runs of the handlers on the real main window, in-process, against the
// stand-in client and wininet.dll: many watch and prompt ticks, Starts and
// Stops with the manager's notices, client restarts with the dialog hook
// following them, and many aim drags must leave the process holding what it
// held after a warm-up.
//
// Kernel, GDI and USER objects, WinEvent hooks and private bytes are counted
// as tests/soak/resources.h describes.
//
// The prompt tick makes a full process snapshot, which costs 10 to 20 ms under
// Wine, so only AUTOREDIAL_SOAK_TICKS of them run (600 when unset); the watch
// tick costs about 1 ms and always runs 10 000 times. Its Network List Manager
// is a fake that reports Internet: Wine's own takes about 50 ms to create.
#include "app/shell.h"
#include "app/wiring.h"
#include "ui/loaded.h"
#include "tests/soak/resources.h"
#include "tests/support/fake_network_list.h"
#include "tests/support/program.h"
#include "tests/support/pump.h"
#include "tests/support/standin.h"
#include "ui/props.h"
#include "ui/runtime.h"
#include "watch/aim_drag.h"
#include "watch/early.h"
#include "watch/watch.h"
#include "winkit/text.h"
#include "winkit/window_events.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using ui::kAimForm;
using ui::kMainForm;

int PromptTickCount() {
    char text[32] = "";
    const DWORD length = GetEnvironmentVariableA("AUTOREDIAL_SOAK_TICKS", text, sizeof text);
    const int wanted = length > 0 && length < sizeof text ? std::atoi(text) : 0;
    return wanted > 0 ? wanted : 600;
}

constexpr int kWarmUpTicks = 200;

class EnduranceTest : public support::MainFormSuite {
protected:
    void SetUp() override {
        ASSERT_TRUE(client.dialButton) << "the client did not start";
        // The ticks are driven by hand: the prompt timer's own tick, nested in
        // the settling wait of an answer, would overwrite the search's result.
        ui::SetPeriod(ui::kPromptTimer, 0);
    }
    void TearDown() override { winkit::UnhookDialogEvents(); }
};

TEST_F(EnduranceTest, TenThousandWatchTicksOnAndOffLine) {
    const int kTicks = 10000;
    const int kBlock = 500;  // ticks of one link state
    state.dialTarget = winkit::HandleToInt(client.dialButton);
    const int clicksBefore = support::ClickCount(client);
    support::FakeNetworkList manager;
    manager.Answer(NLM_CONNECTIVITY_IPV4_INTERNET);
    soak::Resources before = {};
    int offline = 0;
    bool down = false;
    for (int tick = 0; tick < kTicks; ++tick) {
        if (tick == kWarmUpTicks) before = soak::Measure();
        // Warm-up ticks alternate, so both paths are warm before the baseline.
        down = tick < kWarmUpTicks ? tick % 2 == 0 : (tick - kWarmUpTicks) / kBlock % 2 == 0;
        support::SetLinkState(!down);
        watch::WatchTick(state, ui::EventArgs());
        offline += down;
        if (tick % 50 == 0) app::ProcessPendingEvents();
    }
    support::SetLinkState(true);
    EXPECT_TRUE(support::PumpUntil([&] { return support::ClickCount(client) >= clicksBefore + offline; }, 10000));
    EXPECT_EQ(support::ClickCount(client) - clicksBefore, offline) << "every offline tick clicks once";
    EXPECT_EQ(state.redialCount, offline);
    EXPECT_EQ(ui::GetCaption(ui::kRedialCount), L"已拔" + std::to_wstring(offline) + L"次");
    EXPECT_EQ(ui::GetCaption(ui::kLinkState), down ? L"断网了" : L"联网呢");
    EXPECT_EQ(manager.alive(), 0) << "every manager is released";
    soak::ExpectFlat(before, soak::Measure(), "watch ticks");
}

TEST_F(EnduranceTest, PromptTicksWithAnOccasionalPrompt) {
    const int ticks = PromptTickCount() + kWarmUpTicks;
    const int kPromptEvery = 100;
    const int answeredBefore = support::ButtonAnswerCount(client);
    soak::Resources before = {};
    int raised = 0;
    int found = 0;
    int stray = 0;  // ticks without a prompt that found one
    for (int tick = 0; tick < ticks; ++tick) {
        if (tick == kWarmUpTicks) before = soak::Measure();
        HWND prompt = nullptr;
        if (tick % kPromptEvery == kPromptEvery / 2) {
            prompt = support::RaisePrompt(client);
            raised += prompt != nullptr;
        }
        watch::PromptTick(state, ui::EventArgs());
        if (prompt) {
            EXPECT_EQ(state.promptHandle, winkit::HandleToInt(prompt)) << "tick " << tick;
            found += state.promptHandle == winkit::HandleToInt(prompt);
            // Closed whatever the answer did, so that later ticks search without it.
            PostMessageW(prompt, WM_CLOSE, 0, 0);
            support::PumpUntil([&] { return support::OpenPromptCount(client) == 0; }, 2000);
        } else {
            stray += state.promptHandle != -1;
        }
        if (tick % 20 == 0) app::ProcessPendingEvents();
    }
    EXPECT_EQ(found, raised);
    EXPECT_EQ(stray, 0);
    EXPECT_GT(raised, 0);
    EXPECT_EQ(support::ButtonAnswerCount(client) - answeredBefore, raised) << "every prompt found was answered";
    soak::ExpectFlat(before, soak::Measure(), "prompt ticks");
}

// Start and Stop advise and unadvise the manager; a notice between them brings
// a link test forward.
TEST_F(EnduranceTest, ThreeHundredStartsAndStopsWithTheManagersNotices) {
    const int kCycles = 300;
    const int kWarmUpCycles = 20;
    support::FakeNetworkList manager;
    manager.Answer(NLM_CONNECTIVITY_IPV4_INTERNET);
    support::FakeClock clock;
    ui::SetContent(ui::kTargetBox, support::HandleText(client.dialButton));
    const int queriesBefore = support::LinkQueryCount();
    soak::Resources before = {};
    for (int cycle = 0; cycle < kWarmUpCycles + kCycles; ++cycle) {
        if (cycle == kWarmUpCycles) before = soak::Measure();
        watch::Start(state, ui::EventArgs());
        ASSERT_EQ(manager.advised(), 1) << "cycle " << cycle;
        manager.Fire();
        app::ProcessPendingEvents();
        watch::Stop(state, ui::EventArgs());
        ASSERT_EQ(manager.advised(), 0) << "cycle " << cycle;
        clock.Advance(watch::kEarlyTickSpacing);  // the next notice is acted on at once
    }
    EXPECT_EQ(support::LinkQueryCount() - queriesBefore, kWarmUpCycles + kCycles) << "a link test for each notice";
    EXPECT_EQ(manager.alive(), 0) << "every manager is released";
    soak::ExpectFlat(before, soak::Measure(), "starts and stops");
}

// The dialog hook as the program sets it at start-up follows each new client
// that the prompt search finds, hears its prompt, and lets the ended one go.
TEST_F(EnduranceTest, FiftyClientRestartsWithTheHookFollowing) {
    const int kRestarts = 50;
    const int kWarmUpRestarts = 5;
    support::UnloadForm(kMainForm);
    ASSERT_TRUE(ui::LoadForm(app::kMainWiring, nullptr, false));  // hooks, as the program does
    ui::SetPeriod(ui::kPromptTimer, 0);  // the hook alone searches after the prompt is up
    soak::Resources before = {};
    for (int restart = 0; restart < kWarmUpRestarts + kRestarts; ++restart) {
        if (restart == kWarmUpRestarts) before = soak::Measure();
        support::Client restarted;
        ASSERT_TRUE(support::StartClient(restarted)) << "restart " << restart;
        watch::PromptTick(state, ui::EventArgs());  // finds the client: the hook follows it
        HWND prompt = support::RaisePrompt(restarted);
        ASSERT_TRUE(prompt) << "restart " << restart;
        // Only the hook's search can answer it: 时钟3 is stopped.
        EXPECT_TRUE(support::PumpUntil([&] { return !IsWindow(prompt); }, 10000))
            << "restart " << restart << ": the hook's search did not answer the prompt";
        support::StopClient(restarted);
        watch::PromptTick(state, ui::EventArgs());  // finds it gone
        if (HasFailure()) return;
    }
    soak::ExpectFlat(before, soak::Measure(), "client restarts");
}

// Ends a running aim drag once its aim window has taken at least one aim step,
// as the mouse button's release would.
bool gAimStepped = false;
bool gDragEnded = false;
DWORD gDragStart = 0;

void CALLBACK EndDragOnceAimed(HWND, UINT, UINT_PTR, DWORD) {
    ui::LoadedForm* aim = ui::FindForm(kAimForm);
    if (gDragEnded || !aim || !IsWindow(aim->hwnd) || aim->closing) return;
    gAimStepped = gAimStepped || !ui::GetContent(ui::kTargetBox).empty();
    if (gAimStepped || GetTickCount() - gDragStart > 5000) {
        watch::EndAimDrag(ui::EventArgs());
        gDragEnded = true;
    }
}

TEST_F(EnduranceTest, TwoHundredAimDrags) {
    const int kDrags = 200;
    const int kWarmUpDrags = 10;
    HWND main = ui::FormHandle(kMainForm);
    soak::Resources before = {};
    int stepped = 0;
    for (int drag = 0; drag < kWarmUpDrags + kDrags; ++drag) {
        if (drag == kWarmUpDrags) before = soak::Measure();
        ui::SetContent(ui::kTargetBox, L"");
        gAimStepped = false;
        gDragEnded = false;
        gDragStart = GetTickCount();
        const UINT_PTR timer = SetTimer(nullptr, 0, 5, EndDragOnceAimed);
        ASSERT_NE(timer, 0u);
        app::BeginAimDrag(ui::EventArgs());
        KillTimer(nullptr, timer);

        ASSERT_TRUE(gDragEnded) << "drag " << drag << " returned before it was ended";
        stepped += gAimStepped;
        ASSERT_EQ(ui::FindForm(kAimForm), nullptr) << "drag " << drag << ": the aim window is still there";
        ASSERT_TRUE(IsWindowEnabled(main)) << "drag " << drag << ": the main window stays disabled";
        ASSERT_EQ(GetCapture(), nullptr) << "drag " << drag;
        ui::Unit* icon = ui::FindUnit(ui::kAimIcon);
        ASSERT_TRUE(icon && icon->picture.icon) << "drag " << drag << ": the aim icon did not come back";
    }
    EXPECT_EQ(stepped, kWarmUpDrags + kDrags) << "drags that ended before their first aim step";
    soak::ExpectFlat(before, soak::Measure(), "aim drags");
}

}  // namespace
