#include "ui/loaded.h"

#include "ui/messages.h"
#include "ui/units.h"

#include <cstring>

namespace ui {

namespace {

const wchar_t kNotLoaded[] = L"指定窗口或窗口组件不存在或尚未载入";

std::vector<std::unique_ptr<LoadedForm>> gForms;
FaultReport gReport = nullptr;

void ReportNotLoaded() {
    if (gReport) gReport(kNotLoaded);
}

}  // namespace

std::vector<std::unique_ptr<LoadedForm>>& LoadedForms() { return gForms; }

LoadedForm* FindForm(const FormDef& def) {
    for (auto& form : gForms) {
        if (form->def == &def) return form.get();
    }
    return nullptr;
}

LoadedForm* FormOfWindow(HWND hwnd) {
    for (auto& form : gForms) {
        if (form->hwnd == hwnd) return form.get();
    }
    return nullptr;
}

LoadedForm* FormOfChild(HWND child, Unit** unit) {
    LoadedForm* form = FormOfWindow(GetParent(child));
    if (!form) return nullptr;
    const int row = GetDlgCtrlID(child) - kFirstUnitId;
    if (row < 0 || row >= static_cast<int>(form->units.size())) return nullptr;
    *unit = &form->units[row];
    return form;
}

void ForgetForm(LoadedForm* form) {
    for (Unit& unit : form->units) ReleaseUnit(unit);
    DestroyPointer(form->pointer);  // the aim window's, in use until it goes
    EndOutline(form->outline);
    for (auto it = gForms.begin(); it != gForms.end(); ++it) {
        if (it->get() == form) {
            gForms.erase(it);
            return;
        }
    }
}

HFONT UnitFont(const LoadedForm& form) {
    return form.font.object ? static_cast<HFONT>(form.font.object)
                            : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void MakePointer(LoadedForm& form) {
    Picture picture = DecodePicture(form.pointerFile, form.pointerFileSize, 0, 0, form.dpi);  // no box: no JPEG
    if (picture.bitmap) FreePicture(picture);  // a pointer must be a cursor or icon
    const HCURSOR previous = form.pointer;
    form.pointer = picture.icon;
    // A captured mouse is sent no WM_SETCURSOR: the shape is set here, and so
    // the previous one is out of use before it is destroyed.
    POINT cursor;
    if (GetCapture() == form.hwnd || (GetCursorPos(&cursor) && WindowFromPoint(cursor) == form.hwnd)) {
        SetCursor(form.pointer ? form.pointer : LoadCursor(nullptr, IDC_ARROW));
    }
    DestroyPointer(previous);
}

Unit* FindUnit(const UnitRef& ref) {
    if (LoadedForm* form = FindForm(*ref.form)) {
        for (Unit& unit : form->units) {
            if (std::strcmp(unit.def->name, ref.name) == 0 && unit.hwnd) return &unit;
        }
    }
    ReportNotLoaded();
    return nullptr;
}

HWND FormHandle(const FormDef& def) {
    LoadedForm* form = FindForm(def);
    if (!form || !IsWindow(form->hwnd)) {
        ReportNotLoaded();
        return nullptr;
    }
    return form->hwnd;
}

void CloseForm(const FormDef& def) {
    LoadedForm* form = FindForm(def);
    if (!form || !IsWindow(form->hwnd)) {
        ReportNotLoaded();
        return;
    }
    form->closing = true;
    PostMessageW(form->hwnd, kCloseRequest, 0, 0);
}

void SetFaultReport(FaultReport report) { gReport = report; }

}  // namespace ui
