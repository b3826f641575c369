// The shell's mechanics with forms of the tests' own: the timer period rule,
// the posted close, and the modal load.
#include "app/app.h"
#include "app/shell.h"
#include "sysfn/sysfn.h"
#include "tests/support/probe.h"
#include "tests/support/pump.h"
#include "ui/loaded.h"
#include "ui/props.h"
#include "ui/runtime.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using ui::Event;
using ui::UnitType;

// What the handlers of the test forms saw, in order.
std::vector<std::wstring> gLog;
int gTicks = 0;
int gOuterTicks = 0;
int gInnerTicks = 0;

void LogTick(const ui::EventArgs&) { ++gTicks; }

extern const ui::FormDef kTimerForm;
extern const ui::FormDef kOuterForm;
extern const ui::FormDef kInnerForm;
constexpr ui::UnitRef kTimerClock{&kTimerForm, "时钟1"};
constexpr ui::UnitRef kOuterClock{&kOuterForm, "时钟1"};
constexpr ui::UnitRef kInnerClock{&kInnerForm, "时钟1"};

void OuterTick(const ui::EventArgs&) {
    ++gOuterTicks;
    // Outer ticks during the modal load find the outer window disabled.
    if (ui::FindForm(kInnerForm)) {
        gLog.push_back(IsWindowEnabled(ui::FormHandle(kOuterForm)) ? L"outer tick: enabled" : L"outer tick: disabled");
        // A watchdog: an inner form that never closes itself fails the test
        // instead of hanging it.
        if (gOuterTicks == 300) ui::CloseForm(kInnerForm);
    }
}

void InnerTick(const ui::EventArgs&) {
    if (++gInnerTicks != 3) return;
    ui::CloseForm(kInnerForm);
    // The close is posted: the window is still there when this handler ends.
    gLog.push_back(IsWindow(ui::FormHandle(kInnerForm)) ? L"closed, still there" : L"closed, gone");
}

void InnerDestroying(const ui::EventArgs&) {
    gLog.push_back(IsWindowEnabled(ui::FormHandle(kOuterForm)) ? L"destroying: outer enabled"
                                                                 : L"destroying: outer disabled");
}

const ui::UnitDef kTimerUnits[] = {
    {UnitType::Timer, kTimerClock.name, 0, 0, 26, 26, nullptr, 0, CLR_INVALID, 0, nullptr, nullptr},
};
const ui::Binding kTimerBindings[] = {{&kTimerClock, Event::Periodic, LogTick}};
const ui::FormDef kTimerForm = {"timer", {L"timer", 120, 80, ui::Frame::None, false, false, false},
                                kTimerUnits, 1};
const ui::WiredForm kTimerWired = {&kTimerForm, kTimerBindings, 1};

ui::EventArgs gPress;
const ui::Binding kPressBindings[] = {{nullptr, Event::LeftDown, [](const ui::EventArgs& args) { gPress = args; }}};
const ui::WiredForm kPressWired = {&kTimerForm, kPressBindings, 1};

const ui::UnitDef kOuterUnits[] = {
    {UnitType::Timer, kOuterClock.name, 0, 0, 26, 26, nullptr, 30, CLR_INVALID, 0, nullptr, nullptr},
};
const ui::Binding kOuterBindings[] = {{&kOuterClock, Event::Periodic, OuterTick}};
const ui::FormDef kOuterForm = {"outer", {L"outer", 200, 120, ui::Frame::FixedSingle, true, false, true},
                                kOuterUnits, 1};
const ui::WiredForm kOuterWired = {&kOuterForm, kOuterBindings, 1};

const ui::UnitDef kInnerUnits[] = {
    {UnitType::Timer, kInnerClock.name, 0, 0, 26, 26, nullptr, 40, CLR_INVALID, 0, nullptr, nullptr},
};
const ui::Binding kInnerBindings[] = {
    {&kInnerClock, Event::Periodic, InnerTick},
    {nullptr, Event::Destroying, InnerDestroying},
};
const ui::FormDef kInnerForm = {"inner", {L"", 58, 54, ui::Frame::None, false, true, true},
                                kInnerUnits, 1};
const ui::WiredForm kInnerWired = {&kInnerForm, kInnerBindings, 2};

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        support::EnsureShell();
        gLog.clear();
        gTicks = gOuterTicks = gInnerTicks = 0;
    }
    void TearDown() override {
        support::UnloadForm(kInnerForm);
        support::UnloadForm(kOuterForm);
        support::UnloadForm(kTimerForm);
    }
};

TEST(RuntimeErrorText, ShowsOnlyTheLinesItHas) {
    EXPECT_EQ(app::RuntimeErrorText(6, L"调用DLL命令后发现堆栈错误"),
              L"运行时出错!\r\n\r\n错误代码：6\r\n\r\n错误信息：调用DLL命令后发现堆栈错误\r\n");
    EXPECT_EQ(app::RuntimeErrorText(0, L"载入启动窗口失败"), L"运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n");
    EXPECT_EQ(app::RuntimeErrorText(-3, L""), L"运行时出错!\r\n\r\n错误代码：-3\r\n\r\n");
    EXPECT_EQ(app::OutOfMemoryText(4096), L"分配 4096 字节内存失败!");
}

TEST_F(ShellTest, TimerPeriodRule) {
    ASSERT_TRUE(ui::LoadForm(kTimerWired, nullptr, false));
    EXPECT_EQ(ui::GetPeriod(kTimerClock), 0);
    support::PumpFor(150);
    EXPECT_EQ(gTicks, 0) << "period 0 is stopped";

    ui::SetPeriod(kTimerClock, -5);
    EXPECT_EQ(ui::GetPeriod(kTimerClock), 0) << "a negative period counts as 0";

    // The time the timer counts its period from, by the table's clock.
    const ui::Unit& timer = *ui::FindUnit(kTimerClock);
    support::FakeClock clock(1000000);
    ui::SetPeriod(kTimerClock, 400);
    EXPECT_EQ(timer.startedAt, 1000000u);
    clock.Advance(250);
    ui::SetPeriod(kTimerClock, 400);  // the same value: keeps its phase
    EXPECT_EQ(timer.startedAt, 1000000u) << "rewriting the period restarted the timer";
    ui::SetPeriod(kTimerClock, 500);  // a new value: one full new period
    EXPECT_EQ(timer.startedAt, 1000250u);
    EXPECT_TRUE(support::PumpUntil([] { return gTicks > 0; }, 5000)) << "a running timer ticks";

    ui::SetPeriod(kTimerClock, 0);
    gTicks = 0;
    support::PumpFor(700);
    EXPECT_EQ(gTicks, 0) << "0 stops the timer";
}

// The aim window holds the mouse: a press on a monitor left of or above it
// comes at negative places.
TEST_F(ShellTest, APressLeftOfAndAboveTheWindowComesAtNegativePlaces) {
    ASSERT_TRUE(ui::LoadForm(kPressWired, nullptr, false));
    SendMessageW(ui::FormHandle(kTimerForm), WM_LBUTTONDOWN, 0, MAKELPARAM(-300, -2));
    EXPECT_EQ(gPress.x, -300);
    EXPECT_EQ(gPress.y, -2);
}

TEST_F(ShellTest, ModalLoadKeepsOuterTimersAndClosesByPost) {
    ASSERT_TRUE(ui::LoadForm(kOuterWired, nullptr, false));
    HWND outer = ui::FormHandle(kOuterForm);
    ASSERT_TRUE(IsWindowEnabled(outer));

    // Returns only once the inner form has closed itself from its third tick.
    ASSERT_TRUE(ui::LoadForm(kInnerWired, nullptr, true));
    EXPECT_EQ(ui::FindForm(kInnerForm), nullptr);
    EXPECT_TRUE(IsWindowEnabled(outer));
    EXPECT_GT(gOuterTicks, 0) << "the outer timer stopped during the modal load";
    EXPECT_LT(gOuterTicks, 300) << "the inner form did not close itself";

    ASSERT_FALSE(gLog.empty());
    EXPECT_EQ(gLog[gLog.size() - 2], L"closed, still there");
    EXPECT_EQ(gLog.back(), L"destroying: outer enabled");
    for (std::size_t i = 0; i + 2 < gLog.size(); ++i) EXPECT_EQ(gLog[i], L"outer tick: disabled");
}

TEST_F(ShellTest, LoadingALiveFormMakesNoSecondCopy) {
    ASSERT_TRUE(ui::LoadForm(kOuterWired, nullptr, false));
    HWND first = ui::FormHandle(kOuterForm);
    ShowWindow(first, SW_MINIMIZE);
    ASSERT_TRUE(ui::LoadForm(kOuterWired, nullptr, false));
    EXPECT_EQ(ui::FormHandle(kOuterForm), first);
    EXPECT_FALSE(IsIconic(first)) << "a minimised form is restored";
}

TEST_F(ShellTest, ParentThatIsGoneFailsTheLoad) {
    HWND gone = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    EXPECT_FALSE(ui::LoadForm(kOuterWired, gone, false));
    EXPECT_EQ(ui::FindForm(kOuterForm), nullptr);
}

std::vector<std::wstring> gReports;
void CatchReport(int code, const std::wstring& message) {
    gReports.push_back(std::to_wstring(code) + L":" + message);
}

TEST_F(ShellTest, FormsThatAreNotLoadedAreReported) {
    gReports.clear();
    app::ErrorSink previous = app::SetErrorSinkForTests(CatchReport);
    ui::CloseForm(kInnerForm);
    ui::SetCaption(ui::UnitRef{&kOuterForm, "标签9"}, L"x");
    app::SetErrorSinkForTests(previous);
    ASSERT_EQ(gReports.size(), 2u);
    EXPECT_EQ(gReports[0], L"0:指定窗口或窗口组件不存在或尚未载入");
    EXPECT_EQ(gReports[1], gReports[0]);
}

// The table's unloads at shutdown, and those that found a form's window.
int gUnloads = 0;
int gUnloadsUnderWindows = 0;
void CheckUnload(HMODULE) {
    ++gUnloads;
    for (const auto& form : ui::LoadedForms()) {
        if (IsWindow(form->hwnd)) {
            ++gUnloadsUnderWindows;
            break;
        }
    }
}

// A fatal run ends with its windows still there, and the table may hold the
// last reference to the common controls that run them. Shutdown runs once in
// a process, so here in a child of the test.
TEST(ShutdownDeathTest, NoTableModuleIsUnloadedWhileAFormsWindowExists) {
    EXPECT_EXIT({
        support::EnsureShell();  // binds the common controls through the table
        ui::LoadForm(kOuterWired, nullptr, false);
        sysfn::Loader loader = sysfn::SystemLoader();
        loader.unload = CheckUnload;  // records, frees nothing
        sysfn::SetLoader(loader);
        app::Shutdown();
        std::fprintf(stderr, "unloads %d, with a window %d\n", gUnloads, gUnloadsUnderWindows);
        std::exit(gUnloads > 0 && gUnloadsUnderWindows == 0 ? 0 : 1);
    }, ::testing::ExitedWithCode(0), "");
}

}  // namespace

namespace {

TEST(OutOfMemory, IsReportedWithTheSizeAskedFor) {
    gReports.clear();
    app::ErrorSink previous = app::SetErrorSinkForTests(CatchReport);
    const std::size_t huge = static_cast<std::size_t>(-1) / 4;
    void* volatile block = ::operator new(huge);
    app::SetErrorSinkForTests(previous);
    (void)block;
    ASSERT_EQ(gReports.size(), 1u);
    EXPECT_EQ(gReports[0], L"0:分配 " + std::to_wstring(huge) + L" 字节内存失败!");
}

}  // namespace
