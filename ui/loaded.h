// The loaded forms: what a form's window and units hold while the form is
// loaded, the list of loaded forms, and the lookups that handlers and the form
// runtime use. A unit or form asked for by name that is not loaded is a fatal fault,
// handed to the report that the shell installs.
#pragma once

#include "sysfn/scoped.h"
#include "ui/form.h"
#include "ui/outline.h"
#include "ui/scale.h"
#include "ui/units.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ui {

struct DisabledWindow {
    HWND hwnd;
    bool wasEnabled;
};

struct LoadedForm {
    const FormDef* def = nullptr;
    const Binding* bindings = nullptr;  // the handlers wired to its events
    std::size_t bindingCount = 0;
    HWND hwnd = nullptr;
    bool closing = false;
    bool modal = false;
    bool activated = false;
    std::vector<Unit> units;               // in the form's order
    std::vector<DisabledWindow> disabled;  // by a modal load
    HCURSOR pointer = nullptr;             // null: the standard arrow
    const unsigned char* pointerFile = nullptr;  // the cursor file it was made of, for another DPI
    std::size_t pointerFileSize = 0;
    int dpi = kBaseDpi;                    // what its places, sizes, fonts and pointer are made for
    sysfn::OwnedGdiObject font;            // its units' font, where the stock one is not for dpi
    Outline outline;                       // a window outlined on the screen, which goes with the form
};

// The font of the form's units at its DPI.
HFONT UnitFont(const LoadedForm& form);

// Makes the form's pointer from its cursor file at the form's DPI (none:
// the standard arrow), and shows it at once where the pointer is over the
// form or the form has the mouse.
void MakePointer(LoadedForm& form);

// Every loaded form, in the order of loading.
std::vector<std::unique_ptr<LoadedForm>>& LoadedForms();

// The loaded form of a template, of its window, or of a child window (with the
// unit that child stands for); null when there is none.
LoadedForm* FindForm(const FormDef& form);
LoadedForm* FormOfWindow(HWND hwnd);
LoadedForm* FormOfChild(HWND child, Unit** unit);

// Frees what the form holds besides its windows and takes it off the list.
void ForgetForm(LoadedForm* form);

// A unit of a loaded form; the fault is reported when there is none.
Unit* FindUnit(const UnitRef& unit);

// The form's window handle; the fault is reported when it is not loaded.
HWND FormHandle(const FormDef& form);

// Asks the form to close by a posted request and returns at once; the fault
// is reported when it is not loaded.
void CloseForm(const FormDef& form);

// Where a form or unit that is not loaded is reported.
using FaultReport = void (*)(const std::wstring& message);
void SetFaultReport(FaultReport report);

}  // namespace ui
