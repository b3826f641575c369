// The system functions that are not linked: each is bound by name the first
// time it is called, and called as sysfn::Name(...) through a pointer of the
// exact type that the system header declares. An entry is here for one of
// three reasons:
// - the link watcher and the toolkit reach other programs and the system with
//   it, so a test can fake it where Wine does not show what Windows does
//   (watch/ and winkit/ call it only through the table: scripts/check-table;
//   the hyperlink box asks the table for the Windows folder of its hand);
// - its module is not one of the system's known DLLs, so it is loaded by full
//   path from the system directory (wininet, uxtheme, shcore; comctl32 by name, which
//   the manifest binds, once start-up has restricted the search);
// - older systems lack it, or Microsoft marks it as one that may be altered or
//   unavailable, and the program does without (TryBind, or an optional entry,
//   below).
// A function that cannot be bound is a fatal fault, handed to the loader
// record's report. The lowest layer: it includes nothing of the program's own.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <tlhelp32.h>
#include <wininet.h>
#include <shellapi.h>
#include <uxtheme.h>
#include <commctrl.h>
#include <shellscalingapi.h>

#include <string>

// Declared by the system header only for Windows 10 builds, and this program
// is built for Windows 7 on.
#if WINVER < 0x0605
extern "C" WINUSERAPI UINT WINAPI GetDpiForWindow(HWND hwnd);
#endif
// Likewise from Windows 8.1 on.
#if NTDDI_VERSION < NTDDI_WINBLUE
extern "C" HRESULT WINAPI GetDpiForMonitor(HMONITOR monitor, MONITOR_DPI_TYPE type, UINT* dpiX, UINT* dpiY);
#endif

// module (L"" = the standard module list), function; the order gives the
// index. Every entry that takes or gives text is the system's wide (…W) form.
#define AUTOREDIAL_SYSTEM_FUNCTIONS(X)              \
    X(L"wininet.dll", InternetGetConnectedState)    \
    X(L"", PostMessageW)                            \
    X(L"", CreateToolhelp32Snapshot)                \
    X(L"", Process32FirstW)                         \
    X(L"", Process32NextW)                          \
    X(L"", CloseHandle)                             \
    X(L"", Module32FirstW)                          \
    X(L"", GetDesktopWindow)                        \
    X(L"", GetWindow)                               \
    X(L"", IsWindowVisible)                         \
    X(L"", GetWindowTextW)                          \
    X(L"", GetClassNameW)                           \
    X(L"", GetWindowThreadProcessId)                \
    X(L"", IsWindow)                                \
    X(L"", GetCurrentThreadId)                      \
    X(L"", AttachThreadInput)                       \
    X(L"", SetFocus)                                \
    X(L"", MapVirtualKeyW)                          \
    X(L"", SendInput)                               \
    X(L"", CreateWaitableTimerW)                    \
    X(L"", SetWaitableTimer)                        \
    X(L"", MsgWaitForMultipleObjects)               \
    X(L"", WindowFromPoint)                         \
    X(L"", SetLayeredWindowAttributes)              \
    X(L"ole32.dll", CoCreateInstance)               \
    X(L"", SendMessageTimeoutW)                     \
    X(L"", OpenProcess)                             \
    X(L"", OpenProcessToken)                        \
    X(L"", GetTokenInformation)                     \
    X(L"", ShellExecuteExW)                         \
    X(L"", MessageBoxW)                             \
    X(L"uxtheme.dll", SetWindowTheme)               \
    X(L"", SetDefaultDllDirectories)                \
    X(L"comctl32.dll", InitCommonControlsEx)        \
    X(L"", GetTickCount)                            \
    X(L"", IsHungAppWindow)                         \
    X(L"", CreateMutexW)                            \
    X(L"", GetDpiForWindow)                         \
    X(L"", GetGUIThreadInfo)                        \
    X(L"", GetSystemWindowsDirectoryW)              \
    X(L"shcore.dll", GetDpiForMonitor)              \
    /* a new entry goes above this line */

namespace sysfn {

enum Index {
#define AUTOREDIAL_INDEX(module, name) k##name,
    AUTOREDIAL_SYSTEM_FUNCTIONS(AUTOREDIAL_INDEX)
#undef AUTOREDIAL_INDEX
    kCount
};

// The first entries keep their places: the link watcher's calls come first.
static_assert(kInternetGetConnectedState == 0 && kPostMessageW == 1 && kCreateToolhelp32Snapshot == 2 &&
                  kProcess32FirstW == 3 && kProcess32NextW == 4 && kCloseHandle == 5 && kModule32FirstW == 6 &&
                  kGetDesktopWindow == 7 && kGetWindow == 8 && kIsWindowVisible == 9 && kGetWindowTextW == 10 &&
                  kGetClassNameW == 11 && kGetWindowThreadProcessId == 12 && kIsWindow == 13 &&
                  kGetCurrentThreadId == 14 && kAttachThreadInput == 15 && kSetFocus == 16 &&
                  kMapVirtualKeyW == 17 && kSendInput == 18 && kCreateWaitableTimerW == 19 &&
                  kSetWaitableTimer == 20 && kMsgWaitForMultipleObjects == 21 && kWindowFromPoint == 22,
              "the table's first entries moved");

// Each entry's exact type, as the system header declares the function.
template <Index index>
struct EntryType;
#define AUTOREDIAL_TYPE(module, name)     \
    template <>                           \
    struct EntryType<k##name> {           \
        using type = decltype(&::name);   \
    };
AUTOREDIAL_SYSTEM_FUNCTIONS(AUTOREDIAL_TYPE)
#undef AUTOREDIAL_TYPE
template <Index index>
using Function = typename EntryType<index>::type;

// The one place where an address of the table and its entry's type meet.
template <Index index>
Function<index> Typed(FARPROC address) {
    return reinterpret_cast<Function<index>>(reinterpret_cast<void*>(address));
}
template <Index index>
FARPROC Untyped(Function<index> function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(function));
}

struct Entry {
    const wchar_t* module;  // L"" searches the standard module list
    const char* function;   // export name, or "#" and an ordinal
    FARPROC address;       // null until the first call binds it
    HMODULE moduleHandle;  // the module that the binding loaded
};

// How modules are loaded, searched and released, and where a binding that
// fails is reported. Tests put a fake in place to see what is loaded and freed,
// and in which order.
struct Loader {
    HMODULE (*load)(const wchar_t* path);
    FARPROC (*find)(HMODULE module, const char* exportName);
    void (*unload)(HMODULE module);
    void (*report)(const std::wstring& message);  // does not return, but in tests
};

// The standard module list, in search order, for entries without a module.
extern const wchar_t* const kStandardModules[6];

extern Entry gTable[kCount];

// The system directory (GetSystemDirectoryW), without a trailing backslash.
std::wstring SystemDirectory();

// Sets up every entry, unbound. A module is loaded by its full path in the
// system directory, whether this instance runs elevated or not: nothing is
// taken from the program's folder, the current directory or the PATH.
// comctl32.dll is loaded by name: the manifest binds that name to the
// system's side-by-side assembly of the common controls 6.
void InitTable();
// The same with another system directory (a test's), without a trailing backslash.
void InitTableIn(const std::wstring& systemDirectory);

// From here on, a library that the process loads by name (this program or a
// system DLL on its behalf) is looked for in the system directory only, where
// the system has SetDefaultDllDirectories (a Windows 7 without KB2533623 does
// not). The theme library, which the common controls load by name, is loaded
// from the system directory at once, so that the name finds that copy.
void RestrictLibrarySearch();

// Binds an entry: returns its address, or reports a function that cannot be
// bound (the report ends the program).
FARPROC Bind(Index index);

inline FARPROC Bound(Index index) {
    FARPROC address = gTable[index].address;
    return address ? address : Bind(index);
}

// Unloads every module that the table loaded and unbinds its entries.
void ReleaseModules();

// Binds an entry if it can; null, and nothing reported, when it cannot. For
// functions that older systems lack and the program can do without.
FARPROC TryBind(Index index);

// The system's loader (LoadLibraryW, GetProcAddress, FreeLibrary); its report
// ends the process quietly until the shell puts its own in place.
Loader SystemLoader();

// Replaces the loader; returns the one that was in place. The shell puts the
// system's loader with its own report in place at start-up.
Loader SetLoader(const Loader& loader);

// COM and OLE on the calling thread, as the shell's ShellExecute(Ex)W ask
// them of their callers and the Network List Manager needs them: a
// single-threaded apartment without OLE 1 DDE, then OleInitialize. Started at
// the thread's first call of this, just before the first shell call or
// question to the manager rather than at launch, and kept until
// EndComApartment on the same thread (at shutdown). A thread whose COM is
// already up in that model keeps it; one in another model is left without.
// True while the apartment is up.
bool EnsureComApartment();
void EndComApartment();

// The texts of a failed binding.
std::wstring BindingErrorText(const wchar_t* module, const char* function);

// Entries that a Windows may lack without the program failing: calling one
// that cannot be bound answers 0 (FALSE: IsHungAppWindow then counts every
// window as not hung) and reports nothing.
constexpr bool Optional(Index index) { return index == kIsHungAppWindow; }

#define AUTOREDIAL_CALLER(module, name)                                   \
    template <typename... Args>                                           \
    inline auto name(Args... args) {                                      \
        if constexpr (Optional(k##name)) {                                \
            const FARPROC address = TryBind(k##name);                     \
            if (!address) return decltype(Typed<k##name>(address)(args...)){}; \
            return Typed<k##name>(address)(args...);                      \
        } else {                                                          \
            return Typed<k##name>(Bound(k##name))(args...);               \
        }                                                                 \
    }
AUTOREDIAL_SYSTEM_FUNCTIONS(AUTOREDIAL_CALLER)
#undef AUTOREDIAL_CALLER

}  // namespace sysfn
