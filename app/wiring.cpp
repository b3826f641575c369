// Which handler runs on which event of the two forms. The link watcher's
// handlers know the forms only as templates; loading the aim window modally is
// the shell's part of beginning the drag.
#include "app/wiring.h"

#include "app/app.h"
#include "ui/form.h"
#include "ui/runtime.h"
#include "watch/aim_drag.h"
#include "watch/early.h"
#include "watch/elevation.h"
#include "winkit/window_events.h"

namespace app {

namespace {

using ui::Event;

watch::Watch gWatch;

// The hook exists to be faster than the prompt tick: all of its searches come
// within half of the tick's period from the dialog's report.
constexpr bool SearchesComeWellBeforeThePromptTick() {
    for (UINT delay : winkit::kSearchDelays) {
        if (delay > static_cast<UINT>(ui::kPromptPeriod) / 2) return false;
    }
    return true;
}
static_assert(SearchesComeWellBeforeThePromptTick(), "the hook's searches must come well before the prompt tick's");

// A handler of the watcher bound to an event, with the wiring's state.
template <void (*handler)(watch::Watch&, const ui::EventArgs&)>
void WithWatch(const ui::EventArgs& args) {
    handler(gWatch, args);
}

// Started again as administrator, the program carries on with the target it
// was given; any other start-up is as ever.
void OnMainCreated(const ui::EventArgs& args) {
    watch::OnMainCreated(gWatch, args);
    watch::TakeRestartArguments(gWatch, Arguments());
    // The prompt tick goes on as ever; without the hook it acts alone.
    if (watch::NoticesWanted()) winkit::HookDialogEvents([] { watch::SearchSoon(gWatch); });
}

const ui::Binding kMainBindings[] = {
    {nullptr, Event::Created, OnMainCreated},
    {nullptr, Event::FirstActivated, watch::ShowAimIcon},
    {&ui::kAimIcon, Event::LeftDown, BeginAimDrag},
    {&ui::kStartButton, Event::Clicked, WithWatch<watch::Start>},
    {&ui::kStopButton, Event::Clicked, WithWatch<watch::Stop>},
    {&ui::kWatchTimer, Event::Periodic, WithWatch<watch::WatchTick>},
    {&ui::kCountdownTimer, Event::Periodic, WithWatch<watch::CountdownTick>},
    {&ui::kPromptTimer, Event::Periodic, WithWatch<watch::PromptTick>},
    {nullptr, Event::Notice, WithWatch<watch::OnLinkNotice>},  // the Network List Manager's
};

const ui::Binding kAimBindings[] = {
    {nullptr, Event::Created, watch::SetUpAimWindow},
    {nullptr, Event::LeftDown, watch::EndAimDrag},
    {nullptr, Event::LeftUp, watch::EndAimDrag},
    {nullptr, Event::Destroying, watch::ShowAimIcon},
    {&ui::kAimTimer, Event::Periodic, watch::AimStep},
};

}  // namespace

watch::Watch& WiredWatchForTests() { return gWatch; }

void BeginAimDrag(const ui::EventArgs& args) {
    watch::LiftAimIcon(args);
    ui::LoadForm(kAimWiring, nullptr, true);
}

const ui::WiredForm kMainWiring = {&ui::kMainForm, kMainBindings, ui::Count(kMainBindings)};
const ui::WiredForm kAimWiring = {&ui::kAimForm, kAimBindings, ui::Count(kAimBindings)};

}  // namespace app
