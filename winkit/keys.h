// Pressing one key for another program's window.
#pragma once

#include <windows.h>

namespace winkit {

// Gives the keyboard focus to target (null: leave the focus where it is) and
// injects one press of keyCode, waiting 50 ms after the focus step and after
// the injection while messages go on being dispatched.
void SendKeyToWindow(HWND target, int keyCode, bool extended = false);

}  // namespace winkit
