#include "app/shell.h"

#include "app/app.h"
#include "app/loop.h"
#include "app/sysfn.h"
#include "ui/hyperlink.h"
#include "ui/units.h"

#include <commctrl.h>
#include <ole2.h>

#include <cstring>
#include <memory>

namespace app {

namespace {

const char kFormClass[] = "AutoredialForm";
const char kTimerClass[] = "AutoredialTimer";
const char kPictureClass[] = "AutoredialPicture";
const char kNotLoaded[] = "指定窗口或窗口组件不存在或尚未载入";

std::vector<std::unique_ptr<LoadedForm>> gForms;
LoadedForm* gModal = nullptr;
bool gLoopStarted = false;
bool gShuttingDown = false;
bool gOleStarted = false;

LoadedForm* FormOfWindow(HWND hwnd) {
    for (auto& form : gForms) {
        if (form->hwnd == hwnd) return form.get();
    }
    return nullptr;
}

// The form and the unit that a child window of a form stands for.
LoadedForm* FormOfChild(HWND child, Unit** unit) {
    LoadedForm* form = FormOfWindow(GetParent(child));
    if (!form) return nullptr;
    const int row = GetDlgCtrlID(child) - ui::kFirstUnitId;
    if (row < 0 || row >= static_cast<int>(form->units.size())) return nullptr;
    *unit = &form->units[row];
    return form;
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

void RemoveForm(LoadedForm* form) {
    if (gModal == form) gModal = nullptr;
    for (Unit& unit : form->units) ui::ReleaseUnit(unit);
    if (form->pointer) DestroyCursor(form->pointer);
    for (auto it = gForms.begin(); it != gForms.end(); ++it) {
        if (it->get() == form) {
            gForms.erase(it);
            break;
        }
    }
    if (!gLoopStarted || gShuttingDown) return;
    for (auto& other : gForms) {
        if (IsWindow(other->hwnd)) return;
    }
    PostQuitMessage(0);
}

// A modal form gives the windows it disabled their earlier state back before
// it is destroyed, so that the system activates them again.
void DestroyForm(LoadedForm* form) {
    if (form->modal) {
        for (const DisabledWindow& window : form->disabled) {
            if (IsWindow(window.hwnd)) EnableWindow(window.hwnd, window.wasEnabled);
        }
        form->disabled.clear();
        form->modal = false;
    }
    DestroyWindow(form->hwnd);
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LoadedForm* form = FormOfWindow(hwnd);
    if (!form) return DefWindowProcA(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_COMMAND: {
        Unit* unit = nullptr;
        if (lParam && HIWORD(wParam) == BN_CLICKED && FormOfChild(reinterpret_cast<HWND>(lParam), &unit) &&
            unit->def->type == ui::UnitType::Button) {
            FireEvent(*form, unit->def->name, ui::Event::Clicked, ui::EventArgs());
        }
        return 0;
    }
    case WM_CTLCOLORSTATIC: {
        Unit* unit = nullptr;
        HDC dc = reinterpret_cast<HDC>(wParam);
        if (FormOfChild(reinterpret_cast<HWND>(lParam), &unit) && unit->def->textColour != CLR_INVALID) {
            SetTextColor(dc, unit->def->textColour);
        }
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_LBUTTONDOWN: FireEvent(*form, nullptr, ui::Event::LeftDown, MouseArgs(lParam)); return 0;
    case WM_LBUTTONUP: FireEvent(*form, nullptr, ui::Event::LeftUp, MouseArgs(lParam)); return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && !form->activated) {
            form->activated = true;
            FireEvent(*form, nullptr, ui::Event::FirstActivated, ui::EventArgs());
        }
        break;
    case WM_SETCURSOR:
        if (form->pointer && reinterpret_cast<HWND>(wParam) == hwnd && LOWORD(lParam) == HTCLIENT) {
            SetCursor(form->pointer);
            return TRUE;
        }
        break;
    case WM_SIZE: ui::LayOutUnits(form->units); break;
    case WM_CLOSE: DestroyForm(form); return 0;
    case kCloseRequest:
        if (form->closing) DestroyForm(form);
        return 0;
    case WM_DESTROY: FireEvent(*form, nullptr, ui::Event::Destroying, ui::EventArgs()); return 0;
    case WM_NCDESTROY: RemoveForm(form); break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK TimerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Unit* unit = nullptr;
    if (message == WM_TIMER && wParam == kTimerId) {
        if (LoadedForm* form = FormOfChild(hwnd, &unit)) {
            FireEvent(*form, unit->def->name, ui::Event::Periodic, ui::EventArgs());
        }
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK PictureProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Unit* unit = nullptr;
    LoadedForm* form = FormOfChild(hwnd, &unit);
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd, &paint);
        if (form) ui::DrawPicture(dc, unit->picture, 0, 0);
        EndPaint(hwnd, &paint);
        return 0;
    }
    case WM_LBUTTONDOWN:
        if (form) FireEvent(*form, unit->def->name, ui::Event::LeftDown, MouseArgs(lParam));
        return 0;
    case WM_LBUTTONUP:
        if (form) FireEvent(*form, unit->def->name, ui::Event::LeftUp, MouseArgs(lParam));
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

bool RegisterClass(const char* name, WNDPROC proc, HCURSOR cursor) {
    WNDCLASSEXA cls = {};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = proc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.hCursor = cursor;
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = name;
    return RegisterClassExA(&cls) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
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

}  // namespace

bool RegisterClasses() {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    return RegisterClass(kFormClass, FormProc, arrow) && RegisterClass(kTimerClass, TimerProc, arrow) &&
           RegisterClass(kPictureClass, PictureProc, arrow) && ui::RegisterHyperlinkClass();
}

bool LoadForm(const ui::FormDef& def, HWND parent, bool modal) {
    if (LoadedForm* live = FindForm(def)) {
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
    }
    if (modal) {
        parent = nullptr;
    } else if (parent && !IsWindow(parent)) {
        return false;
    }

    const ui::WindowDef& window = def.window;
    DWORD style = 0;
    DWORD exStyle = 0;
    WindowStyles(window, parent, &style, &exStyle);
    const int left = (GetSystemMetrics(SM_CXSCREEN) - window.width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - window.height) / 2;

    gForms.push_back(std::make_unique<LoadedForm>());
    LoadedForm* form = gForms.back().get();
    form->def = &def;
    // Until the handle is known the window procedure finds no form, so the
    // messages of the creation itself take their default course.
    form->hwnd = CreateWindowExA(exStyle, kFormClass, window.caption ? window.caption : "", style, left, top,
                                 window.width, window.height, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!form->hwnd) {
        gForms.pop_back();
        return false;
    }
    RECT outer;
    GetWindowRect(form->hwnd, &outer);
    if (outer.right - outer.left != window.width || outer.bottom - outer.top != window.height) {
        SetWindowPos(form->hwnd, nullptr, left, top, window.width, window.height, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    form->units.resize(def.unitCount);
    for (std::size_t row = 0; row < def.unitCount; ++row) {
        Unit& unit = form->units[row];
        unit.def = &def.units[row];
        const char* cls = unit.def->type == ui::UnitType::Timer    ? kTimerClass
                          : unit.def->type == ui::UnitType::PicBox ? kPictureClass
                                                                   : nullptr;
        ui::CreateUnit(unit, form->hwnd, ui::UnitId(row), cls);
    }
    ui::LayOutUnits(form->units);

    HWND hwnd = form->hwnd;
    FireEvent(*form, nullptr, ui::Event::Created, ui::EventArgs());
    // The position-changed and size-changed events have no handlers here.
    if (!IsWindow(hwnd)) return true;
    ShowWindow(hwnd, SW_SHOWNORMAL);
    if (!modal) return true;

    form->modal = true;
    for (auto& other : gForms) {
        if (other.get() == form || !IsWindow(other->hwnd) || GetParent(other->hwnd)) continue;
        form->disabled.push_back({other->hwnd, IsWindowEnabled(other->hwnd) != FALSE});
        EnableWindow(other->hwnd, FALSE);
    }
    LoadedForm* outerModal = gModal;
    gModal = form;
    RunMessageLoop(true);
    gModal = outerModal;
    return true;
}

void CloseForm(const ui::FormDef& def) {
    LoadedForm* form = FindForm(def);
    if (!form || !IsWindow(form->hwnd)) {
        ReportRuntimeError(0, kNotLoaded);
        return;
    }
    form->closing = true;
    PostMessageA(form->hwnd, kCloseRequest, 0, 0);
}

HWND FormHandle(const ui::FormDef& def) {
    LoadedForm* form = FindForm(def);
    if (!form || !IsWindow(form->hwnd)) {
        ReportRuntimeError(0, kNotLoaded);
        return nullptr;
    }
    return form->hwnd;
}

LoadedForm* FindForm(const ui::FormDef& def) {
    for (auto& form : gForms) {
        if (form->def == &def) return form.get();
    }
    return nullptr;
}

Unit* FindUnit(const ui::FormDef& def, const char* name) {
    if (LoadedForm* form = FindForm(def)) {
        for (Unit& unit : form->units) {
            if (std::strcmp(unit.def->name, name) == 0 && unit.hwnd) return &unit;
        }
    }
    ReportRuntimeError(0, kNotLoaded);
    return nullptr;
}

void FireEvent(const LoadedForm& form, const char* unit, ui::Event event, const ui::EventArgs& args) {
    if (gShuttingDown) return;
    const ui::FormDef& def = *form.def;
    for (std::size_t i = 0; i < def.bindingCount; ++i) {
        const ui::Binding& binding = def.bindings[i];
        if (binding.event != event) continue;
        const bool sameUnit = unit ? binding.unit && std::strcmp(binding.unit, unit) == 0 : !binding.unit;
        if (sameUnit) {
            binding.handler(args);
            return;  // the handler may have destroyed the form
        }
    }
}

bool PreTranslate(MSG& msg) {
    if (!msg.hwnd) return false;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    LoadedForm* form = FormOfWindow(root);
    if (!form) return false;
    // No unit takes Esc for itself, so it reaches the form and closes it, as
    // the close button would.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && form->def->window.escCloses) {
        SendMessageA(root, WM_CLOSE, 0, 0);
        return true;
    }
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
        return IsDialogMessageA(root, &msg) != FALSE;  // Tab moves between the tab stops
    }
    return false;
}

bool ModalWindowOpen() { return gModal != nullptr; }

int Run() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    SetProgramDirectoryFrom(path);
    gOleStarted = SUCCEEDED(OleInitialize(nullptr));
    std::string directory = ProgramDirectory();
    if (!directory.empty() && directory.back() == ':') directory += '\\';  // "C:" alone names the drive's current folder
    SetCurrentDirectoryA(directory.c_str());
    sysfn::InitTable(ProgramDirectory());
    if (!RegisterClasses()) ReportRuntimeError(0, "载入窗口模板数据段出错!");
    if (!LoadForm(ui::kMainForm, nullptr, false)) ReportRuntimeError(0, "载入启动窗口失败");
    gLoopStarted = true;
    RunMessageLoop(false);
    Shutdown();
    return 0;
}

void Shutdown() {
    if (gShuttingDown) return;
    gShuttingDown = true;
    sysfn::ReleaseModules();
    while (!gForms.empty()) {
        LoadedForm* form = gForms.back().get();
        if (IsWindow(form->hwnd)) DestroyWindow(form->hwnd);  // removes the form on its way
        if (!gForms.empty() && gForms.back().get() == form) RemoveForm(form);
    }
    if (gOleStarted) OleUninitialize();
    gOleStarted = false;
}

}  // namespace app
