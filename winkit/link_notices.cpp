#include "winkit/link_notices.h"

#include "sysfn/scoped.h"
#include "sysfn/sysfn.h"

#include <netlistmgr.h>
#include <ocidl.h>

namespace winkit {

namespace {

HWND gWindow = nullptr;
UINT gMessage = 0;

// One sink for the program's run: it lives in static storage, so the
// references that the manager takes and gives back need no counting.
struct Sink final : INetworkListManagerEvents {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(INetworkListManagerEvents)) {
            *object = static_cast<INetworkListManagerEvents*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE ConnectivityChanged(NLM_CONNECTIVITY) override {
        if (gWindow) PostMessageW(gWindow, gMessage, 0, 0);
        return S_OK;
    }
};
Sink gSink;

// The advice in force, and the manager it was made on.
sysfn::ComRef<INetworkListManager> gManager;
sysfn::ComRef<IConnectionPoint> gPoint;
DWORD gCookie = 0;

}  // namespace

bool AdviseLinkNotices(HWND window, UINT message) {
    UnadviseLinkNotices();
    if (!sysfn::EnsureComApartment()) return false;
    void* created = nullptr;
    const HRESULT result = sysfn::CoCreateInstance(__uuidof(NetworkListManager), nullptr,
                                                   CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                                   __uuidof(INetworkListManager), &created);
    if (FAILED(result) || !created) return false;
    sysfn::ComRef<INetworkListManager> manager;
    manager.p = static_cast<INetworkListManager*>(created);
    sysfn::ComRef<IConnectionPointContainer> container;
    if (FAILED(manager.p->QueryInterface(__uuidof(IConnectionPointContainer), reinterpret_cast<void**>(&container.p))) ||
        !container.p) {
        container.p = nullptr;
        return false;
    }
    sysfn::ComRef<IConnectionPoint> point;
    if (FAILED(container.p->FindConnectionPoint(__uuidof(INetworkListManagerEvents), &point.p)) || !point.p) {
        point.p = nullptr;
        return false;
    }
    // Set before Advise: a manager may report the present state at once.
    gWindow = window;
    gMessage = message;
    DWORD cookie = 0;
    const bool advised = SUCCEEDED(point.p->Advise(&gSink, &cookie));
    // A manager may let messages be dispatched inside Advise: an advice made
    // there meanwhile is the one kept, and this one is undone.
    if (gPoint.p) {
        if (advised) point.p->Unadvise(cookie);
        return true;
    }
    if (!advised) {
        gWindow = nullptr;
        return false;
    }
    gPoint.p = point.p;
    point.p = nullptr;
    gManager.p = manager.p;
    manager.p = nullptr;
    gCookie = cookie;
    return true;
}

void UnadviseLinkNotices() {
    gWindow = nullptr;
    if (!gPoint.p) return;
    gPoint.p->Unadvise(gCookie);
    gPoint.Reset();
    gManager.Reset();
    gCookie = 0;
}

bool LinkNoticesAdvised() { return gPoint.p != nullptr; }

}  // namespace winkit
