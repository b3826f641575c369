#include "watch/link_verdict.h"

#include "watch/period.h"

#include <algorithm>

namespace watch {

namespace {

// Waits in ticks: the first click on the second tick, the longest wait 10 minutes.
constexpr int32_t kFirstWait = 2;
constexpr int32_t kLongestWait = 10 * 60 * 1000 / kWatchPeriod;

}  // namespace

bool IsPossible(const LinkMemory& memory) {
    const bool waitPossible = memory.clickWait == 0 || (memory.clickWait >= kFirstWait && memory.clickWait <= kLongestWait);
    return memory.lostTicks >= 0 && memory.lostTicks <= 2 && waitPossible && memory.sinceClick >= 0 &&
           memory.sinceClick <= memory.clickWait;
}

LinkVerdict JudgeLink(LinkMemory& memory, bool linkTestConnected, winkit::Connectivity internet, TickKind kind) {
    if (kind == TickKind::Early) return {!linkTestConnected || memory.lostTicks >= 2, !linkTestConnected};
    if (!linkTestConnected) {
        memory.lostTicks = 0;
        memory.clickWait = 0;
        return {true, true};
    }
    if (internet == winkit::Connectivity::kInternet) {
        memory.internetSeen = true;
        memory.lostTicks = 0;
        memory.clickWait = 0;
        return {false, false};
    }
    if (memory.sinceClick < memory.clickWait) ++memory.sinceClick;
    if (internet == winkit::Connectivity::kUnknown || !memory.internetSeen) {
        memory.lostTicks = 0;
        return {false, false};
    }
    if (memory.lostTicks < 2) ++memory.lostTicks;
    if (memory.lostTicks < 2) return {false, false};
    if (memory.sinceClick < memory.clickWait) return {true, false};
    memory.clickWait = memory.clickWait == 0 ? kFirstWait : std::min(2 * memory.clickWait, kLongestWait);
    memory.sinceClick = 0;
    return {true, true};
}

}  // namespace watch
