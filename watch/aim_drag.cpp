#include "watch/aim_drag.h"

#include "ui/loaded.h"
#include "ui/props.h"
#include "winkit/text.h"
#include "winkit/window_search.h"

extern const unsigned char kAimCursor[];
extern const unsigned kAimCursorSize;

namespace watch {

using ui::kAimForm;

namespace {

// At 96 dpi; the aim window's DPI scales them.
const int kAimSize = 26;
const int kAimHalf = 13;         // the aim window covers the pointer -13 .. +12
const unsigned char kAimOpacity = 5;

}  // namespace

void ShowAimIcon(const ui::EventArgs&) { ui::SetPicture(ui::kAimIcon, kAimCursor, kAimCursorSize); }

void LiftAimIcon(const ui::EventArgs&) { ui::SetPicture(ui::kAimIcon, nullptr, 0); }

void SetUpAimWindow(const ui::EventArgs&) {
    ui::SetFormHeight(kAimForm, ui::Scaled(kAimForm, kAimSize));
    ui::SetFormWidth(kAimForm, ui::Scaled(kAimForm, kAimSize));
    ui::SetFormPointer(kAimForm, kAimCursor, kAimCursorSize);
    // The release must reach the aim window even when the pointer outruns it
    // between two aim steps; otherwise the drag would never end.
    ui::CaptureMouse(kAimForm);
    ui::SetFormOpacity(kAimForm, kAimOpacity);
}

void AimStep(const ui::EventArgs&) {
    POINT cursor = {0, 0};
    GetCursorPos(&cursor);
    const int half = ui::Scaled(kAimForm, kAimHalf);
    ui::SetFormLeft(kAimForm, cursor.x - half);
    ui::SetFormTop(kAimForm, cursor.y - half);
    const POINT aim = {cursor.x + ui::Scaled(kAimForm, kAimPointOffset), cursor.y};
    const HWND caught = winkit::DeepestChildAt(aim);
    ui::OutlineWindow(kAimForm, caught);
    ui::SetContent(ui::kTargetBox, winkit::FormatDecimal(winkit::HandleToInt(caught)));
}

void EndAimDrag(const ui::EventArgs&) { ui::CloseForm(kAimForm); }

}  // namespace watch
