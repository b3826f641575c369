// The verdict of one watch tick.
//
// The system's link test (InternetGetConnectedState) answers "connected"
// whenever a LAN adapter is up, so a dial-up session that drops behind one
// (PPPoE over Ethernet, a campus client on a LAN) goes unseen. The Network
// List Manager's Internet check sees such a drop. It is trusted only
// cautiously, because a false "down" clicks the dial button of a working link
// and many clients hang up on that click:
// - the link test answering "not connected" is "down" and clicks, as always;
// - otherwise the link is "down" only when the manager has reported Internet
//   at least once since Start (a system whose check is off, sits behind a
//   proxy or has no manager never does, and keeps the link test's verdict)
//   and reports no Internet on this tick and the one before. An unknown
//   answer breaks the run.
// - The manager's first click comes on the second tick of a run; each next
//   one only after a wait twice the last (2 ticks, 4, 8... up to 10
//   minutes), so that a check that keeps failing on a working link (a
//   firewall or proxy blocking the system's probe) can't hang it up every
//   other tick for ever. The wait ends when the manager reports Internet again or
//   the link test says "not connected".
// - A tick brought forward by a notice (early.h) acts on the link test alone:
//   its "not connected" is "down" and clicks as ever, but it neither asks the
//   manager nor touches this memory, so early ticks never shorten the
//   manager's ticks in a row or its waits; otherwise it shows the manager's
//   last verdict.
#pragma once

#include "winkit/connectivity.h"

#include <cstdint>

namespace watch {

// What the watch remembers between ticks. Start puts it back to {}.
struct LinkMemory {
    bool internetSeen = false;  // the manager has reported Internet since Start
    int32_t lostTicks = 0;      // the manager's "no Internet" answers on ticks in a row, up to 2
    int32_t clickWait = 0;      // ticks from the manager's last click to its next; 0: no click yet
    int32_t sinceClick = 0;     // ticks since the manager's last click, up to clickWait
};

enum class TickKind {
    Regular,  // 时钟1's
    Early,    // brought forward by a notice
};

struct LinkVerdict {
    bool down;   // kLinkState shows 断网了 rather than 联网呢
    bool click;  // the dial button is clicked and the click counted
};

// Whether JudgeLink can have left the memory so: what the restart as
// administrator carries over is taken only then.
bool IsPossible(const LinkMemory& memory);

// Folds one tick into the memory. linkTestConnected is the result of
// InternetGetConnectedState; internet is the manager's answer, asked only when
// the link test says connected (kUnknown otherwise).
LinkVerdict JudgeLink(LinkMemory& memory, bool linkTestConnected, winkit::Connectivity internet,
                      TickKind kind = TickKind::Regular);

}  // namespace watch
