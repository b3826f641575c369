#include "ui/skin.h"

#include "sysfn/sysfn.h"

#include <windows.h>

namespace ui {

namespace {

int gStyle = 1;
HHOOK gHook = nullptr;

// The theme library is bound from the system directory when first needed; a
// system without it keeps the classic look.
void Apply(HWND hwnd) {
    if (!sysfn::TryBind(sysfn::kSetWindowTheme)) return;
    switch (gStyle) {
    case 0: sysfn::SetWindowTheme(hwnd, L" ", L" "); break;
    case 1: sysfn::SetWindowTheme(hwnd, nullptr, nullptr); break;
    default: sysfn::SetWindowTheme(hwnd, L"Explorer", nullptr); break;
    }
}

BOOL CALLBACK ApplyToChild(HWND hwnd, LPARAM) {
    Apply(hwnd);
    return TRUE;
}

BOOL CALLBACK ApplyToTopLevel(HWND hwnd, LPARAM) {
    Apply(hwnd);
    EnumChildWindows(hwnd, ApplyToChild, 0);
    return TRUE;
}

// Windows created later take the style as they are created.
LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) Apply(reinterpret_cast<HWND>(wParam));
    return CallNextHookEx(gHook, code, wParam, lParam);
}

}  // namespace

void SetSkinStyle(int style) {
    gStyle = style < 0 ? 0 : style > 2 ? 2 : style;
    if (!gHook) gHook = SetWindowsHookExW(WH_CBT, CbtHook, nullptr, GetCurrentThreadId());
    EnumThreadWindows(GetCurrentThreadId(), ApplyToTopLevel, 0);
}

int SkinStyle() { return gStyle; }

void ReleaseSkin() {
    if (gHook) UnhookWindowsHookEx(gHook);
    gHook = nullptr;
}

}  // namespace ui
