// A stand-in for the system's Network List Manager in in-process tests. While
// a FakeNetworkList lives, the system-function table's CoCreateInstance entry
// creates fake managers whose GetConnectivity answers what the test set, or
// fails as on a system without the manager. One at a time.
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
    // Answers as a tick of the notation of tests/support/ticks.h says the
    // manager does ('x' and 'S' leave the answer as it was).
    void AnswerAs(char tick);
    // Managers handed out and not yet released to their last reference.
    int alive() const;

private:
    TableFake<sysfn::kCoCreateInstance> entry_;
};

}  // namespace support
