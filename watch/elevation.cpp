#include "watch/elevation.h"

#include "sysfn/sysfn.h"
#include "ui/loaded.h"
#include "ui/props.h"
#include "watch/dial.h"
#include "watch/watch.h"
#include "winkit/instance.h"
#include "winkit/integrity.h"
#include "winkit/text.h"

#include <algorithm>
#include <cwchar>
#include <vector>

namespace watch {

using ui::kMainForm;

namespace {

const wchar_t kTargetArgument[] = L"/redial-target:";
const wchar_t kCountArgument[] = L"/redial-count:";
const wchar_t kMemoryArgument[] = L"/link-memory:";

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
    // A look may be inside its waits, which dispatched what asked: were the
    // box shown here, no look would run until it was answered, and one that
    // went on after a yes would act beside the new instance.
    if (watch.promptAnswer.looking) {
        watch.offerWanted = true;
        return;
    }
    watch.offerWanted = false;
    watch.elevationOffered = true;  // the box's own loop lets ticks run behind it
    const int answer = sysfn::MessageBoxW(
        ui::FormHandle(kMainForm),
        L"拔号客户端以管理员身份运行，系统不允许权限较低的程序点击它的按钮、应答它的提示。\r\n\r\n"
        L"本工具也须以管理员身份运行。现在以管理员身份重新启动本工具吗？",
        L"需要管理员权限", MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL);
    if (answer != IDYES) return;
    if (winkit::RestartAsAdministrator(WriteRestartArguments(watch), ui::FormHandle(kMainForm))) {
        HandOver(watch);
        return;
    }
    ui::SetCaption(ui::kTargetLine, L"未能以管理员身份重启");
}

namespace {

// A whole number in decimal, an optional minus sign and at most ten digits,
// within [low, high].
bool ReadWhole(const std::wstring& text, int64_t low, int64_t high, int32_t& number) {
    std::wstring::size_type at = 0;
    const bool negative = !text.empty() && text[0] == L'-';
    if (negative) ++at;
    if (at == text.size() || text.size() - at > 10) return false;
    int64_t value = 0;
    for (; at < text.size(); ++at) {
        if (text[at] < L'0' || text[at] > L'9') return false;
        value = value * 10 + (text[at] - L'0');
    }
    if (negative) value = -value;
    if (value < low || value > high) return false;
    number = static_cast<int32_t>(value);
    return true;
}

// The value of "name:value" when word is one.
bool ValueOf(const std::wstring& word, const wchar_t* name, std::wstring& value) {
    const std::wstring::size_type length = std::wcslen(name);
    if (word.compare(0, length, name) != 0) return false;
    value = word.substr(length);
    return true;
}

bool ReadMemory(const std::wstring& text, LinkMemory& memory) {
    int32_t numbers[4] = {};
    std::wstring::size_type from = 0;
    for (int i = 0; i < 4; ++i) {
        const std::wstring::size_type comma = i < 3 ? text.find(L',', from) : text.size();
        if (comma == std::wstring::npos || !ReadWhole(text.substr(from, comma - from), 0, INT32_MAX, numbers[i])) {
            return false;
        }
        from = comma + 1;
    }
    if (numbers[0] > 1) return false;
    memory = {numbers[0] == 1, numbers[1], numbers[2], numbers[3]};
    return IsPossible(memory);
}

}  // namespace

bool ReadRestartArguments(const std::wstring& arguments, Carried& carried) {
    const std::wstring::size_type begin = arguments.find_first_not_of(L' ');
    if (begin == std::wstring::npos) return false;
    const std::wstring::size_type end = arguments.find_last_not_of(L' ');
    std::vector<std::wstring> words;
    for (std::wstring::size_type at = begin; at <= end;) {
        const std::wstring::size_type space = std::min(arguments.find(L' ', at), end + 1);
        words.push_back(arguments.substr(at, space - at));
        at = space + 1;
    }
    Carried read;
    std::wstring value;
    std::size_t next = 0;
    if (!ValueOf(words[next++], kTargetArgument, value) || !ReadWhole(value, INT32_MIN, INT32_MAX, read.dialTarget)) {
        return false;
    }
    if (next < words.size() && ValueOf(words[next], kCountArgument, value)) {
        if (!ReadWhole(value, 0, INT32_MAX, read.redialCount)) return false;
        ++next;
    }
    if (next < words.size() && ValueOf(words[next], kMemoryArgument, value)) {
        if (!ReadMemory(value, read.linkMemory)) return false;
        ++next;
    }
    if (next != words.size()) return false;
    carried = read;
    return true;
}

std::wstring WriteRestartArguments(const Watch& watch) {
    const LinkMemory& memory = watch.linkMemory;
    return kTargetArgument + winkit::FormatDecimal(watch.dialTarget) + L" " + kCountArgument +
           winkit::FormatDecimal(watch.redialCount) + L" " + kMemoryArgument +
           winkit::FormatDecimal(memory.internetSeen ? 1 : 0) + L"," + winkit::FormatDecimal(memory.lostTicks) + L"," +
           winkit::FormatDecimal(memory.clickWait) + L"," + winkit::FormatDecimal(memory.sinceClick);
}

void TakeRestartArguments(Watch& watch, const std::wstring& arguments) {
    Carried carried;
    if (!ReadRestartArguments(arguments, carried)) return;
    // The restarted program never offers again: a client that outranks even
    // an administrator can't make it restart itself over and over.
    watch.elevationOffered = true;
    ui::SetContent(ui::kTargetBox, winkit::FormatDecimal(carried.dialTarget));
    Start(watch, ui::EventArgs());
    watch.linkMemory = carried.linkMemory;
    watch.redialCount = carried.redialCount;
    ShowRedialCount(watch);
}

}  // namespace watch
