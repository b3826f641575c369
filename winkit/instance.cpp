#include "winkit/instance.h"

#include "sysfn/sysfn.h"

namespace winkit {

namespace {

HANDLE gGuard = nullptr;

}  // namespace

Instance ClaimInstance(const wchar_t* name, DWORD waitMs) {
    ReleaseInstance();
    // An elevated instance's guard is closed to an instance with fewer rights:
    // that one runs as surely as if it were let in.
    HANDLE mutex = sysfn::CreateMutexW(nullptr, FALSE, name);
    if (!mutex) return GetLastError() == ERROR_ACCESS_DENIED ? Instance::Running : Instance::First;
    // An instance that ended without giving it up (killed, or crashed)
    // leaves it abandoned: ours all the same.
    const DWORD waited = WaitForSingleObject(mutex, waitMs);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        sysfn::CloseHandle(mutex);
        return Instance::Running;
    }
    gGuard = mutex;
    return Instance::First;
}

void ReleaseInstance() {
    if (!gGuard) return;
    ReleaseMutex(gGuard);
    sysfn::CloseHandle(gGuard);
    gGuard = nullptr;
}

}  // namespace winkit
