#include "watch/watch.h"

#include "sysfn/sysfn.h"
#include "ui/loaded.h"
#include "ui/props.h"
#include "ui/skin.h"
#include "watch/dial.h"
#include "watch/link_verdict.h"
#include "winkit/connectivity.h"
#include "winkit/keys.h"
#include "winkit/text.h"
#include "winkit/window_search.h"

extern const unsigned char kAimCursor[];
extern const unsigned kAimCursorSize;

namespace watch {

int32_t dialTarget = 0;
int32_t redialCount = 0;
int32_t countdownStep = 0;
int32_t promptHandle = 0;

using ui::kAimForm;
using ui::kMainForm;

namespace {

const int kAimSize = 26;
const int kAimHalf = 13;         // the aim window covers the pointer -13 .. +12
const int kAimPointOffset = 14;  // just right of the aim window, so it never finds itself
const unsigned char kAimOpacity = 5;

POINT Cursor() {
    POINT point = {0, 0};
    GetCursorPos(&point);
    return point;
}

}  // namespace

void OnMainCreated(const ui::EventArgs&) {
    ui::SetSkinStyle(2);
    redialCount = 0;
}

void ShowAimIcon(const ui::EventArgs&) { ui::SetPicture(kMainForm, "图片框1", kAimCursor, kAimCursorSize); }

void LiftAimIcon(const ui::EventArgs&) { ui::SetPicture(kMainForm, "图片框1", nullptr, 0); }

void SetUpAimWindow(const ui::EventArgs&) {
    ui::SetFormHeight(kAimForm, kAimSize);
    ui::SetFormWidth(kAimForm, kAimSize);
    ui::SetFormPointer(kAimForm, kAimCursor, kAimCursorSize);
    // The release must reach the aim window even when the pointer outruns it
    // between two aim steps; otherwise the drag would never end.
    ui::CaptureMouse(kAimForm);
    ui::SetFormOpacity(kAimForm, kAimOpacity);
}

void AimStep(const ui::EventArgs&) {
    // Each coordinate is read afresh where it is used.
    ui::SetFormLeft(kAimForm, Cursor().x - kAimHalf);
    ui::SetFormTop(kAimForm, Cursor().y - kAimHalf);
    POINT aim;
    aim.x = Cursor().x + kAimPointOffset;
    aim.y = Cursor().y;
    HWND under = sysfn::WindowFromPoint(aim);
    ui::SetContent(kMainForm, "编辑框1", winkit::FormatDecimal(winkit::HandleToInt(under)));
}

void EndAimDrag(const ui::EventArgs&) { ui::CloseForm(kAimForm); }

void Start(const ui::EventArgs&) {
    const std::wstring content = ui::GetContent(kMainForm, "编辑框1");
    if (content.empty()) {
        MessageBoxW(nullptr, L"请拖动瞄准图标到拔号按钮上再点开始", L"错误", MB_OK | MB_TASKMODAL);
        return;
    }
    dialTarget = winkit::ReadNumber(content);
    linkMemory = LinkMemory();
    ui::SetCaption(kMainForm, "标签1", L"拔号按钮句柄为：" + winkit::FormatDecimal(dialTarget));
    ui::SetPeriod(kMainForm, "时钟1", 10000);
    countdownStep = 1;
    ui::SetPeriod(kMainForm, "时钟2", 1000);
    RememberDialTarget();
}

void Stop(const ui::EventArgs&) {
    ui::SetPeriod(kMainForm, "时钟1", 0);
    ui::SetPeriod(kMainForm, "时钟2", 0);
}

void WatchTick(const ui::EventArgs&) {
    DWORD flags = 0;
    const bool connected = sysfn::InternetGetConnectedState(&flags, 0) != 0;
    // Asked before the memory is touched: the answer may pump messages.
    const winkit::Connectivity internet = connected ? winkit::InternetConnectivity() : winkit::Connectivity::kUnknown;
    const LinkVerdict verdict = JudgeLink(linkMemory, connected, internet);
    if (!verdict.down) {
        ui::SetCaption(kMainForm, "标签2", L"联网呢");
        return;
    }
    ui::SetCaption(kMainForm, "标签2", L"断网了");
    if (!verdict.click) return;
    DialOnce();
}

void CountdownTick(const ui::EventArgs&) {
    ui::SetBarPosition(kMainForm, "进度条1", 10 * countdownStep);
    countdownStep = countdownStep >= 10 ? 1 : countdownStep + 1;
}

void PromptTick(const ui::EventArgs&) {
    promptHandle = winkit::FindProcessWindow(L"ZorvicClient.exe", L"#32770", L"提示");
    ui::SetCaption(kMainForm, "标签4", L"出现提示窗口句柄：" + winkit::FormatDecimal(promptHandle));
    AnswerPrompt(promptHandle);
}

}  // namespace watch
