#include "ui/props.h"

#include "sysfn/sysfn.h"
#include "ui/loaded.h"
#include "ui/picture.h"
#include "ui/units.h"

#include <commctrl.h>

namespace ui {

namespace {

void Redraw(HWND hwnd) {
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
}

std::wstring WindowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, &text[0], static_cast<int>(text.size()))));
    return text;
}

}  // namespace

void SetCaption(const UnitRef& ref, const std::wstring& text) {
    Unit* unit = FindUnit(ref);
    if (!unit) return;
    // The prompt label is rewritten every second, mostly with what it shows
    // already; repainting it then would be the idle program's main cost.
    if (unit->def->type == UnitType::Label && WindowText(unit->hwnd) == text) return;
    SetWindowTextW(unit->hwnd, text.c_str());
    Redraw(unit->hwnd);
}

std::wstring GetCaption(const UnitRef& ref) {
    Unit* unit = FindUnit(ref);
    return unit ? WindowText(unit->hwnd) : std::wstring();
}

void SetContent(const UnitRef& ref, const std::wstring& text) { SetCaption(ref, text); }

std::wstring GetContent(const UnitRef& ref) { return GetCaption(ref); }

void SetPicture(const UnitRef& ref, const unsigned char* bytes, std::size_t size) {
    if (Unit* unit = FindUnit(ref)) {
        FreePicture(unit->picture);
        unit->picture = DecodePicture(bytes, size, unit->def->width, unit->def->height);
        Redraw(unit->hwnd);
    }
}

void SetPeriod(const UnitRef& ref, int32_t period) {
    if (Unit* unit = FindUnit(ref)) WritePeriod(*unit, period);
}

int32_t GetPeriod(const UnitRef& ref) {
    Unit* unit = FindUnit(ref);
    return unit ? unit->period : 0;
}

void SetBarPosition(const UnitRef& ref, int32_t position) {
    if (Unit* unit = FindUnit(ref)) {
        SendMessageW(unit->hwnd, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    }
}

int32_t GetBarPosition(const UnitRef& ref) {
    Unit* unit = FindUnit(ref);
    return unit ? static_cast<int32_t>(SendMessageW(unit->hwnd, PBM_GETPOS, 0, 0)) : 0;
}

namespace {

void MoveForm(const FormDef& form, int left, int top, int width, int height, UINT flags) {
    HWND hwnd = FormHandle(form);
    if (hwnd) SetWindowPos(hwnd, nullptr, left, top, width, height, flags | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT FormRect(const FormDef& form) {
    RECT rect = {};
    if (LoadedForm* loaded = FindForm(form)) GetWindowRect(loaded->hwnd, &rect);
    return rect;
}

}  // namespace

void SetFormLeft(const FormDef& form, int left) { MoveForm(form, left, FormRect(form).top, 0, 0, SWP_NOSIZE); }

void SetFormTop(const FormDef& form, int top) { MoveForm(form, FormRect(form).left, top, 0, 0, SWP_NOSIZE); }

void SetFormWidth(const FormDef& form, int width) {
    RECT rect = FormRect(form);
    MoveForm(form, 0, 0, width, rect.bottom - rect.top, SWP_NOMOVE);
}

void SetFormHeight(const FormDef& form, int height) {
    RECT rect = FormRect(form);
    MoveForm(form, 0, 0, rect.right - rect.left, height, SWP_NOMOVE);
}

void SetFormPointer(const FormDef& form, const unsigned char* bytes, std::size_t size) {
    HWND hwnd = FormHandle(form);
    LoadedForm* loaded = FindForm(form);
    if (!hwnd || !loaded) return;
    loaded->pointerFile = bytes;
    loaded->pointerFileSize = size;
    MakePointer(*loaded);
}

int Scaled(const FormDef& form, int at96) {
    LoadedForm* loaded = FindForm(form);
    return FormHandle(form) && loaded ? Scaled(at96, loaded->dpi) : at96;
}

void SetFormOpacity(const FormDef& form, unsigned char alpha) {
    HWND hwnd = FormHandle(form);
    if (!hwnd || !sysfn::TryBind(sysfn::kSetLayeredWindowAttributes)) return;
    // The other extended bits stay: they keep the window topmost and off the taskbar.
    SetWindowLongW(hwnd, GWL_EXSTYLE, GetWindowLongW(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    sysfn::SetLayeredWindowAttributes(hwnd, 0, alpha, LWA_ALPHA);
}

void OutlineWindow(const FormDef& form, HWND target) {
    LoadedForm* loaded = FindForm(form);
    if (FormHandle(form) && loaded) ShowOutline(loaded->outline, loaded->hwnd, target);
}

void CaptureMouse(const FormDef& form) {
    HWND hwnd = FormHandle(form);
    LoadedForm* loaded = FindForm(form);
    if (!hwnd || !loaded) return;
    SetCapture(hwnd);
    if (loaded->pointer) SetCursor(loaded->pointer);
}

}  // namespace ui
