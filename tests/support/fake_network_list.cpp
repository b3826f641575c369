#include "tests/support/fake_network_list.h"

#include "sysfn/sysfn.h"

#include <type_traits>

namespace support {

namespace {

struct Settings {
    bool present = false;
    NLM_CONNECTIVITY connectivity = NLM_CONNECTIVITY_DISCONNECTED;
    HRESULT result = S_OK;
    int alive = 0;
};
Settings gFake;

// Implements the system's interface so that the product reaches it through the
// real vtable layout and calling convention.
struct FakeManager final : INetworkListManager {
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
        *object = nullptr;
        return E_NOINTERFACE;
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

FakeNetworkList::FakeNetworkList() : entry_(&FakeCoCreateInstance) { gFake = Settings(); }

FakeNetworkList::~FakeNetworkList() = default;

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
