// The offer to restart as administrator when the client outranks us, and the
// argument that carries the dial target over the restart.
#pragma once

#include <cstdint>
#include <string>

namespace watch {

struct Watch;

// Asks once per run whether to restart as administrator; on yes, restarts
// with the dial target as argument and hands the watch over: nothing more is
// clicked, typed or posted, the one-watcher guard is given up at once (the
// new instance waits for it), and then the main window closes. kTargetLine
// says so when the restart fails.
void OfferElevation(Watch& watch);

// The only argument that the program takes, written by the restart as
// administrator: "/redial-target:" and a handle in decimal. False when the
// arguments are anything else.
bool ReadTargetArgument(const std::wstring& arguments, int32_t& handle);

// Start-up with that argument: the handle goes into kTargetBox and Start runs.
// Any other arguments change nothing.
void TakeTargetArgument(Watch& watch, const std::wstring& arguments);

}  // namespace watch
