// The system's notices acted on at once, beside the timers, which stay as
// they were:
// - a notice of the Network List Manager (advised from Start to Stop) brings
//   the watch tick forward: at most one such early tick a second (a notice
//   inside that second waits for the countdown tick after it), never inside
//   another watch tick, and never a click within a watch period of the last. An
//   early tick that clicked starts 时钟1 and 时钟2 again from that moment. It
//   decides on the link test alone: the manager's evidence and its back-off
//   count regular ticks only (link_verdict.h);
// - a dialog that the client creates or shows (the WinEvent hook on the
//   client's processes, from start to shutdown) brings the prompt tick's look
//   forward, under the same rules (the top of prompt.cpp).
#pragma once

#include "ui/form.h"
#include "watch/period.h"

#include <cstdint>

namespace watch {

struct Watch;

// What the early ticks remember; part of the Watch value.
struct Notices {
    bool pending = false;             // a link notice waits for its early tick
    bool watchTickRunning = false;    // a watch tick waits for its link test and the manager's answer
    bool earlyTicked = false;         // an early tick has run since Start
    uint32_t earlyTickAt = 0;         // its tick count (ms)
    bool clicked = false;             // a click was counted since Start
    uint32_t clickedAt = 0;           // the tick count of the last one
};

// Milliseconds from one early tick to the next, and from a click to an early one.
constexpr uint32_t kEarlyTickSpacing = 1000;
constexpr uint32_t kClickSpacing = kWatchPeriod;

// Whether the notices are listened to. Always, but in a build with the tests,
// where the variable AUTOREDIAL_TIMERS_ONLY turns them off for measuring the
// timers alone.
bool NoticesWanted();

// Start's part: forgets the notices' memory and advises the manager.
void AdviseLinkNotices(Watch& watch);
// Stop's part.
void EndLinkNotices();

// Handler of the posted link notice.
void OnLinkNotice(Watch& watch, const ui::EventArgs& args);
// Runs a waiting early tick once one is allowed; the countdown tick calls it.
void CatchUpLinkNotice(Watch& watch);

// The hook's search, brought forward.
void SearchSoon(Watch& watch);

}  // namespace watch
