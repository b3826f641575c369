#include "sysfn/sysfn.h"

#include <ole2.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace sysfn {

const wchar_t* const kStandardModules[6] = {
    L"Kernel32.dll", L"Gdi32.dll", L"User32.dll", L"Advapi32.dll", L"Mpr.dll", L"Shell32.dll",
};

Entry gTable[kCount];

namespace {

HMODULE SystemLoad(const wchar_t* path) { return LoadLibraryW(path); }
FARPROC SystemFind(HMODULE module, const char* name) { return GetProcAddress(module, name); }
void SystemUnload(HMODULE module) { FreeLibrary(module); }

// Until the shell gives its report, a failed binding ends the process quietly.
void EndProcess(const std::wstring&) { ExitProcess(static_cast<UINT>(-1)); }

Loader gLoader = {SystemLoad, SystemFind, SystemUnload, EndProcess};
std::wstring gSystemDirectory;

// "#123" names an export by ordinal; GetProcAddress takes the ordinal in the
// low word of the name pointer.
const char* ExportName(const char* function) {
    if (function[0] != '#' || function[1] < '0' || function[1] > '9') return function;
    unsigned long ordinal = std::strtoul(function + 1, nullptr, 10) & 0xFFFF;
    return reinterpret_cast<const char*>(static_cast<ULONG_PTR>(ordinal));
}

}  // namespace

std::wstring SystemDirectory() {
    wchar_t path[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(path, length) : std::wstring();
}

void InitTable() { InitTableIn(SystemDirectory()); }

void InitTableIn(const std::wstring& systemDirectory) {
    gSystemDirectory = systemDirectory;
#define AUTOREDIAL_ENTRY(module, name) gTable[k##name] = Entry{module, #name, nullptr, nullptr};
    AUTOREDIAL_SYSTEM_FUNCTIONS(AUTOREDIAL_ENTRY)
#undef AUTOREDIAL_ENTRY
}

namespace {

// A module's full path in the system directory: known DLL or not, nothing of
// the program's folder, the current directory or the PATH is searched.
std::wstring InSystemDirectory(const wchar_t* module) { return gSystemDirectory + L"\\" + module; }

// Finds the entry's function, loading its module; on failure nothing stays loaded.
FARPROC Look(Entry& entry) {
    const char* exportName = ExportName(entry.function);
    HMODULE module = nullptr;
    FARPROC address = nullptr;

    if (entry.module[0] == L'\0') {
        for (const wchar_t* candidate : kStandardModules) {
            module = gLoader.load(InSystemDirectory(candidate).c_str());
            if (!module) continue;
            address = gLoader.find(module, exportName);
            if (address) break;
            gLoader.unload(module);
            module = nullptr;
        }
    } else {
        // comctl32.dll goes by name: the manifest binds that name to the
        // system's side-by-side assembly of the common controls 6, which the
        // loader consults before any folder, and which is not the copy in the
        // system directory (the old version 5). A name with a drive is a full
        // path already. Every other module comes from the system directory,
        // elevated or not: the program's own folder is often a downloads
        // folder, and a library planted there would run in the instance that
        // later offers to restart as administrator.
        const bool byName = std::wcschr(entry.module, L':') || lstrcmpiW(entry.module, L"comctl32.dll") == 0;
        module = gLoader.load(byName ? entry.module : InSystemDirectory(entry.module).c_str());
        if (module) address = gLoader.find(module, exportName);
    }

    if (!address) {
        if (module) gLoader.unload(module);
        return nullptr;
    }
    entry.address = address;
    entry.moduleHandle = module;
    return address;
}

}  // namespace

FARPROC Bind(Index index) {
    Entry& entry = gTable[index];
    if (entry.address) return entry.address;
    FARPROC address = Look(entry);
    if (!address) gLoader.report(BindingErrorText(entry.module, entry.function));
    return address;  // null only where a test's report returns
}

FARPROC TryBind(Index index) {
    Entry& entry = gTable[index];
    return entry.address ? entry.address : Look(entry);
}

void ReleaseModules() {
    for (Entry& entry : gTable) {
        if (entry.moduleHandle) gLoader.unload(entry.moduleHandle);
        entry.moduleHandle = nullptr;
        entry.address = nullptr;
    }
}

void RestrictLibrarySearch() {
    if (TryBind(kSetDefaultDllDirectories)) sysfn::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // The common controls load the theme library by name when they first draw,
    // and a loader may search for it as it likes (Wine's ignores the restriction
    // above). A module of that name that is already loaded is taken wherever it
    // came from, so the system's copy is loaded now.
    TryBind(kSetWindowTheme);
}

namespace {

// What this thread's EnsureComApartment has to balance.
thread_local bool gApartmentStarted = false;
thread_local bool gOleStarted = false;

}  // namespace

bool EnsureComApartment() {
    if (gApartmentStarted) return true;
    // The apartment first, without OLE 1's DDE as the shell asks; OLE on top
    // of it (it then finds the apartment made), as the thread has had it.
    gApartmentStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    gOleStarted = gApartmentStarted && SUCCEEDED(OleInitialize(nullptr));
    return gApartmentStarted;
}

void EndComApartment() {
    if (gOleStarted) OleUninitialize();
    if (gApartmentStarted) CoUninitialize();
    gOleStarted = false;
    gApartmentStarted = false;
}

Loader SystemLoader() { return Loader{SystemLoad, SystemFind, SystemUnload, EndProcess}; }

Loader SetLoader(const Loader& loader) {
    Loader previous = gLoader;
    gLoader = loader;
    return previous;
}

std::wstring BindingErrorText(const wchar_t* module, const char* function) {
    // Export names are ASCII.
    const std::wstring name(function, function + std::strlen(function));
    if (module && module[0]) return std::wstring(L"无法找到指定DLL库文件“") + module + L"”中的输出命令“" + name + L"”";
    return L"无法找到指定DLL库文件中的输出命令“" + name + L"”";
}

}  // namespace sysfn
