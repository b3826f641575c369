#include "tests/soak/resources.h"

#include "app/shell.h"

#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

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

// The hooks that this executable's calls set and have not removed. The calls
// go through its import table, whose two entries are pointed at counting
// wrappers before any test runs.
int gHooks = 0;
decltype(&SetWinEventHook) gSetWinEventHook = nullptr;
decltype(&UnhookWinEvent) gUnhookWinEvent = nullptr;

HWINEVENTHOOK WINAPI CountingSetWinEventHook(DWORD first, DWORD last, HMODULE module, WINEVENTPROC procedure,
                                             DWORD processId, DWORD threadId, DWORD flags) {
    HWINEVENTHOOK hook = gSetWinEventHook(first, last, module, procedure, processId, threadId, flags);
    gHooks += hook != nullptr;
    return hook;
}

BOOL WINAPI CountingUnhookWinEvent(HWINEVENTHOOK hook) {
    const BOOL removed = gUnhookWinEvent(hook);
    gHooks -= removed != FALSE;
    return removed;
}

// Points the executable's import of user32's function of that name at
// replacement; returns what it pointed at, or null when there is no such import.
void* RedirectImport(const char* name, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); module->Name; ++module) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + module->Name), "user32.dll") != 0) continue;
        auto* named = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
        auto* bound = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
        for (; named->u1.AddressOfData; ++named, ++bound) {
            if (IMAGE_SNAP_BY_ORDINAL(named->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + named->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) != 0) continue;
            DWORD protection = 0;
            VirtualProtect(&bound->u1.Function, sizeof bound->u1.Function, PAGE_READWRITE, &protection);
            void* previous = reinterpret_cast<void*>(bound->u1.Function);
            bound->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&bound->u1.Function, sizeof bound->u1.Function, protection, &protection);
            return previous;
        }
    }
    return nullptr;
}

const bool gHooksCounted = [] {
    gSetWinEventHook = reinterpret_cast<decltype(gSetWinEventHook)>(
        RedirectImport("SetWinEventHook", reinterpret_cast<void*>(&CountingSetWinEventHook)));
    gUnhookWinEvent = reinterpret_cast<decltype(gUnhookWinEvent)>(
        RedirectImport("UnhookWinEvent", reinterpret_cast<void*>(&CountingUnhookWinEvent)));
    return gSetWinEventHook && gUnhookWinEvent;
}();

}  // namespace

Resources Measure() {
    app::ProcessPendingEvents();
    return {CountHandles(), CountGdiObjects(), CountUserObjects(), CountPrivateBytes(), gHooks};
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
    EXPECT_TRUE(gHooksCounted) << "the hooks were not counted";
    EXPECT_LE(after.hooks, before.hooks) << what << ": WinEvent hooks";
    std::printf("[ soak     ] %s: handles %d -> %d, GDI %d -> %d, USER %d -> %d, hooks %d -> %d, private %lld -> %lld KiB\n",
                what, before.handles, after.handles, before.gdiObjects, after.gdiObjects, before.userObjects,
                after.userObjects, before.hooks, after.hooks, static_cast<long long>(before.privateBytes / 1024),
                static_cast<long long>(after.privateBytes / 1024));
}

}  // namespace soak
