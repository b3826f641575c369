#include "tests/support/pump.h"

#include "app/app.h"
#include "app/shell.h"
#include "app/wiring.h"
#include "sysfn/sysfn.h"
#include "tests/support/program.h"
#include "ui/loaded.h"
#include "ui/props.h"
#include "ui/runtime.h"
#include "winkit/window_events.h"

#include <ole2.h>

namespace support {

void EnsureShell() {
    static bool ready = false;
    if (ready) return;
    ready = true;
    // The link test asks the Network List Manager over COM (the program starts
    // OLE at its first question; the suites start it here, once).
    OleInitialize(nullptr);
    app::SetProgramDirectoryFrom(OwnPath());
    sysfn::InitTable();
    app::ConnectLayers();
    ui::RegisterClasses();
}

bool LoadMainForm() {
    EnsureShell();
    const bool loaded = ui::LoadForm(app::kMainWiring, nullptr, false);
    // The suites drive the prompt tick by hand; a test that wants the
    // program's searches brought forward hooks the dialogs itself.
    winkit::UnhookDialogEvents();
    return loaded;
}

void UnloadForm(const ui::FormDef& form) {
    if (ui::LoadedForm* loaded = ui::FindForm(form)) DestroyWindow(loaded->hwnd);
}

Client MainFormSuite::client;

watch::Watch& FreshWatch() {
    watch::Watch& wired = app::WiredWatchForTests();
    if (ui::FindForm(ui::kMainForm)) watch::Stop(wired, ui::EventArgs());
    return wired = watch::Watch();
}

bool LoadMainFormWithClient(Client& client) { return LoadMainForm() && StartClient(client); }

void UnloadMainFormWithClient(Client& client) {
    StopClient(client);
    UnloadForm(ui::kMainForm);
    SetLinkState(true);
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        app::ProcessPendingEvents();
        if (done()) return true;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= static_cast<DWORD>(timeoutMs)) return done();
        // Short naps: some conditions change in other processes, without a message.
        const DWORD left = static_cast<DWORD>(timeoutMs) - elapsed;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, left < 20 ? left : 20, QS_ALLINPUT);
    }
}

void PumpFor(int milliseconds) {
    PumpUntil([] { return false; }, milliseconds);
}

Stopwatch::Stopwatch() { QueryPerformanceCounter(&start); }

double Stopwatch::Elapsed() const {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double ThreadProcessorMs() {
    FILETIME creation, exit, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &creation, &exit, &kernel, &user)) return 0;
    const auto ms = [](const FILETIME& t) {
        return static_cast<double>(static_cast<ULONGLONG>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

}  // namespace support
