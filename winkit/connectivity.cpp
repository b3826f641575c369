#include "winkit/connectivity.h"

#include "sysfn/sysfn.h"

#include <windows.h>
#include <netlistmgr.h>
#include <ole2.h>

namespace winkit {

namespace {

// Owner of the one reference that CoCreateInstance hands out.
struct ManagerRef {
    INetworkListManager* manager = nullptr;

    ManagerRef() = default;
    ManagerRef(const ManagerRef&) = delete;
    ManagerRef& operator=(const ManagerRef&) = delete;
    ~ManagerRef() {
        if (manager) manager->Release();
    }
};

bool gOleStarted = false;

constexpr DWORD kInternetFlags = NLM_CONNECTIVITY_IPV4_INTERNET | NLM_CONNECTIVITY_IPV6_INTERNET;

}  // namespace

bool EnsureOle() {
    // Started here rather than at launch: the window needs no OLE.
    if (!gOleStarted) gOleStarted = SUCCEEDED(OleInitialize(nullptr));
    return gOleStarted;
}

Connectivity InternetConnectivity() {
    EnsureOle();
    // The identifiers come from the header's uuid declarations, so no import
    // library of GUIDs is linked.
    void* created = nullptr;
    const HRESULT result = sysfn::CoCreateInstance(__uuidof(NetworkListManager), nullptr,
                                                   CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                                   __uuidof(INetworkListManager), &created);
    // A failed creation hands out nothing to release.
    if (FAILED(result) || !created) return Connectivity::kUnknown;
    ManagerRef ref;
    ref.manager = static_cast<INetworkListManager*>(created);

    NLM_CONNECTIVITY connectivity = NLM_CONNECTIVITY_DISCONNECTED;
    // Only a plain S_OK is an answer; anything else leaves the verdict to the
    // system's older link test.
    if (ref.manager->GetConnectivity(&connectivity) != S_OK) return Connectivity::kUnknown;
    return (static_cast<DWORD>(connectivity) & kInternetFlags) ? Connectivity::kInternet : Connectivity::kNoInternet;
}

void EndOle() {
    if (gOleStarted) OleUninitialize();
    gOleStarted = false;
}

}  // namespace winkit
