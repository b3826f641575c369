// Working another program's windows by posted messages alone: a posted
// message never waits for the receiving thread, and needs neither the
// keyboard nor the foreground.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace winkit {

// What PostButtonClick answers for a disabled window and for a group box:
// error codes of the program's own (bit 29 set), which no system call gives.
constexpr uint32_t kButtonDisabled = 0x20000001;
constexpr uint32_t kButtonIsGroupBox = 0x20000002;

// Clicks a button by posted messages, as its own click would act. An enabled
// child window of the class "Button" (its real class, or the one it reports)
// gets what a click sends its parent, WM_COMMAND (BN_CLICKED); a check box,
// radio button or three-state button of the automatic kinds first gets the
// check state that the click would give it (BM_SETCHECK), read from it with a
// send that never waits for a hung thread. Any other window gets one BM_CLICK
// (wParam 0, lParam 0). Returns 0 when the system took the messages,
// kButtonDisabled (nothing posted) for a disabled window, kButtonIsGroupBox
// (nothing posted) for a group box, else the system's error code:
// ERROR_ACCESS_DENIED when the window's program has higher rights,
// ERROR_INVALID_WINDOW_HANDLE when the handle names no window, ERROR_TIMEOUT
// when a toggle's state could not be read. Never posts to 0 or to
// HWND_BROADCAST (a typed 65535 would otherwise click every top-level window
// of every program).
uint32_t PostButtonClick(int32_t button);

// Whether text marks letter (an ASCII letter) as its mnemonic: "&" then the
// letter in either case ("否(&N)"). "&&" is a literal ampersand.
bool HasMnemonic(const std::wstring& text, char letter);

// Whether a window is of the class "Button": its real class, or the one it
// reports (a button of the common controls 6 may report only its own).
bool IsButton(HWND window);

// A dialog's No button: a visible, enabled child button whose text marks
// letter as its mnemonic ("否(&N)"), else one whose ID is IDNO; null when the
// dialog has none. Read without a message to the dialog's thread.
HWND FindNoButton(HWND dialog, char letter);

// Answers a dialog No by posted messages alone: its No button (FindNoButton)
// is clicked by the button's BN_CLICKED posted to the dialog (a posted
// BM_CLICK may be lost when the dialog is not active); a dialog without one
// gets letter as posted WM_KEYDOWN, WM_CHAR and WM_KEYUP, as its own dialog
// loop would see the key. Nothing goes to any other window, and nothing
// waits for the dialog's thread. Returns 0 when posted, else the system's
// error code.
uint32_t AnswerWithoutKeyboard(HWND dialog, char letter);

}  // namespace winkit
