// The rules of the answer, the same for the prompt tick and the dialog hook's
// search; each look applies them to the prompt it found:
// 1. One look at a time: a look that comes while another is under way (inside
//    its waits, which dispatch messages) does nothing, not even the search;
//    nor does any look once the restarted instance has taken over.
// 2. A prompt gets the N key once, and only where it lands in that prompt
//    (winkit::SendKeyToWindow): the prompt still open, its thread in the
//    foreground and its focus inside the prompt right before the key. It
//    counts as keyed from before the focus step. When nothing was typed (the
//    prompt gone or out of focus at the last moment, the client slow over its
//    focus), the next look tries again.
// 3. A prompt that the key can't reach (another program in front, a locked
//    desktop, a client that does not answer, or one of higher rights) gets
//    the posted answer at once: no key of ours waits in its queue.
// 4. Once the system has taken an answer for the prompt, typed or posted, the
//    next waits until that one has had its chance: a whole prompt period
//    after it, the client not hung and answering before and after a settle
//    (so it has taken what waited in its queue), and the prompt still open.
//    Then a keyed prompt gets the posted answer, and a posted one the key
//    again under rule 2. A client reads posted messages before input: an
//    answer posted while our key still waits would close the prompt and let
//    the key land in whatever box takes the focus next (a user name, a
//    password); a key typed while our post still waits would do the same.
#include "watch/prompt.h"

#include "sysfn/sysfn.h"
#include "ui/loaded.h"
#include "ui/props.h"
#include "watch/elevation.h"
#include "watch/watch.h"
#include "winkit/answer.h"
#include "winkit/integrity.h"
#include "winkit/keys.h"
#include "winkit/text.h"
#include "winkit/wait.h"
#include "winkit/window_events.h"

#include <vector>

namespace watch {

namespace {

// Two ticks of a timer a period apart may read a little less on the system's
// coarse tick count.
constexpr uint32_t kPeriodSlack = 50;
// The client takes the input that waits right after it has answered.
constexpr int32_t kSettleMs = 50;

enum class Outcome {
    Done,     // answered, or left for a later look
    Refused,  // the client's higher rights refused the posted answer: the caller makes the offer
};

// Rule 4: whether the last answer has had its chance and the prompt is still open.
bool LastAnswerHadItsChance(const PromptAnswer& answer, HWND prompt, uint32_t now) {
    if (now - answer.at < static_cast<uint32_t>(ui::kPromptPeriod) - kPeriodSlack) return false;
    if (winkit::ThreadReading(prompt) != winkit::Reading::Reads) return false;
    winkit::PumpingWait(kSettleMs);
    // A client that answered and then turned busy again may still hold the key.
    if (winkit::ThreadReading(prompt) != winkit::Reading::Reads) return false;
    return sysfn::IsWindow(prompt) != FALSE;
}

// Every answer's time is its look's start: the looks come a prompt period apart.
Outcome Post(PromptAnswer& answer, HWND prompt, uint32_t now) {
    const uint32_t error = winkit::AnswerWithoutKeyboard(prompt, kAnswerLetter);
    // A post the system refused put nothing in the client's queue.
    answer.way = error == 0 ? AnswerWay::Posted : AnswerWay::None;
    answer.at = now;
    return error == ERROR_ACCESS_DENIED ? Outcome::Refused : Outcome::Done;
}

Outcome Answer(PromptAnswer& answer, int32_t prompt) {
    if (prompt != answer.prompt) {
        answer.prompt = prompt;
        answer.way = AnswerWay::None;
    }
    if (prompt == winkit::kNoWindow) return Outcome::Done;
    HWND window = winkit::IntToHandle(prompt);
    const uint32_t now = sysfn::GetTickCount();
    if (answer.way != AnswerWay::None) {
        if (!LastAnswerHadItsChance(answer, window, now)) return Outcome::Done;
        if (answer.way == AnswerWay::Keyed) return Post(answer, window, now);
    }
    // A client of higher rights drops our keys without a word, and each try
    // would take the foreground for nothing: it gets only the posted answer,
    // which Windows refuses as well unless the client lets it through, and
    // then the restart as administrator is offered.
    if (winkit::OutranksUs(window)) return Post(answer, window, now);
    // The aim window holds the mouse while it exists; taking the foreground
    // from it could lose the release.
    const winkit::Foreground foreground =
        ui::FindForm(ui::kAimForm) ? winkit::Foreground::LeaveAlone : winkit::Foreground::MayTake;
    answer.way = AnswerWay::Keyed;
    answer.at = now;
    switch (winkit::SendKeyToWindow(window, kAnswerLetter, foreground)) {
    case winkit::KeyResult::Sent: return Outcome::Done;
    case winkit::KeyResult::Gone:
    case winkit::KeyResult::Withheld: answer.way = AnswerWay::None; return Outcome::Done;
    case winkit::KeyResult::Refused:
    case winkit::KeyResult::Short:
    case winkit::KeyResult::Hung: break;
    }
    return Post(answer, window, now);
}

}  // namespace

void LookForPrompt(Watch& watch) {
    PromptAnswer& answer = watch.promptAnswer;
    if (answer.looking || watch.handedOver) return;
    answer.looking = true;
    const Outcome outcome = Answer(answer, SearchPrompt(watch));
    answer.looking = false;
    // The offer's box runs a loop of its own: the looks go on behind it.
    if (outcome == Outcome::Refused) OfferElevation(watch);
}

int32_t SearchPrompt(Watch& watch) {
    std::vector<uint32_t> clients;
    watch.promptHandle = winkit::FindProcessWindow(kClientImage, kPromptClass, kPromptTitle, &clients);
    // The hook hears the dialogs of the clients that this search found, and
    // of no other program.
    winkit::FollowProcesses(clients);
    ui::SetCaption(ui::kPromptLine, L"出现提示窗口句柄：" + winkit::FormatDecimal(watch.promptHandle));
    return watch.promptHandle;
}

}  // namespace watch
