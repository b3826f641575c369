// The forms at the display's scale, loaded in this process: these cases run at
// 96 dpi in the ui suite and at 144 dpi in a Wine prefix of their own (ui_144).
#include "app/wiring.h"
#include "tests/support/probe.h"
#include "tests/support/program.h"
#include "ui/hyperlink.h"
#include "ui/loaded.h"
#include "ui/props.h"
#include "ui/runtime.h"
#include "watch/aim_drag.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

int At(int at96, int dpi) { return MulDiv(at96, dpi, 96); }

// The screen's DPI, asked here and not through the program: at 96 every scaled
// length is its row's, and a run that lost its DPI would check nothing.
int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// The DPI that this run was given (scripts/wine-env's AUTOREDIAL_DPI).
int GivenDpi() {
    char text[8] = "";
    const DWORD length = GetEnvironmentVariableA("AUTOREDIAL_DPI", text, sizeof text);
    return length > 0 && length < sizeof text ? std::atoi(text) : 96;
}
RECT Box(int left, int top, int width, int height) { return RECT{left, top, left + width, top + height}; }

HWND Main() { return ui::FindForm(ui::kMainForm)->hwnd; }
HWND Unit(const char* name) { return support::UnitWindow(Main(), name); }
HGDIOBJ FontOf(HWND unit) { return reinterpret_cast<HGDIOBJ>(SendMessageW(unit, WM_GETFONT, 0, 0)); }

// The room a text takes in the unit's own font, wrapped at its width as a label wraps it.
SIZE TextSize(HWND unit, const std::wstring& text) {
    RECT room;
    GetClientRect(unit, &room);
    HDC dc = GetDC(unit);
    HGDIOBJ previous = SelectObject(dc, FontOf(unit));
    DrawTextW(dc, text.c_str(), -1, &room, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, previous);
    ReleaseDC(unit, dc);
    return SIZE{room.right, room.bottom};
}

// What the handlers write, beside the captions; the handle as long as 标签1 holds at 96 dpi.
const std::pair<const char*, const wchar_t*> kWritten[] = {
    {"标签1", L"拔号按钮句柄为：999999"}, {"标签4", L"出现提示窗口句柄：-1"}, {"标签4", L"出现提示窗口句柄：999999"}};

// Each unit at its row's place scaled, each text within its unit, and the
// status bar along the bottom, its panes' edges scaled, over nothing a unit
// shows. A label shows only its lines: at 96 dpi 标签5's rectangle ends under
// the bar, its one line well above it.
void ExpectLaidOutAt(int dpi) {
    RECT client;
    GetClientRect(Main(), &client);
    const RECT bar = support::ChildRect(Unit("状态条1"));
    EXPECT_TRUE(bar.bottom == client.bottom && bar.right == client.right);
    int edges[3] = {};
    EXPECT_EQ(SendMessageW(Unit("状态条1"), SB_GETPARTS, 3, reinterpret_cast<LPARAM>(edges)), 2);
    EXPECT_TRUE(edges[0] == At(150, dpi) && edges[1] == At(300, dpi)) << edges[0] << ", " << edges[1];
    std::vector<std::pair<const char*, std::wstring>> texts(std::begin(kWritten), std::end(kWritten));
    for (std::size_t row = 0; row < ui::kMainForm.unitCount; ++row) {
        const ui::UnitDef& def = ui::kMainForm.units[row];
        if (def.type == ui::UnitType::StatusBar) continue;
        const RECT place = support::ChildRect(Unit(def.name));
        const RECT expected = Box(At(def.left, dpi), At(def.top, dpi), At(def.width, dpi), At(def.height, dpi));
        EXPECT_TRUE(EqualRect(&place, &expected)) << def.name << " at " << place.left << "," << place.top;
        const bool label = def.type == ui::UnitType::Label;
        const LONG shownBottom = def.type == ui::UnitType::Timer ? 0
                                 : label ? place.top + TextSize(Unit(def.name), support::WindowText(Unit(def.name))).cy
                                         : place.bottom;
        EXPECT_LE(shownBottom, bar.top) << def.name << " under the status bar";
        if ((label || def.type == ui::UnitType::Button) && def.text) texts.emplace_back(def.name, def.text);
    }
    for (const auto& [unit, text] : texts) {
        RECT room;
        GetClientRect(Unit(unit), &room);
        const SIZE needed = TextSize(Unit(unit), text);
        EXPECT_TRUE(needed.cx <= room.right && needed.cy <= room.bottom)
            << unit << " " << testing::PrintToString(text) << " needs " << needed.cx << "x" << needed.cy;
    }
}

class DisplayScale : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(ScreenDpi(), GivenDpi()) << "the screen is not at the DPI this run was given";
        ASSERT_TRUE(support::LoadMainForm());
    }
    static void TearDownTestSuite() { support::UnloadForm(ui::kMainForm); }
};

// At 144 dpi on a 1024 x 768 screen: 450 x 414 at (287, 177).
TEST_F(DisplayScale, TheMainWindowIsCentredAndLaidOutAtTheScreensScale) {
    const int dpi = ScreenDpi();
    const int width = At(300, dpi), height = At(276, dpi);
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2, top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    const RECT expected = Box(left, top, width, height);
    RECT outer;
    GetWindowRect(Main(), &outer);
    EXPECT_TRUE(EqualRect(&outer, &expected)) << outer.left << "," << outer.top << " " << outer.right - outer.left;
    ExpectLaidOutAt(dpi);
}

// Windows sends WM_DPICHANGED when the window crosses to a monitor of another
// scale, with the rectangle it suggests there.
TEST_F(DisplayScale, AMoveToAMonitorOfAnotherScaleLaysTheWindowOutAgain) {
    const int dpi = ScreenDpi(), other = dpi == 96 ? 144 : 96;
    RECT before, client, now;
    GetWindowRect(Main(), &before);
    GetClientRect(Main(), &client);
    HWND label = Unit("标签5"), link = Unit("简单超文本框1");
    LOGFONTW font = {}, scaled = {};
    GetObjectW(FontOf(label), sizeof font, &font);
    const RECT linkBefore = ui::HyperlinkHitArea(link);
    // Windows scales a per-monitor window's frame with its client area; Wine
    // keeps the frame at the system's DPI, so only the client area is scaled here.
    const RECT suggested = {before.left + 10, before.top + 20,
                            before.right + 10 + MulDiv(client.right, other, dpi) - client.right,
                            before.bottom + 20 + MulDiv(client.bottom, other, dpi) - client.bottom};
    SendMessageW(Main(), WM_DPICHANGED, MAKEWPARAM(other, other), reinterpret_cast<LPARAM>(&suggested));
    GetWindowRect(Main(), &now);
    EXPECT_TRUE(EqualRect(&now, &suggested));
    ExpectLaidOutAt(other);
    GetObjectW(FontOf(label), sizeof scaled, &scaled);
    EXPECT_EQ(scaled.lfHeight, MulDiv(font.lfHeight, other, dpi));
    EXPECT_EQ(FontOf(Unit("按钮1")), FontOf(label));
    const RECT linkAt = ui::HyperlinkHitArea(link);
    EXPECT_EQ(linkAt.bottom - linkAt.top > linkBefore.bottom - linkBefore.top, other > dpi) << "the link's own font";

    SendMessageW(Main(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&before));
    GetWindowRect(Main(), &now);
    EXPECT_TRUE(EqualRect(&now, &before));
    ExpectLaidOutAt(dpi);
    EXPECT_EQ(FontOf(label), GetStockObject(DEFAULT_GUI_FONT));
    const RECT linkBack = ui::HyperlinkHitArea(link);
    EXPECT_TRUE(EqualRect(&linkBack, &linkBefore));
}

POINT gAimPoint;
HWND WINAPI RecordAimPoint(POINT point) { return gAimPoint = point, nullptr; }

// At each scale the aim window covers the pointer, the aim point lies just
// right of it, and its pointer is the cursor at that scale; the outline's line
// is 3 px at the screen's scale.
TEST_F(DisplayScale, TheAimWindowFollowsItsScale) {
    ASSERT_TRUE(ui::LoadForm(app::kAimWiring, nullptr, false));
    ui::LoadedForm* aim = ui::FindForm(ui::kAimForm);
    support::TableFake<sysfn::kWindowFromPoint> fake(&RecordAimPoint);
    for (int dpi : {ScreenDpi(), 120, 192}) {
        RECT place;
        GetWindowRect(aim->hwnd, &place);
        const RECT suggested = Box(place.left, place.top, At(26, dpi), At(26, dpi));
        if (dpi != aim->dpi) {
            SendMessageW(aim->hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        }
        watch::AimStep(ui::EventArgs());
        POINT cursor;
        GetCursorPos(&cursor);
        GetWindowRect(aim->hwnd, &place);
        const RECT expected = Box(cursor.x - At(13, dpi), cursor.y - At(13, dpi), At(26, dpi), At(26, dpi));
        EXPECT_TRUE(EqualRect(&place, &expected)) << dpi;
        EXPECT_TRUE(gAimPoint.x == cursor.x + At(watch::kAimPointOffset, dpi) && gAimPoint.x >= place.right) << dpi;
        ICONINFO pointer = {};
        ASSERT_TRUE(GetIconInfo(aim->pointer, &pointer));
        BITMAP mask = {};
        GetObjectW(pointer.hbmMask, sizeof mask, &mask);
        EXPECT_TRUE(mask.bmWidth == At(32, dpi) && pointer.xHotspot == static_cast<DWORD>(At(15, dpi)) &&
                    pointer.yHotspot == static_cast<DWORD>(At(16, dpi)))
            << dpi << ": " << mask.bmWidth << " wide, hotspot " << pointer.xHotspot << "," << pointer.yHotspot;
        DeleteObject(pointer.hbmMask);
        DeleteObject(pointer.hbmColor);
    }
    ui::OutlineWindow(ui::kAimForm, Main());
    HRGN ring = CreateRectRgn(0, 0, 0, 0);
    GetWindowRgn(aim->outline.ring, ring);
    const int line = At(3, ScreenDpi());
    EXPECT_TRUE(PtInRegion(ring, line - 1, line) && !PtInRegion(ring, line, line)) << line;
    DeleteObject(ring);
    DestroyWindow(aim->hwnd);
}

}  // namespace
