// What the test process holds, counted as far as the system lets it be
// counted, so a long run can show that it gives back what it takes.
//
// What Wine 8 reports, and what is counted instead:
// - GetProcessHandleCount succeeds with 0, so kernel handles are counted by
//   asking GetHandleInformation about each handle value in turn (handles are
//   given out lowest-free-first, so the live ones sit low and together);
// - GetGuiResources answers 0 for both kinds. GDI objects are counted by
//   GetObjectType on each bare table index, which Wine accepts for a live
//   object of any generation. Its cursors and icons hold GDI bitmaps, so a
//   lost cursor shows there too. USER objects are counted as the windows of
//   this process;
// - PrivateUsage stays 0; PagefileUsage is the anonymous resident memory plus
//   swap, which is what a leak of heap memory makes grow.
// On Windows the system's own counts are used. Neither system counts the
// WinEvent hooks in place: this executable's calls that set and remove them
// are counted instead, from its start.
#pragma once

#include <cstdint>

namespace soak {

struct Resources {
    int handles;
    int gdiObjects;
    int userObjects;
    int64_t privateBytes;
    int hooks;  // WinEvent hooks in place
};

// Dispatches what is queued, then counts.
Resources Measure();

// How far a count may drift between a warm-up and the end of a run. A leak of
// one object a tick or a drag exceeds these many times over; 256 KiB is 26
// bytes a tick over 10 000 ticks.
constexpr int kObjectSlack = 3;
constexpr int64_t kMemorySlack = 256 * 1024;

// Fails the running test when a count grew by more than its slack (hooks: at
// all), and prints both counts under the given name.
void ExpectFlat(const Resources& before, const Resources& after, const char* what);

}  // namespace soak
