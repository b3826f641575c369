#include "watch/dial.h"

#include "ui/props.h"
#include "watch/elevation.h"
#include "watch/prompt.h"
#include "watch/watch.h"
#include "winkit/answer.h"
#include "winkit/button_signature.h"
#include "winkit/integrity.h"
#include "winkit/text.h"

namespace watch {

void ShowDialTarget(const Watch& watch) {
    ui::SetCaption(ui::kTargetLine, L"拔号按钮句柄为：" + winkit::FormatDecimal(watch.dialTarget));
}

void ShowRedialCount(const Watch& watch) {
    ui::SetCaption(ui::kRedialCount, L"已拔" + winkit::FormatDecimal(watch.redialCount) + L"次");
}

namespace {

// Short enough for kTargetLine at the window's size.
std::wstring WhyNotDelivered(uint32_t error) {
    switch (error) {
    case ERROR_ACCESS_DENIED: return L"点击被拒：客户端权限高";
    case ERROR_INVALID_WINDOW_HANDLE: return L"点击未送达：句柄无效";
    case winkit::kButtonDisabled: return L"拔号按钮不可用";
    case winkit::kButtonIsGroupBox: return L"拔号按钮是分组框";
    default: return L"点击未送达：错误" + winkit::FormatDecimal(static_cast<int32_t>(error));
    }
}

// Makes the dial target name the button taken at Start again; false (and
// kTargetLine says why) while it can't be found.
bool RefindTarget(Watch& watch) {
    if (!watch.signature || winkit::IsSameButton(winkit::IntToHandle(watch.dialTarget), *watch.signature)) {
        return true;
    }
    HWND found = nullptr;
    // The client's prompts, whose OK button may share the dial button's ID.
    const winkit::LeftOut prompts = {kPromptClass, kPromptTitle};
    switch (winkit::FindButton(*watch.signature, prompts, found)) {
    case winkit::ButtonSearch::Found:
        watch.dialTarget = winkit::HandleToInt(found);
        ShowDialTarget(watch);
        return true;
    case winkit::ButtonSearch::NoButton: ui::SetCaption(ui::kTargetLine, L"找不到拔号按钮"); return false;
    case winkit::ButtonSearch::NoProgram: ui::SetCaption(ui::kTargetLine, L"拔号客户端未运行"); return false;
    case winkit::ButtonSearch::Ambiguous: ui::SetCaption(ui::kTargetLine, L"拔号按钮不唯一"); return false;
    }
    return false;
}

}  // namespace

void RememberDialTarget(Watch& watch) {
    winkit::ButtonSignature signature;
    if (winkit::ReadButtonSignature(winkit::IntToHandle(watch.dialTarget), signature)) {
        watch.signature = signature;
    } else {
        watch.signature.reset();
    }
    if (watch.signature && winkit::OutranksUs(winkit::IntToHandle(watch.dialTarget))) OfferElevation(watch);
}

void DialOnce(Watch& watch) {
    if (!RefindTarget(watch)) return;
    const uint32_t error = winkit::PostButtonClick(watch.dialTarget);
    if (error != 0) {
        ui::SetCaption(ui::kTargetLine, WhyNotDelivered(error));
        if (error == ERROR_ACCESS_DENIED) OfferElevation(watch);
        return;
    }
    ShowDialTarget(watch);  // in place of what a failed click said; an unchanged caption is not repainted
    ++watch.redialCount;
    ShowRedialCount(watch);
}

}  // namespace watch
