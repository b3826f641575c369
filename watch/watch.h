// The link watcher: the handlers bound to the events of the main window and of
// the aim window, and the program-wide state they share. All zero at start,
// never saved.
#pragma once

#include "ui/form.h"

#include <cstdint>

namespace watch {

extern int32_t dialTarget;     // handle of the client's dial button; 0 until the first Start
extern int32_t redialCount;    // clicks the system took since the main window was created
extern int32_t countdownStep;  // the next of the countdown bar's ten steps, 1 to 10
extern int32_t promptHandle;   // the last prompt search's result, -1 for none

// Main window
void OnMainCreated(const ui::EventArgs& args);
void ShowAimIcon(const ui::EventArgs& args);
// The aim drag begins: the icon lifts out of its box; the shell then loads the
// aim window modally.
void LiftAimIcon(const ui::EventArgs& args);
void Start(const ui::EventArgs& args);
void Stop(const ui::EventArgs& args);
void WatchTick(const ui::EventArgs& args);
void CountdownTick(const ui::EventArgs& args);
void PromptTick(const ui::EventArgs& args);

// Aim window
void SetUpAimWindow(const ui::EventArgs& args);
void AimStep(const ui::EventArgs& args);
void EndAimDrag(const ui::EventArgs& args);

}  // namespace watch
