// Some operating-system functions are not linked: each is reached through
// this table and bound by name the first time it is called. The table holds
// two kinds of entry. Indexes 0 to 22 are the calls of the link watcher and of
// the toolkit's dealings with other programs: the link test, the click, the
// process list, the window search, the key, the message-pumping wait and the
// window under the aim. SetLayeredWindowAttributes (23) is bound only where the
// system has it, as are SetWindowTheme and SetDefaultDllDirectories (31, 32):
// uxtheme is not a known DLL, so it is not imported but loaded by full path
// from the system directory, and a Windows 7 without its update lacks the other.
// InitCommonControlsEx (33) binds the common controls after start-up has
// restricted the search: imported, they would load the theme library by name
// before the program's first line (Wine's do). The later ones are calls that a test must be able to fake because Wine does
// not show what they do on Windows: the Network List Manager, a hung client,
// integrity levels, the restart as administrator and the box that offers it,
// and the tick count that spaces the clicks brought forward by the system's notices.
// Everything else (the shell's and the units' window plumbing, the pointer
// position, the tick count, the foreground, EnumChildWindows, Start's and the
// runtime error report's message boxes) is linked and called directly. A
// function of the table that cannot be bound is a fatal fault, handed to the
// report of the loader record (the shell's runtime error report).
//
// This is the lowest layer of the program: it includes nothing of its own.
//
// Call them as sysfn::GetWindow(hwnd, GW_CHILD): every entry is called through
// a pointer of the exact type that the system header declares, so a call can
// never leave the stack wrong.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <tlhelp32.h>
#include <wininet.h>
#include <shellapi.h>
#include <uxtheme.h>
#include <commctrl.h>

#include <string>

// index, module (L"" = the standard module list), function. Every entry that
// takes or gives text is the system's wide (…W) form.
#define AUTOREDIAL_SYSTEM_FUNCTIONS(X)                  \
    X(0, L"wininet.dll", InternetGetConnectedState)     \
    X(1, L"", PostMessageW)                             \
    X(2, L"", CreateToolhelp32Snapshot)                 \
    X(3, L"", Process32FirstW)                          \
    X(4, L"", Process32NextW)                           \
    X(5, L"", CloseHandle)                              \
    X(6, L"", Module32FirstW)                           \
    X(7, L"", GetDesktopWindow)                         \
    X(8, L"", GetWindow)                                \
    X(9, L"", IsWindowVisible)                          \
    X(10, L"", GetWindowTextW)                          \
    X(11, L"", GetClassNameW)                           \
    X(12, L"", GetWindowThreadProcessId)                \
    X(13, L"", IsWindow)                                \
    X(14, L"", GetCurrentThreadId)                      \
    X(15, L"", AttachThreadInput)                       \
    X(16, L"", SetFocus)                                \
    X(17, L"", MapVirtualKeyW)                          \
    X(18, L"", SendInput)                               \
    X(19, L"", CreateWaitableTimerW)                    \
    X(20, L"", SetWaitableTimer)                        \
    X(21, L"", MsgWaitForMultipleObjects)               \
    X(22, L"", WindowFromPoint)                         \
    X(23, L"", SetLayeredWindowAttributes)              \
    X(24, L"ole32.dll", CoCreateInstance)               \
    X(25, L"", SendMessageTimeoutW)                     \
    X(26, L"", OpenProcess)                             \
    X(27, L"", OpenProcessToken)                        \
    X(28, L"", GetTokenInformation)                     \
    X(29, L"", ShellExecuteExW)                         \
    X(30, L"", MessageBoxW)                             \
    X(31, L"uxtheme.dll", SetWindowTheme)               \
    X(32, L"", SetDefaultDllDirectories)                \
    X(33, L"comctl32.dll", InitCommonControlsEx)        \
    X(34, L"", GetTickCount)

namespace sysfn {

enum Index {
#define AUTOREDIAL_INDEX(index, module, name) k##name = index,
    AUTOREDIAL_SYSTEM_FUNCTIONS(AUTOREDIAL_INDEX)
#undef AUTOREDIAL_INDEX
    kCount
};

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

// Sets up every entry, unbound. Neither directory has a trailing backslash.
// A module is loaded by its full path in the system directory; only
// wininet.dll is looked for in the program directory first, and not when this
// instance runs elevated (a file planted there would get administrator rights).
// comctl32.dll is loaded by name: the manifest binds that name to the
// system's side-by-side assembly of the common controls 6.
void InitTable(const std::wstring& programDirectory, const std::wstring& systemDirectory = SystemDirectory());

// Whether this instance runs elevated (TokenElevation of its own token, read
// through the table); true when that can't be read.
bool RunsElevated();

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

// The texts of a failed binding.
std::wstring BindingErrorText(const wchar_t* module, const char* function);

#define AUTOREDIAL_CALLER(index, module, name)                                  \
    template <typename... Args>                                                 \
    inline auto name(Args... args) {                                            \
        return reinterpret_cast<decltype(&::name)>(                             \
            reinterpret_cast<void*>(Bound(k##name)))(args...);                  \
    }
AUTOREDIAL_SYSTEM_FUNCTIONS(AUTOREDIAL_CALLER)
#undef AUTOREDIAL_CALLER

}  // namespace sysfn
