#include "ui/scale.h"

#include "sysfn/scoped.h"
#include "sysfn/sysfn.h"

namespace ui {

int SystemDpi() {
    sysfn::WindowDC screen(nullptr);
    const int dpi = screen.dc ? GetDeviceCaps(screen.dc, LOGPIXELSX) : 0;
    return dpi > 0 ? dpi : kBaseDpi;
}

int WindowDpi(HWND hwnd) {
    const UINT dpi = sysfn::TryBind(sysfn::kGetDpiForWindow) ? sysfn::GetDpiForWindow(hwnd) : 0;
    return dpi ? static_cast<int>(dpi) : SystemDpi();  // 0: not a window
}

int MonitorDpi(HMONITOR monitor) {
    UINT dpi = 0;
    UINT dpiY = 0;
    if (!monitor || !sysfn::TryBind(sysfn::kGetDpiForMonitor) ||
        FAILED(sysfn::GetDpiForMonitor(monitor, MDT_EFFECTIVE_DPI, &dpi, &dpiY))) {
        dpi = 0;
    }
    return dpi ? static_cast<int>(dpi) : SystemDpi();
}

}  // namespace ui
