// The offer to restart as administrator when the client outranks us, and the
// arguments that carry the watch over the restart.
#pragma once

#include "watch/link_verdict.h"

#include <cstdint>
#include <string>

namespace watch {

struct Watch;

// Asks once per run whether to restart as administrator; on yes, restarts
// with the watch as arguments and hands the watch over: nothing more is
// clicked, typed or posted, the one-watcher guard is given up at once (the
// new instance waits for it), and then the main window closes. kTargetLine
// says so when the restart fails. Asked for inside a look for the prompt, the
// offer is made once that look has ended: the box's own loop lets later looks
// run behind it.
void OfferElevation(Watch& watch);

// What the restart carries over: the dial target, the redial count and the
// link memory, held in memory only.
struct Carried {
    int32_t dialTarget = 0;
    int32_t redialCount = 0;
    LinkMemory linkMemory;
};

// The only arguments that the program takes, written by the restart as
// administrator: "/redial-target:" and a handle in decimal, then, each
// optional, "/redial-count:" and the count, "/link-memory:" and the memory's
// four numbers, one space between them. False when the arguments are
// anything else, or a value is one the watch can't have.
bool ReadRestartArguments(const std::wstring& arguments, Carried& carried);
std::wstring WriteRestartArguments(const Watch& watch);

// Start-up with those arguments: the handle goes into kTargetBox, Start runs,
// and the watch goes on with the count and the link memory carried over. Any
// other arguments change nothing.
void TakeRestartArguments(Watch& watch, const std::wstring& arguments);

}  // namespace watch
