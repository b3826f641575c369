// The unit types: how each is created on its form and how its properties are
// read and written. Code that differs by type is a switch on the type tag.
#pragma once

#include "ui/form.h"
#include "ui/picture.h"

#include <windows.h>

#include <cstdint>
#include <vector>

namespace ui {

// A unit of a loaded form: its row, its window and what it holds besides.
struct Unit {
    const UnitDef* def = nullptr;
    HWND hwnd = nullptr;
    int32_t period = 0;  // Timer
    uint32_t startedAt = 0;  // Timer: the table's tick count (ms) at its last change of period
    Picture picture;     // PicBox
};

// Creates the unit's window on its form with the settings of its row, its
// place and size scaled to the form's DPI, in the given font. Timer and PicBox
// units use the form runtime's window classes, given as windowClass.
void CreateUnit(Unit& unit, HWND form, int id, const wchar_t* windowClass, int dpi, HFONT font);

// Lays a unit out again at another DPI of its form: place, size, font, the
// status bar's panes, the hyperlink box's own fonts.
void PlaceUnit(Unit& unit, int dpi, HFONT font);

// The units' font at a DPI: null where the stock one (DEFAULT_GUI_FONT), which
// the system makes for its own DPI, is right as it is; else a font of the same
// point size, which the caller owns.
HFONT CreateUnitFont(int dpi);

// Frees what the unit holds besides its window (pictures).
void ReleaseUnit(Unit& unit);

// Places the units whose place follows the form's size (the docked status bar).
void LayOutUnits(std::vector<Unit>& units);

// Timer period rule: negative counts as 0; the current value changes nothing;
// another value restarts the timer, so its next tick is one full period later;
// 0 stops it.
void WritePeriod(Unit& unit, int32_t period);

}  // namespace ui
