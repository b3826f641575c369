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
        MessageBoxW(nullptr, L"请拖动瞄准图标到拔号按钮上再点开始", L"错误", MB_OK | MB_TASKMODAL);
        return;
    }
    watch.dialTarget = winkit::ReadNumber(content);
    watch.linkMemory = LinkMemory();
    ShowDialTarget(watch);
    watch.watching = true;
    ui::SetPeriod(ui::kWatchTimer, 10000);
    watch.countdownStep = 1;
    ui::SetPeriod(ui::kCountdownTimer, 1000);
    RememberDialTarget(watch);
}

void Stop(Watch& watch, const ui::EventArgs&) {
    watch.watching = false;
    ui::SetPeriod(ui::kWatchTimer, 0);
    ui::SetPeriod(ui::kCountdownTimer, 0);
}

void WatchTick(Watch& watch, const ui::EventArgs&) {
    DWORD flags = 0;
    const bool connected = sysfn::InternetGetConnectedState(&flags, 0) != 0;
    // Asked before the memory is touched: the answer may pump messages.
    const winkit::Connectivity internet = connected ? winkit::InternetConnectivity() : winkit::Connectivity::kUnknown;
    const LinkVerdict verdict = JudgeLink(watch.linkMemory, connected, internet);
    if (!verdict.down) {
        ui::SetCaption(ui::kLinkState, L"联网呢");
        return;
    }
    ui::SetCaption(ui::kLinkState, L"断网了");
    if (!verdict.click) return;
    DialOnce(watch);
}

void CountdownTick(Watch& watch, const ui::EventArgs&) {
    ui::SetBarPosition(ui::kCountdownBar, 10 * watch.countdownStep);
    watch.countdownStep = watch.countdownStep >= 10 ? 1 : watch.countdownStep + 1;
}

void PromptTick(Watch& watch, const ui::EventArgs&) {
    watch.promptHandle = winkit::FindProcessWindow(kClientImage, kPromptClass, kPromptTitle);
    ui::SetCaption(ui::kPromptLine, L"出现提示窗口句柄：" + winkit::FormatDecimal(watch.promptHandle));
    AnswerPrompt(watch, watch.promptHandle);
}

}  // namespace watch
