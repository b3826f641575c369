// One instance of the program a session: a named mutex in the session's
// Local\ namespace, owned by the instance that runs until it ends (its end,
// however it comes, lets the next one have it).
#pragma once

#include <windows.h>

namespace winkit {

enum class Instance {
    First,    // this instance owns the guard
    Running,  // another instance owns it, or keeps us from it
};

// Takes the guard of the given name, waiting up to waitMs for an instance
// that is on its way out, and keeps it until ReleaseInstance. Running when
// another instance holds it past the wait, or when the system refuses us
// access to it (an instance with more rights made it). Any other failure is
// First, without a guard: the program runs rather than not at all.
Instance ClaimInstance(const wchar_t* name, DWORD waitMs);

// Gives the guard up and closes it; nothing when none is held.
void ReleaseInstance();

}  // namespace winkit
