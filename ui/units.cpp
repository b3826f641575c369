#include "ui/units.h"

#include "ui/hyperlink.h"
#include "ui/props.h"

#include <commctrl.h>

namespace ui {

const char* const kStatusPanes[2] = {
    "作者：autoredial 开发组",
    "联系：autoredial@example.com",
};

namespace {

const int kStatusPaneEdges[2] = {150, 300};

void Create(app::Unit& unit, HWND form, int id, const char* cls, DWORD style, DWORD exStyle = 0) {
    const UnitDef& def = *unit.def;
    if (def.flags & kTabStop) style |= WS_TABSTOP;
    if (def.flags & kBorder) style |= WS_BORDER;
    unit.hwnd = CreateWindowExA(exStyle, cls, def.text ? def.text : "", WS_CHILD | style, def.left, def.top,
                                def.width, def.height, form, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleA(nullptr), nullptr);
    if (unit.hwnd) {
        SendMessageA(unit.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    }
}

void Redraw(HWND hwnd) {
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
}

app::Unit* Find(const FormDef& form, const char* name) { return app::FindUnit(form, name); }

}  // namespace

void CreateUnit(app::Unit& unit, HWND form, int id, const char* windowClass) {
    const UnitDef& def = *unit.def;
    switch (def.type) {
    case UnitType::Label:
        Create(unit, form, id, "STATIC", WS_VISIBLE | SS_LEFT | SS_NOPREFIX);
        break;
    case UnitType::EditBox:
        Create(unit, form, id, "EDIT", WS_VISIBLE | ES_AUTOHSCROLL | (def.flags & kCentred ? ES_CENTER : 0));
        break;
    case UnitType::Button:
        Create(unit, form, id, "BUTTON", WS_VISIBLE | BS_PUSHBUTTON);
        break;
    case UnitType::ProcessBar:
        Create(unit, form, id, PROGRESS_CLASSA, WS_VISIBLE);
        SendMessageA(unit.hwnd, PBM_SETRANGE32, 0, 100);
        SendMessageA(unit.hwnd, PBM_SETPOS, static_cast<WPARAM>(def.value), 0);
        break;
    case UnitType::Timer:
        Create(unit, form, id, windowClass, 0);  // never visible
        WritePeriod(unit, def.value);
        break;
    case UnitType::PicBox:
        Create(unit, form, id, windowClass, WS_VISIBLE);
        if (def.picture && def.pictureSize) unit.picture = DecodePicture(def.picture, *def.pictureSize);
        break;
    case UnitType::StatusBar:
        Create(unit, form, id, STATUSCLASSNAMEA, WS_VISIBLE | CCS_BOTTOM);
        SendMessageA(unit.hwnd, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(kStatusPaneEdges));
        for (int pane = 0; pane < 2; ++pane) {
            SendMessageA(unit.hwnd, SB_SETTEXTA, pane, reinterpret_cast<LPARAM>(kStatusPanes[pane]));
        }
        break;
    case UnitType::SimpleHtml:
        Create(unit, form, id, kHyperlinkClass, WS_VISIBLE);
        break;
    case UnitType::Window:
        break;
    }
}

void ReleaseUnit(app::Unit& unit) { FreePicture(unit.picture); }

void LayOutUnits(std::vector<app::Unit>& units) {
    for (app::Unit& unit : units) {
        if (unit.def->type == UnitType::StatusBar && unit.hwnd) SendMessageA(unit.hwnd, WM_SIZE, 0, 0);
    }
}

void WritePeriod(app::Unit& unit, int32_t period) {
    if (period < 0) period = 0;
    if (period == unit.period) return;
    KillTimer(unit.hwnd, app::kTimerId);
    unit.period = period;
    if (period > 0) SetTimer(unit.hwnd, app::kTimerId, static_cast<UINT>(period), nullptr);
}

namespace {

std::string WindowText(HWND hwnd) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(hwnd, &text[0], static_cast<int>(text.size()))));
    return text;
}

}  // namespace

void SetCaption(const FormDef& form, const char* name, const std::string& text) {
    app::Unit* unit = Find(form, name);
    if (!unit) return;
    // The prompt label is rewritten every second, mostly with what it shows
    // already; repainting it then would be the idle program's main cost.
    if (unit->def->type == UnitType::Label && WindowText(unit->hwnd) == text) return;
    SetWindowTextA(unit->hwnd, text.c_str());
    Redraw(unit->hwnd);
}

std::string GetCaption(const FormDef& form, const char* name) {
    app::Unit* unit = Find(form, name);
    return unit ? WindowText(unit->hwnd) : std::string();
}

void SetContent(const FormDef& form, const char* name, const std::string& text) { SetCaption(form, name, text); }

std::string GetContent(const FormDef& form, const char* name) { return GetCaption(form, name); }

void SetPicture(const FormDef& form, const char* name, const unsigned char* bytes, std::size_t size) {
    if (app::Unit* unit = Find(form, name)) {
        FreePicture(unit->picture);
        unit->picture = DecodePicture(bytes, size);
        Redraw(unit->hwnd);
    }
}

void SetPeriod(const FormDef& form, const char* name, int32_t period) {
    if (app::Unit* unit = Find(form, name)) WritePeriod(*unit, period);
}

int32_t GetPeriod(const FormDef& form, const char* name) {
    app::Unit* unit = Find(form, name);
    return unit ? unit->period : 0;
}

void SetBarPosition(const FormDef& form, const char* name, int32_t position) {
    if (app::Unit* unit = Find(form, name)) {
        SendMessageA(unit->hwnd, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    }
}

int32_t GetBarPosition(const FormDef& form, const char* name) {
    app::Unit* unit = Find(form, name);
    return unit ? static_cast<int32_t>(SendMessageA(unit->hwnd, PBM_GETPOS, 0, 0)) : 0;
}

namespace {

void MoveForm(const FormDef& form, int left, int top, int width, int height, UINT flags) {
    HWND hwnd = app::FormHandle(form);
    if (hwnd) SetWindowPos(hwnd, nullptr, left, top, width, height, flags | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT FormRect(const FormDef& form) {
    RECT rect = {};
    if (app::LoadedForm* loaded = app::FindForm(form)) GetWindowRect(loaded->hwnd, &rect);
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
    HWND hwnd = app::FormHandle(form);
    app::LoadedForm* loaded = app::FindForm(form);
    if (!hwnd || !loaded) return;
    Picture picture = DecodePicture(bytes, size);
    if (picture.bitmap) FreePicture(picture);  // a pointer must be a cursor or icon
    if (loaded->pointer) DestroyCursor(loaded->pointer);
    loaded->pointer = picture.icon;
    // A captured mouse is sent no WM_SETCURSOR: the shape is set here.
    POINT cursor;
    if (GetCapture() == hwnd || (GetCursorPos(&cursor) && WindowFromPoint(cursor) == hwnd)) {
        SetCursor(loaded->pointer ? loaded->pointer : LoadCursor(nullptr, IDC_ARROW));
    }
}

void CaptureMouse(const FormDef& form) {
    HWND hwnd = app::FormHandle(form);
    app::LoadedForm* loaded = app::FindForm(form);
    if (!hwnd || !loaded) return;
    SetCapture(hwnd);
    if (loaded->pointer) SetCursor(loaded->pointer);
}

}  // namespace ui
