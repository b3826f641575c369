#include "app/shell.h"

#include "app/app.h"
#include "app/loop.h"
#include "app/wiring.h"
#include "sysfn/sysfn.h"
#include "ui/hyperlink.h"
#include "ui/loaded.h"
#include "ui/messages.h"
#include "ui/skin.h"
#include "ui/units.h"
#include "winkit/connectivity.h"
#include "winkit/link_notices.h"
#include "winkit/wait.h"
#include "winkit/window_events.h"

#include <commctrl.h>

#include <cstring>

namespace app {

namespace {

using ui::Event;
using ui::LoadedForm;
using ui::Unit;

const wchar_t kFormClass[] = L"AutoredialForm";
const wchar_t kTimerClass[] = L"AutoredialTimer";
const wchar_t kPictureClass[] = L"AutoredialPicture";

LoadedForm* gModal = nullptr;
bool gLoopStarted = false;
bool gShuttingDown = false;

// Calls the handler wired to (unit, event); unit null means the window. The
// handler may destroy the form, so nothing of it is read afterwards.
void FireEvent(const LoadedForm& form, const char* unit, Event event, const ui::EventArgs& args = ui::EventArgs()) {
    if (gShuttingDown) return;
    for (std::size_t i = 0; i < form.bindingCount; ++i) {
        const ui::Binding& binding = form.bindings[i];
        if (binding.event != event) continue;
        if (unit ? binding.unit && std::strcmp(binding.unit, unit) == 0 : !binding.unit) {
            binding.handler(args);
            return;
        }
    }
}

ui::EventArgs MouseArgs(LPARAM lParam) {
    ui::EventArgs args;
    args.x = LOWORD(lParam);
    args.y = HIWORD(lParam);
    if (GetKeyState(VK_CONTROL) < 0) args.keys |= ui::kCtrlDown;
    if (GetKeyState(VK_SHIFT) < 0) args.keys |= ui::kShiftDown;
    if (GetKeyState(VK_MENU) < 0) args.keys |= ui::kAltDown;
    return args;
}

// Takes a form whose window is gone off the list; the last window of the
// program ends the message loop.
void RemoveForm(LoadedForm* form) {
    if (gModal == form) gModal = nullptr;
    ui::ForgetForm(form);
    if (!gLoopStarted || gShuttingDown) return;
    for (auto& other : ui::LoadedForms()) {
        if (IsWindow(other->hwnd)) return;
    }
    PostQuitMessage(0);
}

// A modal form gives the windows it disabled their earlier state back before
// it is destroyed, so that the system activates them again.
void DestroyForm(LoadedForm* form) {
    if (form->modal) {
        for (const ui::DisabledWindow& window : form->disabled) {
            if (IsWindow(window.hwnd)) EnableWindow(window.hwnd, window.wasEnabled);
        }
        form->disabled.clear();
        form->modal = false;
    }
    DestroyWindow(form->hwnd);
}

void OnCommand(const LoadedForm& form, WPARAM wParam, LPARAM lParam) {
    Unit* unit = nullptr;
    if (lParam && HIWORD(wParam) == BN_CLICKED && ui::FormOfChild(reinterpret_cast<HWND>(lParam), &unit) &&
        unit->def->type == ui::UnitType::Button) {
        FireEvent(form, unit->def->name, Event::Clicked);
    }
}

LRESULT OnLabelColour(HDC dc, HWND label) {
    Unit* unit = nullptr;
    if (ui::FormOfChild(label, &unit) && unit->def->textColour != CLR_INVALID) SetTextColor(dc, unit->def->textColour);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

void OnActivate(LoadedForm& form, WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE || form.activated) return;
    form.activated = true;
    FireEvent(form, nullptr, Event::FirstActivated);
}

bool OnSetCursor(const LoadedForm& form, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (!form.pointer || reinterpret_cast<HWND>(wParam) != hwnd || LOWORD(lParam) != HTCLIENT) return false;
    SetCursor(form.pointer);
    return true;
}

void OnCloseRequest(LoadedForm* form) {
    if (form->closing) DestroyForm(form);
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LoadedForm* form = ui::FormOfWindow(hwnd);
    if (!form) return DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_COMMAND: OnCommand(*form, wParam, lParam); return 0;
    case WM_CTLCOLORSTATIC: return OnLabelColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_LBUTTONDOWN: FireEvent(*form, nullptr, Event::LeftDown, MouseArgs(lParam)); return 0;
    case WM_LBUTTONUP: FireEvent(*form, nullptr, Event::LeftUp, MouseArgs(lParam)); return 0;
    case WM_ACTIVATE: OnActivate(*form, wParam); break;
    case WM_SETCURSOR: if (OnSetCursor(*form, hwnd, wParam, lParam)) return TRUE; break;
    case WM_SIZE: ui::LayOutUnits(form->units); break;
    case WM_CLOSE: DestroyForm(form); return 0;
    case ui::kCloseRequest: OnCloseRequest(form); return 0;
    case ui::kLinkNotice: FireEvent(*form, nullptr, Event::LinkNotice); return 0;
    case WM_DESTROY: FireEvent(*form, nullptr, Event::Destroying); return 0;
    case WM_NCDESTROY: RemoveForm(form); break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK TimerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_TIMER || wParam != ui::kTimerId) return DefWindowProcW(hwnd, message, wParam, lParam);
    Unit* unit = nullptr;
    if (LoadedForm* form = ui::FormOfChild(hwnd, &unit)) FireEvent(*form, unit->def->name, Event::Periodic);
    return 0;
}

void PaintPicture(HWND hwnd, const Unit* unit) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    if (unit) ui::DrawPicture(dc, unit->picture, 0, 0);
    EndPaint(hwnd, &paint);
}

void FirePictureMouse(const LoadedForm* form, const Unit* unit, Event event, LPARAM lParam) {
    if (form) FireEvent(*form, unit->def->name, event, MouseArgs(lParam));
}

LRESULT CALLBACK PictureProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Unit* unit = nullptr;
    LoadedForm* form = ui::FormOfChild(hwnd, &unit);
    switch (message) {
    case WM_PAINT: PaintPicture(hwnd, form ? unit : nullptr); return 0;
    case WM_LBUTTONDOWN: FirePictureMouse(form, unit, Event::LeftDown, lParam); return 0;
    case WM_LBUTTONUP: FirePictureMouse(form, unit, Event::LeftUp, lParam); return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool RegisterFormClass(const wchar_t* name, WNDPROC proc, HCURSOR cursor) {
    WNDCLASSEXW cls = {};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = proc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.hCursor = cursor;
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = name;
    return RegisterClassExW(&cls) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void WindowStyles(const ui::WindowDef& window, HWND parent, DWORD* style, DWORD* exStyle) {
    *exStyle = 0;
    if (window.frame == ui::Frame::FixedSingle) {
        *style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    } else {
        *style = WS_POPUP | WS_CLIPCHILDREN;
    }
    if (window.taskbarButton && !parent) *exStyle |= WS_EX_APPWINDOW;
    if (!window.taskbarButton) *exStyle |= WS_EX_TOOLWINDOW;
    if (window.alwaysOnTop) *exStyle |= WS_EX_TOPMOST;
    *exStyle |= WS_EX_CONTROLPARENT;
}

// A form of the same template that is already loaded: a live one is brought
// forward (true); one on its way out is taken down so that a new one can load.
bool BringForward(const ui::FormDef& def) {
    LoadedForm* live = ui::FindForm(def);
    if (!live) return false;
    if (IsWindow(live->hwnd) && !live->closing) {
        if (IsIconic(live->hwnd)) {
            ShowWindow(live->hwnd, SW_RESTORE);
        } else {
            SetActiveWindow(live->hwnd);
        }
        return true;
    }
    if (IsWindow(live->hwnd)) {
        DestroyForm(live);
    } else {
        RemoveForm(live);
    }
    return false;
}

// Creates the form's window, centred on the screen at its outer size; null
// when the system refuses. Until the handle is recorded the window procedure
// finds no form, so the messages of the creation itself take their default course.
HWND CreateFormWindow(const ui::WindowDef& window, HWND parent) {
    DWORD style = 0;
    DWORD exStyle = 0;
    WindowStyles(window, parent, &style, &exStyle);
    const int left = (GetSystemMetrics(SM_CXSCREEN) - window.width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - window.height) / 2;
    HWND hwnd = CreateWindowExW(exStyle, kFormClass, window.caption ? window.caption : L"", style, left, top,
                                window.width, window.height, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!hwnd) return nullptr;
    RECT outer;
    GetWindowRect(hwnd, &outer);
    if (outer.right - outer.left != window.width || outer.bottom - outer.top != window.height) {
        SetWindowPos(hwnd, nullptr, left, top, window.width, window.height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return hwnd;
}

void CreateUnits(LoadedForm& form) {
    const ui::FormDef& def = *form.def;
    form.units.resize(def.unitCount);
    for (std::size_t row = 0; row < def.unitCount; ++row) {
        Unit& unit = form.units[row];
        unit.def = &def.units[row];
        const wchar_t* cls = unit.def->type == ui::UnitType::Timer    ? kTimerClass
                          : unit.def->type == ui::UnitType::PicBox ? kPictureClass
                                                                   : nullptr;
        ui::CreateUnit(unit, form.hwnd, ui::UnitId(row), cls);
    }
    ui::LayOutUnits(form.units);
}

// Disables the program's other top-level windows and runs the modal loop
// until the form is gone.
void RunModal(LoadedForm* form) {
    form->modal = true;
    for (auto& other : ui::LoadedForms()) {
        if (other.get() == form || !IsWindow(other->hwnd) || GetParent(other->hwnd)) continue;
        form->disabled.push_back({other->hwnd, IsWindowEnabled(other->hwnd) != FALSE});
        EnableWindow(other->hwnd, FALSE);
    }
    LoadedForm* outerModal = gModal;
    gModal = form;
    RunMessageLoop(true);
    gModal = outerModal;
}

void ReportFault(const std::wstring& message) { ReportRuntimeError(0, message); }

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

bool RegisterClasses() {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    sysfn::InitCommonControlsEx(&controls);
    HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    return RegisterFormClass(kFormClass, FormProc, arrow) && RegisterFormClass(kTimerClass, TimerProc, arrow) &&
           RegisterFormClass(kPictureClass, PictureProc, arrow) && ui::RegisterHyperlinkClass();
}

bool LoadForm(const ui::WiredForm& wired, HWND parent, bool modal) {
    const ui::FormDef& def = *wired.form;
    if (BringForward(def)) return true;
    if (modal) {
        parent = nullptr;
    } else if (parent && !IsWindow(parent)) {
        return false;
    }
    HWND hwnd = CreateFormWindow(def.window, parent);
    if (!hwnd) return false;

    auto& forms = ui::LoadedForms();
    forms.push_back(std::make_unique<LoadedForm>());
    LoadedForm* form = forms.back().get();
    form->def = &def;
    form->bindings = wired.bindings;
    form->bindingCount = wired.bindingCount;
    form->hwnd = hwnd;
    CreateUnits(*form);

    FireEvent(*form, nullptr, Event::Created);
    // The position-changed and size-changed events have no handlers here.
    if (!IsWindow(hwnd)) return true;
    ShowWindow(hwnd, SW_SHOWNORMAL);
    if (modal) RunModal(form);
    return true;
}

bool PreTranslate(MSG& msg) {
    if (!msg.hwnd) return false;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    LoadedForm* form = ui::FormOfWindow(root);
    if (!form) return false;
    // No unit takes Esc for itself, so it reaches the form and closes it, as
    // the close button would.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && form->def->window.escCloses) {
        SendMessageW(root, WM_CLOSE, 0, 0);
        return true;
    }
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
        return IsDialogMessageW(root, &msg) != FALSE;  // Tab moves between the tab stops
    }
    return false;
}

bool ModalWindowOpen() { return gModal != nullptr; }

int Run() {
    SetProgramDirectoryFrom(ModuleFileName());
    // Before anything loads a library by name: neither this program's folder
    // nor the current directory may supply one. OLE starts with the first
    // question to the Network List Manager (winkit::InternetConnectivity).
    sysfn::InitTable(ProgramDirectory());
    sysfn::RestrictLibrarySearch();
    std::wstring directory = ProgramDirectory();
    if (!directory.empty() && directory.back() == L':') directory += L'\\';  // "C:" alone names the drive's current folder
    SetCurrentDirectoryW(directory.c_str());
    ConnectLayers();
    if (!RegisterClasses()) ReportRuntimeError(0, L"载入窗口模板数据段出错!");
    if (!LoadForm(kMainWiring, nullptr, false)) ReportRuntimeError(0, L"载入启动窗口失败");
    gLoopStarted = true;
    RunMessageLoop(false);
    Shutdown();
    return 0;
}

void Shutdown() {
    if (gShuttingDown) return;
    gShuttingDown = true;
    winkit::UnhookDialogEvents();
    winkit::UnadviseLinkNotices();
    sysfn::ReleaseModules();
    auto& forms = ui::LoadedForms();
    while (!forms.empty()) {
        LoadedForm* form = forms.back().get();
        if (IsWindow(form->hwnd)) DestroyWindow(form->hwnd);  // removes the form on its way
        if (!forms.empty() && forms.back().get() == form) RemoveForm(form);
    }
    ui::ReleaseSkin();
    ui::ReleaseHyperlinkResources();
    winkit::EndOle();
}

}  // namespace app
