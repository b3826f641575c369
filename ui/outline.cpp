#include "ui/outline.h"

#include "sysfn/scoped.h"
#include "sysfn/sysfn.h"
#include "ui/scale.h"

namespace ui {

namespace {

constexpr int kLineWidth = 3;  // at 96 dpi
// Saturated red stands out on light and dark windows alike.
constexpr COLORREF kRingColour = RGB(255, 0, 0);

LRESULT PaintRing(HWND ring) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(ring, &paint);
    SetDCBrushColor(dc, kRingColour);
    FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    EndPaint(ring, &paint);
    return 0;
}

LRESULT CALLBACK RingProc(HWND ring, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: return PaintRing(ring);
    case WM_NCHITTEST: return HTTRANSPARENT;  // a hit test of this thread looks through it as well
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    }
    return DefWindowProcW(ring, message, wParam, lParam);
}

HWND MakeRing(HWND owner) {
    WNDCLASSEXW cls = {};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = RingProc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = kOutlineClass;
    if (!RegisterClassExW(&cls) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
    // Windows documents a layered window with WS_EX_TRANSPARENT as transparent
    // to hit testing: WindowFromPoint and the mouse pass through it. Without
    // layered windows the region and HTTRANSPARENT still keep the aim's
    // search off it.
    const bool layered = sysfn::TryBind(sysfn::kSetLayeredWindowAttributes) != nullptr;
    const DWORD exStyle = WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST |
                          (layered ? WS_EX_LAYERED : 0);
    HWND ring = CreateWindowExW(exStyle, kOutlineClass, L"", WS_POPUP, 0, 0, 0, 0, owner, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    // A layered window shows nothing until its attributes are set.
    if (ring && layered) sysfn::SetLayeredWindowAttributes(ring, 0, 255, LWA_ALPHA);
    return ring;
}

// The desktop itself, or a window of the shell's desktop or taskbar: the
// icons' list, in the shell's window or in a worker window of the shell's
// thread, where Windows moves it for a changing wallpaper; a taskbar, on any
// monitor.
bool OnTheDesk(HWND window) {
    const HWND desktop = sysfn::GetDesktopWindow();
    if (!window || window == desktop) return true;
    const HWND root = GetAncestor(window, GA_ROOT);
    const HWND shell = GetShellWindow();
    if (root == desktop || root == shell) return true;
    wchar_t name[32] = L"";
    if (!shell || !GetClassNameW(root, name, 32)) return false;
    DWORD shellProcess = 0;
    DWORD rootProcess = 0;
    const DWORD shellThread = GetWindowThreadProcessId(shell, &shellProcess);
    const DWORD rootThread = GetWindowThreadProcessId(root, &rootProcess);
    if (lstrcmpW(name, L"WorkerW") == 0) return rootThread == shellThread;
    return rootProcess == shellProcess &&
           (lstrcmpW(name, L"Shell_TrayWnd") == 0 || lstrcmpW(name, L"Shell_SecondaryTrayWnd") == 0);
}

// Shapes the ring to the rectangle, then moves it there. Each step repaints
// what it uncovers, so no trace is left on the windows below.
void PlaceRing(HWND ring, const RECT& rect, int line) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HRGN shape = CreateRectRgn(0, 0, width, height);
    if (!shape) return;
    if (width > 2 * line && height > 2 * line) {
        sysfn::OwnedGdiObject inside;
        inside.Reset(CreateRectRgn(line, line, width - line, height - line));
        CombineRgn(shape, shape, static_cast<HRGN>(inside.object), RGN_DIFF);
    }
    if (!SetWindowRgn(ring, shape, TRUE)) DeleteObject(shape);  // once set, the system owns it
    SetWindowPos(ring, HWND_TOPMOST, rect.left, rect.top, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    UpdateWindow(ring);
}

}  // namespace

void ShowOutline(Outline& outline, HWND owner, HWND target) {
    if (target != outline.target) {
        outline.target = target;
        outline.desk = OnTheDesk(target);
    }
    RECT rect = {};
    if (outline.desk || !GetWindowRect(target, &rect)) SetRectEmpty(&rect);
    if (EqualRect(&rect, &outline.rect)) return;
    outline.rect = rect;

    RECT shown = {};
    HMONITOR monitor = nullptr;
    if (!IsRectEmpty(&rect)) {
        monitor = MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST);
        MONITORINFO info = {};
        info.cbSize = sizeof info;
        shown = rect;
        if (GetMonitorInfoW(monitor, &info)) IntersectRect(&shown, &rect, &info.rcMonitor);
    }
    if (IsRectEmpty(&shown)) {
        if (outline.ring) ShowWindow(outline.ring, SW_HIDE);
        return;
    }
    if (!outline.ring) outline.ring = MakeRing(owner);
    if (outline.ring) PlaceRing(outline.ring, shown, Scaled(kLineWidth, MonitorDpi(monitor)));
}

void EndOutline(Outline& outline) {
    // The system destroys an owned window with its owner.
    if (outline.ring && IsWindow(outline.ring)) DestroyWindow(outline.ring);
    outline = Outline();
}

}  // namespace ui
