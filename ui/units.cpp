#include "ui/units.h"

#include "sysfn/sysfn.h"
#include "ui/hyperlink.h"
#include "ui/messages.h"
#include "ui/scale.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

namespace ui {


namespace {

constexpr int kPanes = 2;
const int kStatusPaneEdges[kPanes] = {150, 300};

struct Place {
    int dpi;
    HFONT font;
};

void Create(Unit& unit, HWND form, int id, const wchar_t* cls, const Place& place, DWORD style) {
    const UnitDef& def = *unit.def;
    if (def.flags & kTabStop) style |= WS_TABSTOP;
    if (def.flags & kBorder) style |= WS_BORDER;
    unit.hwnd = CreateWindowExW(0, cls, def.text ? def.text : L"", WS_CHILD | style, Scaled(def.left, place.dpi),
                                Scaled(def.top, place.dpi), Scaled(def.width, place.dpi),
                                Scaled(def.height, place.dpi), form,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (unit.hwnd) SendMessageW(unit.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(place.font), FALSE);
}

// The row's text holds the panes' texts, separated by tabs.
void SetPaneTexts(const Unit& unit) {
    const std::wstring texts = unit.def->text ? unit.def->text : L"";
    std::size_t begin = 0;
    for (int pane = 0; pane < kPanes; ++pane) {
        const std::size_t end = std::min(texts.find(L'\t', begin), texts.size());
        const std::wstring text = texts.substr(begin, end - begin);
        SendMessageW(unit.hwnd, SB_SETTEXTW, pane, reinterpret_cast<LPARAM>(text.c_str()));
        begin = std::min(end + 1, texts.size());
    }
}

void SetPaneEdges(const Unit& unit, int dpi) {
    const int edges[kPanes] = {Scaled(kStatusPaneEdges[0], dpi), Scaled(kStatusPaneEdges[1], dpi)};
    SendMessageW(unit.hwnd, SB_SETPARTS, kPanes, reinterpret_cast<LPARAM>(edges));
}

}  // namespace

void CreateUnit(Unit& unit, HWND form, int id, const wchar_t* windowClass, int dpi, HFONT font) {
    const UnitDef& def = *unit.def;
    const Place place = {dpi, font};
    switch (def.type) {
    case UnitType::Label:
        Create(unit, form, id, L"STATIC", place, WS_VISIBLE | SS_LEFT | SS_NOPREFIX);
        break;
    case UnitType::EditBox:
        Create(unit, form, id, L"EDIT", place, WS_VISIBLE | ES_AUTOHSCROLL | (def.flags & kCentred ? ES_CENTER : 0));
        break;
    case UnitType::Button:
        Create(unit, form, id, L"BUTTON", place, WS_VISIBLE | BS_PUSHBUTTON);
        break;
    case UnitType::ProcessBar:
        Create(unit, form, id, PROGRESS_CLASSW, place, WS_VISIBLE);
        SendMessageW(unit.hwnd, PBM_SETRANGE32, 0, 100);
        SendMessageW(unit.hwnd, PBM_SETPOS, static_cast<WPARAM>(def.value), 0);
        break;
    case UnitType::Timer:
        Create(unit, form, id, windowClass, place, 0);  // never visible
        WritePeriod(unit, def.value);
        break;
    case UnitType::PicBox:
        Create(unit, form, id, windowClass, place, WS_VISIBLE);
        // Decoded at its size for 96 dpi, and drawn scaled.
        if (def.picture && def.pictureSize) unit.picture = DecodePicture(def.picture, *def.pictureSize, def.width, def.height);
        break;
    case UnitType::StatusBar:
        Create(unit, form, id, STATUSCLASSNAMEW, place, WS_VISIBLE | CCS_BOTTOM);
        SetPaneEdges(unit, dpi);
        SetPaneTexts(unit);
        break;
    case UnitType::SimpleHtml:
        Create(unit, form, id, kHyperlinkClass, place, WS_VISIBLE);
        break;
    case UnitType::Window:
        break;
    }
}

void PlaceUnit(Unit& unit, int dpi, HFONT font) {
    if (!unit.hwnd) return;
    const UnitDef& def = *unit.def;
    SendMessageW(unit.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (def.type == UnitType::SimpleHtml) SendMessageW(unit.hwnd, kDpiNotice, static_cast<WPARAM>(dpi), 0);
    if (def.type == UnitType::StatusBar) {
        SetPaneEdges(unit, dpi);  // the form docks it (LayOutUnits)
    } else {
        SetWindowPos(unit.hwnd, nullptr, Scaled(def.left, dpi), Scaled(def.top, dpi), Scaled(def.width, dpi),
                     Scaled(def.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    InvalidateRect(unit.hwnd, nullptr, TRUE);
}

HFONT CreateUnitFont(int dpi) {
    const int systemDpi = SystemDpi();
    if (dpi == systemDpi) return nullptr;
    LOGFONTW font = {};
    if (!GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font)) return nullptr;
    font.lfHeight = MulDiv(font.lfHeight, dpi, systemDpi);
    font.lfWidth = MulDiv(font.lfWidth, dpi, systemDpi);
    return CreateFontIndirectW(&font);
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
