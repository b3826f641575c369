// The one message loop of the user-interface thread, in its main and modal
// forms, and the dispatch of single messages that the waits of the toolkit use.
#pragma once

#include <windows.h>

namespace app {

// Offers the message for pre-translation (keyboard handling of the forms),
// then translates and dispatches it.
void DispatchOne(MSG& msg);

// Dispatches queued messages until the queue is empty or a quit message is at
// its head; the quit message stays queued for the main loop.
void ProcessPendingEvents();

// Runs the loop. The main form returns the quit message's exit code; the modal
// form returns 0 as soon as there is no modal window any more, or a quit
// message is next (left queued).
int RunMessageLoop(bool modal);

}  // namespace app
