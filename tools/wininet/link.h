// The shared memory through which a test sets what the stand-in wininet.dll
// answers. Whoever creates it keeps it open; the DLL opens it on every call.
#pragma once

#include <windows.h>

namespace standin_link {

constexpr char kMappingName[] = "autoredial-standin-link";

struct LinkState {
    LONG connected;  // nonzero: InternetGetConnectedState answers TRUE
    LONG queries;    // calls of InternetGetConnectedState that found the mapping
};

}  // namespace standin_link
