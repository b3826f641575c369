// Working another program's windows by posted messages alone: a posted
// message never waits for the receiving thread, and needs neither the
// keyboard nor the foreground.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace winkit {

// What PostButtonClick answers for a disabled window: an error code of the
// program's own (bit 29 set), which no system call gives.
constexpr uint32_t kButtonDisabled = 0x20000001;

// Clicks a button by a posted message: an enabled child window whose real
// class is "Button" by the WM_COMMAND (BN_CLICKED) that a click sends its
// parent, any other window by one BM_CLICK (wParam 0, lParam 0). Returns 0
// when the system took the message, kButtonDisabled (nothing posted) for a
// disabled window, else the system's error code: ERROR_ACCESS_DENIED when the
// window's program has higher rights, ERROR_INVALID_WINDOW_HANDLE when the
// handle names no window. Never posts to 0 or to HWND_BROADCAST (a typed 65535
// would otherwise click every top-level window of every program).
uint32_t PostButtonClick(int32_t button);

// Whether text marks letter (an ASCII letter) as its mnemonic: "&" then the
// letter in either case ("否(&N)"). "&&" is a literal ampersand.
bool HasMnemonic(const std::wstring& text, char letter);

// Answers a dialog as a press of letter would: a click of its button whose
// mnemonic is letter, posted to the dialog as the button's BN_CLICKED (a
// posted BM_CLICK may be lost when the dialog is not active); a dialog without
// such a button gets the key as posted WM_KEYDOWN, WM_CHAR and WM_KEYUP, as
// its own dialog loop would see a typed mnemonic. Nothing goes to any other
// window. Returns 0 when posted, else the system's error code.
uint32_t AnswerWithoutKeyboard(HWND dialog, char letter);

}  // namespace winkit
