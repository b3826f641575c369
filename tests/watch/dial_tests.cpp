// The click and the prompt answer where a real system gets in the way: a
// client of higher rights, a restarted client, a key that can't land, the
// aim drag. What Wine can't show is made through the table's fakes.
#include "ui/runtime.h"
#include "app/wiring.h"
#include "tests/support/fake_network_list.h"
#include "tests/support/program.h"
#include "tests/support/pump.h"
#include "tests/support/standin.h"
#include "tests/support/probe.h"
#include "ui/loaded.h"
#include "ui/messages.h"
#include "ui/props.h"
#include "watch/elevation.h"
#include "watch/watch.h"
#include "winkit/instance.h"
#include "winkit/text.h"
#include "winkit/window_events.h"

#include <gtest/gtest.h>

#include <map>
#include <thread>
#include <string>
#include <vector>

namespace {

using support::TableFake;
using ui::kMainForm;

// The offer's box and the restart, recorded.
int gBoxes = 0;
int gBoxAnswer = IDNO;
int gRestarts = 0;
BOOL gRestartWorks = TRUE;
std::wstring gVerb, gFile, gParameters;
ULONG gMask = 0;
HWND gOwner = nullptr;

int WINAPI AnswerBox(HWND, LPCWSTR, LPCWSTR, UINT) {
    ++gBoxes;
    return gBoxAnswer;
}
BOOL WINAPI RecordRestart(SHELLEXECUTEINFOW* info) {
    ++gRestarts;
    gVerb = info->lpVerb ? info->lpVerb : L"";
    gFile = info->lpFile ? info->lpFile : L"";
    gParameters = info->lpParameters ? info->lpParameters : L"";
    gMask = info->fMask;
    gOwner = info->hwnd;
    return gRestartWorks;
}
// What a higher-rights client's message queue answers a lower program.
BOOL WINAPI RefusePost(HWND, UINT, WPARAM, LPARAM) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

// Integrity levels by whose token it is.
int32_t gOurLevel = 0x2000;
int32_t gTheirLevel = 0x2000;
std::map<HANDLE, bool> gTokenIsOurs;
BOOL WINAPI OpenTokenOfEither(HANDLE process, DWORD access, HANDLE* token) {
    if (!OpenProcessToken(GetCurrentProcess(), access, token)) return FALSE;
    gTokenIsOurs[*token] = process == GetCurrentProcess();
    return TRUE;
}
void CloseTokens() {
    for (auto& entry : gTokenIsOurs) CloseHandle(entry.first);
    gTokenIsOurs.clear();
}
BOOL WINAPI GiveLevel(HANDLE token, TOKEN_INFORMATION_CLASS, void* buffer, DWORD size, DWORD* filled) {
    const int32_t level = gTokenIsOurs[token] ? gOurLevel : gTheirLevel;
    const DWORD needed = sizeof(TOKEN_MANDATORY_LABEL) + 12;
    if (level < 0 || size < needed) return FALSE;
    auto* label = static_cast<TOKEN_MANDATORY_LABEL*>(buffer);
    BYTE* sid = static_cast<BYTE*>(buffer) + sizeof(TOKEN_MANDATORY_LABEL);
    const BYTE header[8] = {1, 1, 0, 0, 0, 0, 0, 16};  // S-1-16-level
    CopyMemory(sid, header, sizeof header);
    CopyMemory(sid + 8, &level, 4);
    label->Label.Sid = sid;
    label->Label.Attributes = 0;
    *filled = needed;
    return TRUE;
}

// A SendInput that takes nothing, as on a locked desktop, and counts its
// calls, and those after a restart as administrator.
int gInputs = 0;
int gInputsAfterRestart = 0;
UINT WINAPI TakeNothing(UINT, LPINPUT, int) {
    ++gInputs;
    gInputsAfterRestart += gRestarts;
    return 0;
}

class DialTest : public support::MainFormSuite {
protected:
    void SetUp() override {
        gBoxes = gRestarts = 0;
        gBoxAnswer = IDNO;
        gRestartWorks = TRUE;
        gOurLevel = gTheirLevel = 0x2000;
        support::SetLinkState(false);
    }
    void TearDown() override {
        support::SetLinkState(true);
        winkit::UnhookDialogEvents();
        ui::SetPeriod(ui::kPromptTimer, ui::kPromptPeriod);  // for a case that stopped it
    }
    void StartOn(HWND button) {
        ui::SetContent(ui::kTargetBox, support::HandleText(button));
        watch::Start(state, ui::EventArgs());
    }

    TableFake<sysfn::kMessageBoxW> box_{&AnswerBox};
    TableFake<sysfn::kShellExecuteExW> shell_{&RecordRestart};
};

TEST_F(DialTest, AClickRefusedForWantOfRightsIsNotCountedAndTheRestartIsOfferedOnce) {
    StartOn(client.dialButton);
    ASSERT_EQ(gBoxes, 0) << "client and program run with the same rights";
    const std::wstring before = Caption(ui::kRedialCount);
    {
        TableFake<sysfn::kPostMessageW> refuse(&RefusePost);
        watch::WatchTick(state, ui::EventArgs());
        watch::WatchTick(state, ui::EventArgs());
    }
    EXPECT_EQ(state.redialCount, 0);
    EXPECT_EQ(Caption(ui::kRedialCount), before);
    EXPECT_EQ(Caption(ui::kTargetLine), L"点击被拒：客户端权限高");
    EXPECT_EQ(gBoxes, 1) << "the offer is made once";
    EXPECT_EQ(gRestarts, 0) << "the user said no";

    // Once the click goes through again it counts and the handle is back in view.
    watch::WatchTick(state, ui::EventArgs());
    EXPECT_EQ(state.redialCount, 1);
    EXPECT_EQ(Caption(ui::kTargetLine), L"拔号按钮句柄为：" + support::HandleText(client.dialButton));
}

// The one-watcher guard, as the program names its own, taken by another
// thread as the restarted instance would take it.
constexpr wchar_t kGuard[] = L"Local\\autoredial.test-hand-over";
bool GuardIsFree() {
    bool free = false;
    std::thread successor([&] {
        HANDLE guard = CreateMutexW(nullptr, FALSE, kGuard);
        const DWORD waited = guard ? WaitForSingleObject(guard, 0) : WAIT_FAILED;
        free = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
        if (free) ReleaseMutex(guard);
        if (guard) CloseHandle(guard);
    });
    successor.join();
    return free;
}

// Yes restarts as administrator with the watch as arguments. The second time
// the drop is one that the manager alone sees, after one click that went: the
// instance started with those arguments clicks at its first tick and counts on.
TEST_F(DialTest, YesRestartsAsAdministratorAndTheNewInstanceCarriesOn) {
    support::FakeNetworkList manager;
    StartOn(client.dialButton);
    gBoxAnswer = IDYES;
    gRestartWorks = FALSE;  // the user declined the system's own question
    {
        TableFake<sysfn::kPostMessageW> refuse(&RefusePost);
        watch::WatchTick(state, ui::EventArgs());
    }
    EXPECT_EQ(gRestarts, 1);
    EXPECT_EQ(Caption(ui::kTargetLine), L"未能以管理员身份重启");
    EXPECT_FALSE(ui::FindForm(kMainForm)->closing);

    state.elevationOffered = false;
    gRestartWorks = TRUE;
    ASSERT_EQ(winkit::ClaimInstance(kGuard, 0), winkit::Instance::First);
    for (const char* tick = "xinn"; *tick; ++tick) {
        support::SetLinkState(*tick != 'x');
        manager.AnswerAs(*tick);
        TableFake<sysfn::kPostMessageW> refuse(tick[1] ? &::PostMessageW : &RefusePost);
        watch::WatchTick(state, ui::EventArgs());
    }
    ASSERT_EQ(gRestarts, 2);
    // The new instance may watch at once, though this one has not even begun to close.
    EXPECT_TRUE(GuardIsFree()) << "the guard is held until the window has closed";
    ASSERT_TRUE(ui::FindForm(kMainForm)) << "the main window is still there";
    const int clicks = support::ClickCount(client);
    watch::WatchTick(state, ui::EventArgs());
    EXPECT_EQ(state.redialCount, 1) << "a tick after the hand-over clicked";
    wchar_t ownPath[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, ownPath, MAX_PATH);
    EXPECT_EQ(gVerb, L"runas");
    EXPECT_EQ(gFile, ownPath);
    EXPECT_EQ(gParameters, L"/redial-target:" + support::HandleText(client.dialButton) +
                               L" /redial-count:1 /link-memory:1,2,0,0");
    EXPECT_TRUE(gMask & SEE_MASK_NOASYNC) << "this instance closes right after the call";
    EXPECT_EQ(gOwner, ui::FormHandle(kMainForm)) << "the consent prompt opens in front of the main window";
    EXPECT_TRUE(support::PumpUntil([] { return ui::FindForm(kMainForm) == nullptr; }, 2000))
        << "this instance closes";
    support::PumpFor(200);  // the client has read whatever was posted to it
    EXPECT_EQ(support::ClickCount(client), clicks) << "a tick after the hand-over clicked";
    ASSERT_TRUE(support::LoadMainForm());

    state = watch::Watch();
    watch::TakeRestartArguments(state, gParameters);
    EXPECT_EQ(Caption(ui::kRedialCount), L"已拔1次");
    watch::WatchTick(state, ui::EventArgs());
    EXPECT_EQ(Caption(ui::kRedialCount), L"已拔2次");
    EXPECT_TRUE(support::PumpUntil([&] { return support::ClickCount(client) == clicks + 1; }, 3000));
}

// 时钟1's tick, dispatched inside the waits of a look that types its key, has
// its click refused: the offer comes once the look has ended, and after yes
// nothing more is typed or posted.
TEST_F(DialTest, AnOfferAskedForInsideALookIsMadeAfterItAndNothingFollowsTheHandOver) {
    StartOn(client.dialButton);
    support::FakeClock clock;
    ui::SetPeriod(ui::kPromptTimer, 0);
    HWND prompt = support::RaisePrompt(client, L"提示", zorvic::kPromptOwned | zorvic::kPromptKeyboardOnly);
    ASSERT_TRUE(prompt);
    watch::PromptTick(state, ui::EventArgs());  // the letter, posted
    clock.Advance(3 * ui::kPromptPeriod);
    gBoxAnswer = IDYES;
    gInputs = gInputsAfterRestart = 0;
    ASSERT_EQ(winkit::ClaimInstance(kGuard, 0), winkit::Instance::First);
    TableFake<sysfn::kSendInput> input(&TakeNothing);
    TableFake<sysfn::kSendMessageTimeoutW> probe(&support::PatientSend);
    {
        TableFake<sysfn::kPostMessageW> refuse(&RefusePost);
        PostMessageW(ui::FindUnit(ui::kWatchTimer)->hwnd, WM_TIMER, ui::kTimerId, 0);
        watch::PromptTick(state, ui::EventArgs());
    }
    EXPECT_EQ(gRestarts, 1);
    EXPECT_EQ(gInputs, 1) << "the look typed its key before the offer";
    EXPECT_EQ(gInputsAfterRestart, 0);
    EXPECT_TRUE(support::PumpUntil([] { return ui::FindForm(kMainForm) == nullptr; }, 2000));
    PostMessageW(prompt, WM_CLOSE, 0, 0);
    ASSERT_TRUE(support::LoadMainForm());
}

TEST_F(DialTest, AtStartAClientOfHigherRightsIsRecognised) {
    TableFake<sysfn::kOpenProcessToken> token(&OpenTokenOfEither);
    TableFake<sysfn::kGetTokenInformation> level(&GiveLevel);
    struct Case {
        int32_t ours, theirs;
        int boxes;
    };
    for (const Case& c : {Case{0x2000, 0x2000, 0}, Case{0x3000, 0x2000, 0}, Case{-1, 0x3000, 0},
                          Case{0x2000, -1, 0}, Case{0x2000, 0x3000, 1}}) {
        gOurLevel = c.ours;
        gTheirLevel = c.theirs;
        gBoxes = 0;
        state.elevationOffered = false;
        StartOn(client.dialButton);
        EXPECT_EQ(gBoxes, c.boxes) << std::hex << c.ours << " " << c.theirs;
    }
    StartOn(client.dialButton);
    EXPECT_EQ(gBoxes, 1) << "offered once only";
    CloseTokens();
}

// A top-level window of this program with a child "Button" of the client's
// control ID: what a reused handle may name.
int gForeignClicks = 0;
LRESULT CALLBACK CountCommands(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) ++gForeignClicks;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST_F(DialTest, TheSameButtonIsFoundAfterTheClientRestarts) {
    StartOn(client.dialButton);
    const HWND old = client.dialButton;
    support::StopClient(client);
    watch::WatchTick(state, ui::EventArgs());
    watch::WatchTick(state, ui::EventArgs());
    EXPECT_EQ(Caption(ui::kTargetLine), L"拔号客户端未运行");
    EXPECT_EQ(state.redialCount, 0);

    ASSERT_TRUE(support::StartClient(client));
    ASSERT_NE(client.dialButton, old);
    watch::WatchTick(state, ui::EventArgs());
    EXPECT_EQ(state.dialTarget, winkit::HandleToInt(client.dialButton));
    EXPECT_EQ(Caption(ui::kTargetLine), L"拔号按钮句柄为：" + support::HandleText(client.dialButton));
    EXPECT_EQ(state.redialCount, 1);
    EXPECT_TRUE(support::PumpUntil([&] { return support::ClickCount(client) == 1; }, 3000));

    // The handle now names a look-alike of another program: the client's
    // button is clicked, not it.
    WNDCLASSW cls = {};
    cls.lpfnWndProc = CountCommands;
    cls.lpszClassName = L"DialTestLookAlike";
    RegisterClassW(&cls);
    HWND parent = CreateWindowExW(0, cls.lpszClassName, L"Zorvic 宽带客户端", WS_POPUP, 0, 0, 100, 60, nullptr,
                                  nullptr, nullptr, nullptr);
    HWND lookAlike = CreateWindowExW(0, L"Button", L"拨号", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, parent,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(100)), nullptr, nullptr);
    state.dialTarget = winkit::HandleToInt(lookAlike);
    gForeignClicks = 0;
    watch::WatchTick(state, ui::EventArgs());
    support::PumpFor(200);
    EXPECT_EQ(gForeignClicks, 0);
    EXPECT_EQ(state.dialTarget, winkit::HandleToInt(client.dialButton));
    EXPECT_TRUE(support::PumpUntil([&] { return support::ClickCount(client) == 2; }, 3000));
    DestroyWindow(parent);
}

// A thread the system counts hung: Wine counts it so only after 5 s.
BOOL WINAPI CountHung(HWND) { return TRUE; }

// A prompt with its 否, by mnemonic or by IDNO, gets that button's click by a
// posted message and no key, whatever the desk is like: no SendInput at all.
// While it stays open it is clicked once a prompt period, not at every look,
// and not while its client counts hung.
TEST_F(DialTest, APromptWithItsNoIsClickedByAPostedMessageAndNeverTyped) {
    struct Case {
        int flags;
        std::vector<DWORD> looksAt;  // ms from the first look
        DWORD hungAt;                // the look at which the client counts hung (0: none)
        int clicks;
    };
    const Case cases[] = {
        {0, {0}, 0, 1},
        {zorvic::kPromptNoMnemonic, {0}, 0, 1},  // 是 and 否 without mnemonics: IDNO
        {zorvic::kPromptStaysOpen, {0, 30, 250, 1000, 2000, 3000}, 2000, 3},
    };
    support::FakeClock clock;
    TableFake<sysfn::kSendInput> input(&TakeNothing);
    gInputs = 0;
    ui::SetPeriod(ui::kPromptTimer, 0);  // the looks are the test's
    for (const Case& c : cases) {
        const int buttons = support::ButtonAnswerCount(client);
        HWND prompt = support::RaisePrompt(client, L"提示", c.flags | zorvic::kPromptInBackground);
        ASSERT_TRUE(prompt);
        for (DWORD at : c.looksAt) {
            clock.Set(2000000 + at);
            TableFake<sysfn::kIsHungAppWindow> hung(at == c.hungAt ? &CountHung : &::IsHungAppWindow);
            watch::SearchSoon(state);
        }
        EXPECT_TRUE(support::PumpUntil([&] { return support::ButtonAnswerCount(client) - buttons == c.clicks; }, 3000))
            << "flags " << c.flags;
        if (c.flags & zorvic::kPromptStaysOpen) PostMessageW(prompt, WM_CLOSE, 0, 0);
        EXPECT_TRUE(support::PumpUntil([&] { return !IsWindow(prompt); }, 3000)) << "flags " << c.flags;
        EXPECT_EQ(support::ButtonAnswerCount(client) - buttons, c.clicks) << "flags " << c.flags;
    }
    EXPECT_EQ(gInputs, 0) << "no key was typed";
}

// A prompt without 否 that takes a typed N alone: the N is posted first, and
// typed only three prompt periods later, into the prompt. Its client is slow
// over its first focus from outside: the key's focus step holds a thread of
// ours, never the watcher, and the key goes once the focus is in the prompt.
TEST_F(DialTest, APromptWithoutNoIsPostedItsLetterAndTypedItThreePeriodsOn) {
    support::FakeClock clock;
    TableFake<sysfn::kSendInput> input(&support::CountingSendInput);
    TableFake<sysfn::kSendMessageTimeoutW> probe(&support::PatientSend);
    support::gCallCounts = support::CallCounts();
    ui::SetPeriod(ui::kPromptTimer, 0);
    const int keys = support::AnsweredCount(client);
    const int chars = support::BoxCharCount(client);
    HWND prompt = support::RaisePrompt(client, L"提示",
                                       zorvic::kPromptOwned | zorvic::kPromptKeyboardOnly | zorvic::kPromptInBackground |
                                           zorvic::kPromptSlowFocus);
    ASSERT_TRUE(prompt);
    watch::PromptTick(state, ui::EventArgs());
    EXPECT_TRUE(support::PumpUntil([&] { return support::AnsweredCount(client) - keys == 1; }, 3000)) << "posted";
    for (DWORD at : {1000u, 2000u, 2900u}) {
        clock.Set(1000000 + at);
        watch::PromptTick(state, ui::EventArgs());
    }
    support::HoldMeter meter;
    clock.Set(1000000 + 3000);
    watch::PromptTick(state, ui::EventArgs());
    EXPECT_LT(meter.Longest(), 700u) << "the client slow over its focus held the watcher (1.2 s)";
    EXPECT_EQ(support::gCallCounts.inputs, 0) << "no key before the focus is in the prompt";
    support::PumpFor(zorvic::kSlowFocusMs + 200);
    clock.Advance(ui::kPromptPeriod);
    watch::PromptTick(state, ui::EventArgs());
    EXPECT_EQ(support::gCallCounts.inputs, 1);
    EXPECT_TRUE(support::PumpUntil([&] { return !IsWindow(prompt); }, 3000)) << "typed";
    support::PumpFor(200);
    EXPECT_EQ(support::AnsweredCount(client) - keys, 2);
    EXPECT_EQ(support::BoxCharCount(client), chars) << "no key astray";
}

// Windows refuses the posted answer as well as the key: the prompt stays, and
// the restart as administrator is offered.
TEST_F(DialTest, APromptOfAClientOfHigherRightsGetsNoKeyAndTheOffer) {
    TableFake<sysfn::kOpenProcessToken> token(&OpenTokenOfEither);
    TableFake<sysfn::kGetTokenInformation> level(&GiveLevel);
    TableFake<sysfn::kSendInput> input(&TakeNothing);
    gTheirLevel = 0x3000;
    gInputs = 0;
    HWND front = ui::FormHandle(kMainForm);
    ASSERT_TRUE(support::MakeForeground(front));
    support::FakeClock clock;
    HWND prompt = nullptr;
    {
        // The form's own prompt ticks meet the same refusal.
        TableFake<sysfn::kPostMessageW> refuse(&RefusePost);
        prompt = support::RaisePrompt(client, L"提示", zorvic::kPromptInBackground);
        ASSERT_TRUE(prompt);
        watch::PromptTick(state, ui::EventArgs());
        watch::PromptTick(state, ui::EventArgs());
        support::PumpFor(100);
        EXPECT_TRUE(IsWindow(prompt));
    }
    EXPECT_EQ(gInputs, 0) << "no key is typed for it";
    EXPECT_EQ(GetForegroundWindow(), front);
    EXPECT_EQ(gBoxes, 1) << "the offer is made once";
    EXPECT_EQ(gRestarts, 0) << "the user said no";
    clock.Advance(ui::kPromptPeriod);
    watch::PromptTick(state, ui::EventArgs());  // a period on, the post goes through
    EXPECT_TRUE(support::PumpUntil([&] { return !IsWindow(prompt); }, 2000));
    CloseTokens();
}

// The offer's box runs its own loop; the prompt ticks go on behind it, also
// when the search that the hook brought forward made the offer.
HWND gPromptToClose = nullptr;
std::wstring gPromptLineInBox;
int WINAPI BoxWhileThePromptCloses(HWND, LPCWSTR, LPCWSTR, UINT) {
    ++gBoxes;
    PostMessageW(gPromptToClose, WM_CLOSE, 0, 0);  // the user closes it meanwhile
    support::PumpUntil([] { return ui::GetCaption(ui::kPromptLine) == L"出现提示窗口句柄：-1"; }, 10000);
    gPromptLineInBox = ui::GetCaption(ui::kPromptLine);
    return IDNO;
}

TEST_F(DialTest, AnOfferFromTheHooksSearchLeavesThePromptTicksRunning) {
    TableFake<sysfn::kOpenProcessToken> token(&OpenTokenOfEither);
    TableFake<sysfn::kGetTokenInformation> level(&GiveLevel);
    TableFake<sysfn::kPostMessageW> refuse(&RefusePost);
    TableFake<sysfn::kMessageBoxW> box(&BoxWhileThePromptCloses);
    gTheirLevel = 0x3000;
    gPromptToClose = support::RaisePrompt(client, L"提示", zorvic::kPromptInBackground);
    ASSERT_TRUE(gPromptToClose);
    watch::SearchSoon(state);
    EXPECT_EQ(gBoxes, 1);
    EXPECT_EQ(gPromptLineInBox, L"出现提示窗口句柄：-1");
    CloseTokens();
}

// Clients disable their dial button while they dial or hang up.
TEST_F(DialTest, ADisabledDialButtonGetsNothingUntilItIsEnabled) {
    StartOn(client.dialButton);
    const int clicks = support::ClickCount(client);
    EnableWindow(client.dialButton, FALSE);
    watch::WatchTick(state, ui::EventArgs());
    support::PumpFor(200);
    EXPECT_EQ(support::ClickCount(client), clicks);
    EXPECT_EQ(state.redialCount, 0);
    EXPECT_EQ(Caption(ui::kTargetLine), L"拔号按钮不可用");

    EnableWindow(client.dialButton, TRUE);
    watch::WatchTick(state, ui::EventArgs());
    EXPECT_TRUE(support::PumpUntil([&] { return support::ClickCount(client) == clicks + 1; }, 2000));
    EXPECT_EQ(state.redialCount, 1);
    EXPECT_EQ(Caption(ui::kTargetLine), L"拔号按钮句柄为：" + support::HandleText(client.dialButton));
}

TEST_F(DialTest, DuringTheAimDragThePromptTickTakesNoForeground) {
    ASSERT_TRUE(ui::LoadForm(app::kAimWiring, nullptr, false));
    HWND aim = ui::FormHandle(ui::kAimForm);
    HWND prompt = support::RaisePrompt(client, L"提示", zorvic::kPromptInBackground);
    ASSERT_TRUE(prompt);
    support::PumpUntil([&] { return GetForegroundWindow() == aim || (SetForegroundWindow(aim), false); }, 2000);
    ASSERT_EQ(GetForegroundWindow(), aim);
    const int keys = support::AnsweredCount(client);
    watch::PromptTick(state, ui::EventArgs());
    EXPECT_EQ(GetForegroundWindow(), aim);
    EXPECT_TRUE(support::PumpUntil([&] { return !IsWindow(prompt); }, 2000));
    EXPECT_EQ(support::AnsweredCount(client), keys) << "no key was typed";
    ui::CloseForm(ui::kAimForm);
    support::PumpUntil([] { return ui::FindForm(ui::kAimForm) == nullptr; }, 2000);
}

// A key typed into a prompt without 否 waits in the client's queue while the
// next look comes: the client is busy, hung (faked: Wine counts 5 s), or
// answers one probe and then turns busy again. Nothing is posted then: the
// client would read it first, and a post that closed the prompt would let
// the key land in the box that takes the focus after it.
TEST_F(DialTest, NoPostOvertakesAKeyStillInTheQueue) {
    struct Case {
        int flags;
        bool hung;
    };
    const Case cases[] = {
        {zorvic::kPromptBusyAfterKey, false},
        {zorvic::kPromptBusyAfterKey, true},
        {zorvic::kPromptProbedThenBusy, false},
    };
    ui::SetPeriod(ui::kPromptTimer, 0);  // the looks are the test's
    for (const Case& c : cases) {
        const int chars = support::BoxCharCount(client);
        HWND prompt = support::RaisePrompt(client, L"提示", zorvic::kPromptOwned | zorvic::kPromptKeyboardOnly | c.flags);
        ASSERT_TRUE(prompt);
        support::FakeClock clock;
        watch::SearchSoon(state);  // the letter, posted
        clock.Advance(3 * ui::kPromptPeriod);
        {
            TableFake<sysfn::kSendMessageTimeoutW> probe(&support::PatientSend);
            watch::PromptTick(state, ui::EventArgs());
        }
        ASSERT_EQ(state.promptAnswer.way, watch::AnswerWay::Keyed);
        if (c.flags & zorvic::kPromptProbedThenBusy) {
            ASSERT_TRUE(support::PumpUntil([&] { return support::ClientAwaitsProbe(client); }, 3000));
        } else {
            ASSERT_TRUE(support::WaitUntilClientBusy(client, 3000));
        }
        // 时钟3's tick, a whole period after the key, while the key still waits.
        clock.Advance(ui::kPromptPeriod);
        support::gCallCounts = support::CallCounts();
        {
            TableFake<sysfn::kIsHungAppWindow> hung(c.hung ? &CountHung : &::IsHungAppWindow);
            TableFake<sysfn::kPostMessageW> posts(&support::CountingPost);
            watch::PromptTick(state, ui::EventArgs());
        }
        EXPECT_EQ(support::gCallCounts.posts, 0) << c.flags;
        EXPECT_TRUE(support::PumpUntil([&] { return !IsWindow(prompt); }, 5000)) << c.flags << ": answered by its key";
        support::PumpFor(200);
        EXPECT_EQ(support::BoxCharCount(client), chars) << c.flags << ": no key astray";
    }
}

// The client turns busy right after raising its prompt: asleep, or waiting in
// a send of its own, where it answers every message sent to it while it reads
// no input, so that no probe could tell that a key typed into the prompt
// still waits. The looks, as the program runs them (the hook and 时钟3), click
// its 否 by a posted message, type nothing, and are never held by the client.
TEST_F(DialTest, APromptOfABusyClientIsAnsweredNoWithoutAKeyAndHoldsNoLook) {
    ASSERT_TRUE(winkit::HookDialogEvents([] { watch::SearchSoon(app::WiredWatchForTests()); }));
    watch::PromptTick(state, ui::EventArgs());  // the client is followed
    TableFake<sysfn::kSendInput> input(&support::CountingSendInput);
    TableFake<sysfn::kSendMessageTimeoutW> probe(&support::PatientSend);
    support::gCallCounts = support::CallCounts();
    const int chars = support::BoxCharCount(client);
    const int buttons = support::ButtonAnswerCount(client);
    support::HoldMeter meter;
    for (int busy : {zorvic::kPromptBusyAtOnce, zorvic::kPromptBusyAtOnce, zorvic::kPromptWaitsInSend}) {
        HWND prompt = support::RaisePrompt(client, L"提示", zorvic::kPromptOwned | busy);
        ASSERT_TRUE(prompt);
        EXPECT_TRUE(support::PumpUntil([&] { return !IsWindow(prompt); }, zorvic::kSendWaitMs + 3000)) << busy;
        support::PumpFor(300);
    }
    winkit::UnhookDialogEvents();
    EXPECT_EQ(support::ButtonAnswerCount(client) - buttons, 3);
    EXPECT_EQ(support::BoxCharCount(client), chars) << "no key astray";
    EXPECT_EQ(support::gCallCounts.inputs, 0) << "no key was typed";
    EXPECT_EQ(support::gCallCounts.sends, 0) << "the client was probed";
    // A send that waited for the sleeping client would hold the watcher 0.7 s.
    EXPECT_LT(meter.Longest(), 600u) << "ms the watcher was held";
}

TEST_F(DialTest, OnlyTheRestartsOwnArgumentFillsTheBoxAndStarts) {
    watch::Carried carried;
    for (const wchar_t* bad :
         {L"", L"/redial-target:", L"/redial-target:12x", L"x /redial-target:1", L"/REDIAL-TARGET:1",
          L"/redial-target:99999999999", L"/redial-target:+1", L"/redial-target:１", L"/redial-target:1  /redial-count:1",
          L"/redial-target:1 /redial-count:-1", L"/redial-target:1 /link-memory:1,2,0,0 /redial-count:1",
          L"/redial-target:1 /link-memory:1,2,1,0", L"/redial-target:1 /link-memory:1,2,4"}) {
        EXPECT_FALSE(watch::ReadRestartArguments(bad, carried)) << bad;
    }
    EXPECT_TRUE(watch::ReadRestartArguments(L" /redial-target:-2147483648 ", carried));
    EXPECT_EQ(carried.dialTarget, INT32_MIN);
    EXPECT_TRUE(watch::ReadRestartArguments(L"/redial-target:7 /redial-count:2147483647 /link-memory:1,2,8,3", carried));
    EXPECT_EQ(carried.redialCount, INT32_MAX);
    EXPECT_EQ(carried.linkMemory.sinceClick, 3);

    ui::SetContent(ui::kTargetBox, L"");
    watch::TakeRestartArguments(state, L"/redial-targetx:5");
    EXPECT_EQ(ui::GetContent(ui::kTargetBox), L"");
    EXPECT_FALSE(state.watching);

    watch::TakeRestartArguments(state, L"/redial-target:" + support::HandleText(client.dialButton));
    EXPECT_EQ(ui::GetContent(ui::kTargetBox), support::HandleText(client.dialButton));
    EXPECT_EQ(state.dialTarget, winkit::HandleToInt(client.dialButton));
    EXPECT_TRUE(state.watching);
    EXPECT_TRUE(state.elevationOffered) << "the restarted program never offers again";
}

}  // namespace
