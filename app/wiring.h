// The program's two forms wired to the link watcher's handlers.
#pragma once

#include "ui/form.h"

namespace app {

extern const ui::WiredForm kMainWiring;
extern const ui::WiredForm kAimWiring;

// The aim drag: the icon lifts out of its box, and the aim window is loaded
// modally; returns once it is gone.
void BeginAimDrag(const ui::EventArgs& args);

}  // namespace app
