// What a real desk shows, beyond what Wine shows by itself: the hand over the
// link where the help viewer has none, a pointer put out of use before it is
// destroyed, and the status bar's texts whole at the display's scale (these
// run at 96 dpi in the ui suite and at 144 dpi in ui_144).
#include "app/wiring.h"
#include "tests/support/probe.h"
#include "tests/support/program.h"
#include "tests/support/pump.h"
#include "ui/hyperlink.h"
#include "ui/loaded.h"
#include "ui/runtime.h"
#include "ui/scale.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

const wchar_t kContent[] = L"<center><a href=\"https://example.com/\">下载岚川客户端</a></center>";

// The Windows folder that the table's GetSystemWindowsDirectoryW gives.
std::wstring gWindowsFolder;

UINT WINAPI FakeWindowsFolder(LPWSTR into, UINT size) {
    const UINT length = static_cast<UINT>(gWindowsFolder.size());
    if (size <= length) return length + 1;
    lstrcpyW(into, gWindowsFolder.c_str());
    return length;
}

// The pointer over the link of a box, as WM_SETCURSOR sets it; null when the
// box leaves it to the class.
HCURSOR PointerOverLink() {
    WNDCLASSW cls = {};
    cls.lpfnWndProc = DefWindowProcW;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"RealDeskHost";
    RegisterClassW(&cls);
    HWND host = CreateWindowExW(0, cls.lpszClassName, L"", WS_POPUP, 0, 0, 300, 100, nullptr, nullptr, cls.hInstance,
                                nullptr);
    HWND box = CreateWindowExW(0, ui::kHyperlinkClass, kContent, WS_CHILD | WS_VISIBLE, 10, 4, 120, 24, host,
                               nullptr, cls.hInstance, nullptr);
    const RECT hit = ui::HyperlinkHitArea(box);
    POINT over = {(hit.left + hit.right) / 2, (hit.top + hit.bottom) / 2};
    ClientToScreen(box, &over);
    POINT before = {};
    GetCursorPos(&before);
    SetCursorPos(over.x, over.y);
    SetCursor(nullptr);
    const bool set = SendMessageW(box, WM_SETCURSOR, reinterpret_cast<WPARAM>(box), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    const HCURSOR pointer = GetCursor();
    DestroyWindow(host);
    SetCursorPos(before.x, before.y);  // the suites after this one find the mouse where it was
    return set ? pointer : nullptr;
}

POINT Hotspot(HCURSOR cursor) {
    ICONINFO info = {};
    if (!GetIconInfo(cursor, &info)) return POINT{-1, -1};
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    return POINT{static_cast<LONG>(info.xHotspot), static_cast<LONG>(info.yHotspot)};
}

// The help viewer's hand where its winhlp32.exe has one (the stand-in's is the
// aim cursor, hotspot 15,16), else the system's own: the viewer of Windows
// since Vista is a stub that may have none, and Wine's has none.
TEST(LinkPointer, IsTheHelpViewersHandOrElseTheSystems) {
    support::EnsureShell();
    const HCURSOR systemHand = LoadCursorW(nullptr, IDC_HAND);
    const struct {
        std::wstring folder;
        bool viewersHand;
    } cases[] = {
        {support::BuildDirectory() + L"\\helpviewer", true},
        {L"C:\\autoredial-no-windows", false},
    };
    for (const auto& c : cases) {
        ui::ReleaseHyperlinkResources();  // the hand is looked for once
        gWindowsFolder = c.folder;
        support::TableFake<sysfn::kGetSystemWindowsDirectoryW> folder(&FakeWindowsFolder);
        const HCURSOR pointer = PointerOverLink();
        ASSERT_NE(pointer, nullptr) << testing::PrintToString(c.folder);
        EXPECT_EQ(pointer == systemHand, !c.viewersHand) << testing::PrintToString(c.folder);
        const POINT hotspot = Hotspot(pointer);
        if (c.viewersHand) {
            EXPECT_TRUE(hotspot.x == 15 && hotspot.y == 16) << hotspot.x << "," << hotspot.y;
        }
    }
    ui::ReleaseHyperlinkResources();
}

// The aim window's pointer is the current one until the window goes.
TEST(FormPointer, IsPutOutOfUseBeforeItIsDestroyed) {
    ASSERT_TRUE(support::LoadMainForm());
    ASSERT_TRUE(ui::LoadForm(app::kAimWiring, nullptr, false));
    ui::LoadedForm* aim = ui::FindForm(ui::kAimForm);
    ASSERT_TRUE(aim && aim->pointer);
    SetCursor(aim->pointer);
    const HCURSOR destroyed = aim->pointer;
    DestroyWindow(aim->hwnd);
    const HCURSOR after = GetCursor();
    support::UnloadForm(ui::kMainForm);
    EXPECT_NE(after, destroyed);
    EXPECT_EQ(after, LoadCursorW(nullptr, IDC_ARROW));
}

class DisplayScaleStatusBar : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(support::LoadMainForm()); }
    static void TearDownTestSuite() { support::UnloadForm(ui::kMainForm); }
};

// Each pane's text, measured in the bar's font, ends inside what is visible of
// its pane: the second pane runs past the bar's right edge. The bar draws a
// text 3 pixels (at 96 dpi) in from its pane's left, and keeps as much clear
// of the edge on the right.
TEST_F(DisplayScaleStatusBar, EachPaneShowsItsTextWhole) {
    HWND bar = support::UnitWindow(ui::FindForm(ui::kMainForm)->hwnd, "状态条1");
    const int dpi = ui::SystemDpi();
    RECT client;
    GetClientRect(bar, &client);
    HDC dc = GetDC(bar);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(bar, WM_GETFONT, 0, 0)));
    for (int pane = 0; pane < 2; ++pane) {
        RECT place = {};
        SendMessageW(bar, SB_GETRECT, pane, reinterpret_cast<LPARAM>(&place));
        wchar_t buffer[256] = L"";
        SendMessageW(bar, SB_GETTEXTW, pane, reinterpret_cast<LPARAM>(buffer));
        const std::wstring text = buffer;
        SIZE size = {};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        const int room = std::min(place.right, client.right) - place.left - 2 * MulDiv(3, dpi, 96);
        EXPECT_TRUE(text.size() > 3 && size.cx <= room)
            << "pane " << pane << " at " << dpi << " dpi: " << testing::PrintToString(text) << " needs " << size.cx
            << " of " << room;
    }
    SelectObject(dc, previous);
    ReleaseDC(bar, dc);
}

}  // namespace
