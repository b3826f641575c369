// Answering without the keyboard, and the integrity levels that decide whether
// a click or a key may reach another program at all.
#include "tests/support/standin.h"
#include "tests/support/probe.h"
#include "winkit/answer.h"
#include "winkit/integrity.h"
#include "winkit/text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Mnemonic, OnlyAnAmpersandBeforeTheLetterMarksIt) {
    struct Case {
        const wchar_t* text;
        bool marked;
    };
    const Case cases[] = {
        {L"否(&N)", true},
        {L"&no", true},
        {L"Say &n", true},
        {L"是(&Y)", false},
        {L"N", false},
        {L"&&N", false},      // a literal ampersand, then N
        {L"&&&N", true},      // a literal ampersand, then the mnemonic
        {L"否&", false},      // an ampersand at the very end
        {L"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(winkit::HasMnemonic(c.text, 'N'), c.marked) << c.text;
}

TEST(PostedClick, NeverToNothingOrEveryWindow) {
    EXPECT_EQ(winkit::PostButtonClick(0), static_cast<uint32_t>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(winkit::PostButtonClick(0xFFFF), static_cast<uint32_t>(ERROR_INVALID_WINDOW_HANDLE));
    MSG stray;
    EXPECT_FALSE(PeekMessageW(&stray, reinterpret_cast<HWND>(-1), BM_CLICK, BM_CLICK, PM_REMOVE));
}

// Each kind of button as its own click leaves it: the automatic toggles change
// their state before the notice; a group box is never clicked.
using PostedClickOf = support::WindowsTest;
TEST_F(PostedClickOf, EachKindOfButtonAsItsClickLeavesIt) {
    HWND parent = Make(L"AnswerTestParent", L"", false);
    const struct {
        DWORD kind;
        WPARAM from, to;
    } cases[] = {
        {BS_CHECKBOX, BST_UNCHECKED, BST_UNCHECKED},  // its parent sets the state
        {BS_AUTOCHECKBOX, BST_CHECKED, BST_UNCHECKED},
        {BS_AUTORADIOBUTTON, BST_CHECKED, BST_CHECKED},
        {BS_AUTO3STATE, BST_CHECKED, BST_INDETERMINATE},
        {BS_AUTO3STATE, BST_INDETERMINATE, BST_UNCHECKED},
        {BS_GROUPBOX, BST_UNCHECKED, BST_UNCHECKED},
    };
    for (const auto& c : cases) {
        HWND button = CreateWindowExW(0, L"Button", L"", WS_CHILD | c.kind, 0, 0, 20, 20, parent, nullptr, nullptr, nullptr);
        SendMessageW(button, BM_SETCHECK, c.from, 0);
        const uint32_t result = c.kind == BS_GROUPBOX ? winkit::kButtonIsGroupBox : 0;
        EXPECT_EQ(winkit::PostButtonClick(winkit::HandleToInt(button)), result) << c.kind;
        support::PumpFor(20);
        EXPECT_EQ(SendMessageW(button, BM_GETCHECK, 0, 0), static_cast<LRESULT>(c.to)) << c.kind << " from " << c.from;
        DestroyWindow(button);
    }
}

// A token's label as the fake hands it out: the reported size and the SID's
// sub-authority count are what a careless reader trusts.
DWORD gFilled = 0;
BYTE gCount = 1;
BOOL WINAPI ForgedLabel(HANDLE, TOKEN_INFORMATION_CLASS, void* buffer, DWORD size, DWORD* filled) {
    const DWORD needed = sizeof(TOKEN_MANDATORY_LABEL) + 12;
    if (size < needed) return FALSE;
    BYTE* sid = static_cast<BYTE*>(buffer) + sizeof(TOKEN_MANDATORY_LABEL);
    const BYTE header[8] = {1, gCount, 0, 0, 0, 0, 0, 16};
    CopyMemory(sid, header, sizeof header);
    const DWORD level = 0x3000;
    CopyMemory(sid + 8, &level, sizeof level);
    static_cast<TOKEN_MANDATORY_LABEL*>(buffer)->Label.Sid = sid;
    *filled = gFilled ? gFilled : needed;
    return TRUE;
}

TEST(Integrity, ReadFromTheTokenAndNeverBeyondIt) {
    const int32_t ours = winkit::ProcessIntegrity(0);
    EXPECT_GT(ours, 0);
    EXPECT_EQ(winkit::ProcessIntegrity(GetCurrentProcessId()), ours);
    EXPECT_EQ(winkit::ProcessIntegrity(0xFFFFFFF0u), -1) << "no such process";

    support::Client client;
    ASSERT_TRUE(support::StartClient(client));
    EXPECT_EQ(winkit::ProcessIntegrity(client.process.dwProcessId), ours);
    EXPECT_FALSE(winkit::OutranksUs(client.dialButton)) << "same rights";
    support::StopClient(client);

    support::TableFake forged(sysfn::kGetTokenInformation, reinterpret_cast<void*>(&ForgedLabel));
    gFilled = 0;
    gCount = 1;
    EXPECT_EQ(winkit::ProcessIntegrity(0), 0x3000);
    gCount = 0;
    EXPECT_EQ(winkit::ProcessIntegrity(0), -1) << "a SID without sub-authorities";
    gCount = 40;
    EXPECT_EQ(winkit::ProcessIntegrity(0), -1) << "sub-authorities beyond what was filled";
    gCount = 1;
    gFilled = 4096;
    EXPECT_EQ(winkit::ProcessIntegrity(0), -1) << "a size beyond the buffer";
    gFilled = 0;
}

}  // namespace
