#include "tests/support/fake_network_list.h"

#include "sysfn/sysfn.h"

#include <ocidl.h>
#include <olectl.h>

#include <map>
#include <type_traits>

namespace support {

namespace {

struct Settings {
    bool present = false;
    NLM_CONNECTIVITY connectivity = NLM_CONNECTIVITY_DISCONNECTED;
    HRESULT result = S_OK;
    int alive = 0;
    bool refuseSinks = false;
    std::map<DWORD, INetworkListManagerEvents*> sinks;  // by cookie, each holding one reference
    DWORD nextCookie = 1;
    void (*during)() = nullptr;
    bool inside = false;
};
Settings gFake;

// The test's work inside a call; not again inside itself.
void During() {
    if (!gFake.during || gFake.inside) return;
    gFake.inside = true;
    gFake.during();
    gFake.inside = false;
}

void DropSinks() {
    for (auto& sink : gFake.sinks) sink.second->Release();
    gFake.sinks.clear();
}

// The one connection point that every fake manager hands out.
struct FakePoint final : IConnectionPoint {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IConnectionPoint)) {
            *object = static_cast<IConnectionPoint*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
        *iid = __uuidof(INetworkListManagerEvents);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
        if (!sink || !cookie) return E_POINTER;
        *cookie = 0;
        if (gFake.refuseSinks) return CONNECT_E_CANNOTCONNECT;
        void* events = nullptr;
        if (FAILED(sink->QueryInterface(__uuidof(INetworkListManagerEvents), &events))) return CONNECT_E_CANNOTCONNECT;
        *cookie = gFake.nextCookie++;
        gFake.sinks[*cookie] = static_cast<INetworkListManagerEvents*>(events);
        During();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
        auto found = gFake.sinks.find(cookie);
        if (found == gFake.sinks.end()) return CONNECT_E_NOCONNECTION;
        found->second->Release();
        gFake.sinks.erase(found);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }
};
FakePoint gPoint;

// Implements the system's interface so that the product reaches it through the
// real vtable layout and calling convention.
struct FakeManager final : INetworkListManager, IConnectionPointContainer {
    LONG refs = 1;

    FakeManager() { ++gFake.alive; }
    ~FakeManager() { --gFake.alive; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(INetworkListManager)) {
            *object = static_cast<INetworkListManager*>(this);
            AddRef();
            return S_OK;
        }
        if (iid == __uuidof(IConnectionPointContainer)) {
            *object = static_cast<IConnectionPointContainer*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override {
        if (!point) return E_POINTER;
        *point = nullptr;
        if (iid != __uuidof(INetworkListManagerEvents)) return CONNECT_E_NOCONNECTION;
        *point = &gPoint;  // static: no reference to count
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = --refs;
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetNetworks(NLM_ENUM_NETWORK, IEnumNetworks**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetNetwork(GUID, INetwork**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetNetworkConnections(IEnumNetworkConnections**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetNetworkConnection(GUID, INetworkConnection**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsConnectedToInternet(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsConnected(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetConnectivity(NLM_CONNECTIVITY* connectivity) override {
        if (!connectivity) return E_POINTER;
        During();
        if (gFake.result == S_OK) *connectivity = gFake.connectivity;
        return gFake.result;
    }
};

HRESULT WINAPI FakeCoCreateInstance(REFCLSID cls, LPUNKNOWN outer, DWORD, REFIID iid, LPVOID* object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!gFake.present || cls != __uuidof(NetworkListManager) || outer) return REGDB_E_CLASSNOTREG;
    auto* manager = new FakeManager;
    const HRESULT result = manager->QueryInterface(iid, object);
    manager->Release();
    return result;
}
static_assert(std::is_same<decltype(&FakeCoCreateInstance), decltype(&::CoCreateInstance)>::value,
              "the fake must have the system's signature and calling convention");

}  // namespace

FakeNetworkList::FakeNetworkList() : entry_(&FakeCoCreateInstance) {
    DropSinks();
    gFake = Settings();
}

FakeNetworkList::~FakeNetworkList() {
    DropSinks();
    gFake.during = nullptr;
}

void FakeNetworkList::NoManager() { gFake.present = false; }

void FakeNetworkList::Answer(int connectivity, HRESULT result) {
    gFake.present = true;
    gFake.connectivity = static_cast<NLM_CONNECTIVITY>(connectivity);
    gFake.result = result;
}

int FakeNetworkList::alive() const { return gFake.alive; }

void FakeNetworkList::AnswerAs(char tick) {
    if (tick == '-') return NoManager();
    Answer(tick == 'i' ? NLM_CONNECTIVITY_IPV4_INTERNET : tick == '6' ? NLM_CONNECTIVITY_IPV6_INTERNET
           : tick == 'n' ? NLM_CONNECTIVITY_IPV4_LOCALNETWORK : NLM_CONNECTIVITY_DISCONNECTED,
           tick == 'f' ? E_FAIL : S_OK);
}

}  // namespace support

namespace support {

void FakeNetworkList::RefuseSinks() { gFake.refuseSinks = true; }

void FakeNetworkList::DuringCalls(void (*work)()) { gFake.during = work; }

int FakeNetworkList::advised() const { return static_cast<int>(gFake.sinks.size()); }

void FakeNetworkList::Fire(int connectivity) {
    // A sink may unadvise from within its call.
    const auto sinks = gFake.sinks;
    for (auto& sink : sinks) sink.second->ConnectivityChanged(static_cast<NLM_CONNECTIVITY>(connectivity));
}

}  // namespace support
