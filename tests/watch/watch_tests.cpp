// The link watcher's handlers on the real main window, in-process, against the
// stand-in client and the stand-in wininet.dll.
#include "app/shell.h"
#include "tests/support/probe.h"
#include "tests/support/standin.h"
#include "ui/props.h"
#include "watch/dial.h"
#include "watch/watch.h"
#include "winkit/text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using ui::kMainForm;

std::wstring Caption(const char* unit) { return ui::GetCaption(kMainForm, unit); }

class WatchTest : public support::MainFormSuite {
protected:
    void SetUp() override {
        watch::Stop(ui::EventArgs());
        watch::redialCount = 0;
        watch::dialTarget = 0;
        watch::RememberDialTarget();  // forgets the button of an earlier test
        ui::SetContent(kMainForm, "编辑框1", L"");
    }
};

TEST_F(WatchTest, OfflineTicksClickAndCountOnlineTicksOnlyReport) {
    watch::dialTarget = winkit::HandleToInt(client.dialButton);
    const int before = support::ClickCount(client);
    support::SetLinkState(false);
    for (int n = 1; n <= 3; ++n) {
        watch::WatchTick(ui::EventArgs());
        EXPECT_EQ(Caption("标签2"), L"断网了");
        EXPECT_EQ(Caption("标签3"), L"已拔" + std::to_wstring(n) + L"次");
    }
    EXPECT_TRUE(support::PumpUntil([&] { return support::ClickCount(client) == before + 3; }, 5000))
        << "the client counted " << support::ClickCount(client) - before << " clicks";

    support::SetLinkState(true);
    watch::WatchTick(ui::EventArgs());
    EXPECT_EQ(Caption("标签2"), L"联网呢");
    EXPECT_EQ(Caption("标签3"), L"已拔3次");
    support::PumpFor(200);
    EXPECT_EQ(support::ClickCount(client), before + 3);
}

TEST_F(WatchTest, NeverClicksBroadcastOrNothingAndCountsOnlyClicksThatWent) {
    HWND counter = support::MakeWindow(L"WatchTestClickCounter", L"", false);  // counts the BM_CLICKs it is posted
    support::SetLinkState(false);

    // Numbers typed by hand: no signature is taken, each is clicked as given.
    for (int32_t target : {0xFFFF, 0}) {
        ui::SetContent(kMainForm, "编辑框1", winkit::FormatDecimal(target));
        watch::Start(ui::EventArgs());
        watch::WatchTick(ui::EventArgs());
        EXPECT_EQ(Caption("标签1"), L"点击未送达：句柄无效");
    }
    support::PumpFor(200);
    MSG stray;
    EXPECT_FALSE(PeekMessageW(&stray, reinterpret_cast<HWND>(-1), BM_CLICK, BM_CLICK, PM_REMOVE))
        << "a click was posted to the thread";
    EXPECT_EQ(support::CountsOf(counter).clicks, 0);
    EXPECT_EQ(watch::redialCount, 0) << "a click that went nowhere is no redial";

    // A window that is gone by the tick: its program (this one) runs, but
    // holds no such window any more. No count either.
    ui::SetContent(kMainForm, "编辑框1", winkit::FormatDecimal(winkit::HandleToInt(counter)));
    watch::Start(ui::EventArgs());
    DestroyWindow(counter);
    watch::WatchTick(ui::EventArgs());
    EXPECT_EQ(watch::redialCount, 0);
    EXPECT_EQ(Caption("标签1"), L"找不到拨号按钮");
    watch::Stop(ui::EventArgs());
    support::SetLinkState(true);
}

TEST_F(WatchTest, CountdownFillsInTenStepsAndStartsAgain) {
    watch::countdownStep = 1;
    for (int step = 1; step <= 10; ++step) {
        watch::CountdownTick(ui::EventArgs());
        EXPECT_EQ(ui::GetBarPosition(kMainForm, "进度条1"), 10 * step);
    }
    watch::CountdownTick(ui::EventArgs());
    EXPECT_EQ(ui::GetBarPosition(kMainForm, "进度条1"), 10);
    EXPECT_EQ(watch::countdownStep, 2);
}

TEST_F(WatchTest, StartReadsTheBoxAndStartsBothTimers) {
    ui::SetContent(kMainForm, "编辑框1", L"　 ＋１２3x");  // full-width blank, +, 1, 2
    watch::countdownStep = 7;
    watch::Start(ui::EventArgs());
    EXPECT_EQ(watch::dialTarget, 123);
    EXPECT_EQ(Caption("标签1"), L"拔号按钮句柄为：123");
    EXPECT_EQ(ui::GetPeriod(kMainForm, "时钟1"), 10000);
    EXPECT_EQ(ui::GetPeriod(kMainForm, "时钟2"), 1000);
    EXPECT_EQ(watch::countdownStep, 1);

    ui::SetContent(kMainForm, "编辑框1", L"句柄");
    watch::Start(ui::EventArgs());
    EXPECT_EQ(watch::dialTarget, 0);
    EXPECT_EQ(Caption("标签1"), L"拔号按钮句柄为：0");

    ui::SetContent(kMainForm, "编辑框1", L"-99999999999");
    watch::Start(ui::EventArgs());
    EXPECT_EQ(Caption("标签1"), L"拔号按钮句柄为：-2147483648");

    watch::Stop(ui::EventArgs());
    EXPECT_EQ(ui::GetPeriod(kMainForm, "时钟1"), 0);
    EXPECT_EQ(ui::GetPeriod(kMainForm, "时钟2"), 0);
    EXPECT_EQ(Caption("标签1"), L"拔号按钮句柄为：-2147483648") << "Stop touches nothing else";
    EXPECT_EQ(ui::GetPeriod(kMainForm, "时钟3"), 1000) << "the prompt timer runs on";
}

TEST_F(WatchTest, CountCarriesOverStopAndStart) {
    support::SetLinkState(false);
    watch::dialTarget = winkit::HandleToInt(client.dialButton);
    ui::SetContent(kMainForm, "编辑框1", winkit::FormatDecimal(watch::dialTarget));
    watch::Start(ui::EventArgs());
    for (int i = 0; i < 3; ++i) watch::WatchTick(ui::EventArgs());
    watch::Stop(ui::EventArgs());
    watch::Start(ui::EventArgs());
    watch::WatchTick(ui::EventArgs());
    EXPECT_EQ(Caption("标签3"), L"已拔4次");
    support::SetLinkState(true);
}

}  // namespace
