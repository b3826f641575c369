#include "tests/support/pump.h"

#include "app/app.h"
#include "app/loop.h"
#include "app/shell.h"
#include "app/wiring.h"
#include "ui/loaded.h"
#include "sysfn/sysfn.h"

#include <windows.h>
#include <ole2.h>

namespace support {

void EnsureShell() {
    static bool ready = false;
    if (ready) return;
    ready = true;
    // As the shell does: the link test asks the Network List Manager over COM.
    OleInitialize(nullptr);
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    app::SetProgramDirectoryFrom(path);
    sysfn::InitTable(app::ProgramDirectory());
    app::ConnectLayers();
    app::RegisterClasses();
}

bool LoadMainFormWithClient(standin::Client& client) {
    EnsureShell();
    return app::LoadForm(app::kMainWiring, nullptr, false) && standin::StartClient(client);
}

void UnloadMainFormWithClient(standin::Client& client) {
    standin::StopClient(client);
    if (ui::LoadedForm* main = ui::FindForm(ui::kMainForm)) DestroyWindow(main->hwnd);
    standin::SetLinkState(true);
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

}  // namespace support
