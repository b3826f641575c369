// The rules of the answer, the same for the prompt tick and the dialog hook's
// search; each look applies them to the prompt it found. A typed key goes to
// whatever box of the client has the focus when the client reads it, and a
// client reads posted messages before input: a key typed where a posted
// answer would do may land in a user name or a password.
// 1. A prompt with a No button (winkit::FindNoButton) gets that button's
//    click, posted to the prompt, and never a key: the click can reach no
//    other window, needs neither the foreground nor the focus, and waits for
//    nobody. While the prompt stays open it is clicked again a prompt period
//    after the last, but not while the system counts its client hung: the
//    client reads the first click when it wakes.
// 2. A prompt without one gets the letter posted to it. Only when it is still
//    open kKeyAfterPeriods periods after that post is the letter typed
//    (winkit::SendKeyToWindow: the client answering, in front, its focus on
//    the prompt or a button of it right before the key); a look that can't
//    type it leaves it to the next. After a typed key nothing is posted until
//    the key has had its chance: a whole period, the client answering before
//    and after a settle (so it has read what waited in its queue), the prompt
//    still open. Then the letter is posted again.
// 3. A client of higher rights gets no key (the system would drop it); when it
//    refuses the post as well, the caller offers the restart as administrator.
// 4. One look at a time: a look that comes while another is under way (inside
//    the key's waits, which dispatch messages) does nothing, not even the
//    search; nor does any look once the restarted instance has taken over.
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

// A prompt that ignores the posted letter gets it typed this many periods on.
constexpr uint32_t kKeyAfterPeriods = 3;
// Two ticks of a timer a period apart may read a little less on the system's
// coarse tick count.
constexpr uint32_t kPeriodSlack = 50;
// The client takes the input that waits right after it has answered.
constexpr int32_t kSettleMs = 50;

enum class Outcome {
    Done,     // answered, or left for a later look
    Refused,  // the client's higher rights refused the posted answer: the caller makes the offer
};

bool PeriodsPassed(const PromptAnswer& answer, uint32_t now, uint32_t periods) {
    return now - answer.at >= periods * static_cast<uint32_t>(ui::kPromptPeriod) - kPeriodSlack;
}

// Rule 2: whether the typed key has had its chance and the prompt is still open.
bool KeyHadItsChance(const PromptAnswer& answer, HWND prompt, uint32_t now) {
    if (!PeriodsPassed(answer, now, 1)) return false;
    if (winkit::ThreadReading(prompt) != winkit::Reading::Reads) return false;
    winkit::PumpingWait(kSettleMs);
    // A client that answered and then turned busy again may still hold the key.
    if (winkit::ThreadReading(prompt) != winkit::Reading::Reads) return false;
    return sysfn::IsWindow(prompt) != FALSE;
}

// Every answer's time is its look's start: the looks come a prompt period
// apart. A refused post counts as one: it is tried again a period later.
Outcome Post(PromptAnswer& answer, HWND prompt, uint32_t now) {
    const uint32_t error = winkit::AnswerWithoutKeyboard(prompt, kAnswerLetter);
    answer.way = AnswerWay::Posted;
    answer.at = now;
    return error == ERROR_ACCESS_DENIED ? Outcome::Refused : Outcome::Done;
}

Outcome Type(PromptAnswer& answer, HWND prompt, uint32_t now) {
    // A client of higher rights drops our keys without a word.
    if (winkit::OutranksUs(prompt)) return Post(answer, prompt, now);
    // The aim window holds the mouse while it exists; taking the foreground
    // from it could lose the release.
    const winkit::Foreground foreground =
        ui::FindForm(ui::kAimForm) ? winkit::Foreground::LeaveAlone : winkit::Foreground::MayTake;
    switch (winkit::SendKeyToWindow(prompt, kAnswerLetter, foreground)) {
    case winkit::KeyResult::Sent:
    case winkit::KeyResult::Short:  // part of the press may wait in the queue
        answer.way = AnswerWay::Keyed;
        answer.at = now;
        break;
    case winkit::KeyResult::Refused:
    case winkit::KeyResult::Gone:
    case winkit::KeyResult::Hung:
    case winkit::KeyResult::Withheld: break;
    }
    return Outcome::Done;
}

Outcome Answer(PromptAnswer& answer, int32_t prompt) {
    if (prompt != answer.prompt) {
        answer.prompt = prompt;
        answer.way = AnswerWay::None;
    }
    if (prompt == winkit::kNoWindow) return Outcome::Done;
    HWND window = winkit::IntToHandle(prompt);
    const uint32_t now = sysfn::GetTickCount();
    switch (answer.way) {
    case AnswerWay::None: return Post(answer, window, now);
    case AnswerWay::Keyed: return KeyHadItsChance(answer, window, now) ? Post(answer, window, now) : Outcome::Done;
    case AnswerWay::Posted: break;
    }
    if (winkit::FindNoButton(window, kAnswerLetter)) {
        if (!PeriodsPassed(answer, now, 1) || sysfn::IsHungAppWindow(window)) return Outcome::Done;
        return Post(answer, window, now);
    }
    return PeriodsPassed(answer, now, kKeyAfterPeriods) ? Type(answer, window, now) : Outcome::Done;
}

}  // namespace

void LookForPrompt(Watch& watch) {
    PromptAnswer& answer = watch.promptAnswer;
    if (answer.looking || watch.handedOver) return;
    answer.looking = true;
    const Outcome outcome = Answer(answer, SearchPrompt(watch));
    answer.looking = false;
    // The offer's box runs a loop of its own: the looks go on behind it.
    if (outcome == Outcome::Refused || watch.offerWanted) OfferElevation(watch);
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
