// The link watcher: the handlers bound to the events of the main window, and
// the state they share. The state is one value owned by the wiring (app/) and
// handed to each handler; it starts as Watch() and is never saved.
#pragma once

#include "ui/form.h"
#include "watch/early.h"
#include "watch/link_verdict.h"
#include "watch/period.h"
#include "watch/prompt.h"
#include "winkit/button_signature.h"
#include "winkit/window_search.h"

#include <cstdint>
#include <optional>

namespace watch {

struct Watch {
    bool watching = false;      // from Start to Stop
    int32_t dialTarget = 0;     // handle of the client's dial button; 0 until the first Start
    int32_t redialCount = 0;    // clicks the system took since the main window was created
    int32_t countdownStep = 0;  // the next of the countdown bar's steps, 1 to kCountdownSteps
    int32_t promptHandle = winkit::kNoWindow;  // the last prompt search's result
    PromptAnswer promptAnswer;                 // the answer to the open prompt (prompt.h)
    bool elevationOffered = false;             // the offer to restart as administrator was made in this run
    bool offerWanted = false;                  // asked for inside a look: made once the look has ended
    bool handedOver = false;                   // the instance restarted as administrator watches from now on
    std::optional<winkit::ButtonSignature> signature;  // what identified the dial target at Start, if it could be read
    LinkMemory linkMemory;                             // the watch tick's memory
    Notices notices;                                   // the system's notices acted on at once (early.h)
};

void OnMainCreated(Watch& watch, const ui::EventArgs& args);
void Start(Watch& watch, const ui::EventArgs& args);
void Stop(Watch& watch, const ui::EventArgs& args);
void WatchTick(Watch& watch, const ui::EventArgs& args);
// The watch tick's work, run by 时钟1 or brought forward by a notice (early.h).
void RunWatchTick(Watch& watch, TickKind kind);
void CountdownTick(Watch& watch, const ui::EventArgs& args);
void PromptTick(Watch& watch, const ui::EventArgs& args);

}  // namespace watch
