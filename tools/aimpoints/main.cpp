// Where a drag from autoredial's aim icon onto the stand-in client's dial
// button presses and where it holds, for scripts/run's picture of a drag in
// progress: "pressX pressY holdX holdY" in screen pixels, written to the file
// named on the command line once both windows are up. At the hold the aim
// point (kAimPointOffset right of the pointer, scaled to the screen's DPI)
// lies just inside the button's left edge, so the cross-hair is beside it.
#include "tools/zorvic/protocol.h"
#include "ui/form.h"
#include "watch/aim_drag.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

POINT CentreOf(HWND hwnd) {
    RECT rect = {};
    GetWindowRect(hwnd, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

constexpr int kInside = 4;  // pixels at 96 dpi

HWND AimIcon(HWND main) {
    for (std::size_t row = 0; row < ui::kMainForm.unitCount; ++row) {
        if (std::strcmp(ui::kMainForm.units[row].name, ui::kAimIcon.name) == 0) return GetDlgItem(main, ui::UnitId(row));
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    SetProcessDPIAware();  // the screen's pixels, as the program and xdotool count them
    HWND icon = nullptr;
    HWND button = nullptr;
    for (int tries = 0; tries < 200 && !(icon && button); ++tries) {
        if (HWND main = FindWindowW(L"AutoredialForm", ui::kMainForm.window.caption)) icon = AimIcon(main);
        if (HWND client = FindWindowW(zorvic::kMainClass, nullptr)) button = GetDlgItem(client, zorvic::kDialButtonId);
        Sleep(100);
    }
    if (!icon || !button) return 1;
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    const POINT press = CentreOf(icon);
    RECT target = {};
    GetWindowRect(button, &target);
    const long holdX = target.left + MulDiv(kInside - watch::kAimPointOffset, dpi, 96);
    FILE* out = std::fopen(argv[1], "w");
    if (!out) return 1;
    std::fprintf(out, "%ld %ld %ld %ld\n", press.x, press.y, holdX, CentreOf(button).y);
    return std::fclose(out) == 0 ? 0 : 1;
}
