// The watch tick's verdict when the link test says connected but the Network
// List Manager may know better, JudgeLink alone over runs of ticks. One run
// through the real tick is in watch_tests.cpp.
#include "watch/link_verdict.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using winkit::Connectivity;

// Ticks: 'x' link test down; with the link test connected, the manager says
// 'i' IPv4 Internet, '6' IPv6 Internet, 'n' local network only, '0' nothing,
// 'f' fails to answer, '-' is missing; 'S' is Start, not a tick. A tick
// brought forward by a notice: 'e' with the link test connected (the manager
// is not asked), 'E' with it down.
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
        {"innnnn", "uuDdDd"},      // a long loss clicks on the 2nd tick, the 4th,
        {"innnnnnnnn", "uuDdDdddDd"},  // the 8th: each wait twice the last
        {"innnninnn", "uuDdDuuDd"},    // Internet again ends the waiting
        {"infn", "uuuu"},          // a failed answer breaks the run
        {"inxnn", "uuDuD"},        // so does the link test's down; the confirmation stays
        {"inSnnn", "uuuuu"},       // Start forgets the confirmation
        {"ineeen", "uuuuuD"},      // early ticks are no ticks in a row of the manager's
        {"inneen", "uuDddd"},      // they show its verdict, never click on it nor count towards its wait
        {"innEEn", "uuDDDd"},      // the link test's down clicks, and leaves that wait as it is
        {"innxxn", "uuDDDu"},      // (a tick's ends it)
        {"eEx", "uDD"},
    };
    for (const auto& c : cases) {
        watch::LinkMemory memory;
        std::string verdicts;
        for (const char* tick = c.ticks; *tick; ++tick) {
            const Connectivity internet = *tick == 'i' || *tick == '6' ? Connectivity::kInternet
                                          : *tick == 'n' || *tick == '0' ? Connectivity::kNoInternet
                                                                         : Connectivity::kUnknown;
            if (*tick == 'S') memory = watch::LinkMemory();
            else if (*tick == 'e' || *tick == 'E') {
                const watch::LinkVerdict verdict =
                    watch::JudgeLink(memory, *tick == 'e', Connectivity::kUnknown, watch::TickKind::Early);
                verdicts += !verdict.down ? 'u' : verdict.click ? 'D' : 'd';
            } else {
                const watch::LinkVerdict verdict = watch::JudgeLink(memory, *tick != 'x', internet);
                verdicts += !verdict.down ? 'u' : verdict.click ? 'D' : 'd';
            }
        }
        EXPECT_EQ(verdicts, c.verdicts) << c.ticks;
    }
}

// A check that keeps failing on a working link: the manager's clicks come
// ever more rarely, never more than 10 minutes apart.
TEST(LinkVerdict, TheManagersWaitsDoubleUpToSixtyTicks) {
    watch::LinkMemory memory;
    watch::JudgeLink(memory, true, winkit::Connectivity::kInternet);
    std::vector<int> clicks;
    for (int tick = 1; tick <= 250; ++tick) {
        const watch::LinkVerdict verdict = watch::JudgeLink(memory, true, winkit::Connectivity::kNoInternet);
        EXPECT_EQ(verdict.down, tick > 1) << tick;
        if (verdict.click) clicks.push_back(tick);
    }
    EXPECT_EQ(clicks, (std::vector<int>{2, 4, 8, 16, 32, 64, 124, 184, 244}));
}

}  // namespace
