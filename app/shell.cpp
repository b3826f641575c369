#include "app/shell.h"

#include "app/app.h"
#include "app/wiring.h"
#include "sysfn/sysfn.h"
#include "ui/hyperlink.h"
#include "ui/loaded.h"
#include "ui/runtime.h"
#include "ui/skin.h"
#include "watch/early.h"
#include "watch/elevation.h"
#include "winkit/instance.h"
#include "winkit/link_notices.h"
#include "winkit/wait.h"
#include "winkit/window_events.h"

#include <windows.h>

namespace app {

namespace {

void ReportFault(const std::wstring& message) { ReportRuntimeError(0, message); }

// One watcher a session: a second would answer every prompt as well and click
// the dial button a second time on every drop (a toggle would hang up again).
const wchar_t kGuardName[] = L"Local\\autoredial.watcher";
// The restart as administrator starts the new instance while the old one is
// closing.
constexpr DWORD kRestartWaitMs = 10000;

// Takes the guard, or brings the instance that holds it forward instead:
// false when this instance is to end at once.
bool ClaimTheWatch() {
    // The benches run a copy with the timers alone beside the program.
    const std::wstring name = std::wstring(kGuardName) + (watch::NoticesWanted() ? L"" : L".timers-only");
    watch::Carried carried;
    const DWORD wait = watch::ReadRestartArguments(Arguments(), carried) ? kRestartWaitMs : 0;
    if (winkit::ClaimInstance(name.c_str(), wait) == winkit::Instance::First) return true;
    ui::BringForwardElsewhere(ui::kMainForm);
    return false;
}

// The executable's full path, however long (a path of over MAX_PATH
// characters is cut short by the system, which then fills the whole buffer).
std::wstring ModuleFileName() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace

void ConnectLayers() {
    sysfn::Loader loader = sysfn::SystemLoader();
    loader.report = ReportFault;
    sysfn::SetLoader(loader);
    ui::SetFaultReport(ReportFault);
    winkit::SetPump(ProcessPendingEvents);
}

void ProcessPendingEvents() { winkit::DispatchPending(ui::DispatchOne); }

int Run() {
    SetProgramDirectoryFrom(ModuleFileName());
    // Before anything loads a library by name: neither this program's folder
    // nor the current directory may supply one. COM starts with the first
    // question to the Network List Manager or the first call to the shell.
    sysfn::InitTable();
    sysfn::RestrictLibrarySearch();
    std::wstring directory = ProgramDirectory();
    if (!directory.empty() && directory.back() == L':') directory += L'\\';  // "C:" alone names the drive's current folder
    SetCurrentDirectoryW(directory.c_str());
    ConnectLayers();
    if (!ClaimTheWatch()) return 0;
    if (!ui::RegisterClasses()) ReportRuntimeError(0, L"载入窗口模板数据段出错!");
    if (!ui::LoadForm(kMainWiring, nullptr, false)) ReportRuntimeError(0, L"载入启动窗口失败");
    ui::RunMainLoop();
    Shutdown();
    return 0;
}

void Shutdown() {
    static bool done = false;
    if (done) return;
    done = true;
    // The windows go first: the table may hold the last reference to the
    // common controls and the theme library, whose code draws and destroys
    // them (after a runtime error report they are all still there).
    winkit::UnhookDialogEvents();
    winkit::UnadviseLinkNotices();
    ui::UnloadAllForms();
    ui::ReleaseSkin();
    ui::ReleaseHyperlinkResources();
    winkit::ReleaseInstance();  // a restarted instance may go on
    sysfn::ReleaseModules();
    sysfn::EndComApartment();
}

}  // namespace app
