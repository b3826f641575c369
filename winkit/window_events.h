// Dialogs of other programs as the window manager reports them: an
// out-of-context WinEvent hook on the creation and showing of objects and on
// the start of dialogs. A window is created before it is shown or titled, so
// each report of a top-level "#32770" window calls the given search at once
// (on a timer of 10 ms, out of the hook's call) and again about 30, 100 and
// 250 ms later. The calls come from whatever loop dispatches the thread's
// messages. Everything else the hook hears is dropped at its first test.
#pragma once

#include <windows.h>

namespace winkit {

// Hooks the events for the whole session (every process: a client that
// restarts needs no new hook). False when the system takes no hook; the caller
// then relies on its own timers.
bool HookDialogEvents(void (*search)());

// Unhooks and kills the searches still to come.
void UnhookDialogEvents();

// The test that a reported window is worth a search; the hook's first filter.
bool IsDialogReport(DWORD event, HWND hwnd, LONG idObject, LONG idChild);

}  // namespace winkit
