#include "watch/dial.h"

#include "sysfn/sysfn.h"
#include "ui/loaded.h"
#include "ui/props.h"
#include "watch/watch.h"
#include "winkit/answer.h"
#include "winkit/button_signature.h"
#include "winkit/integrity.h"
#include "winkit/keys.h"
#include "winkit/text.h"

#include <cwchar>

namespace watch {

bool elevationOffered = false;
int32_t keyedPrompt = 0;

using ui::kMainForm;

namespace {

const wchar_t kTargetArgument[] = L"/redial-target:";
const int kKeyN = 0x4E;

winkit::ButtonSignature gSignature;
bool gHasSignature = false;

void ShowTarget() { ui::SetCaption(kMainForm, "标签1", L"拔号按钮句柄为：" + winkit::FormatDecimal(dialTarget)); }

// Short enough for 标签1 at the window's size.
std::wstring WhyNotDelivered(uint32_t error) {
    switch (error) {
    case ERROR_ACCESS_DENIED: return L"点击被拒：客户端权限高";
    case ERROR_INVALID_WINDOW_HANDLE: return L"点击未送达：句柄无效";
    default: return L"点击未送达：错误" + winkit::FormatDecimal(static_cast<int32_t>(error));
    }
}

void OfferElevation() {
    if (elevationOffered) return;
    elevationOffered = true;  // the box's own loop lets ticks run behind it
    const int answer = sysfn::MessageBoxW(
        ui::FormHandle(kMainForm),
        L"拨号客户端以管理员身份运行，系统不允许权限较低的程序点击它的按钮、应答它的提示。\r\n\r\n"
        L"本工具也须以管理员身份运行。现在以管理员身份重新启动本工具吗？",
        L"需要管理员权限", MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL);
    if (answer != IDYES) return;
    if (winkit::RestartAsAdministrator(kTargetArgument + winkit::FormatDecimal(dialTarget))) {
        ui::CloseForm(kMainForm);
        return;
    }
    ui::SetCaption(kMainForm, "标签1", L"未能以管理员身份重启");
}

// Makes the dial target name the button taken at Start again; false (and 标签1
// says why) while it can't be found.
bool RefindTarget() {
    if (!gHasSignature || winkit::IsSameButton(winkit::IntToHandle(dialTarget), gSignature)) return true;
    HWND found = nullptr;
    switch (winkit::FindButton(gSignature, found)) {
    case winkit::ButtonSearch::Found:
        dialTarget = winkit::HandleToInt(found);
        ShowTarget();
        return true;
    case winkit::ButtonSearch::NoButton: ui::SetCaption(kMainForm, "标签1", L"找不到拨号按钮"); return false;
    case winkit::ButtonSearch::NoProgram: ui::SetCaption(kMainForm, "标签1", L"拨号客户端未运行"); return false;
    }
    return false;
}

}  // namespace

void RememberDialTarget() {
    gHasSignature = winkit::ReadButtonSignature(winkit::IntToHandle(dialTarget), gSignature);
    if (gHasSignature && winkit::OutranksUs(winkit::IntToHandle(dialTarget))) OfferElevation();
}

void DialOnce() {
    if (!RefindTarget()) return;
    const uint32_t error = winkit::PostButtonClick(dialTarget);
    if (error != 0) {
        ui::SetCaption(kMainForm, "标签1", WhyNotDelivered(error));
        if (error == ERROR_ACCESS_DENIED) OfferElevation();
        return;
    }
    ShowTarget();  // in place of what a failed click said; an unchanged caption is not repainted
    ++redialCount;
    ui::SetCaption(kMainForm, "标签3", L"已拔" + winkit::FormatDecimal(redialCount) + L"次");
}

void AnswerPrompt(int32_t prompt) {
    if (prompt <= 0) {
        keyedPrompt = 0;
        return;
    }
    HWND window = winkit::IntToHandle(prompt);
    // Still open a tick after the key: the key never reached it.
    if (prompt != keyedPrompt) {
        // The aim window holds the mouse while it exists; taking the
        // foreground from it could lose the release.
        const bool aiming = ui::FindForm(ui::kAimForm) != nullptr;
        const winkit::KeyResult result = winkit::SendKeyToWindow(window, kKeyN, false, !aiming);
        if (result == winkit::KeyResult::Gone) return;
        if (result == winkit::KeyResult::Sent) {
            keyedPrompt = prompt;
            return;
        }
    }
    keyedPrompt = 0;
    if (winkit::AnswerWithoutKeyboard(window, 'N') == ERROR_ACCESS_DENIED) OfferElevation();
}

bool ReadTargetArgument(const std::wstring& arguments, int32_t& handle) {
    std::wstring::size_type begin = arguments.find_first_not_of(L' ');
    std::wstring::size_type end = arguments.find_last_not_of(L' ');
    if (begin == std::wstring::npos) return false;
    const std::wstring argument = arguments.substr(begin, end - begin + 1);
    const std::wstring::size_type prefix = std::wcslen(kTargetArgument);
    if (argument.compare(0, prefix, kTargetArgument) != 0) return false;
    std::wstring::size_type at = prefix;
    const bool negative = at < argument.size() && argument[at] == L'-';
    if (negative) ++at;
    if (at == argument.size() || argument.size() - at > 10) return false;
    long long value = 0;
    for (; at < argument.size(); ++at) {
        if (argument[at] < L'0' || argument[at] > L'9') return false;
        value = value * 10 + (argument[at] - L'0');
    }
    if (negative) value = -value;
    if (value < INT32_MIN || value > INT32_MAX) return false;
    handle = static_cast<int32_t>(value);
    return true;
}

void TakeTargetArgument(const std::wstring& arguments) {
    int32_t handle = 0;
    if (!ReadTargetArgument(arguments, handle)) return;
    // The restarted program never offers again: a client that outranks even
    // an administrator can't make it restart itself over and over.
    elevationOffered = true;
    ui::SetContent(kMainForm, "编辑框1", winkit::FormatDecimal(handle));
    Start(ui::EventArgs());
}

}  // namespace watch
