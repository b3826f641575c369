// The watch tick's verdict when the link test says connected but the Network
// List Manager may know better, JudgeLink alone over runs of ticks. One run
// through the real tick is in watch_tests.cpp.
#include "tests/support/fake_network_list.h"
#include "watch/link_verdict.h"
#include "watch/period.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Runs of ticks in the notation of tests/support/fake_network_list.h.
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
            if (*tick == 'S') memory = watch::LinkMemory();
            else if (*tick == 'e' || *tick == 'E') {
                const watch::LinkVerdict verdict =
                    watch::JudgeLink(memory, *tick == 'e', winkit::Connectivity::kUnknown, watch::TickKind::Early);
                verdicts += support::VerdictLetter(verdict.down, verdict.click);
            } else {
                const watch::LinkVerdict verdict = watch::JudgeLink(memory, *tick != 'x', support::ManagerAnswer(*tick));
                verdicts += support::VerdictLetter(verdict.down, verdict.click);
            }
        }
        EXPECT_EQ(verdicts, c.verdicts) << c.ticks;
    }
}

// A check that keeps failing on a working link: the manager's clicks come
// ever more rarely, never more than 10 minutes apart. In ticks of the watch
// period: the first click on the second tick, then waits of 2, 4, 8, 16, 32
// and then 10 minutes.
TEST(LinkVerdict, TheManagersWaitsDoubleUpToTenMinutes) {
    const int longest = 10 * 60 * 1000 / watch::kWatchPeriod;
    watch::LinkMemory memory;
    watch::JudgeLink(memory, true, winkit::Connectivity::kInternet);
    std::vector<int> waits;
    for (int tick = 1, last = 0; waits.size() < 8 && tick <= 1000; ++tick) {
        const watch::LinkVerdict verdict = watch::JudgeLink(memory, true, winkit::Connectivity::kNoInternet);
        EXPECT_EQ(verdict.down, tick > 1) << tick;
        if (!verdict.click) continue;
        if (last) waits.push_back(tick - last);
        else EXPECT_EQ(tick, 2);
        last = tick;
    }
    EXPECT_EQ(waits, (std::vector<int>{2, 4, 8, 16, 32, longest, longest, longest}));
}

}  // namespace
