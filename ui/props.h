// Unit properties as the handlers read and write them: one property at a time,
// the unit by its reference (which names its form too). A unit or form that is
// not loaded is a runtime error.
#pragma once

#include "ui/form.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace ui {

void SetCaption(const UnitRef& unit, const std::wstring& text);
std::wstring GetCaption(const UnitRef& unit);

// Edit-box content.
void SetContent(const UnitRef& unit, const std::wstring& text);
std::wstring GetContent(const UnitRef& unit);

// A picture from image bytes (JPEG, or a cursor or icon file); empty bytes
// clear the box.
void SetPicture(const UnitRef& unit, const unsigned char* bytes, std::size_t size);

void SetPeriod(const UnitRef& unit, int32_t period);
int32_t GetPeriod(const UnitRef& unit);

// Bar position, clamped to the bar's range.
void SetBarPosition(const UnitRef& unit, int32_t position);
int32_t GetBarPosition(const UnitRef& unit);

// The window as a whole: place and size in pixels (outer size), and its mouse
// pointer from cursor bytes, which the caller keeps: the pointer is made
// again from them when the form's DPI changes.
void SetFormLeft(const FormDef& form, int left);
void SetFormTop(const FormDef& form, int top);
void SetFormWidth(const FormDef& form, int width);
void SetFormHeight(const FormDef& form, int height);
void SetFormPointer(const FormDef& form, const unsigned char* bytes, std::size_t size);

// A length in pixels at 96 dpi, scaled to the form's DPI (places on the screen
// stay in pixels: a length is scaled, a point is not).
int Scaled(const FormDef& form, int at96);

// Constant opacity of the whole window, 0 to 255. Systems without layered
// windows leave the window opaque.
void SetFormOpacity(const FormDef& form, unsigned char alpha);

// Outlines a window on the screen (null: none) for as long as the form is
// loaded (ui/outline.h). Another window, or the same one moved, moves the
// outline; the same window where it was changes nothing.
void OutlineWindow(const FormDef& form, HWND target);

// Sends the mouse to the form wherever the pointer is, until the form is gone
// or the system takes the mouse back; the pointer keeps the form's shape.
void CaptureMouse(const FormDef& form);

}  // namespace ui
