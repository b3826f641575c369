// Pumping the test thread's messages the way the program's loop does, until a
// condition holds or time runs out.
#pragma once

#include "tests/support/standin.h"

#include <functional>

namespace support {

// Prepares what the program's start-up prepares: OLE on this thread, the
// program directory (the test executable's), the system-function table and
// the window classes. Safe to call more than once.
void EnsureShell();

// Loads the real main form in this process, with the stand-in client running
// beside it; and takes both down again, link state reset.
bool LoadMainFormWithClient(standin::Client& client);
void UnloadMainFormWithClient(standin::Client& client);

// Dispatches messages until done() is true or timeoutMs have passed; returns
// done()'s last answer.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs);

// Dispatches messages for the given time.
void PumpFor(int milliseconds);

}  // namespace support
