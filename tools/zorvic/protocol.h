// How a test talks to the stand-in client across processes. Every query is a
// SendMessage to the client's main window and answers in its result.
#pragma once

#include <windows.h>

namespace zorvic {

constexpr wchar_t kMainClass[] = L"ZorvicClientMain";
// The answer that the prompts count: the N key, the mnemonic of their 否(&N)
// button. Written here, not taken from the program, so that every answered
// prompt checks the program's letter.
constexpr UINT kAnswerKey = 'N';
constexpr int kDialButtonId = 100;  // GetDlgItem(main, kDialButtonId)
// A box for the user's name, which takes the keyboard focus whenever the main
// window (of the window shape) is activated, as a login box does.
constexpr int kNameBoxId = 102;

// Command-line arguments. kDialogArgument: the main window is a dialog (class
// "#32770") whose dial button is IDOK and reads 断开. kFrontClicksArgument: the
// dial button loses a BM_CLICK that comes while its window is not in front.
// kGreyedArgument: the dial button is disabled, and framed by a group box that
// lies above it in the z-order. kToggleArgument (the window
// shape only): the dial button is a push-like check box reading 连接, whose
// BN_CLICKED dials when it is checked and hangs up when it is not; a dial
// never brings the link up here, so the box is unchecked again at once.
constexpr wchar_t kDialogArgument[] = L"/dialog";
constexpr wchar_t kFrontClicksArgument[] = L"/front-clicks";
constexpr wchar_t kGreyedArgument[] = L"/greyed";
constexpr wchar_t kToggleArgument[] = L"/toggle";

// WM_COPYDATA to the main window raises a prompt: dwData = PromptFlags,
// lpData = the NUL-terminated UTF-16 title. The result is the prompt's HWND, 0
// when it could not be made; a message box's comes as the box is activated,
// while the box goes on with its own loop.
enum PromptFlags : int {
    kPromptHidden = 1,          // created but never shown
    kPromptStaysOpen = 2,       // its buttons do not close it (its 否(&N) is counted all the same)
    kPromptOtherClass = 4,      // a plain window of another class, not "#32770"
    kPromptSwallowsKeys = 8,    // while it is open, the client's hook eats every injected N
    kPromptNoMnemonic = 16,     // buttons 是 and 否 instead of 是(&Y) and 否(&N)
    kPromptInBackground = 32,   // shown without being activated
    kPromptMessageBox = 64,     // a message box (是/否) of the system
    kPromptOwned = 128,         // a dialog owned by the client's main window
    kPromptBusyAtOnce = 256,    // some 20 ms after it is raised, the client's thread is busy for kBusyMs
    kPromptBusyAfterKey = 512,  // an injected N on its way to it keeps the key queued: busy for kBusyMs
    kPromptProbedThenBusy = 1024,  // the same, but the client first answers one WM_NULL sent to the prompt
                                   // without reading its queue (kQueryAwaitsProbe meanwhile)
    kPromptSlowFocus = 2048,    // its first WM_SETFOCUS keeps the client busy for kSlowFocusMs
    kPromptShownLater = 4096,   // created hidden and shown kShowDelayMs later (kPromptInBackground applies)
    kPromptKeyboardOnly = 8192, // no 否 button, only 确定: a typed N answers it, a posted N is counted and ignored
    kPromptWaitsInSend = 16384, // once an answer reaches it (a typed N on its way, a posted click or key), the
                                // client's thread waits kSendWaitMs in a SendMessage to a thread of its own,
                                // answering what is sent to it but reading nothing posted and no input
};

// How long a busy prompt keeps the client busy: long enough that a key typed
// into the prompt waits in its queue while another look comes.
constexpr int kBusyMs = 700;
constexpr int kSlowFocusMs = 1200;
constexpr int kShowDelayMs = 400;
constexpr int kSendWaitMs = 2500;

constexpr UINT kQueryClicks = WM_APP + 1;      // BN_CLICKED of the dial button (of a toggle: its dials)
constexpr UINT kQueryKeyDowns = WM_APP + 2;    // key-downs of N that reached a prompt
constexpr UINT kQueryKeyUps = WM_APP + 3;      // key-ups of N that reached a prompt
constexpr UINT kQueryOpenPrompts = WM_APP + 4; // prompts raised and not yet gone
constexpr UINT kQueryButtonAnswers = WM_APP + 5;  // clicks of a prompt's 否(&N) button
constexpr UINT kQuerySwallowedKeys = WM_APP + 6;  // injected N key-downs eaten by the client's hook
constexpr UINT kHangFor = WM_APP + 7;             // posted: the client's thread sleeps wParam ms
constexpr UINT kQueryHangUps = WM_APP + 9;        // BN_CLICKED of a toggle dial button found unchecked
constexpr UINT kQueryBoxChars = WM_APP + 10;      // characters typed into the main window's name box
constexpr UINT kQueryAwaitsProbe = WM_APP + 11;   // 1 while a kPromptProbedThenBusy client awaits its probe

}  // namespace zorvic
