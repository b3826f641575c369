// A stand-in for the system's Network List Manager in in-process tests. While
// a FakeNetworkList lives, the system-function table's CoCreateInstance entry
// creates fake managers whose GetConnectivity answers what the test set, or
// fails as on a system without the manager. Their connection point takes sinks
// of INetworkListManagerEvents, which the test fires. One at a time.
#pragma once

#include "tests/support/probe.h"

#include <windows.h>
#include <netlistmgr.h>

namespace support {

class FakeNetworkList {
public:
    FakeNetworkList();  // no manager until Answer is called
    ~FakeNetworkList();
    FakeNetworkList(const FakeNetworkList&) = delete;
    FakeNetworkList& operator=(const FakeNetworkList&) = delete;

    // Creation fails with REGDB_E_CLASSNOTREG, as without the manager.
    void NoManager();
    // Creation succeeds; GetConnectivity returns result and, on S_OK, the flags.
    void Answer(int connectivity, HRESULT result = S_OK);
    // Managers handed out and not yet released to their last reference.
    int alive() const;

    // Advise fails (CONNECT_E_CANNOTCONNECT), as a manager that takes no sink.
    void RefuseSinks();
    // Sinks advised and not yet unadvised.
    int advised() const;
    // Calls ConnectivityChanged of every advised sink, on this thread, as COM
    // delivers it to a single-threaded apartment.
    void Fire(int connectivity = NLM_CONNECTIVITY_IPV4_LOCALNETWORK);

private:
    TableFake entry_;
};

}  // namespace support
