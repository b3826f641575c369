#include "winkit/window_events.h"

#include <cwchar>

namespace winkit {

namespace {

// Three hooks, one event each: a range from the dialog start to the showing
// of objects would bring every system and object event of the desktop here.
constexpr DWORD kEvents[] = {EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW, EVENT_SYSTEM_DIALOGSTART};
HWINEVENTHOOK gHooks[3] = {};

// Each search's delay from the report, in order; a new report starts over.
constexpr UINT kDelays[] = {10, 30, 100, 250};
constexpr int kSearches = sizeof kDelays / sizeof kDelays[0];

void (*gSearch)() = nullptr;
UINT_PTR gTimer = 0;
DWORD gReportedAt = 0;
int gNext = 0;  // index into kDelays of the next search; kSearches: none due

void KillSearchTimer() {
    if (gTimer) KillTimer(nullptr, gTimer);
    gTimer = 0;
}

void CALLBACK OnSearchTimer(HWND, UINT, UINT_PTR, DWORD);

// Arms the thread timer for the next search, counted from the report.
void ArmNext() {
    KillSearchTimer();
    if (gNext >= kSearches) return;
    const DWORD passed = GetTickCount() - gReportedAt;
    const UINT delay = kDelays[gNext] > passed ? kDelays[gNext] - passed : USER_TIMER_MINIMUM;
    gTimer = SetTimer(nullptr, 0, delay, OnSearchTimer);
}

void CALLBACK OnSearchTimer(HWND, UINT, UINT_PTR, DWORD) {
    ++gNext;
    ArmNext();  // before the search, which may wait and dispatch this timer's messages
    if (gSearch) gSearch();
}

void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG idObject, LONG idChild, DWORD, DWORD) {
    if (!IsDialogReport(event, hwnd, idObject, idChild)) return;
    gReportedAt = GetTickCount();
    gNext = 0;
    ArmNext();
}

}  // namespace

bool IsDialogReport(DWORD event, HWND hwnd, LONG idObject, LONG idChild) {
    if (idObject != OBJID_WINDOW || idChild != CHILDID_SELF || !hwnd) return false;
    if (event != EVENT_OBJECT_CREATE && event != EVENT_OBJECT_SHOW && event != EVENT_SYSTEM_DIALOGSTART) return false;
    if (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD) return false;
    wchar_t name[8] = {};
    // Seven characters and the NUL: a longer class name is cut and can't match.
    return GetClassNameW(hwnd, name, 8) == 6 && std::wcscmp(name, L"#32770") == 0;
}

bool HookDialogEvents(void (*search)()) {
    UnhookDialogEvents();
    gSearch = search;
    bool any = false;
    for (int i = 0; i < 3; ++i) {
        gHooks[i] = SetWinEventHook(kEvents[i], kEvents[i], nullptr, OnEvent, 0, 0,
                                    WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
        any = any || gHooks[i];
    }
    return any;
}

void UnhookDialogEvents() {
    for (HWINEVENTHOOK& hook : gHooks) {
        if (hook) UnhookWinEvent(hook);
        hook = nullptr;
    }
    KillSearchTimer();
    gNext = kSearches;
    gSearch = nullptr;
}

}  // namespace winkit
