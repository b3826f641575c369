// The program's two forms wired to the link watcher's handlers, and the
// watcher's state that the wiring owns and hands to them.
#pragma once

#include "ui/form.h"
#include "watch/watch.h"

namespace app {

extern const ui::WiredForm kMainWiring;
extern const ui::WiredForm kAimWiring;

// The state the wired handlers share. A test gives each case a fresh one by
// assigning watch::Watch() to it.
watch::Watch& WiredWatchForTests();

// The aim drag: the icon lifts out of its box, and the aim window is loaded
// modally; returns once it is gone.
void BeginAimDrag(const ui::EventArgs& args);

}  // namespace app
