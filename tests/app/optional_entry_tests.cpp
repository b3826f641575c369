// An entry of the system-function table that a Windows may lack answers as
// without it: no report, and the program goes on.
#include "sysfn/sysfn.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::wstring> gReports;

// Every module loads, and none has the export.
HMODULE LoadAny(const wchar_t*) { return reinterpret_cast<HMODULE>(static_cast<ULONG_PTR>(0x10000)); }
FARPROC FindNone(HMODULE, const char*) { return nullptr; }
void UnloadAny(HMODULE) {}
void Record(const std::wstring& message) { gReports.push_back(message); }

// Microsoft marks IsHungAppWindow as one that may be altered or unavailable.
TEST(OptionalEntry, WithoutIsHungAppWindowNoWindowIsHung) {
    sysfn::ReleaseModules();
    const sysfn::Loader real = sysfn::SetLoader(sysfn::Loader{LoadAny, FindNone, UnloadAny, Record});
    sysfn::InitTable();
    gReports.clear();
    const BOOL hung = sysfn::IsHungAppWindow(GetDesktopWindow());
    sysfn::SetLoader(real);
    sysfn::InitTable();
    EXPECT_FALSE(hung);
    EXPECT_TRUE(gReports.empty());
}

}  // namespace
