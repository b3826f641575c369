// Pressing one key for another program's window.
#pragma once

#include <windows.h>

namespace winkit {

enum class KeyResult {
    Sent,     // the system took the whole press
    Refused,  // the key would have reached another window than target's thread
    Short,    // the system took fewer events than given (a locked desktop)
    Gone,     // target names no window
    Hung,     // target's thread does not answer: nothing was tried
};

// Gives the keyboard focus to target (null: leave the focus where it is) and
// injects one press of keyCode, waiting 50 ms after the focus step and after
// the injection while messages go on being dispatched. The key goes only
// where target's thread holds the foreground; the foreground is handed to it
// only when nobody, target's thread or ours holds it, and never when
// mayTakeForeground is false (our own window may be holding the mouse).
KeyResult SendKeyToWindow(HWND target, int keyCode, bool extended = false, bool mayTakeForeground = true);

}  // namespace winkit
