// The test thread as the program's own: its start-up, its message pump, the
// main form loaded here beside the stand-in client, and a clock.
#pragma once

#include "tests/support/standin.h"
#include "ui/form.h"
#include "ui/props.h"
#include "watch/watch.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

namespace support {

// Prepares what the program's start-up prepares: OLE on this thread, the
// program directory (the test executable's), the system-function table and
// the window classes. Safe to call more than once.
void EnsureShell();

// Loads the real main form in this process; destroys a loaded form's window.
bool LoadMainForm();
void UnloadForm(const ui::FormDef& form);

// The main form with the stand-in client running beside it; and both taken
// down again, link state reset.
bool LoadMainFormWithClient(Client& client);
void UnloadMainFormWithClient(Client& client);

// Stops a loaded main form's watch and gives the wired handlers a fresh state.
watch::Watch& FreshWatch();

// A suite whose tests share the main form loaded here beside the client; each
// starts with a fresh watch.
class MainFormSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(LoadMainFormWithClient(client)); }
    static void TearDownTestSuite() { UnloadMainFormWithClient(client); }
    static Client client;
    watch::Watch& state = FreshWatch();
    static std::wstring Caption(const ui::UnitRef& unit) { return ui::GetCaption(unit); }
};

// Dispatches messages until done() is true or timeoutMs have passed; returns
// done()'s last answer.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs);

// Dispatches messages for the given time.
void PumpFor(int milliseconds);

// Milliseconds since construction, from the performance counter.
struct Stopwatch {
    Stopwatch();
    double Elapsed() const;
    LARGE_INTEGER start;
};

// Milliseconds of processor time that this thread has used, kernel and user:
// work that runs away shows in it, and a loaded machine does not stretch it
// as it stretches the time on the wall.
double ThreadProcessorMs();

}  // namespace support
