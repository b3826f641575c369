// The watch tick's verdict when the link test says connected but the Network
// List Manager may know better, JudgeLink alone over runs of ticks. One run
// through the real tick is in watch_tests.cpp.
#include "watch/link_verdict.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using winkit::Connectivity;

// Ticks: 'x' link test down; with the link test connected, the manager says
// 'i' IPv4 Internet, '6' IPv6 Internet, 'n' local network only, '0' nothing,
// 'f' fails to answer, '-' is missing; 'S' is Start, not a tick.
// Verdicts: 'u' 联网呢, 'D' 断网了 and a click, 'd' 断网了 without one.
TEST(LinkVerdict, DownOnlyAfterConfirmedInternetIsLostOnTwoTicks) {
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
    for (const auto& c : cases) {
        watch::LinkMemory memory;
        std::string verdicts;
        for (const char* tick = c.ticks; *tick; ++tick) {
            const Connectivity internet = *tick == 'i' || *tick == '6' ? Connectivity::kInternet
                                          : *tick == 'n' || *tick == '0' ? Connectivity::kNoInternet
                                                                         : Connectivity::kUnknown;
            if (*tick == 'S') memory = watch::LinkMemory();
            else {
                const watch::LinkVerdict verdict = watch::JudgeLink(memory, *tick != 'x', internet);
                verdicts += !verdict.down ? 'u' : verdict.click ? 'D' : 'd';
            }
        }
        EXPECT_EQ(verdicts, c.verdicts) << c.ticks;
    }
}

}  // namespace
