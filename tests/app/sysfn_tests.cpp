// The system-function table, bound through a fake loader that records every
// load, look-up and unload in order and answers from a scripted list of
// modules: which modules are tried, in which order, which stay loaded, and
// what a failed binding reports.
#include "app/app.h"
#include "sysfn/sysfn.h"
#include "tests/support/probe.h"
#include "tests/support/program.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

struct FakeModule {
    std::string path;                  // as it must be asked for
    std::vector<std::string> exports;  // names, or "#" and an ordinal
};

std::vector<FakeModule> gModules;
std::vector<std::string> gCalls;
std::vector<std::string> gReports;
std::vector<int> gReportCodes;

// Module i answers as handle (i + 1) * 0x10000; its export j as that + j + 1.
HMODULE HandleOf(size_t i) { return reinterpret_cast<HMODULE>(static_cast<ULONG_PTR>(i + 1) * 0x10000); }

const FakeModule& ModuleOf(HMODULE module) {
    return gModules.at(reinterpret_cast<ULONG_PTR>(module) / 0x10000 - 1);
}

HMODULE FakeLoad(const char* path) {
    gCalls.push_back(std::string("load ") + path);
    for (size_t i = 0; i < gModules.size(); ++i) {
        if (gModules[i].path == path) return HandleOf(i);
    }
    return nullptr;
}

FARPROC FakeFind(HMODULE module, const char* exportName) {
    const ULONG_PTR value = reinterpret_cast<ULONG_PTR>(exportName);
    const std::string name = value >> 16 ? std::string(exportName) : "#" + std::to_string(value);
    const FakeModule& fake = ModuleOf(module);
    gCalls.push_back("find " + fake.path + " " + name);
    for (size_t j = 0; j < fake.exports.size(); ++j) {
        if (fake.exports[j] == name) {
            return reinterpret_cast<FARPROC>(reinterpret_cast<ULONG_PTR>(module) + j + 1);
        }
    }
    return nullptr;
}

void FakeUnload(HMODULE module) { gCalls.push_back("unload " + ModuleOf(module).path); }

void CatchReport(int code, const std::string& message) {
    gReportCodes.push_back(code);
    gReports.push_back(message);
}

// The shell's report of a failed binding, as it puts it in the loader record.
void ReportBinding(const std::string& message) { app::ReportRuntimeError(0, message); }

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
        previousSink_ = app::SetErrorSink(CatchReport);
        Unbind();
        gElevation = Elevation::kNo;
        gModules.clear();
        gCalls.clear();
        gReports.clear();
        gReportCodes.clear();
    }
    void TearDown() override {
        sysfn::SetLoader(real_);
        app::SetErrorSink(previousSink_);
        sysfn::InitTable(support::BuildDirectory());  // drops the fake bindings unreleased
    }

    // A fresh table, with the elevation read from the fake token.
    void Unbind() {
        sysfn::InitTable("C:\\Prog", "C:\\Sys");
        token_.emplace(sysfn::kOpenProcessToken, &FakeOpenToken);
        information_.emplace(sysfn::kGetTokenInformation, &FakeTokenInformation);
        close_.emplace(sysfn::kCloseHandle, &FakeCloseHandle);
    }

    sysfn::Loader real_{};
    app::ErrorSink previousSink_ = nullptr;
    std::optional<support::TableFake> token_, information_, close_;
};

using Calls = std::vector<std::string>;

TEST_F(SystemTable, AnEntryWithoutModuleTakesTheFirstStandardModuleThatExportsIt) {
    gModules = {
        {"C:\\Sys\\Kernel32.dll", {"CreateToolhelp32Snapshot"}},
        {"C:\\Sys\\User32.dll", {"GetWindow", "PostMessageA"}},
        {"C:\\Sys\\Mpr.dll", {"PostMessageA"}},
        {"C:\\Sys\\Shell32.dll", {"Module32First"}},
    };
    FARPROC address = sysfn::Bind(sysfn::kPostMessageA);
    EXPECT_EQ(gCalls, (Calls{
                          "load C:\\Sys\\Kernel32.dll", "find C:\\Sys\\Kernel32.dll PostMessageA", "unload C:\\Sys\\Kernel32.dll",
                          "load C:\\Sys\\Gdi32.dll",  // not there: nothing to look in or unload
                          "load C:\\Sys\\User32.dll", "find C:\\Sys\\User32.dll PostMessageA",
                      }));
    EXPECT_EQ(address, reinterpret_cast<FARPROC>(reinterpret_cast<ULONG_PTR>(HandleOf(1)) + 2));
    EXPECT_EQ(sysfn::gTable[sysfn::kPostMessageA].address, address);
    EXPECT_EQ(sysfn::gTable[sysfn::kPostMessageA].moduleHandle, HandleOf(1));

    gCalls.clear();
    sysfn::Bind(sysfn::kCreateToolhelp32Snapshot);
    EXPECT_EQ(gCalls, (Calls{"load C:\\Sys\\Kernel32.dll", "find C:\\Sys\\Kernel32.dll CreateToolhelp32Snapshot"}));

    gCalls.clear();
    sysfn::Bind(sysfn::kModule32First);  // the last of the list
    EXPECT_EQ(gCalls, (Calls{
                          "load C:\\Sys\\Kernel32.dll", "find C:\\Sys\\Kernel32.dll Module32First", "unload C:\\Sys\\Kernel32.dll",
                          "load C:\\Sys\\Gdi32.dll",
                          "load C:\\Sys\\User32.dll", "find C:\\Sys\\User32.dll Module32First", "unload C:\\Sys\\User32.dll",
                          "load C:\\Sys\\Advapi32.dll",
                          "load C:\\Sys\\Mpr.dll", "find C:\\Sys\\Mpr.dll Module32First", "unload C:\\Sys\\Mpr.dll",
                          "load C:\\Sys\\Shell32.dll", "find C:\\Sys\\Shell32.dll Module32First",
                      }));
    EXPECT_TRUE(gReports.empty());
}

TEST_F(SystemTable, ANamedModuleIsLoadedFromTheProgramDirectoryFirst) {
    gModules = {
        {"C:\\Prog\\wininet.dll", {"InternetGetConnectedState"}},
        {"C:\\Sys\\wininet.dll", {"InternetGetConnectedState"}},
    };
    EXPECT_NE(sysfn::Bind(sysfn::kInternetGetConnectedState), nullptr);
    EXPECT_EQ(gCalls, (Calls{"load C:\\Prog\\wininet.dll", "find C:\\Prog\\wininet.dll InternetGetConnectedState"}));
    EXPECT_EQ(sysfn::gTable[sysfn::kInternetGetConnectedState].moduleHandle, HandleOf(0));
}

TEST_F(SystemTable, ANamedModuleMissingFromTheProgramDirectoryIsLoadedFromTheSystemDirectory) {
    gModules = {{"C:\\Sys\\wininet.dll", {"InternetGetConnectedState"}}};
    EXPECT_NE(sysfn::Bind(sysfn::kInternetGetConnectedState), nullptr);
    EXPECT_EQ(gCalls, (Calls{"load C:\\Prog\\wininet.dll", "load C:\\Sys\\wininet.dll",
                             "find C:\\Sys\\wininet.dll InternetGetConnectedState"}));
    EXPECT_TRUE(gReports.empty());
}

// Every module has a copy planted in the program directory and the system's
// own. Only an ordinary instance takes wininet.dll from the program directory
// (where the stand-in or a vendor's copy may sit); an elevated one, or one
// whose elevation can't be read, takes nothing from there.
TEST_F(SystemTable, EachModuleComesFromTheSystemDirectoryButAnOrdinaryInstancesWininet) {
    const std::vector<std::string> exports = {"CreateToolhelp32Snapshot", "CoCreateInstance", "SetWindowTheme",
                                              "InternetGetConnectedState"};
    for (const char* dll : {"Kernel32.dll", "ole32.dll", "uxtheme.dll", "wininet.dll"}) {
        gModules.push_back({std::string("C:\\Prog\\") + dll, exports});
        gModules.push_back({std::string("C:\\Sys\\") + dll, exports});
    }
    const struct {
        Elevation elevation;
        const char* wininet;
    } instances[] = {
        {Elevation::kNo, "C:\\Prog\\wininet.dll"},
        {Elevation::kYes, "C:\\Sys\\wininet.dll"},
        {Elevation::kUnreadable, "C:\\Sys\\wininet.dll"},
    };
    for (const auto& instance : instances) {
        SCOPED_TRACE(static_cast<int>(instance.elevation));
        Unbind();
        gElevation = instance.elevation;
        const struct {
            sysfn::Index index;
            const char* from;
        } entries[] = {
            {sysfn::kCreateToolhelp32Snapshot, "C:\\Sys\\Kernel32.dll"},
            {sysfn::kCoCreateInstance, "C:\\Sys\\ole32.dll"},
            {sysfn::kSetWindowTheme, "C:\\Sys\\uxtheme.dll"},
            {sysfn::kInternetGetConnectedState, instance.wininet},
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
    gModules = {{"C:\\Prog\\uxtheme.dll", {"SetWindowTheme"}}, {"C:\\Sys\\uxtheme.dll", {"SetWindowTheme"}}};
    sysfn::RestrictLibrarySearch();
    EXPECT_TRUE(gReports.empty());
    ASSERT_NE(sysfn::gTable[sysfn::kSetWindowTheme].moduleHandle, nullptr);
    EXPECT_EQ(ModuleOf(sysfn::gTable[sysfn::kSetWindowTheme].moduleHandle).path, "C:\\Sys\\uxtheme.dll");

    static DWORD restricted;
    struct System {
        static BOOL WINAPI SetDefaultDllDirectories(DWORD flags) {
            restricted = flags;
            return TRUE;
        }
    };
    restricted = 0;
    support::TableFake entry(sysfn::kSetDefaultDllDirectories, &System::SetDefaultDllDirectories);
    sysfn::RestrictLibrarySearch();
    EXPECT_EQ(restricted, static_cast<DWORD>(LOAD_LIBRARY_SEARCH_SYSTEM32));
}

TEST_F(SystemTable, AModuleNameWithADriveIsLoadedByThatNameOnly) {
    sysfn::gTable[sysfn::kInternetGetConnectedState].module = "D:\\Lib\\wininet.dll";
    gModules = {{"D:\\Lib\\wininet.dll", {"InternetGetConnectedState"}}};
    EXPECT_NE(sysfn::Bind(sysfn::kInternetGetConnectedState), nullptr);
    EXPECT_EQ(gCalls, (Calls{"load D:\\Lib\\wininet.dll", "find D:\\Lib\\wininet.dll InternetGetConnectedState"}));

    sysfn::InitTable("C:\\Prog", "C:\\Sys");
    sysfn::gTable[sysfn::kInternetGetConnectedState].module = "E:wininet.dll";
    gCalls.clear();
    EXPECT_EQ(sysfn::Bind(sysfn::kInternetGetConnectedState), nullptr);
    EXPECT_EQ(gCalls, (Calls{"load E:wininet.dll"}));
}

TEST_F(SystemTable, AnOrdinalIsLookedUpByItsNumberModulo65536) {
    sysfn::gTable[sysfn::kInternetGetConnectedState].function = "#65538";
    gModules = {{"C:\\Prog\\wininet.dll", {"#2"}}};
    EXPECT_NE(sysfn::Bind(sysfn::kInternetGetConnectedState), nullptr);
    EXPECT_EQ(gCalls, (Calls{"load C:\\Prog\\wininet.dll", "find C:\\Prog\\wininet.dll #2"}));
}

TEST_F(SystemTable, ABoundEntryIsNeitherLoadedNorLookedUpAgain) {
    gModules = {{"C:\\Sys\\Kernel32.dll", {"GetCurrentThreadId"}}};
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
            gCalls.push_back(std::string("find ") + name);
            if (std::string(name) != "GetCurrentThreadId") return nullptr;
            return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(FakeGetCurrentThreadId));
        }
    };
    gModules = {{"C:\\Sys\\Kernel32.dll", {}}};
    sysfn::SetLoader(sysfn::Loader{FakeLoad, Module::Find, FakeUnload, ReportBinding});
    EXPECT_EQ(sysfn::GetCurrentThreadId(), 4242u);
    EXPECT_EQ(sysfn::GetCurrentThreadId(), 4242u);
    EXPECT_EQ(gCalls, (Calls{"load C:\\Sys\\Kernel32.dll", "find GetCurrentThreadId"}));
}

TEST_F(SystemTable, EachEntryLoadsItsOwnModuleAndReleaseUnloadsEveryOne) {
    gModules = {
        {"C:\\Sys\\Kernel32.dll", {"Module32First"}},
        {"C:\\Sys\\User32.dll", {"PostMessageA", "GetWindow"}},
        {"C:\\Prog\\wininet.dll", {"InternetGetConnectedState"}},
    };
    for (sysfn::Index index : {sysfn::kGetWindow, sysfn::kInternetGetConnectedState, sysfn::kPostMessageA,
                               sysfn::kModule32First}) {
        ASSERT_NE(sysfn::Bind(index), nullptr) << index;
    }
    gCalls.clear();
    sysfn::ReleaseModules();
    // In the order of the table, once for each entry that loaded a module.
    EXPECT_EQ(gCalls, (Calls{"unload C:\\Prog\\wininet.dll", "unload C:\\Sys\\User32.dll", "unload C:\\Sys\\Kernel32.dll",
                             "unload C:\\Sys\\User32.dll"}));
    for (const sysfn::Entry& entry : sysfn::gTable) {
        EXPECT_EQ(entry.address, nullptr) << entry.function;
        EXPECT_EQ(entry.moduleHandle, nullptr) << entry.function;
    }
    gCalls.clear();
    sysfn::ReleaseModules();
    EXPECT_TRUE(gCalls.empty());
}

// The pieces of "无法找到指定DLL库文件“%s”中的输出命令“%s”" and of
// "无法找到指定DLL库文件中的输出命令“%s”" in GBK, spelled out byte by byte; the
// quotes are the full-width A1B0 and A1B1.
const std::string kCannotFind = "\xCE\xDE\xB7\xA8\xD5\xD2\xB5\xBD\xD6\xB8\xB6\xA8" "DLL" "\xBF\xE2\xCE\xC4\xBC\xFE";
const std::string kInExportCommand = "\xD6\xD0\xB5\xC4\xCA\xE4\xB3\xF6\xC3\xFC\xC1\xEE";
const std::string kOpenQuote = "\xA1\xB0";
const std::string kCloseQuote = "\xA1\xB1";

TEST_F(SystemTable, AModuleWithoutTheExportIsUnloadedAndReportedWithTheModuleText) {
    gModules = {{"C:\\Prog\\wininet.dll", {"SomethingElse"}}, {"C:\\Sys\\wininet.dll", {"InternetGetConnectedState"}}};
    EXPECT_EQ(sysfn::Bind(sysfn::kInternetGetConnectedState), nullptr);
    // The copy beside the program was found, so the system's is not tried.
    EXPECT_EQ(gCalls, (Calls{"load C:\\Prog\\wininet.dll", "find C:\\Prog\\wininet.dll InternetGetConnectedState",
                             "unload C:\\Prog\\wininet.dll"}));
    ASSERT_EQ(gReports.size(), 1u);
    EXPECT_EQ(gReportCodes[0], 0);
    EXPECT_EQ(gReports[0], kCannotFind + kOpenQuote + "wininet.dll" + kCloseQuote + kInExportCommand + kOpenQuote +
                               "InternetGetConnectedState" + kCloseQuote);
    EXPECT_EQ(sysfn::gTable[sysfn::kInternetGetConnectedState].address, nullptr);
    EXPECT_EQ(sysfn::gTable[sysfn::kInternetGetConnectedState].moduleHandle, nullptr);
}

TEST_F(SystemTable, AMissingModuleGivesTheSameText) {
    EXPECT_EQ(sysfn::Bind(sysfn::kInternetGetConnectedState), nullptr);
    EXPECT_EQ(gCalls, (Calls{"load C:\\Prog\\wininet.dll", "load C:\\Sys\\wininet.dll"}));
    ASSERT_EQ(gReports.size(), 1u);
    EXPECT_EQ(gReports[0], kCannotFind + kOpenQuote + "wininet.dll" + kCloseQuote + kInExportCommand + kOpenQuote +
                               "InternetGetConnectedState" + kCloseQuote);
}

TEST_F(SystemTable, AnExportInNoStandardModuleIsReportedWithoutAModule) {
    gModules = {{"C:\\Sys\\Kernel32.dll", {}}, {"C:\\Sys\\Shell32.dll", {"ShellExecuteA"}}};
    EXPECT_EQ(sysfn::Bind(sysfn::kWindowFromPoint), nullptr);
    EXPECT_EQ(gCalls, (Calls{
                          "load C:\\Sys\\Kernel32.dll", "find C:\\Sys\\Kernel32.dll WindowFromPoint", "unload C:\\Sys\\Kernel32.dll",
                          "load C:\\Sys\\Gdi32.dll", "load C:\\Sys\\User32.dll", "load C:\\Sys\\Advapi32.dll", "load C:\\Sys\\Mpr.dll",
                          "load C:\\Sys\\Shell32.dll", "find C:\\Sys\\Shell32.dll WindowFromPoint", "unload C:\\Sys\\Shell32.dll",
                      }));
    ASSERT_EQ(gReports.size(), 1u);
    EXPECT_EQ(gReportCodes[0], 0);
    EXPECT_EQ(gReports[0], kCannotFind + kInExportCommand + kOpenQuote + "WindowFromPoint" + kCloseQuote);
    EXPECT_EQ(sysfn::gTable[sysfn::kWindowFromPoint].moduleHandle, nullptr);
}

}  // namespace
