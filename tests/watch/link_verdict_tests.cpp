// The watch tick on the real main window when the link test says connected but
// the Network List Manager may know better: a fake manager, the stand-in
// wininet's link state and the stand-in client counting clicks.
#include "tests/support/fake_network_list.h"
#include "tests/support/pump.h"
#include "tests/support/standin.h"
#include "ui/props.h"
#include "watch/watch.h"
#include "winkit/text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using ui::kMainForm;

// Ticks: 'x' link test down; with the link test connected, the manager says
// 'i' IPv4 Internet, '6' IPv6 Internet, 'n' local network only, '0' nothing,
// 'f' fails to answer, '-' is missing; 'S' is Start, not a tick.
// Verdicts: 'u' 联网呢, 'D' 断网了 and a click, 'd' 断网了 without one.
TEST(WatchWithManager, DownOnlyAfterConfirmedInternetIsLostOnTwoTicks) {
    support::Client client;
    ASSERT_TRUE(support::LoadMainFormWithClient(client));
    support::FakeNetworkList manager;
    const struct {
        const char* ticks;
        const char* verdicts;
    } cases[] = {
        {"x0xx", "DuDD"},          // the link test's down clicks on every tick, as always
        {"nn0nf", "uuuuu"},        // never confirmed: the link test's verdict stands
        {"--x", "uuD"},            // no manager at all
        {"inin", "uuuu"},          // lost for one tick at a time
        {"inn6", "uuDu"},          // lost for two: one click; regained
        {"innnnn", "uuDdDd"},      // a long loss clicks on every second tick
        {"infn", "uuuu"},          // a failed answer breaks the run
        {"inxnn", "uuDuD"},        // so does the link test's down; the confirmation stays
        {"inSnnn", "uuuuu"},       // Start forgets the confirmation
    };
    ui::SetContent(kMainForm, "编辑框1", winkit::FormatDecimal(winkit::HandleToInt(client.dialButton)));
    const int clicksBefore = support::ClickCount(client);
    const int countBefore = watch::redialCount;
    for (const auto& c : cases) {
        watch::Start(ui::EventArgs());
        watch::Stop(ui::EventArgs());  // the ticks are driven by hand
        std::string verdicts;
        for (const char* tick = c.ticks; *tick; ++tick) {
            if (*tick == 'S') {
                watch::Start(ui::EventArgs());
                watch::Stop(ui::EventArgs());
                continue;
            }
            support::SetLinkState(*tick != 'x');
            const int flags = *tick == 'i'   ? NLM_CONNECTIVITY_IPV4_INTERNET | NLM_CONNECTIVITY_IPV4_LOCALNETWORK
                              : *tick == '6' ? NLM_CONNECTIVITY_IPV6_INTERNET
                              : *tick == 'n' ? NLM_CONNECTIVITY_IPV4_LOCALNETWORK | NLM_CONNECTIVITY_IPV6_SUBNET
                                             : NLM_CONNECTIVITY_DISCONNECTED;
            if (*tick == '-') manager.NoManager();
            else manager.Answer(flags, *tick == 'f' ? E_FAIL : S_OK);
            const int count = watch::redialCount;
            watch::WatchTick(ui::EventArgs());
            const bool down = ui::GetCaption(kMainForm, "标签2") == L"断网了";
            verdicts += !down ? 'u' : watch::redialCount > count ? 'D' : 'd';
        }
        EXPECT_EQ(verdicts, c.verdicts) << c.ticks;
    }
    const int clicks = watch::redialCount - countBefore;
    EXPECT_TRUE(support::PumpUntil([&] { return support::ClickCount(client) == clicksBefore + clicks; }, 3000))
        << "the client counted " << support::ClickCount(client) - clicksBefore << " clicks of " << clicks;
    EXPECT_EQ(manager.alive(), 0) << "every manager is released";
    support::UnloadMainFormWithClient(client);
}

}  // namespace
