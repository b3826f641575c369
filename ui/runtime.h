// The form runtime: one creation loop builds any form from its table, one
// window procedure per window kind turns messages into the events of the
// handlers wired to the form, and the one message loop of the user-interface
// thread runs in its main and its modal form. Everything runs on that thread.
#pragma once

#include "ui/form.h"

#include <windows.h>

namespace ui {

// Registers the window classes of the forms and the unit types.
bool RegisterClasses();

// Loads a form with its handlers. A live form of the same template is brought
// forward instead. A modal load returns only after its window is gone.
bool LoadForm(const WiredForm& form, HWND parent, bool modal);

bool ModalWindowOpen();

// Keyboard handling of the forms (Esc closes, Tab moves between the tab
// stops), then translation and dispatch.
void DispatchOne(MSG& msg);

// The main loop: returns the quit message's exit code. From now on the last
// form's window to go ends it.
int RunMainLoop();

// Shutdown: no event fires any more, and every form's window is destroyed.
void UnloadAllForms();

// Brings the window of the form that another instance of the program shows to
// the front, restored if it was minimised; false when there is none.
bool BringForwardElsewhere(const FormDef& form);

}  // namespace ui
