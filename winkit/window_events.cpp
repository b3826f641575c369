#include "winkit/window_events.h"

#include "sysfn/sysfn.h"

#include <algorithm>
#include <cstddef>
#include <cwchar>

namespace winkit {

namespace {

// Three hooks a process, one event each: a range from the dialog start to the
// showing of objects would bring every system and object event here.
constexpr DWORD kEvents[] = {EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW, EVENT_SYSTEM_DIALOGSTART};
constexpr int kEventCount = sizeof kEvents / sizeof kEvents[0];
constexpr std::size_t kMaxFollowed = 8;

struct Followed {
    uint32_t processId;
    HWINEVENTHOOK hooks[kEventCount];
};

constexpr int kSearches = sizeof kSearchDelays / sizeof kSearchDelays[0];

void (*gSearch)() = nullptr;
std::vector<uint32_t> gWanted;    // sorted, the processes to follow
std::vector<Followed> gFollowed;  // hooked, while a search is hooked
UINT_PTR gTimer = 0;
DWORD gReportedAt = 0;
int gNext = 0;  // index into kSearchDelays of the next search; kSearches: none due

void KillSearchTimer() {
    if (gTimer) KillTimer(nullptr, gTimer);
    gTimer = 0;
}

void CALLBACK OnSearchTimer(HWND, UINT, UINT_PTR, DWORD);

// Arms the thread timer for the next search, counted from the report.
void ArmNext() {
    KillSearchTimer();
    if (gNext >= kSearches) return;
    const DWORD passed = sysfn::GetTickCount() - gReportedAt;
    const UINT delay = kSearchDelays[gNext] > passed ? kSearchDelays[gNext] - passed : USER_TIMER_MINIMUM;
    gTimer = SetTimer(nullptr, 0, delay, OnSearchTimer);
}

void CALLBACK OnSearchTimer(HWND, UINT, UINT_PTR, DWORD) {
    ++gNext;
    ArmNext();  // before the search, which may wait and dispatch this timer's messages
    if (gSearch) gSearch();
}

void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG idObject, LONG idChild, DWORD, DWORD) {
    if (!IsDialogReport(event, hwnd, idObject, idChild)) return;
    gReportedAt = sysfn::GetTickCount();
    gNext = 0;
    ArmNext();
}

// False when the system took none of the process's hooks. Only that process
// reports, never ours, so the hooks do without WINEVENT_SKIPOWNPROCESS (with
// it and a process, Wine reports nothing).
bool Hook(Followed& followed) {
    bool any = false;
    for (int i = 0; i < kEventCount; ++i) {
        followed.hooks[i] = SetWinEventHook(kEvents[i], kEvents[i], nullptr, OnEvent, followed.processId, 0,
                                            WINEVENT_OUTOFCONTEXT);
        any = any || followed.hooks[i];
    }
    return any;
}

void Unhook(Followed& followed) {
    for (HWINEVENTHOOK& hook : followed.hooks) {
        if (hook) UnhookWinEvent(hook);
        hook = nullptr;
    }
}

// Hooks what is wanted and not yet followed while a search is hooked, and
// unhooks the rest.
bool Sync() {
    for (std::size_t i = gFollowed.size(); i-- > 0;) {
        if (gSearch && std::binary_search(gWanted.begin(), gWanted.end(), gFollowed[i].processId)) continue;
        Unhook(gFollowed[i]);
        gFollowed.erase(gFollowed.begin() + static_cast<std::ptrdiff_t>(i));
    }
    if (!gSearch) return true;
    bool all = true;
    for (uint32_t processId : gWanted) {
        const auto same = [processId](const Followed& followed) { return followed.processId == processId; };
        if (std::any_of(gFollowed.begin(), gFollowed.end(), same)) continue;
        gFollowed.push_back(Followed{processId, {}});
        all = Hook(gFollowed.back()) && all;
    }
    return all;
}

}  // namespace

bool IsDialogReport(DWORD event, HWND hwnd, LONG idObject, LONG idChild) {
    if (idObject != OBJID_WINDOW || idChild != CHILDID_SELF || !hwnd) return false;
    if (event != EVENT_OBJECT_CREATE && event != EVENT_OBJECT_SHOW && event != EVENT_SYSTEM_DIALOGSTART) return false;
    if (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD) return false;
    wchar_t name[8] = {};
    // Seven characters and the NUL: a longer class name is cut and can't match.
    return sysfn::GetClassNameW(hwnd, name, 8) == 6 && std::wcscmp(name, L"#32770") == 0;
}

bool HookDialogEvents(void (*search)()) {
    UnhookDialogEvents();
    gSearch = search;
    return Sync();
}

void FollowProcesses(const std::vector<uint32_t>& processIds) {
    std::vector<uint32_t> wanted(processIds);
    std::sort(wanted.begin(), wanted.end());
    wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
    if (wanted.size() > kMaxFollowed) wanted.resize(kMaxFollowed);
    if (wanted == gWanted) return;
    gWanted.swap(wanted);
    Sync();
}

void UnhookDialogEvents() {
    gSearch = nullptr;
    Sync();
    KillSearchTimer();
    gNext = kSearches;
}

}  // namespace winkit
