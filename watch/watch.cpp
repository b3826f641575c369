#include "watch/watch.h"

#include "sysfn/sysfn.h"
#include "ui/props.h"
#include "ui/skin.h"
#include "watch/dial.h"
#include "watch/prompt.h"
#include "winkit/connectivity.h"
#include "winkit/text.h"
#include "winkit/window_search.h"

namespace watch {

void OnMainCreated(Watch& watch, const ui::EventArgs&) {
    ui::SetSkinStyle(2);
    watch.redialCount = 0;
}

void Start(Watch& watch, const ui::EventArgs&) {
    const std::wstring content = ui::GetContent(ui::kTargetBox);
    if (content.empty()) {
        sysfn::MessageBoxW(nullptr, L"请拖动瞄准图标到拔号按钮上再点开始", L"错误", MB_OK | MB_TASKMODAL);
        return;
    }
    watch.dialTarget = winkit::ReadNumber(content);
    watch.linkMemory = LinkMemory();
    ShowDialTarget(watch);
    watch.watching = true;
    ui::SetPeriod(ui::kWatchTimer, kWatchPeriod);
    watch.countdownStep = 1;
    ui::SetPeriod(ui::kCountdownTimer, kCountdownPeriod);
    RememberDialTarget(watch);
    AdviseLinkNotices(watch);
}

void Stop(Watch& watch, const ui::EventArgs&) {
    watch.watching = false;
    ui::SetPeriod(ui::kWatchTimer, 0);
    ui::SetPeriod(ui::kCountdownTimer, 0);
    EndLinkNotices();
}

void WatchTick(Watch& watch, const ui::EventArgs&) { RunWatchTick(watch, TickKind::Regular); }

void RunWatchTick(Watch& watch, TickKind kind) {
    // Held while the link test and the manager answer: the manager's answer
    // may pump messages, and a notice dispatched there must not start a tick
    // inside this one.
    watch.notices.watchTickRunning = true;
    DWORD flags = 0;
    const bool connected = sysfn::InternetGetConnectedState(&flags, 0) != 0;
    // Asked before the memory is touched: the answer may pump messages. An
    // early tick has no use for it (link_verdict.h).
    const winkit::Connectivity internet =
        connected && kind == TickKind::Regular ? winkit::InternetConnectivity() : winkit::Connectivity::kUnknown;
    watch.notices.watchTickRunning = false;
    // The instance restarted as administrator took over meanwhile.
    if (watch.handedOver) return;
    const LinkMemory memory = watch.linkMemory;
    const LinkVerdict verdict = JudgeLink(watch.linkMemory, connected, internet, kind);
    if (!verdict.down) {
        ui::SetCaption(ui::kLinkState, L"联网呢");
        return;
    }
    ui::SetCaption(ui::kLinkState, L"断网了");
    if (!verdict.click) return;
    const uint32_t now = sysfn::GetTickCount();
    if (kind == TickKind::Early && watch.notices.clicked && now - watch.notices.clickedAt < kClickSpacing) return;
    const int32_t before = watch.redialCount;
    // The manager's wait starts only with a click that went: after one that
    // reached no window the next tick tries again, and so does the instance
    // that a refusal restarts as administrator, which carries the memory as
    // it is during the click.
    const LinkMemory judged = watch.linkMemory;
    if (connected) {
        watch.linkMemory.clickWait = memory.clickWait;
        watch.linkMemory.sinceClick = memory.sinceClick;
    }
    DialOnce(watch);
    if (watch.redialCount == before) return;
    watch.linkMemory.clickWait = judged.clickWait;
    watch.linkMemory.sinceClick = judged.sinceClick;
    watch.notices.clicked = true;
    watch.notices.clickedAt = now;
    if (kind == TickKind::Regular) return;
    // The next test a whole period after this click, and the bar from its start.
    ui::SetPeriod(ui::kWatchTimer, 0);
    ui::SetPeriod(ui::kWatchTimer, kWatchPeriod);
    watch.countdownStep = 1;
    ui::SetPeriod(ui::kCountdownTimer, 0);
    ui::SetPeriod(ui::kCountdownTimer, kCountdownPeriod);
}

void CountdownTick(Watch& watch, const ui::EventArgs&) {
    const int32_t kBarFull = 100;  // the bar's range is 0 to 100
    ui::SetBarPosition(ui::kCountdownBar, kBarFull * watch.countdownStep / kCountdownSteps);
    watch.countdownStep = watch.countdownStep >= kCountdownSteps ? 1 : watch.countdownStep + 1;
    CatchUpLinkNotice(watch);
}

void PromptTick(Watch& watch, const ui::EventArgs&) { LookForPrompt(watch); }

}  // namespace watch
