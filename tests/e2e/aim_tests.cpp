// The aim drag, Start and Stop on the real program, with the real mouse (the X
// server's, moved by xdotool) and the stand-in client.
#include "tests/support/program.h"
#include "tests/support/pump.h"
#include "ui/outline.h"
#include "watch/aim_drag.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

namespace {

class AimTest : public support::ProgramBesideClient {
protected:
    void TearDown() override {
        support::ReleaseLeft();
        ProgramBesideClient::TearDown();
    }
    int BarPosition() const { return static_cast<int>(SendMessageW(Unit(ui::kCountdownBar), PBM_GETPOS, 0, 0)); }

    // How many of the aim picture's pixels are dark on the screen.
    int DarkPixelsOfAimPicture() const {
        RECT rect;
        GetWindowRect(Unit(ui::kAimIcon), &rect);
        HDC screen = GetDC(nullptr);
        int dark = 0;
        for (int y = rect.top; y < rect.bottom; ++y) {
            for (int x = rect.left; x < rect.right; ++x) {
                COLORREF colour = GetPixel(screen, x, y);
                if (GetRValue(colour) + GetGValue(colour) + GetBValue(colour) < 100) ++dark;
            }
        }
        ReleaseDC(nullptr, screen);
        return dark;
    }

    HWND Ring() const { return support::FindVisibleWindow(program.process.dwProcessId, ui::kOutlineClass); }
    // Whether the program's outline rings the window that 编辑框1 shows, in red.
    bool RingsTheCaughtWindow() const {
        HWND ring = Ring();
        HWND caught = reinterpret_cast<HWND>(static_cast<intptr_t>(std::stoll(L"0" + Text(ui::kTargetBox))));
        RECT ringRect, caughtRect;
        return ring && GetWindowRect(ring, &ringRect) && GetWindowRect(caught, &caughtRect) &&
               EqualRect(&ringRect, &caughtRect) && RedAt(caughtRect.left + 1, (caughtRect.top + caughtRect.bottom) / 2);
    }
    static bool RedAt(int x, int y) {
        HDC screen = GetDC(nullptr);
        const COLORREF colour = GetPixel(screen, x, y);
        ReleaseDC(nullptr, screen);
        return colour == RGB(255, 0, 0);
    }

    // Presses on the aim picture and holds the button.
    void BeginDrag() {
        POINT picture = support::CentreOf(Unit(ui::kAimIcon));
        support::MoveMouse(picture.x, picture.y);
        support::PressLeft();
    }
};

TEST_F(AimTest, DragOntoTheDialButtonCapturesItsHandle) {
    // A running watch shows that the main window's timers tick during the drag.
    SendMessageW(Unit(ui::kTargetBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"1"));
    PostMessageW(Unit(ui::kStartButton), BM_CLICK, 0, 0);
    ASSERT_TRUE(support::PumpUntil([&] { return Text(ui::kTargetLine) == L"拔号按钮句柄为：1"; }, 3000));
    EXPECT_GT(DarkPixelsOfAimPicture(), 40) << "the aim icon is shown at rest";

    BeginDrag();
    EXPECT_TRUE(support::PumpUntil([&] { return !IsWindowEnabled(program.main); }, 3000))
        << "the main window takes input during the drag";
    EXPECT_LT(DarkPixelsOfAimPicture(), 10) << "the icon stays in its box during the drag";

    POINT button = support::CentreOf(client.dialButton);
    const int x = button.x - watch::kAimPointOffset;
    // The window caught and outlined below the button, then the button itself.
    support::MoveMouse(x - 40, button.y + 20);
    EXPECT_TRUE(support::PumpUntil([&] { return RingsTheCaughtWindow(); }, 2000)) << Text(ui::kTargetBox);
    support::MoveMouse(x, button.y);
    const int barBefore = BarPosition();
    EXPECT_TRUE(support::PumpUntil([&] { return BarPosition() != barBefore; }, 3000))
        << "the countdown stopped during the drag";
    const std::wstring expected = support::HandleText(WindowFromPoint(POINT{x + watch::kAimPointOffset, button.y}));
    EXPECT_EQ(expected, support::HandleText(client.dialButton));
    EXPECT_TRUE(support::PumpUntil([&] { return Text(ui::kTargetBox) == expected; }, 2000)) << Text(ui::kTargetBox);
    EXPECT_TRUE(support::PumpUntil([&] { return RingsTheCaughtWindow(); }, 2000));
    // The aim point on the ring itself, which lies over the button's edge.
    RECT edge;
    GetWindowRect(client.dialButton, &edge);
    support::MoveMouse(edge.left + 1 - watch::kAimPointOffset, button.y);
    support::PumpFor(100);
    EXPECT_EQ(Text(ui::kTargetBox), expected) << "the outline was caught";
    support::ReleaseLeft();

    EXPECT_TRUE(support::PumpUntil([&] { return IsWindowEnabled(program.main) != FALSE; }, 3000));
    EXPECT_EQ(Text(ui::kTargetBox), expected) << "the capture stays after the release";
    EXPECT_TRUE(support::PumpUntil([&] { return !Ring() && !RedAt(edge.left + 1, button.y); }, 2000))
        << "the outline or a trace of it is left";
    EXPECT_TRUE(support::PumpUntil([&] { return DarkPixelsOfAimPicture() > 40; }, 3000)) << "the icon is back";

    PostMessageW(Unit(ui::kStartButton), BM_CLICK, 0, 0);
    EXPECT_TRUE(support::PumpUntil([&] { return Text(ui::kTargetLine) == L"拔号按钮句柄为：" + expected; }, 3000))
        << Text(ui::kTargetLine);
}

// Clients grey their dial button while the link is up, just when a user sets up.
TEST_F(AimTest, DragOntoAGreyedDialButtonCapturesTheButton) {
    support::StopClient(client);
    ASSERT_TRUE(support::StartClient(client, L"ZorvicClient.exe", support::kGreyedButton));
    ASSERT_FALSE(IsWindowEnabled(client.dialButton));
    BeginDrag();
    ASSERT_TRUE(support::PumpUntil([&] { return !IsWindowEnabled(program.main); }, 3000));
    const POINT button = support::CentreOf(client.dialButton);
    support::MoveMouse(button.x - watch::kAimPointOffset - 40, button.y + 20);
    support::MoveMouse(button.x - watch::kAimPointOffset, button.y);
    const std::wstring expected = support::HandleText(client.dialButton);
    EXPECT_TRUE(support::PumpUntil([&] { return Text(ui::kTargetBox) == expected; }, 3000))
        << Text(ui::kTargetBox) << ", the client's window is " << support::HandleText(client.main);
    support::ReleaseLeft();
    EXPECT_TRUE(support::PumpUntil([&] { return IsWindowEnabled(program.main) != FALSE; }, 3000));
    EXPECT_EQ(Text(ui::kTargetBox), expected);
}

// However the drag ends, the outline goes with it: Esc ends the drag alone, and
// the main window closed during a drag ends the program as at any other time.
TEST_F(AimTest, EscapeOrTheProgramsCloseEndsTheDrag) {
    BeginDrag();
    ASSERT_TRUE(support::PumpUntil([&] { return !IsWindowEnabled(program.main); }, 3000));
    ASSERT_TRUE(support::PumpUntil([&] { return RingsTheCaughtWindow(); }, 3000));
    support::PressKey("Escape");
    EXPECT_TRUE(support::PumpUntil([&] { return IsWindowEnabled(program.main) != FALSE; }, 3000));
    EXPECT_TRUE(support::PumpUntil([&] { return !Ring(); }, 3000));
    EXPECT_TRUE(support::PumpUntil([&] { return DarkPixelsOfAimPicture() > 40; }, 3000)) << "the icon is back";
    support::ReleaseLeft();
    EXPECT_EQ(WaitForSingleObject(program.process.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << "Esc in the aim window closes only the aim window";

    BeginDrag();
    ASSERT_TRUE(support::PumpUntil([&] { return !IsWindowEnabled(program.main); }, 3000));
    PostMessageW(program.main, WM_CLOSE, 0, 0);
    EXPECT_EQ(support::WaitForExit(program, 5000), 0u) << "the aim step went on without the main window";
}

using AimAnyCodePage = AimTest;

TEST_F(AimAnyCodePage, StartWithAnEmptyBoxAsksForTheDragFirst) {
    PostMessageW(Unit(ui::kStartButton), BM_CLICK, 0, 0);
    HWND box = nullptr;
    ASSERT_TRUE(support::PumpUntil([&] {
        return (box = support::FindVisibleWindow(program.process.dwProcessId, L"#32770")) != nullptr;
    }, 3000));
    EXPECT_EQ(support::WindowText(box), L"错误");
    EXPECT_EQ(support::WindowText(GetDlgItem(box, 0xFFFF)), L"请拖动瞄准图标到拔号按钮上再点开始");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(support::PumpUntil([&] { return !IsWindow(box); }, 3000));
    support::PumpFor(watch::kCountdownPeriod + 500);
    EXPECT_EQ(BarPosition(), 0) << "a timer started";
    EXPECT_EQ(Text(ui::kTargetLine), L"");
}

TEST_F(AimTest, StopEndsTheClicksAndStartGoesOnCounting) {
    support::SetLinkState(false);
    const std::wstring handle = support::HandleText(client.dialButton);
    SendMessageW(Unit(ui::kTargetBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(handle.c_str()));
    PostMessageW(Unit(ui::kStartButton), BM_CLICK, 0, 0);
    ASSERT_TRUE(support::PumpUntil([&] { return support::ClickCount(client) == 1; }, support::kFirstTickWaitMs));
    EXPECT_EQ(Text(ui::kRedialCount), L"已拔1次");
    EXPECT_EQ(Text(ui::kLinkState), L"断网了");

    PostMessageW(Unit(ui::kStopButton), BM_CLICK, 0, 0);
    support::PumpFor(200);
    const int bar = BarPosition();
    support::PumpFor(watch::kWatchPeriod + 500);  // a tick that was due has come
    EXPECT_EQ(support::ClickCount(client), 1) << "a click came after Stop";
    EXPECT_EQ(BarPosition(), bar) << "the bar moved after Stop";

    PostMessageW(Unit(ui::kStartButton), BM_CLICK, 0, 0);
    EXPECT_TRUE(support::PumpUntil([&] { return Text(ui::kRedialCount) == L"已拔2次"; }, support::kFirstTickWaitMs))
        << Text(ui::kRedialCount);
    EXPECT_TRUE(support::PumpUntil([&] { return support::ClickCount(client) == 2; }, 3000));
}

}  // namespace
