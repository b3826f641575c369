// Owner of a kernel handle that the toolkit opens and closes within one call
// (snapshots, timers). Closing goes through the system-function table.
#pragma once

#include "sysfn/sysfn.h"

#include <windows.h>

namespace winkit {

struct OwnedHandle {
    HANDLE handle;

    explicit OwnedHandle(HANDLE opened) : handle(opened) {}
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    ~OwnedHandle() {
        if (valid()) sysfn::CloseHandle(handle);
    }

    // A Toolhelp snapshot fails with INVALID_HANDLE_VALUE, a timer with null.
    bool valid() const { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
};

}  // namespace winkit
