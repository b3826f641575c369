#include "watch/link_verdict.h"

namespace watch {

LinkVerdict JudgeLink(LinkMemory& memory, bool linkTestConnected, winkit::Connectivity internet) {
    if (!linkTestConnected) {
        memory.lostTicks = 0;
        return {true, true};
    }
    switch (internet) {
    case winkit::Connectivity::kInternet:
        memory.internetSeen = true;
        memory.lostTicks = 0;
        return {false, false};
    case winkit::Connectivity::kNoInternet:
        if (!memory.internetSeen) return {false, false};
        // 1, 2, 3, 2, 3...: the count stays bounded however long the run.
        memory.lostTicks = memory.lostTicks >= 3 ? 2 : memory.lostTicks + 1;
        if (memory.lostTicks < 2) return {false, false};
        return {true, memory.lostTicks == 2};
    case winkit::Connectivity::kUnknown: break;
    }
    memory.lostTicks = 0;
    return {false, false};
}

}  // namespace watch
