// A stand-in for the system's Network List Manager in in-process tests. While
// a FakeNetworkList lives, the system-function table's CoCreateInstance entry
// creates fake managers whose GetConnectivity answers what the test set, or
// fails as on a system without the manager. One at a time.
#pragma once

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
    // Creation succeeds; GetConnectivity returns result and, on S_OK, sets the flags.
    void Answer(int connectivity, HRESULT result = S_OK);

    int created() const;  // managers handed out
    int asked() const;    // GetConnectivity calls
    int alive() const;    // managers not yet released to their last reference
    int wrongIds() const;  // creations asked for another class or interface

private:
    FARPROC saved_;
};

}  // namespace support
