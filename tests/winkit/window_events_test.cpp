// The dialog reports of the WinEvent hook: the filter on windows of this
// process, the searches on a prompt of the stand-in client.
#include "tests/support/probe.h"
#include "tests/support/standin.h"
#include "winkit/window_events.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

HWND MakeDialog(DWORD style, HWND parent) {
    return CreateWindowExW(0, WC_DIALOG, L"提示", style, 0, 0, 50, 50, parent, nullptr, GetModuleHandleW(nullptr),
                           nullptr);
}

TEST(WindowEvents, OnlyATopLevelDialogWindowIsReported) {
    HWND dialog = MakeDialog(WS_POPUP, nullptr);
    HWND child = MakeDialog(WS_CHILD, dialog);
    HWND other = support::MakeWindow(L"#327700", L"提示", false);  // a class that starts like the dialog's
    ASSERT_TRUE(dialog && child && other);
    EXPECT_TRUE(winkit::IsDialogReport(EVENT_OBJECT_CREATE, dialog, OBJID_WINDOW, CHILDID_SELF));
    EXPECT_TRUE(winkit::IsDialogReport(EVENT_OBJECT_SHOW, dialog, OBJID_WINDOW, CHILDID_SELF));
    EXPECT_TRUE(winkit::IsDialogReport(EVENT_SYSTEM_DIALOGSTART, dialog, OBJID_WINDOW, CHILDID_SELF));
    EXPECT_FALSE(winkit::IsDialogReport(EVENT_OBJECT_DESTROY, dialog, OBJID_WINDOW, CHILDID_SELF));
    EXPECT_FALSE(winkit::IsDialogReport(EVENT_OBJECT_SHOW, dialog, OBJID_CARET, CHILDID_SELF));
    EXPECT_FALSE(winkit::IsDialogReport(EVENT_OBJECT_SHOW, dialog, OBJID_WINDOW, 1));
    EXPECT_FALSE(winkit::IsDialogReport(EVENT_OBJECT_CREATE, child, OBJID_WINDOW, CHILDID_SELF));
    EXPECT_FALSE(winkit::IsDialogReport(EVENT_OBJECT_CREATE, other, OBJID_WINDOW, CHILDID_SELF));
    EXPECT_FALSE(winkit::IsDialogReport(EVENT_OBJECT_CREATE, nullptr, OBJID_WINDOW, CHILDID_SELF));
    DestroyWindow(other);
    DestroyWindow(dialog);
}

int gSearches = 0;
DWORD gLastSearchAt = 0;

// A followed program's prompt: a search soon, then three more within about a
// quarter of a second. Another program's dialogs are not even reported, until
// it is followed too; and none is after the hook is gone.
TEST(WindowEvents, TheFollowedProgramsPromptsAreSearched) {
    support::Client followed, other;
    ASSERT_TRUE(support::StartClient(followed));
    ASSERT_TRUE(support::StartClient(other));
    winkit::FollowProcesses({followed.process.dwProcessId});
    gSearches = 0;
    ASSERT_TRUE(winkit::HookDialogEvents([] {
        ++gSearches;
        gLastSearchAt = GetTickCount();
    }));
    support::RaisePrompt(other, L"提示", zorvic::kPromptStaysOpen);
    support::PumpFor(600);
    EXPECT_EQ(gSearches, 0);

    support::RaisePrompt(followed, L"提示", zorvic::kPromptStaysOpen);
    EXPECT_TRUE(support::PumpUntil([] { return gSearches >= 4; }, 5000));
    // And then no more. Windows reports the showing and the dialog's start
    // too, each starting over: twelve when the three come apart.
    EXPECT_TRUE(support::PumpUntil([] { return GetTickCount() - gLastSearchAt > 1000; }, 10000));
    EXPECT_LE(gSearches, 12);

    winkit::FollowProcesses({other.process.dwProcessId, followed.process.dwProcessId});
    int searches = gSearches;
    support::RaisePrompt(other, L"提示", zorvic::kPromptStaysOpen);
    EXPECT_TRUE(support::PumpUntil([&] { return gSearches > searches; }, 5000));

    support::PumpFor(400);
    searches = gSearches;
    winkit::UnhookDialogEvents();
    support::RaisePrompt(followed, L"提示", zorvic::kPromptStaysOpen);
    support::PumpFor(400);
    EXPECT_EQ(gSearches, searches);
    winkit::FollowProcesses({});
    support::StopClient(other);
    support::StopClient(followed);
}

}  // namespace
