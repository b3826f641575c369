// The aim drag, as a window finder does it. The user presses the mouse on the
// aim icon (kAimIcon) and the icon lifts out of its box; the wiring then loads
// the small aim window modally. While it exists the aim window holds the mouse
// and, on each tick of its timer, follows the pointer and writes the handle of
// the window just right of the pointer into kTargetBox: its deepest visible
// child there, disabled or not (the pointer is read once per step). That window
// is outlined on the screen meanwhile, so the user sees what a release would
// catch. A press or a release of the mouse button ends the drag: the aim
// window closes, the outline goes with it and the icon is back in its box.
#pragma once

#include "ui/form.h"

namespace watch {

// The aim point is this many pixels right of the pointer at 96 dpi (scaled to
// the aim window's DPI), just right of the aim window, so that the drag never
// finds the aim window itself.
constexpr int kAimPointOffset = 14;

// The main window's first activation, and the end of every drag.
void ShowAimIcon(const ui::EventArgs& args);
void LiftAimIcon(const ui::EventArgs& args);

// The aim window's events.
void SetUpAimWindow(const ui::EventArgs& args);
void AimStep(const ui::EventArgs& args);
void EndAimDrag(const ui::EventArgs& args);

}  // namespace watch
