// The application shell: start-up, the wiring of the lower layers, and
// shutdown. The forms themselves run in ui/ (ui/runtime.h).
#pragma once

namespace app {

// The process entry point's work: returns the exit code.
int Run();

// Gives the lower layers what they need from the shell: the runtime error
// report (the table's failed bindings, forms and units that are not loaded)
// and the dispatch of messages during the toolkit's waits.
void ConnectLayers();

// Dispatches queued messages, the forms' keyboard handling included, until the
// queue is empty or a quit message is at its head (left queued).
void ProcessPendingEvents();

// Releases what the program holds, in this order: the remaining windows, the
// skinning hook, the hyperlink box's pointer, the guard of one instance a
// session, the system-function table's modules, COM.
void Shutdown();

}  // namespace app
