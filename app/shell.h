// The application shell: start-up, loading forms (modal or not), the routing
// of window messages to the handlers wired to a form, and shutdown.
// Everything runs on the one user-interface thread.
#pragma once

#include "ui/form.h"

#include <windows.h>

namespace app {

// The process entry point's work: returns the exit code.
int Run();

// Gives the lower layers what they need from the shell: the runtime error
// report (the table's failed bindings, forms and units that are not loaded)
// and the dispatch of messages during the toolkit's waits.
void ConnectLayers();

// Registers the window classes of the shell and the unit types.
bool RegisterClasses();

// Loads a form with its handlers. A live form of the same template is brought
// forward instead. A modal load returns only after its window is gone.
bool LoadForm(const ui::WiredForm& form, HWND parent, bool modal);

// Keyboard handling of the forms, before a message is translated (Esc closes).
bool PreTranslate(MSG& msg);

bool ModalWindowOpen();

// Releases what the program holds, in this order: the remaining windows, the
// skinning hook, the hyperlink box's pointer, the system-function table's
// modules, COM.
void Shutdown();

}  // namespace app
