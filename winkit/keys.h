// Pressing one key for another program's window.
#pragma once

#include <windows.h>

namespace winkit {

enum class KeyResult {
    Sent,     // the system took the whole press
    Refused,  // the key would have reached another window than target's thread
    Short,    // the system took fewer events than given (a locked desktop)
    Gone,     // target names no window, or no longer does right before the key
    Hung,     // target's thread does not answer: nothing was tried
    Withheld, // nothing typed: target's thread had its focus elsewhere right
              // before the key, or had not taken it in time
};

// Whether the foreground may be handed to the target when nobody, the target's
// thread or ours holds it; LeaveAlone when our own window may be holding the
// mouse.
enum class Foreground { MayTake, LeaveAlone };

// Whether the thread of a window is at its messages: Reads when it answers a
// sent message within 200 ms (it is back at its queue, where the input that
// waits is taken next), Hung when the system counts it hung (it has taken no
// message for 5 s; it is not waited for), else Busy.
enum class Reading { Reads, Busy, Hung };
Reading ThreadReading(HWND window);

// Gives the keyboard focus to target (null: leave the focus where it is) and
// injects one press of keyCode, waiting 50 ms after the focus step and after
// the injection while messages go on being dispatched. The key goes only
// where target's thread holds the foreground; the foreground is handed to it
// only as foreground allows, and never while the user works in another program.
// The focus is moved only where target's thread has it elsewhere, and from a
// thread of our own: a thread slow over its focus holds that one, never the
// caller's, which waits for it at most 200 ms while dispatching. Right before
// the key, target must still be there (else Gone), its thread in the
// foreground (else Refused) and its focus on target or on a button of it
// (else Withheld): never in a box of target, where the key would be text.
KeyResult SendKeyToWindow(HWND target, int keyCode, Foreground foreground = Foreground::MayTake,
                          bool extended = false);

}  // namespace winkit
