// The aim drag, as a window finder does it. The user presses the mouse on the
// aim icon (kAimIcon) and the icon lifts out of its box; the shell then loads
// the small aim window modally. While it exists the aim window holds the mouse
// and, on each tick of its timer, follows the pointer and writes the handle of
// the window just right of the pointer into kTargetBox: its deepest visible
// child there, disabled or not (the pointer is read once per step). A press or
// a release of the mouse button ends the drag: the aim window closes and the
// icon is back in its box.
#pragma once

#include "ui/form.h"

namespace watch {

// The main window's first activation, and the end of every drag.
void ShowAimIcon(const ui::EventArgs& args);
void LiftAimIcon(const ui::EventArgs& args);

// The aim window's events.
void SetUpAimWindow(const ui::EventArgs& args);
void AimStep(const ui::EventArgs& args);
void EndAimDrag(const ui::EventArgs& args);

}  // namespace watch
