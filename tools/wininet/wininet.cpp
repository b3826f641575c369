// A wininet.dll for tests: InternetGetConnectedState answers what a test put
// into the shared LinkState, and counts the call there. Without the mapping
// the link is up.
#include "tools/wininet/link.h"

#include <windows.h>

namespace {

// The flag values of <wininet.h>, which declares the function as imported.
constexpr DWORD kConnectionModem = 0x01;
constexpr DWORD kConnectionLan = 0x02;
constexpr DWORD kRasInstalled = 0x10;

bool ReadLink() {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, standin_link::kMappingName);
    if (!mapping) return true;
    bool connected = true;
    if (void* view = MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(standin_link::LinkState))) {
        auto* state = static_cast<standin_link::LinkState*>(view);
        connected = InterlockedCompareExchange(&state->connected, 0, 0) != 0;
        InterlockedIncrement(&state->queries);
        UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
    return connected;
}

}  // namespace

extern "C" BOOL WINAPI InternetGetConnectedState(LPDWORD flags, DWORD) {
    const bool connected = ReadLink();
    // A configured dial-up link: on the LAN when up, the modem when down.
    if (flags) *flags = connected ? kConnectionLan | kRasInstalled : kConnectionModem | kRasInstalled;
    return connected ? TRUE : FALSE;
}
