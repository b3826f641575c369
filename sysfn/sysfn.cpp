#include "sysfn/sysfn.h"

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
std::wstring gProgramDirectory;

// "#123" names an export by ordinal; GetProcAddress takes the ordinal in the
// low word of the name pointer.
const char* ExportName(const char* function) {
    if (function[0] != '#' || function[1] < '0' || function[1] > '9') return function;
    unsigned long ordinal = std::strtoul(function + 1, nullptr, 10) & 0xFFFF;
    return reinterpret_cast<const char*>(static_cast<ULONG_PTR>(ordinal));
}

}  // namespace

void InitTable(const std::wstring& programDirectory) {
    gProgramDirectory = programDirectory;
#define AUTOREDIAL_ENTRY(index, module, name) gTable[index] = Entry{module, #name, nullptr, nullptr};
    AUTOREDIAL_SYSTEM_FUNCTIONS(AUTOREDIAL_ENTRY)
#undef AUTOREDIAL_ENTRY
}

namespace {

// Finds the entry's function, loading its module; on failure nothing stays loaded.
FARPROC Look(Entry& entry) {
    const char* exportName = ExportName(entry.function);
    HMODULE module = nullptr;
    FARPROC address = nullptr;

    if (entry.module[0] == L'\0') {
        for (const wchar_t* candidate : kStandardModules) {
            module = gLoader.load(candidate);
            if (!module) continue;
            address = gLoader.find(module, exportName);
            if (address) break;
            gLoader.unload(module);
            module = nullptr;
        }
    } else {
        if (!std::wcschr(entry.module, L':')) {
            std::wstring path = gProgramDirectory + L"\\" + entry.module;
            module = gLoader.load(path.c_str());
        }
        if (!module) module = gLoader.load(entry.module);
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
