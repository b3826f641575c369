#include "watch/early.h"

#include "sysfn/sysfn.h"
#include "ui/loaded.h"
#include "ui/messages.h"
#include "watch/prompt.h"
#include "watch/watch.h"
#include "winkit/link_notices.h"

namespace watch {

using ui::kMainForm;

bool NoticesWanted() {
#ifdef AUTOREDIAL_TIMERS_ONLY_SWITCH
    wchar_t value[2];
    return GetEnvironmentVariableW(L"AUTOREDIAL_TIMERS_ONLY", value, 2) == 0;
#else
    return true;
#endif
}

void AdviseLinkNotices(Watch& watch) {
    watch.notices.pending = false;
    watch.notices.earlyTicked = false;
    watch.notices.clicked = false;
    const ui::LoadedForm* form = ui::FindForm(kMainForm);
    // Without a manager, or one that takes no sink, the timers act alone.
    if (form && NoticesWanted()) winkit::AdviseLinkNotices(form->hwnd, ui::kNotice);
}

void EndLinkNotices() { winkit::UnadviseLinkNotices(); }

void OnLinkNotice(Watch& watch, const ui::EventArgs&) {
    watch.notices.pending = true;
    CatchUpLinkNotice(watch);
}

void CatchUpLinkNotice(Watch& watch) {
    Notices& notices = watch.notices;
    if (!notices.pending) return;
    // A notice that was on its way at Stop.
    if (!watch.watching) {
        notices.pending = false;
        return;
    }
    if (notices.watchTickRunning) return;
    const uint32_t now = sysfn::GetTickCount();
    if (notices.earlyTicked && now - notices.earlyTickAt < kEarlyTickSpacing) return;
    notices.pending = false;
    notices.earlyTicked = true;
    notices.earlyTickAt = now;
    RunWatchTick(watch, TickKind::Early);
}

void SearchSoon(Watch& watch) {
    if (!ui::FindForm(kMainForm)) return;  // on the way out
    LookForPrompt(watch);
}

}  // namespace watch
