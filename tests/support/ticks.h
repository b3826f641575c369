// The notation of the runs of watch ticks that the watch's suites write.
//
// Ticks: 'x' the link test down; with the link test connected, the manager
// says 'i' IPv4 Internet, '6' IPv6 Internet, 'n' local network only, '0'
// nothing, 'f' fails to answer, '-' is missing; 'S' is Start, not a tick.
// Verdicts: 'u' 联网呢, 'D' 断网了 and a click, 'd' 断网了 without one.
#pragma once

#include "winkit/connectivity.h"

namespace support {

inline winkit::Connectivity ManagerAnswer(char tick) {
    if (tick == 'i' || tick == '6') return winkit::Connectivity::kInternet;
    if (tick == 'n' || tick == '0') return winkit::Connectivity::kNoInternet;
    return winkit::Connectivity::kUnknown;
}

inline char VerdictLetter(bool down, bool click) { return !down ? 'u' : click ? 'D' : 'd'; }

}  // namespace support
