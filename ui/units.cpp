#include "ui/units.h"

#include "sysfn/sysfn.h"
#include "ui/hyperlink.h"
#include "ui/messages.h"

#include <commctrl.h>

namespace ui {

const wchar_t* const kStatusPanes[2] = {
    L"作者：autoredial 开发组",
    L"联系：autoredial@example.com",
};

namespace {

const int kStatusPaneEdges[2] = {150, 300};

void Create(Unit& unit, HWND form, int id, const wchar_t* cls, DWORD style, DWORD exStyle = 0) {
    const UnitDef& def = *unit.def;
    if (def.flags & kTabStop) style |= WS_TABSTOP;
    if (def.flags & kBorder) style |= WS_BORDER;
    unit.hwnd = CreateWindowExW(exStyle, cls, def.text ? def.text : L"", WS_CHILD | style, def.left, def.top,
                                def.width, def.height, form, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleW(nullptr), nullptr);
    if (unit.hwnd) {
        SendMessageW(unit.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    }
}

}  // namespace

void CreateUnit(Unit& unit, HWND form, int id, const wchar_t* windowClass) {
    const UnitDef& def = *unit.def;
    switch (def.type) {
    case UnitType::Label:
        Create(unit, form, id, L"STATIC", WS_VISIBLE | SS_LEFT | SS_NOPREFIX);
        break;
    case UnitType::EditBox:
        Create(unit, form, id, L"EDIT", WS_VISIBLE | ES_AUTOHSCROLL | (def.flags & kCentred ? ES_CENTER : 0));
        break;
    case UnitType::Button:
        Create(unit, form, id, L"BUTTON", WS_VISIBLE | BS_PUSHBUTTON);
        break;
    case UnitType::ProcessBar:
        Create(unit, form, id, PROGRESS_CLASSW, WS_VISIBLE);
        SendMessageW(unit.hwnd, PBM_SETRANGE32, 0, 100);
        SendMessageW(unit.hwnd, PBM_SETPOS, static_cast<WPARAM>(def.value), 0);
        break;
    case UnitType::Timer:
        Create(unit, form, id, windowClass, 0);  // never visible
        WritePeriod(unit, def.value);
        break;
    case UnitType::PicBox:
        Create(unit, form, id, windowClass, WS_VISIBLE);
        if (def.picture && def.pictureSize) unit.picture = DecodePicture(def.picture, *def.pictureSize, def.width, def.height);
        break;
    case UnitType::StatusBar:
        Create(unit, form, id, STATUSCLASSNAMEW, WS_VISIBLE | CCS_BOTTOM);
        SendMessageW(unit.hwnd, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(kStatusPaneEdges));
        for (int pane = 0; pane < 2; ++pane) {
            SendMessageW(unit.hwnd, SB_SETTEXTW, pane, reinterpret_cast<LPARAM>(kStatusPanes[pane]));
        }
        break;
    case UnitType::SimpleHtml:
        Create(unit, form, id, kHyperlinkClass, WS_VISIBLE);
        break;
    case UnitType::Window:
        break;
    }
}

void ReleaseUnit(Unit& unit) { FreePicture(unit.picture); }

void LayOutUnits(std::vector<Unit>& units) {
    for (Unit& unit : units) {
        if (unit.def->type == UnitType::StatusBar && unit.hwnd) SendMessageW(unit.hwnd, WM_SIZE, 0, 0);
    }
}

void WritePeriod(Unit& unit, int32_t period) {
    if (period < 0) period = 0;
    if (period == unit.period) return;
    KillTimer(unit.hwnd, kTimerId);
    unit.period = period;
    unit.startedAt = sysfn::GetTickCount();
    if (period > 0) SetTimer(unit.hwnd, kTimerId, static_cast<UINT>(period), nullptr);
}

}  // namespace ui
