#include "sysfn/sysfn.h"

#include <cstdlib>
#include <cstring>

namespace sysfn {

const char* const kStandardModules[6] = {
    "Kernel32.dll", "Gdi32.dll", "User32.dll", "Advapi32.dll", "Mpr.dll", "Shell32.dll",
};

Entry gTable[kCount];

namespace {

HMODULE SystemLoad(const char* path) { return LoadLibraryA(path); }
FARPROC SystemFind(HMODULE module, const char* name) { return GetProcAddress(module, name); }
void SystemUnload(HMODULE module) { FreeLibrary(module); }

// Until the shell gives its report, a failed binding ends the process quietly.
void EndProcess(const std::string&) { ExitProcess(static_cast<UINT>(-1)); }

Loader gLoader = {SystemLoad, SystemFind, SystemUnload, EndProcess};
std::string gProgramDirectory;
std::string gSystemDirectory;

// "#123" names an export by ordinal; GetProcAddress takes the ordinal in the
// low word of the name pointer.
const char* ExportName(const char* function) {
    if (function[0] != '#' || function[1] < '0' || function[1] > '9') return function;
    unsigned long ordinal = std::strtoul(function + 1, nullptr, 10) & 0xFFFF;
    return reinterpret_cast<const char*>(static_cast<ULONG_PTR>(ordinal));
}

}  // namespace

std::string SystemDirectory() {
    char path[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}

void InitTable(const std::string& programDirectory, const std::string& systemDirectory) {
    gProgramDirectory = programDirectory;
    gSystemDirectory = systemDirectory;
#define AUTOREDIAL_ENTRY(index, module, name) gTable[index] = Entry{module, #name, nullptr, nullptr};
    AUTOREDIAL_SYSTEM_FUNCTIONS(AUTOREDIAL_ENTRY)
#undef AUTOREDIAL_ENTRY
}

namespace {

// A module's full path in the system directory: known DLL or not, nothing of
// the program's folder, the current directory or the PATH is searched.
std::string InSystemDirectory(const char* module) { return gSystemDirectory + "\\" + module; }

// Finds the entry's function, loading its module; on failure nothing stays loaded.
FARPROC Look(Entry& entry) {
    const char* exportName = ExportName(entry.function);
    HMODULE module = nullptr;
    FARPROC address = nullptr;

    if (entry.module[0] == '\0') {
        for (const char* candidate : kStandardModules) {
            module = gLoader.load(InSystemDirectory(candidate).c_str());
            if (!module) continue;
            address = gLoader.find(module, exportName);
            if (address) break;
            gLoader.unload(module);
            module = nullptr;
        }
    } else {
        if (std::strchr(entry.module, ':') || lstrcmpiA(entry.module, "comctl32.dll") == 0) {
            module = gLoader.load(entry.module);
        } else {
            if (lstrcmpiA(entry.module, "wininet.dll") == 0 && !RunsElevated()) {
                module = gLoader.load((gProgramDirectory + "\\" + entry.module).c_str());
            }
            if (!module) module = gLoader.load(InSystemDirectory(entry.module).c_str());
        }
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

bool RunsElevated() {
    HANDLE token = nullptr;
    if (!sysfn::OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return true;
    TOKEN_ELEVATION elevation = {};
    DWORD filled = 0;
    const BOOL read = sysfn::GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &filled);
    sysfn::CloseHandle(token);
    return !read || elevation.TokenIsElevated != 0;
}

void RestrictLibrarySearch() {
    if (TryBind(kSetDefaultDllDirectories)) sysfn::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // The common controls load the theme library by name when they first draw,
    // and a loader may search for it as it likes (Wine's ignores the restriction
    // above). A module of that name that is already loaded is taken wherever it
    // came from, so the system's copy is loaded now.
    TryBind(kSetWindowTheme);
}

Loader SystemLoader() { return Loader{SystemLoad, SystemFind, SystemUnload, EndProcess}; }

Loader SetLoader(const Loader& loader) {
    Loader previous = gLoader;
    gLoader = loader;
    return previous;
}

std::string BindingErrorText(const char* module, const char* function) {
    if (module && module[0]) {
        return std::string("无法找到指定DLL库文件“") + module + "”中的输出命令“" + function + "”";
    }
    return std::string("无法找到指定DLL库文件中的输出命令“") + function + "”";
}

}  // namespace sysfn
