// The dial click where a real system gets in the way: a click that the client
// never got (higher rights, a restarted client) is not counted.
#pragma once

namespace watch {

struct Watch;

// kTargetLine names the dial target in use; kRedialCount shows the count.
void ShowDialTarget(const Watch& watch);
void ShowRedialCount(const Watch& watch);

// Start's part: remembers what identifies the dial target besides its handle
// and, when its program runs with higher rights than ours, makes the offer to
// restart as administrator.
void RememberDialTarget(Watch& watch);

// A down tick's click. When the dial target no longer names the button taken
// at Start, the same button is looked for in the running client and used
// under its new handle (kTargetLine shows it). The click counts (kRedialCount)
// only when the system took it; otherwise kTargetLine says why, and a refusal
// for want of rights makes the offer.
void DialOnce(Watch& watch);

}  // namespace watch
