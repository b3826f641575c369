#include "watch/prompt.h"

#include "sysfn/sysfn.h"
#include "ui/loaded.h"
#include "ui/props.h"
#include "watch/watch.h"
#include "winkit/answer.h"
#include "winkit/integrity.h"
#include "winkit/keys.h"
#include "winkit/text.h"
#include "winkit/wait.h"
#include "winkit/window_events.h"
#include "winkit/window_search.h"

#include <vector>

namespace watch {

namespace {

// Two ticks of a timer a period apart may read a little less on the system's
// coarse tick count.
constexpr uint32_t kPeriodSlack = 50;
// The client takes the input that waits right after it has answered: the
// posted answer comes after that.
constexpr int32_t kSettleMs = 50;

// Whether a prompt still open after its key needs the posted answer: false
// while the key may still wait in the client's queue, or when the prompt is
// gone meanwhile.
bool KeyWasLost(const Watch& watch, HWND prompt) {
    if (sysfn::GetTickCount() - watch.keyedAt < static_cast<uint32_t>(ui::kPromptPeriod) - kPeriodSlack) return false;
    switch (winkit::ThreadReading(prompt)) {
    case winkit::Reading::Busy: return false;
    case winkit::Reading::Hung: return true;
    case winkit::Reading::Reads: break;
    }
    winkit::PumpingWait(kSettleMs);
    return sysfn::IsWindow(prompt) != FALSE;
}

}  // namespace

PromptAnswer AnswerPrompt(Watch& watch, int32_t prompt) {
    if (prompt == winkit::kNoWindow) {
        watch.keyedPrompt = winkit::kNoWindow;
        return PromptAnswer::Done;
    }
    HWND window = winkit::IntToHandle(prompt);
    if (prompt == watch.keyedPrompt) {
        if (!KeyWasLost(watch, window)) return PromptAnswer::Done;
    } else if (!winkit::OutranksUs(window)) {
        // A client of higher rights drops our keys without a word, and each
        // try would take the foreground for nothing: it gets only the posted
        // answer, which Windows refuses as well unless the client lets it
        // through, and then the restart as administrator is offered.
        // The aim window holds the mouse while it exists; taking the
        // foreground from it could lose the release.
        const winkit::Foreground foreground =
            ui::FindForm(ui::kAimForm) ? winkit::Foreground::LeaveAlone : winkit::Foreground::MayTake;
        const uint32_t keyAt = sysfn::GetTickCount();
        const winkit::KeyResult result = winkit::SendKeyToWindow(window, kAnswerLetter, foreground);
        if (result == winkit::KeyResult::Gone) return PromptAnswer::Done;
        if (result == winkit::KeyResult::Sent) {
            watch.keyedPrompt = prompt;
            watch.keyedAt = keyAt;
            return PromptAnswer::Done;
        }
    }
    watch.keyedPrompt = winkit::kNoWindow;
    const bool refused = winkit::AnswerWithoutKeyboard(window, kAnswerLetter) == ERROR_ACCESS_DENIED;
    return refused ? PromptAnswer::Refused : PromptAnswer::Done;
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
