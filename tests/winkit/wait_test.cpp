#include "winkit/wait.h"

#include "tests/support/probe.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(DueTime, ByUnit) {
    const struct {
        int32_t amount;
        int32_t unit;
        int64_t due;
    } cases[] = {
        {50, winkit::kMilliseconds, -500000},
        {1500, winkit::kMicroseconds, -15000},
        {1, winkit::kMicroseconds, -10},
        {2, winkit::kSeconds, -20000000},
        {1, winkit::kMinutes, -600000000},
        {1, winkit::kHours, -36000000000},
        {1, winkit::kDays, -864000000000},
        {3, 7, -210000},  // any other code is that many milliseconds per unit
        {0, winkit::kMilliseconds, 0},
        {0, winkit::kDays, 0},
        {-5, winkit::kMilliseconds, 50000},
        {INT32_MAX, winkit::kMilliseconds, -21474836470000},
        // beyond a 64-bit count: held at its ends instead of overflowing
        {INT32_MAX, winkit::kDays, INT64_MIN},
        {INT32_MIN, winkit::kDays, INT64_MAX},
        {INT32_MAX, INT32_MAX, INT64_MIN},
    };
    for (const auto& c : cases) EXPECT_EQ(winkit::DueTime(c.amount, c.unit), c.due) << c.amount << " " << c.unit;
}

class PumpingWait : public support::WindowsTest {
protected:
    void SetUp() override {
        window_ = Make(L"WinkitWaitProbe", L"winkit 等待", false);
        support::PumpFor(0);
    }
    HWND window_ = nullptr;
};

// Each wait read in a wrong unit or sign would last 5 s at least; a loaded
// machine may add to a wait, never take from it.
TEST_F(PumpingWait, LastsItsTime) {
    const struct {
        int32_t amount;
        int32_t unit;
        double atLeast;
    } cases[] = {
        {50, winkit::kMilliseconds, 45},
        {30, 7, 200},
        {0, winkit::kMilliseconds, 0},
        {-100, winkit::kSeconds, 0},
        {5000, winkit::kMicroseconds, 0},
    };
    for (const auto& c : cases) {
        support::Stopwatch watch;
        winkit::PumpingWait(c.amount, c.unit);
        double elapsed = watch.Elapsed();
        EXPECT_GE(elapsed, c.atLeast) << c.amount << " " << c.unit;
        EXPECT_LT(elapsed, 2500) << c.amount << " " << c.unit;
    }
}

int gTicks = 0;
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++gTicks; }

TEST_F(PumpingWait, DispatchesWhatArrives) {
    for (int i = 0; i < 3; ++i) PostMessageW(window_, support::kProbeMessage, 0, 0);
    winkit::PumpingWait(30);
    EXPECT_EQ(support::CountsOf(window_).posted, 3);

    // Timer messages that come due in the middle of the wait are dispatched
    // there, and the wait still lasts its time.
    gTicks = 0;
    UINT_PTR timer = SetTimer(window_, 1, 20, &CountTick);
    support::Stopwatch watch;
    winkit::PumpingWait(500);
    double elapsed = watch.Elapsed();
    KillTimer(window_, timer);
    EXPECT_GE(gTicks, 3);
    EXPECT_GE(elapsed, 490);
}

TEST_F(PumpingWait, LeavesQuitQueued) {
    PostMessageW(window_, support::kProbeMessage, 0, 0);
    PostQuitMessage(7);
    const double processorBefore = support::ThreadProcessorMs();
    support::Stopwatch watch;
    winkit::PumpingWait(150);
    double elapsed = watch.Elapsed();
    const double busy = support::ThreadProcessorMs() - processorBefore;

    EXPECT_GE(elapsed, 140);
    EXPECT_EQ(support::CountsOf(window_).posted, 1);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 7u);
    // The queued quit must not turn the wait into a spin.
    EXPECT_LT(busy, elapsed / 2);
}

// A handler that waits itself, inside the outer wait.
constexpr UINT kNestedWait = WM_APP + 8;
double gInnerElapsed = 0;
LRESULT CALLBACK NestingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kNestedWait) {
        support::Stopwatch watch;
        winkit::PumpingWait(1600);
        gInnerElapsed = watch.Elapsed();
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// The outer wait's time passes inside the inner one: it returns with it. A
// wait of its own after it would add 1.5 s, beyond what a loaded machine adds.
TEST_F(PumpingWait, NestedWaits) {
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NestingProc));
    gInnerElapsed = 0;
    PostMessageW(window_, kNestedWait, 0, 0);
    support::Stopwatch watch;
    winkit::PumpingWait(1500);
    double outer = watch.Elapsed();
    EXPECT_GE(gInnerElapsed, 1550);
    EXPECT_GE(outer, gInnerElapsed);
    EXPECT_LT(outer, gInnerElapsed + 1000);
}

// The wait must come back even when the system lets it down.
int gWaits = 0;
HANDLE WINAPI NoTimer(LPSECURITY_ATTRIBUTES, BOOL, LPCWSTR) { return nullptr; }
BOOL WINAPI TimerNotSet(HANDLE, const LARGE_INTEGER*, LONG, PTIMERAPCROUTINE, LPVOID, BOOL) { return FALSE; }
DWORD WINAPI FailingWait(DWORD, const HANDLE*, BOOL, DWORD, DWORD) {
    // Gives in after a while, so a wait that ignores the failure fails the
    // test instead of hanging it.
    return ++gWaits < 1000 ? WAIT_FAILED : WAIT_OBJECT_0;
}

TEST_F(PumpingWait, ReturnsWhenTheSystemFails) {
    support::TableFake<sysfn::kCreateWaitableTimerW> timers(&support::CountingTimer);
    support::TableFake<sysfn::kCloseHandle> closes(&support::CountingClose);
    const support::CallCounts& counts = support::gCallCounts = {};
    gWaits = 0;
    {
        support::TableFake<sysfn::kCreateWaitableTimerW> fake(&NoTimer);
        winkit::PumpingWait(10);
    }
    EXPECT_EQ(counts.closes, 0);
    {
        support::TableFake<sysfn::kSetWaitableTimer> fake(&TimerNotSet);
        winkit::PumpingWait(10);
    }
    EXPECT_EQ(counts.timers, 1);
    EXPECT_EQ(counts.closes, 1);
    {
        support::TableFake<sysfn::kMsgWaitForMultipleObjects> fake(&FailingWait);
        winkit::PumpingWait(10000);
    }
    EXPECT_EQ(gWaits, 1);
    EXPECT_EQ(counts.timers, 2);
    EXPECT_EQ(counts.closes, 2);
}

}  // namespace
