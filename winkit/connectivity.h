// Whether the system has confirmed Internet connectivity, as its Network List
// Manager (Windows Vista and later) reports it. The program sends nothing
// itself: the answer is the system's own.
#pragma once

namespace winkit {

enum class Connectivity {
    kUnknown,     // no manager (older systems, COM not initialised) or it failed to answer
    kNoInternet,  // the manager answered, with neither the IPv4 nor the IPv6 Internet flag
    kInternet,    // the manager answered with the IPv4 or the IPv6 Internet flag
};

// Creates the manager through the system-function table's CoCreateInstance,
// asks it once and releases it again, all within the call. The first call
// starts OLE for the calling thread (OleInitialize), which stays up until
// EndOle; without COM on the thread the answer is kUnknown. A call may dispatch
// messages while it waits for the system's service, so callers keep no
// half-updated state across it.
Connectivity InternetConnectivity();

// Starts OLE for the calling thread on first use; true while it is up.
bool EnsureOle();

// Ends OLE for the thread if InternetConnectivity started it (at shutdown).
void EndOle();

}  // namespace winkit
