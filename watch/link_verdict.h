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
// - A run of "no Internet" clicks on its second tick, fourth, sixth...: the
//   dial that a click starts, and the system's check after it, get two ticks
//   before the next click.
#pragma once

#include "winkit/connectivity.h"

#include <cstdint>

namespace watch {

// What the watch remembers between ticks. Start puts it back to {}.
struct LinkMemory {
    bool internetSeen = false;  // the manager has reported Internet since Start
    int32_t lostTicks = 0;      // the manager's "no Internet" answers on ticks in a row
};

struct LinkVerdict {
    bool down;   // 标签2 shows 断网了 rather than 联网呢
    bool click;  // the dial button is clicked and the click counted
};

// Folds one tick into the memory. linkTestConnected is the result of
// InternetGetConnectedState; internet is the manager's answer, asked only when
// the link test says connected (kUnknown otherwise).
LinkVerdict JudgeLink(LinkMemory& memory, bool linkTestConnected, winkit::Connectivity internet);

}  // namespace watch
