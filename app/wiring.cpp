// Which handler runs on which event of the two forms. The link watcher's
// handlers know the forms only as templates; loading the aim window modally is
// the shell's part of beginning the drag.
#include "app/wiring.h"

#include "app/app.h"
#include "app/shell.h"
#include "watch/dial.h"
#include "watch/watch.h"

namespace app {

namespace {

using ui::Event;

// Started again as administrator, the program carries on with the target it
// was given; any other start-up is as ever.
void OnMainCreated(const ui::EventArgs& args) {
    watch::OnMainCreated(args);
    watch::TakeTargetArgument(Arguments());
}

const ui::Binding kMainBindings[] = {
    {nullptr, Event::Created, OnMainCreated},
    {nullptr, Event::FirstActivated, watch::ShowAimIcon},
    {"图片框1", Event::LeftDown, BeginAimDrag},
    {"按钮1", Event::Clicked, watch::Start},
    {"按钮2", Event::Clicked, watch::Stop},
    {"时钟1", Event::Periodic, watch::WatchTick},
    {"时钟2", Event::Periodic, watch::CountdownTick},
    {"时钟3", Event::Periodic, watch::PromptTick},
};

const ui::Binding kAimBindings[] = {
    {nullptr, Event::Created, watch::SetUpAimWindow},
    {nullptr, Event::LeftDown, watch::EndAimDrag},
    {nullptr, Event::LeftUp, watch::EndAimDrag},
    {nullptr, Event::Destroying, watch::ShowAimIcon},
    {"时钟1", Event::Periodic, watch::AimStep},
};

}  // namespace

void BeginAimDrag(const ui::EventArgs& args) {
    watch::LiftAimIcon(args);
    LoadForm(kAimWiring, nullptr, true);
}

const ui::WiredForm kMainWiring = {&ui::kMainForm, kMainBindings, ui::Count(kMainBindings)};
const ui::WiredForm kAimWiring = {&ui::kAimForm, kAimBindings, ui::Count(kAimBindings)};

}  // namespace app
