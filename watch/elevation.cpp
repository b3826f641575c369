#include "watch/elevation.h"

#include "sysfn/sysfn.h"
#include "ui/loaded.h"
#include "ui/props.h"
#include "watch/watch.h"
#include "winkit/instance.h"
#include "winkit/integrity.h"
#include "winkit/text.h"

#include <cwchar>

namespace watch {

using ui::kMainForm;

namespace {

const wchar_t kTargetArgument[] = L"/redial-target:";

// The guard goes before anything that may wait on another program (the
// manager's unadvise, a look still inside its waits, the close itself): the
// new instance gives up when it has waited 10 s.
void HandOver(Watch& watch) {
    watch.handedOver = true;
    watch.watching = false;
    ui::SetPeriod(ui::kWatchTimer, 0);
    ui::SetPeriod(ui::kCountdownTimer, 0);
    winkit::ReleaseInstance();
    ui::CloseForm(kMainForm);
}

}  // namespace

void OfferElevation(Watch& watch) {
    if (watch.elevationOffered) return;
    watch.elevationOffered = true;  // the box's own loop lets ticks run behind it
    const int answer = sysfn::MessageBoxW(
        ui::FormHandle(kMainForm),
        L"拔号客户端以管理员身份运行，系统不允许权限较低的程序点击它的按钮、应答它的提示。\r\n\r\n"
        L"本工具也须以管理员身份运行。现在以管理员身份重新启动本工具吗？",
        L"需要管理员权限", MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL);
    if (answer != IDYES) return;
    if (winkit::RestartAsAdministrator(kTargetArgument + winkit::FormatDecimal(watch.dialTarget),
                                      ui::FormHandle(kMainForm))) {
        HandOver(watch);
        return;
    }
    ui::SetCaption(ui::kTargetLine, L"未能以管理员身份重启");
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

void TakeTargetArgument(Watch& watch, const std::wstring& arguments) {
    int32_t handle = 0;
    if (!ReadTargetArgument(arguments, handle)) return;
    // The restarted program never offers again: a client that outranks even
    // an administrator can't make it restart itself over and over.
    watch.elevationOffered = true;
    ui::SetContent(ui::kTargetBox, winkit::FormatDecimal(handle));
    Start(watch, ui::EventArgs());
}

}  // namespace watch
