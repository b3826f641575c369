// The application shell: start-up, loading forms (modal or not), posted
// closing, the routing of window messages to the handlers bound in the forms,
// and shutdown. Everything runs on the one user-interface thread.
#pragma once

#include "ui/form.h"
#include "ui/picture.h"

#include <windows.h>

#include <cstdint>
#include <vector>

namespace app {

// The private message of a posted close.
constexpr UINT kCloseRequest = WM_APP + 0x65;
// The system timer of a Timer unit's hidden window.
constexpr UINT_PTR kTimerId = 1000;

struct Unit {
    const ui::UnitDef* def = nullptr;
    HWND hwnd = nullptr;
    int32_t period = 0;    // Timer
    ui::Picture picture;   // PicBox
};

struct DisabledWindow {
    HWND hwnd;
    bool wasEnabled;
};

struct LoadedForm {
    const ui::FormDef* def = nullptr;
    HWND hwnd = nullptr;
    bool closing = false;
    bool modal = false;
    bool activated = false;
    std::vector<Unit> units;               // in the form's order
    std::vector<DisabledWindow> disabled;  // by a modal load
    HCURSOR pointer = nullptr;             // null: the standard arrow
};

// The process entry point's work: returns the exit code.
int Run();

// Registers the window classes of the shell and the unit types.
bool RegisterClasses();

// Loads a form. A live form of the same template is brought forward instead.
// A modal load returns only after its window is gone.
bool LoadForm(const ui::FormDef& form, HWND parent, bool modal);

// Asks the form to close by a posted request; returns at once.
void CloseForm(const ui::FormDef& form);

// The form's window handle. Closing or asking for a form that is not loaded
// is a runtime error.
HWND FormHandle(const ui::FormDef& form);

// The loaded form of a template, or null.
LoadedForm* FindForm(const ui::FormDef& form);

// A unit of a loaded form; reports the runtime error when there is none.
Unit* FindUnit(const ui::FormDef& form, const char* name);

// Calls the handler bound to (unit, event); unit null means the window.
void FireEvent(const LoadedForm& form, const char* unit, ui::Event event, const ui::EventArgs& args);

// Keyboard handling of the forms, before a message is translated (Esc closes).
bool PreTranslate(MSG& msg);

bool ModalWindowOpen();

// Releases what the program holds: the system-function table's modules, the
// remaining windows, OLE.
void Shutdown();

}  // namespace app
