#include "watch/prompt.h"

#include "ui/loaded.h"
#include "ui/props.h"
#include "watch/elevation.h"
#include "watch/watch.h"
#include "winkit/answer.h"
#include "winkit/integrity.h"
#include "winkit/keys.h"
#include "winkit/text.h"
#include "winkit/window_search.h"

namespace watch {

namespace {

const int kKeyN = 0x4E;

}  // namespace

void AnswerPrompt(Watch& watch, int32_t prompt) {
    if (prompt == winkit::kNoWindow) {
        watch.keyedPrompt = winkit::kNoWindow;
        return;
    }
    HWND window = winkit::IntToHandle(prompt);
    // Still open a tick after the key: the key never reached it. A client of
    // higher rights drops our keys without a word, and each try would take the
    // foreground for nothing: it gets only the posted answer, which Windows
    // refuses as well unless the client lets it through, and then the restart
    // as administrator is offered.
    if (prompt != watch.keyedPrompt && !winkit::OutranksUs(window)) {
        // The aim window holds the mouse while it exists; taking the
        // foreground from it could lose the release.
        const winkit::Foreground foreground =
            ui::FindForm(ui::kAimForm) ? winkit::Foreground::LeaveAlone : winkit::Foreground::MayTake;
        const winkit::KeyResult result = winkit::SendKeyToWindow(window, kKeyN, foreground);
        if (result == winkit::KeyResult::Gone) return;
        if (result == winkit::KeyResult::Sent) {
            watch.keyedPrompt = prompt;
            return;
        }
    }
    watch.keyedPrompt = winkit::kNoWindow;
    if (winkit::AnswerWithoutKeyboard(window, 'N') == ERROR_ACCESS_DENIED) OfferElevation(watch);
}

int32_t SearchPrompt(Watch& watch) {
    watch.promptHandle = winkit::FindProcessWindow(kClientImage, kPromptClass, kPromptTitle);
    ui::SetCaption(ui::kPromptLine, L"出现提示窗口句柄：" + winkit::FormatDecimal(watch.promptHandle));
    return watch.promptHandle;
}

}  // namespace watch
