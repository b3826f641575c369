#include "tests/soak/resources.h"

#include "app/shell.h"

#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <cstdio>

namespace soak {

namespace {

int CountHandles() {
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0) return static_cast<int>(count);
    // Probing stops well past the last live handle.
    const int kMisses = 2048;
    int live = 0;
    int misses = 0;
    for (uintptr_t value = 4; misses < kMisses; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
            ++live;
            misses = 0;
        } else {
            ++misses;
        }
    }
    return live;
}

int CountGdiObjects() {
    if (DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<int>(count);
    int live = 0;
    for (uintptr_t index = 1; index <= 0xFFFF; ++index) {
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) ++live;
    }
    return live;
}

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

BOOL CALLBACK CountOwnWindow(HWND hwnd, LPARAM count) {
    DWORD processId = 0;
    GetWindowThreadProcessId(hwnd, &processId);
    if (processId == GetCurrentProcessId()) {
        ++*reinterpret_cast<int*>(count);
        EnumChildWindows(hwnd, CountChild, count);
    }
    return TRUE;
}

int CountUserObjects() {
    if (DWORD count = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)) return static_cast<int>(count);
    int windows = 0;
    EnumWindows(CountOwnWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

int64_t CountPrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                              sizeof memory))
        return 0;
    return static_cast<int64_t>(memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage);
}

}  // namespace

Resources Measure() {
    app::ProcessPendingEvents();
    return {CountHandles(), CountGdiObjects(), CountUserObjects(), CountPrivateBytes()};
}

void ExpectFlat(const Resources& before, const Resources& after, const char* what) {
    EXPECT_GT(before.handles, 0) << what << ": no handle was counted";
    EXPECT_GT(before.gdiObjects, 0) << what << ": no GDI object was counted";
    EXPECT_GT(before.userObjects, 0) << what << ": no window was counted";
    EXPECT_GT(before.privateBytes, 0) << what << ": no memory was counted";
    EXPECT_LE(after.handles - before.handles, kObjectSlack) << what << ": kernel handles";
    EXPECT_LE(after.gdiObjects - before.gdiObjects, kObjectSlack) << what << ": GDI objects";
    EXPECT_LE(after.userObjects - before.userObjects, kObjectSlack) << what << ": USER objects";
    EXPECT_LE(after.privateBytes - before.privateBytes, kMemorySlack) << what << ": private bytes";
    std::printf("[ soak     ] %s: handles %d -> %d, GDI %d -> %d, USER %d -> %d, private %lld -> %lld KiB\n", what,
                before.handles, after.handles, before.gdiObjects, after.gdiObjects, before.userObjects,
                after.userObjects, static_cast<long long>(before.privateBytes / 1024),
                static_cast<long long>(after.privateBytes / 1024));
}

}  // namespace soak
