// The system-function table, bound through a fake loader that records every
// load, look-up and unload in order and answers from a scripted list of
// modules: which modules are tried, in which order, which stay loaded, and
// what a failed binding reports.
#include "app/app.h"
#include "sysfn/sysfn.h"
#include "tests/support/probe.h"
#include "tests/support/program.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

struct FakeModule {
    std::wstring path;                  // as it must be asked for
    std::vector<std::wstring> exports;  // names, or "#" and an ordinal
};

std::vector<FakeModule> gModules;
std::vector<std::wstring> gCalls;
std::vector<std::wstring> gReports;
std::vector<int> gReportCodes;

// Module i answers as handle (i + 1) * 0x10000; its export j as that + j + 1.
HMODULE HandleOf(size_t i) { return reinterpret_cast<HMODULE>(static_cast<ULONG_PTR>(i + 1) * 0x10000); }

const FakeModule& ModuleOf(HMODULE module) {
    return gModules.at(reinterpret_cast<ULONG_PTR>(module) / 0x10000 - 1);
}

HMODULE FakeLoad(const wchar_t* path) {
    gCalls.push_back(std::wstring(L"load ") + path);
    for (size_t i = 0; i < gModules.size(); ++i) {
        if (gModules[i].path == path) return HandleOf(i);
    }
    return nullptr;
}

// Export names are ASCII.
std::wstring Widened(const char* name) { return std::wstring(name, name + std::strlen(name)); }

FARPROC FakeFind(HMODULE module, const char* exportName) {
    const ULONG_PTR value = reinterpret_cast<ULONG_PTR>(exportName);
    const std::wstring name = value >> 16 ? Widened(exportName) : L"#" + std::to_wstring(value);
    const FakeModule& fake = ModuleOf(module);
    gCalls.push_back(L"find " + fake.path + L" " + name);
    for (size_t j = 0; j < fake.exports.size(); ++j) {
        if (fake.exports[j] == name) {
            return reinterpret_cast<FARPROC>(reinterpret_cast<ULONG_PTR>(module) + j + 1);
        }
    }
    return nullptr;
}

void FakeUnload(HMODULE module) { gCalls.push_back(L"unload " + ModuleOf(module).path); }

void CatchReport(int code, const std::wstring& message) {
    gReportCodes.push_back(code);
    gReports.push_back(message);
}

// The shell's report of a failed binding, as it puts it in the loader record.
void ReportBinding(const std::wstring& message) { app::ReportRuntimeError(0, message); }

DWORD WINAPI FakeGetCurrentThreadId() { return 4242; }

// The instance's elevation, as its token tells it through the table.
enum class Elevation { kNo, kYes, kUnreadable };
Elevation gElevation = Elevation::kNo;

BOOL WINAPI FakeOpenToken(HANDLE, DWORD, PHANDLE token) {
    *token = reinterpret_cast<HANDLE>(0x7E);
    return gElevation != Elevation::kUnreadable;
}
BOOL WINAPI FakeTokenInformation(HANDLE, TOKEN_INFORMATION_CLASS kind, LPVOID into, DWORD size, PDWORD filled) {
    if (kind != TokenElevation || size < sizeof(TOKEN_ELEVATION)) return FALSE;
    static_cast<TOKEN_ELEVATION*>(into)->TokenIsElevated = gElevation == Elevation::kYes;
    *filled = sizeof(TOKEN_ELEVATION);
    return TRUE;
}
BOOL WINAPI FakeCloseHandle(HANDLE) { return TRUE; }

class SystemTable : public ::testing::Test {
protected:
    void SetUp() override {
        sysfn::ReleaseModules();  // what earlier tests bound, through the real loader
        real_ = sysfn::SetLoader(sysfn::Loader{FakeLoad, FakeFind, FakeUnload, ReportBinding});
        previousSink_ = app::SetErrorSinkForTests(CatchReport);
        Unbind();
        gElevation = Elevation::kNo;
        gModules.clear();
        gCalls.clear();
        gReports.clear();
        gReportCodes.clear();
    }
    void TearDown() override {
        sysfn::SetLoader(real_);
        app::SetErrorSinkForTests(previousSink_);
        sysfn::InitTable();  // drops the fake bindings unreleased
    }

    // A fresh table, with the elevation read from the fake token.
    void Unbind() {
        sysfn::InitTableIn(L"C:\\Sys");
        token_.emplace(&FakeOpenToken);
        information_.emplace(&FakeTokenInformation);
        close_.emplace(&FakeCloseHandle);
    }

    sysfn::Loader real_{};
    app::ErrorSink previousSink_ = nullptr;
    std::optional<support::TableFake<sysfn::kOpenProcessToken>> token_;
    std::optional<support::TableFake<sysfn::kGetTokenInformation>> information_;
    std::optional<support::TableFake<sysfn::kCloseHandle>> close_;
};

using Calls = std::vector<std::wstring>;

TEST_F(SystemTable, AnEntryWithoutModuleTakesTheFirstStandardModuleThatExportsIt) {
    gModules = {
        {L"C:\\Sys\\Kernel32.dll", {L"CreateToolhelp32Snapshot"}},
        {L"C:\\Sys\\User32.dll", {L"GetWindow", L"PostMessageW"}},
        {L"C:\\Sys\\Mpr.dll", {L"PostMessageW"}},
        {L"C:\\Sys\\Shell32.dll", {L"Module32FirstW"}},
    };
    FARPROC address = sysfn::Bind(sysfn::kPostMessageW);
    EXPECT_EQ(gCalls, (Calls{
                          L"load C:\\Sys\\Kernel32.dll", L"find C:\\Sys\\Kernel32.dll PostMessageW", L"unload C:\\Sys\\Kernel32.dll",
                          L"load C:\\Sys\\Gdi32.dll",  // not there: nothing to look in or unload
                          L"load C:\\Sys\\User32.dll", L"find C:\\Sys\\User32.dll PostMessageW",
                      }));
    EXPECT_EQ(address, reinterpret_cast<FARPROC>(reinterpret_cast<ULONG_PTR>(HandleOf(1)) + 2));
    EXPECT_EQ(sysfn::gTable[sysfn::kPostMessageW].address, address);
    EXPECT_EQ(sysfn::gTable[sysfn::kPostMessageW].moduleHandle, HandleOf(1));

    gCalls.clear();
    sysfn::Bind(sysfn::kCreateToolhelp32Snapshot);
    EXPECT_EQ(gCalls, (Calls{L"load C:\\Sys\\Kernel32.dll", L"find C:\\Sys\\Kernel32.dll CreateToolhelp32Snapshot"}));

    gCalls.clear();
    sysfn::Bind(sysfn::kModule32FirstW);  // the last of the list
    EXPECT_EQ(gCalls, (Calls{
                          L"load C:\\Sys\\Kernel32.dll", L"find C:\\Sys\\Kernel32.dll Module32FirstW", L"unload C:\\Sys\\Kernel32.dll",
                          L"load C:\\Sys\\Gdi32.dll",
                          L"load C:\\Sys\\User32.dll", L"find C:\\Sys\\User32.dll Module32FirstW", L"unload C:\\Sys\\User32.dll",
                          L"load C:\\Sys\\Advapi32.dll",
                          L"load C:\\Sys\\Mpr.dll", L"find C:\\Sys\\Mpr.dll Module32FirstW", L"unload C:\\Sys\\Mpr.dll",
                          L"load C:\\Sys\\Shell32.dll", L"find C:\\Sys\\Shell32.dll Module32FirstW",
                      }));
    EXPECT_TRUE(gReports.empty());
}

// A copy beside the program is never tried, even where the system has none.
TEST_F(SystemTable, ANamedModuleIsLoadedFromTheSystemDirectoryOnly) {
    gModules = {
        {L"C:\\Prog\\wininet.dll", {L"InternetGetConnectedState"}},
        {L"C:\\Sys\\wininet.dll", {L"InternetGetConnectedState"}},
    };
    EXPECT_NE(sysfn::Bind(sysfn::kInternetGetConnectedState), nullptr);
    EXPECT_EQ(gCalls, (Calls{L"load C:\\Sys\\wininet.dll", L"find C:\\Sys\\wininet.dll InternetGetConnectedState"}));
    EXPECT_EQ(sysfn::gTable[sysfn::kInternetGetConnectedState].moduleHandle, HandleOf(1));

    sysfn::InitTableIn(L"C:\\Sys");
    gModules.pop_back();
    gCalls.clear();
    EXPECT_EQ(sysfn::Bind(sysfn::kInternetGetConnectedState), nullptr);
    EXPECT_EQ(gCalls, (Calls{L"load C:\\Sys\\wininet.dll"}));
    EXPECT_EQ(gReports.size(), 1u);
}

// Every module has a copy planted in the program directory and the system's
// own. An ordinary instance, an elevated one and one whose elevation can't be
// read all take each from the system directory.
TEST_F(SystemTable, EachModuleComesFromTheSystemDirectoryElevatedOrNot) {
    const std::vector<std::wstring> exports = {L"CreateToolhelp32Snapshot", L"CoCreateInstance", L"SetWindowTheme",
                                              L"InternetGetConnectedState"};
    for (const wchar_t* dll : {L"Kernel32.dll", L"ole32.dll", L"uxtheme.dll", L"wininet.dll"}) {
        gModules.push_back({std::wstring(L"C:\\Prog\\") + dll, exports});
        gModules.push_back({std::wstring(L"C:\\Sys\\") + dll, exports});
    }
    for (Elevation elevation : {Elevation::kNo, Elevation::kYes, Elevation::kUnreadable}) {
        SCOPED_TRACE(static_cast<int>(elevation));
        Unbind();
        gElevation = elevation;
        const struct {
            sysfn::Index index;
            const wchar_t* from;
        } entries[] = {
            {sysfn::kCreateToolhelp32Snapshot, L"C:\\Sys\\Kernel32.dll"},
            {sysfn::kCoCreateInstance, L"C:\\Sys\\ole32.dll"},
            {sysfn::kSetWindowTheme, L"C:\\Sys\\uxtheme.dll"},
            {sysfn::kInternetGetConnectedState, L"C:\\Sys\\wininet.dll"},
        };
        for (const auto& entry : entries) {
            ASSERT_NE(sysfn::Bind(entry.index), nullptr) << entry.from;
            EXPECT_EQ(ModuleOf(sysfn::gTable[entry.index].moduleHandle).path, entry.from);
        }
    }
    EXPECT_TRUE(gReports.empty());
}

// Where the system has SetDefaultDllDirectories, the search is restricted to
// the system directory; where it lacks it, nothing is reported. Either way the
// theme library is loaded from the system directory, before anyone asks for it by name.
TEST_F(SystemTable, TheLibrarySearchIsRestrictedWhereTheSystemCan) {
    gModules = {{L"C:\\Prog\\uxtheme.dll", {L"SetWindowTheme"}}, {L"C:\\Sys\\uxtheme.dll", {L"SetWindowTheme"}}};
    sysfn::RestrictLibrarySearch();
    EXPECT_TRUE(gReports.empty());
    ASSERT_NE(sysfn::gTable[sysfn::kSetWindowTheme].moduleHandle, nullptr);
    EXPECT_EQ(ModuleOf(sysfn::gTable[sysfn::kSetWindowTheme].moduleHandle).path, L"C:\\Sys\\uxtheme.dll");

    static DWORD restricted;
    struct System {
        static BOOL WINAPI SetDefaultDllDirectories(DWORD flags) {
            restricted = flags;
            return TRUE;
        }
    };
    restricted = 0;
    support::TableFake<sysfn::kSetDefaultDllDirectories> entry(&System::SetDefaultDllDirectories);
    sysfn::RestrictLibrarySearch();
    EXPECT_EQ(restricted, static_cast<DWORD>(LOAD_LIBRARY_SEARCH_SYSTEM32));
}

TEST_F(SystemTable, AModuleNameWithADriveIsLoadedByThatNameOnly) {
    sysfn::gTable[sysfn::kInternetGetConnectedState].module = L"D:\\Lib\\wininet.dll";
    gModules = {{L"D:\\Lib\\wininet.dll", {L"InternetGetConnectedState"}}};
    EXPECT_NE(sysfn::Bind(sysfn::kInternetGetConnectedState), nullptr);
    EXPECT_EQ(gCalls, (Calls{L"load D:\\Lib\\wininet.dll", L"find D:\\Lib\\wininet.dll InternetGetConnectedState"}));

    sysfn::InitTableIn(L"C:\\Sys");
    sysfn::gTable[sysfn::kInternetGetConnectedState].module = L"E:wininet.dll";
    gCalls.clear();
    EXPECT_EQ(sysfn::Bind(sysfn::kInternetGetConnectedState), nullptr);
    EXPECT_EQ(gCalls, (Calls{L"load E:wininet.dll"}));
}

TEST_F(SystemTable, AnOrdinalIsLookedUpByItsNumberModulo65536) {
    sysfn::gTable[sysfn::kInternetGetConnectedState].function = "#65538";
    gModules = {{L"C:\\Sys\\wininet.dll", {L"#2"}}};
    EXPECT_NE(sysfn::Bind(sysfn::kInternetGetConnectedState), nullptr);
    EXPECT_EQ(gCalls, (Calls{L"load C:\\Sys\\wininet.dll", L"find C:\\Sys\\wininet.dll #2"}));
}

TEST_F(SystemTable, ABoundEntryIsNeitherLoadedNorLookedUpAgain) {
    gModules = {{L"C:\\Sys\\Kernel32.dll", {L"GetCurrentThreadId"}}};
    FARPROC first = sysfn::Bind(sysfn::kGetCurrentThreadId);
    ASSERT_NE(first, nullptr);
    gCalls.clear();
    EXPECT_EQ(sysfn::Bind(sysfn::kGetCurrentThreadId), first);
    EXPECT_EQ(sysfn::Bound(sysfn::kGetCurrentThreadId), first);
    EXPECT_TRUE(gCalls.empty());
}

// A call goes through the exact type of the system's declaration, to the
// address that the binding found, and binds on the first call only.
TEST_F(SystemTable, ACallBindsOnceAndReachesTheBoundFunction) {
    struct Module {
        static FARPROC Find(HMODULE, const char* name) {
            gCalls.push_back(L"find " + Widened(name));
            if (std::strcmp(name, "GetCurrentThreadId") != 0) return nullptr;
            return sysfn::Untyped<sysfn::kGetCurrentThreadId>(FakeGetCurrentThreadId);
        }
    };
    gModules = {{L"C:\\Sys\\Kernel32.dll", {}}};
    sysfn::SetLoader(sysfn::Loader{FakeLoad, Module::Find, FakeUnload, ReportBinding});
    EXPECT_EQ(sysfn::GetCurrentThreadId(), 4242u);
    EXPECT_EQ(sysfn::GetCurrentThreadId(), 4242u);
    EXPECT_EQ(gCalls, (Calls{L"load C:\\Sys\\Kernel32.dll", L"find GetCurrentThreadId"}));
}

TEST_F(SystemTable, EachEntryLoadsItsOwnModuleAndReleaseUnloadsEveryOne) {
    gModules = {
        {L"C:\\Sys\\Kernel32.dll", {L"Module32FirstW"}},
        {L"C:\\Sys\\User32.dll", {L"PostMessageW", L"GetWindow"}},
        {L"C:\\Sys\\wininet.dll", {L"InternetGetConnectedState"}},
    };
    for (sysfn::Index index : {sysfn::kGetWindow, sysfn::kInternetGetConnectedState, sysfn::kPostMessageW,
                               sysfn::kModule32FirstW}) {
        ASSERT_NE(sysfn::Bind(index), nullptr) << index;
    }
    gCalls.clear();
    sysfn::ReleaseModules();
    // In the order of the table, once for each entry that loaded a module.
    EXPECT_EQ(gCalls, (Calls{L"unload C:\\Sys\\wininet.dll", L"unload C:\\Sys\\User32.dll", L"unload C:\\Sys\\Kernel32.dll",
                             L"unload C:\\Sys\\User32.dll"}));
    for (const sysfn::Entry& entry : sysfn::gTable) {
        EXPECT_EQ(entry.address, nullptr) << entry.function;
        EXPECT_EQ(entry.moduleHandle, nullptr) << entry.function;
    }
    gCalls.clear();
    sysfn::ReleaseModules();
    EXPECT_TRUE(gCalls.empty());
}

// The pieces of "无法找到指定DLL库文件“%s”中的输出命令“%s”" and of
// "无法找到指定DLL库文件中的输出命令“%s”"; the quotes are the full-width U+201C
// and U+201D.
const std::wstring kCannotFind = L"无法找到指定DLL库文件";
const std::wstring kInExportCommand = L"中的输出命令";
const std::wstring kOpenQuote = L"\x201C";
const std::wstring kCloseQuote = L"\x201D";

TEST_F(SystemTable, AModuleWithoutTheExportIsUnloadedAndReportedWithTheModuleText) {
    gModules = {{L"C:\\Sys\\wininet.dll", {L"SomethingElse"}}, {L"C:\\Prog\\wininet.dll", {L"InternetGetConnectedState"}}};
    EXPECT_EQ(sysfn::Bind(sysfn::kInternetGetConnectedState), nullptr);
    EXPECT_EQ(gCalls, (Calls{L"load C:\\Sys\\wininet.dll", L"find C:\\Sys\\wininet.dll InternetGetConnectedState",
                             L"unload C:\\Sys\\wininet.dll"}));
    ASSERT_EQ(gReports.size(), 1u);
    EXPECT_EQ(gReportCodes[0], 0);
    EXPECT_EQ(gReports[0], kCannotFind + kOpenQuote + L"wininet.dll" + kCloseQuote + kInExportCommand + kOpenQuote +
                               L"InternetGetConnectedState" + kCloseQuote);
    EXPECT_EQ(sysfn::gTable[sysfn::kInternetGetConnectedState].address, nullptr);
    EXPECT_EQ(sysfn::gTable[sysfn::kInternetGetConnectedState].moduleHandle, nullptr);
}

TEST_F(SystemTable, AMissingModuleGivesTheSameText) {
    EXPECT_EQ(sysfn::Bind(sysfn::kInternetGetConnectedState), nullptr);
    EXPECT_EQ(gCalls, (Calls{L"load C:\\Sys\\wininet.dll"}));
    ASSERT_EQ(gReports.size(), 1u);
    EXPECT_EQ(gReports[0], kCannotFind + kOpenQuote + L"wininet.dll" + kCloseQuote + kInExportCommand + kOpenQuote +
                               L"InternetGetConnectedState" + kCloseQuote);
}

TEST_F(SystemTable, AnExportInNoStandardModuleIsReportedWithoutAModule) {
    gModules = {{L"C:\\Sys\\Kernel32.dll", {}}, {L"C:\\Sys\\Shell32.dll", {L"ShellExecuteW"}}};
    EXPECT_EQ(sysfn::Bind(sysfn::kWindowFromPoint), nullptr);
    EXPECT_EQ(gCalls, (Calls{
                          L"load C:\\Sys\\Kernel32.dll", L"find C:\\Sys\\Kernel32.dll WindowFromPoint", L"unload C:\\Sys\\Kernel32.dll",
                          L"load C:\\Sys\\Gdi32.dll", L"load C:\\Sys\\User32.dll", L"load C:\\Sys\\Advapi32.dll", L"load C:\\Sys\\Mpr.dll",
                          L"load C:\\Sys\\Shell32.dll", L"find C:\\Sys\\Shell32.dll WindowFromPoint", L"unload C:\\Sys\\Shell32.dll",
                      }));
    ASSERT_EQ(gReports.size(), 1u);
    EXPECT_EQ(gReportCodes[0], 0);
    EXPECT_EQ(gReports[0], kCannotFind + kInExportCommand + kOpenQuote + L"WindowFromPoint" + kCloseQuote);
    EXPECT_EQ(sysfn::gTable[sysfn::kWindowFromPoint].moduleHandle, nullptr);
}

}  // namespace
