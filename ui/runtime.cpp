#include "ui/runtime.h"

#include "sysfn/scoped.h"
#include "sysfn/sysfn.h"
#include "ui/hyperlink.h"
#include "ui/loaded.h"
#include "ui/messages.h"
#include "ui/scale.h"
#include "ui/units.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cstring>
#include <utility>

namespace ui {

namespace {

const wchar_t kFormClass[] = L"AutoredialForm";
const wchar_t kTimerClass[] = L"AutoredialTimer";
const wchar_t kPictureClass[] = L"AutoredialPicture";

LoadedForm* gModal = nullptr;
bool gLoopStarted = false;
bool gUnloading = false;

// Calls the handler wired to (unit, event); unit null means the window. The
// handler may destroy the form, so nothing of it is read afterwards.
void FireEvent(const LoadedForm& form, const char* unit, Event event, const EventArgs& args = EventArgs()) {
    if (gUnloading) return;
    for (std::size_t i = 0; i < form.bindingCount; ++i) {
        const Binding& binding = form.bindings[i];
        if (binding.event != event) continue;
        if (unit ? binding.unit && std::strcmp(binding.unit->name, unit) == 0 : !binding.unit) {
            binding.handler(args);
            return;
        }
    }
}

EventArgs MouseArgs(LPARAM lParam) {
    EventArgs args;
    // Signed: a captured mouse left of or above the window gives negative places.
    args.x = GET_X_LPARAM(lParam);
    args.y = GET_Y_LPARAM(lParam);
    if (GetKeyState(VK_CONTROL) < 0) args.keys |= kCtrlDown;
    if (GetKeyState(VK_SHIFT) < 0) args.keys |= kShiftDown;
    if (GetKeyState(VK_MENU) < 0) args.keys |= kAltDown;
    return args;
}

// Takes a form whose window is gone off the list; the last window of the
// program ends the message loop.
void RemoveForm(LoadedForm* form) {
    if (gModal == form) gModal = nullptr;
    ForgetForm(form);
    if (!gLoopStarted || gUnloading) return;
    for (auto& other : LoadedForms()) {
        if (IsWindow(other->hwnd)) return;
    }
    PostQuitMessage(0);
}

// The modal form that disabled the window, or null.
LoadedForm* ModalOver(HWND hwnd) {
    for (auto& other : LoadedForms()) {
        for (const DisabledWindow& window : other->disabled) {
            if (other->modal && window.hwnd == hwnd) return other.get();
        }
    }
    return nullptr;
}

// A modal form gives the windows it disabled their earlier state back before
// it is destroyed, so that the system activates them again. A window that a
// modal form disabled takes that form with it (the main window closed during
// the aim drag): the modal form would otherwise live on with handlers that
// address a form that is gone.
void DestroyForm(LoadedForm* form) {
    if (LoadedForm* modal = ModalOver(form->hwnd)) DestroyForm(modal);
    if (form->modal) {
        for (const DisabledWindow& window : form->disabled) {
            if (IsWindow(window.hwnd)) EnableWindow(window.hwnd, window.wasEnabled);
        }
        form->disabled.clear();
        form->modal = false;
    }
    DestroyWindow(form->hwnd);
}

void OnCommand(const LoadedForm& form, WPARAM wParam, LPARAM lParam) {
    Unit* unit = nullptr;
    if (lParam && HIWORD(wParam) == BN_CLICKED && FormOfChild(reinterpret_cast<HWND>(lParam), &unit) &&
        unit->def->type == UnitType::Button) {
        FireEvent(form, unit->def->name, Event::Clicked);
    }
}

LRESULT OnLabelColour(HDC dc, HWND label) {
    Unit* unit = nullptr;
    if (FormOfChild(label, &unit) && unit->def->textColour != CLR_INVALID) SetTextColor(dc, unit->def->textColour);
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

// The window crossed to a monitor of another scale (or that monitor's scale
// changed): it takes the place the system suggests, and its units, fonts and
// pointer are made for the new DPI.
void OnDpiChanged(LoadedForm& form, int dpi, const RECT& suggested) {
    if (dpi <= 0) return;
    form.dpi = dpi;
    sysfn::OwnedGdiObject previous;  // freed on return, when no unit uses it any more
    std::swap(previous.object, form.font.object);
    form.font.Reset(CreateUnitFont(dpi));
    for (Unit& unit : form.units) PlaceUnit(unit, dpi, UnitFont(form));
    SetWindowPos(form.hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    LayOutUnits(form.units);
    if (form.pointerFile) MakePointer(form);
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LoadedForm* form = FormOfWindow(hwnd);
    if (!form) return DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_COMMAND: OnCommand(*form, wParam, lParam); return 0;
    case WM_CTLCOLORSTATIC: return OnLabelColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_LBUTTONDOWN: FireEvent(*form, nullptr, Event::LeftDown, MouseArgs(lParam)); return 0;
    case WM_LBUTTONUP: FireEvent(*form, nullptr, Event::LeftUp, MouseArgs(lParam)); return 0;
    case WM_ACTIVATE: OnActivate(*form, wParam); break;
    case WM_SETCURSOR: if (OnSetCursor(*form, hwnd, wParam, lParam)) return TRUE; break;
    case WM_SIZE: LayOutUnits(form->units); break;
    case WM_DPICHANGED: OnDpiChanged(*form, LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam)); return 0;
    case WM_CLOSE: DestroyForm(form); return 0;
    case kCloseRequest: OnCloseRequest(form); return 0;
    case kNotice: FireEvent(*form, nullptr, Event::Notice); return 0;
    case WM_DESTROY: FireEvent(*form, nullptr, Event::Destroying); return 0;
    case WM_NCDESTROY: RemoveForm(form); break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK TimerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_TIMER || wParam != kTimerId) return DefWindowProcW(hwnd, message, wParam, lParam);
    Unit* unit = nullptr;
    if (LoadedForm* form = FormOfChild(hwnd, &unit)) FireEvent(*form, unit->def->name, Event::Periodic);
    return 0;
}

// The picture is kept at its size for 96 dpi and drawn at the form's.
void PaintPicture(HWND hwnd, const LoadedForm* form, const Unit* unit) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    if (form) {
        const Picture& picture = unit->picture;
        DrawPicture(dc, picture, 0, 0, Scaled(picture.width, form->dpi), Scaled(picture.height, form->dpi));
    }
    EndPaint(hwnd, &paint);
}

void FirePictureMouse(const LoadedForm* form, const Unit* unit, Event event, LPARAM lParam) {
    if (form) FireEvent(*form, unit->def->name, event, MouseArgs(lParam));
}

LRESULT CALLBACK PictureProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Unit* unit = nullptr;
    LoadedForm* form = FormOfChild(hwnd, &unit);
    switch (message) {
    case WM_PAINT: PaintPicture(hwnd, form, unit); return 0;
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

void WindowStyles(const WindowDef& window, HWND parent, DWORD* style, DWORD* exStyle) {
    *exStyle = 0;
    if (window.frame == Frame::FixedSingle) {
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
bool BringForward(const FormDef& def) {
    LoadedForm* live = FindForm(def);
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

// The window's outer rectangle at its size for the DPI, centred on the screen.
RECT Centred(const WindowDef& window, int dpi) {
    const int width = Scaled(window.width, dpi);
    const int height = Scaled(window.height, dpi);
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    return RECT{left, top, left + width, top + height};
}

// Creates the form's window, centred on the screen at its outer size for the
// system DPI, then for its own DPI where that differs (a monitor of another
// scale); gives that DPI. Null when the system refuses. Until the handle is
// recorded the window procedure finds no form, so the messages of the creation
// itself take their default course.
HWND CreateFormWindow(const WindowDef& window, HWND parent, int* dpi) {
    DWORD style = 0;
    DWORD exStyle = 0;
    WindowStyles(window, parent, &style, &exStyle);
    const RECT first = Centred(window, SystemDpi());
    HWND hwnd = CreateWindowExW(exStyle, kFormClass, window.caption ? window.caption : L"", style, first.left,
                                first.top, first.right - first.left, first.bottom - first.top, parent, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    if (!hwnd) return nullptr;
    *dpi = WindowDpi(hwnd);
    const RECT wanted = Centred(window, *dpi);
    RECT outer;
    GetWindowRect(hwnd, &outer);
    if (!EqualRect(&outer, &wanted)) {
        SetWindowPos(hwnd, nullptr, wanted.left, wanted.top, wanted.right - wanted.left, wanted.bottom - wanted.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return hwnd;
}

void CreateUnits(LoadedForm& form) {
    const FormDef& def = *form.def;
    form.font.Reset(CreateUnitFont(form.dpi));
    form.units.resize(def.unitCount);
    for (std::size_t row = 0; row < def.unitCount; ++row) {
        Unit& unit = form.units[row];
        unit.def = &def.units[row];
        const wchar_t* cls = unit.def->type == UnitType::Timer    ? kTimerClass
                          : unit.def->type == UnitType::PicBox ? kPictureClass
                                                               : nullptr;
        CreateUnit(unit, form.hwnd, UnitId(row), cls, form.dpi, UnitFont(form));
    }
    LayOutUnits(form.units);
}

// The main form returns the quit message's exit code; the modal form returns
// 0 as soon as there is no modal window any more, or a quit message is next
// (left queued).
int RunMessageLoop(bool modal) {
    MSG msg;
    for (;;) {
        if (modal) {
            if (!ModalWindowOpen()) return 0;
            if (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message == WM_QUIT) return 0;
        }
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            if (modal && got == 0) PostQuitMessage(static_cast<int>(msg.wParam));  // for the outer loop
            return got == 0 ? static_cast<int>(msg.wParam) : 0;
        }
        DispatchOne(msg);
        if (modal && !ModalWindowOpen()) return 0;
    }
}

// Disables the program's other top-level windows and runs the modal loop
// until the form is gone.
void RunModal(LoadedForm* form) {
    form->modal = true;
    for (auto& other : LoadedForms()) {
        if (other.get() == form || !IsWindow(other->hwnd) || GetParent(other->hwnd)) continue;
        form->disabled.push_back({other->hwnd, IsWindowEnabled(other->hwnd) != FALSE});
        EnableWindow(other->hwnd, FALSE);
    }
    LoadedForm* outerModal = gModal;
    gModal = form;
    RunMessageLoop(true);
    gModal = outerModal;
}

bool PreTranslate(MSG& msg) {
    if (!msg.hwnd) return false;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    LoadedForm* form = FormOfWindow(root);
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

}  // namespace

bool RegisterClasses() {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    sysfn::InitCommonControlsEx(&controls);
    HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    return RegisterFormClass(kFormClass, FormProc, arrow) && RegisterFormClass(kTimerClass, TimerProc, arrow) &&
           RegisterFormClass(kPictureClass, PictureProc, arrow) && RegisterHyperlinkClass();
}

bool LoadForm(const WiredForm& wired, HWND parent, bool modal) {
    const FormDef& def = *wired.form;
    if (BringForward(def)) return true;
    if (modal) {
        parent = nullptr;
    } else if (parent && !IsWindow(parent)) {
        return false;
    }
    int dpi = kBaseDpi;
    HWND hwnd = CreateFormWindow(def.window, parent, &dpi);
    if (!hwnd) return false;

    auto& forms = LoadedForms();
    forms.push_back(std::make_unique<LoadedForm>());
    LoadedForm* form = forms.back().get();
    form->def = &def;
    form->bindings = wired.bindings;
    form->bindingCount = wired.bindingCount;
    form->hwnd = hwnd;
    form->dpi = dpi;
    CreateUnits(*form);

    FireEvent(*form, nullptr, Event::Created);
    if (!IsWindow(hwnd)) return true;  // its Created handler destroyed it
    ShowWindow(hwnd, SW_SHOWNORMAL);
    if (modal) RunModal(form);
    return true;
}

bool ModalWindowOpen() { return gModal != nullptr; }

void DispatchOne(MSG& msg) {
    if (PreTranslate(msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

int RunMainLoop() {
    gLoopStarted = true;
    return RunMessageLoop(false);
}

void UnloadAllForms() {
    gUnloading = true;
    auto& forms = LoadedForms();
    while (!forms.empty()) {
        LoadedForm* form = forms.back().get();
        if (IsWindow(form->hwnd)) DestroyWindow(form->hwnd);  // removes the form on its way
        if (!forms.empty() && forms.back().get() == form) RemoveForm(form);
    }
}

namespace {

struct Elsewhere {
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK FindElsewhere(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Elsewhere*>(param);
    wchar_t name[32] = L"";
    DWORD processId = 0;
    GetWindowThreadProcessId(hwnd, &processId);
    if (processId == GetCurrentProcessId() || !GetClassNameW(hwnd, name, 32) || lstrcmpW(name, kFormClass) != 0) {
        return TRUE;
    }
    wchar_t title[64] = L"";
    GetWindowTextW(hwnd, title, 64);
    if (lstrcmpW(title, search->caption) != 0) return TRUE;
    search->found = hwnd;
    return FALSE;
}

}  // namespace

bool BringForwardElsewhere(const FormDef& form) {
    Elsewhere search = {form.window.caption ? form.window.caption : L"", nullptr};
    EnumWindows(FindElsewhere, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return false;
    if (IsIconic(search.found)) ShowWindow(search.found, SW_RESTORE);
    // The instance the user has just started may hand the foreground on.
    SetForegroundWindow(search.found);
    return true;
}

}  // namespace ui
