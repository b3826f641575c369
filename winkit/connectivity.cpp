#include "winkit/connectivity.h"

#include "sysfn/scoped.h"
#include "sysfn/sysfn.h"

#include <windows.h>
#include <netlistmgr.h>
#include <objbase.h>

namespace winkit {

namespace {

constexpr DWORD kInternetFlags = NLM_CONNECTIVITY_IPV4_INTERNET | NLM_CONNECTIVITY_IPV6_INTERNET;

}  // namespace

Connectivity InternetConnectivity() {
    // Started here rather than at launch: the window needs no COM.
    sysfn::EnsureComApartment();
    // The identifiers come from the header's uuid declarations, so no import
    // library of GUIDs is linked.
    void* created = nullptr;
    const HRESULT result = sysfn::CoCreateInstance(__uuidof(NetworkListManager), nullptr,
                                                   CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                                   __uuidof(INetworkListManager), &created);
    // A failed creation hands out nothing to release.
    if (FAILED(result) || !created) return Connectivity::kUnknown;
    sysfn::ComRef<INetworkListManager> manager;
    manager.p = static_cast<INetworkListManager*>(created);

    NLM_CONNECTIVITY connectivity = NLM_CONNECTIVITY_DISCONNECTED;
    // Only a plain S_OK is an answer; anything else leaves the verdict to the
    // system's older link test.
    if (manager.p->GetConnectivity(&connectivity) != S_OK) return Connectivity::kUnknown;
    return (static_cast<DWORD>(connectivity) & kInternetFlags) ? Connectivity::kInternet : Connectivity::kNoInternet;
}

}  // namespace winkit
