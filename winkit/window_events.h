// Dialogs of chosen programs as the window manager reports them: an
// out-of-context WinEvent hook on the creation and showing of objects and on
// the start of dialogs, set for each followed process alone (the hook's
// process filter), so that the windows of every other program cost nothing:
// the system does not even wake us for them. A window is created before it
// is shown or titled, so each report of a top-level "#32770" window calls the
// given search at once (on a timer of 10 ms, out of the hook's call) and again
// about 30, 100 and 250 ms later. The calls come from whatever loop dispatches
// the thread's messages.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace winkit {

// Each search's delay from a report, in ms, in order; a new report starts over.
constexpr UINT kSearchDelays[] = {10, 30, 100, 250};

// From now on, reports of the followed processes' dialogs call search.
// False when the system takes no hook for one of them; the caller then
// relies on its own timers.
bool HookDialogEvents(void (*search)());

// The processes whose dialogs are reported, as the caller's latest search
// found them (a client that starts later is followed from then on). Hooks
// change only where the set changed; at most eight processes are followed.
// Kept while no search is hooked, for the next HookDialogEvents.
void FollowProcesses(const std::vector<uint32_t>& processIds);

// Unhooks and kills the searches still to come; the followed set stays.
void UnhookDialogEvents();

// The test that a reported window is worth a search; the hook's first filter.
bool IsDialogReport(DWORD event, HWND hwnd, LONG idObject, LONG idChild);

}  // namespace winkit
