#include "winkit/process.h"

#include "tests/support/probe.h"
#include "tests/support/program.h"

#include <gtest/gtest.h>

namespace {

const winkit::ProcessInfo* FindOwn(const std::vector<winkit::ProcessInfo>& list) {
    for (const winkit::ProcessInfo& process : list) {
        if (process.processId == GetCurrentProcessId()) return &process;
    }
    return nullptr;
}

TEST(Processes, ListHoldsThisProcessAndNeverTheIdleOne) {
    std::vector<winkit::ProcessInfo> list(3);  // replaced, not appended to
    list[0].processId = 0;
    list[0].imageName = "stale.exe";
    int count = winkit::ListProcesses(list);
    ASSERT_GT(count, 0);
    EXPECT_EQ(count, static_cast<int>(list.size()));
    for (const winkit::ProcessInfo& process : list) {
        EXPECT_NE(process.processId, 0u) << process.imageName;
        EXPECT_NE(process.imageName, "stale.exe");
        EXPECT_TRUE(process.fullPath.empty()) << process.imageName;
    }
    const winkit::ProcessInfo* own = FindOwn(list);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(lstrcmpiA(own->imageName.c_str(), support::OwnImageName().c_str()), 0) << own->imageName;
}

TEST(Processes, PathsOnRequest) {
    std::vector<winkit::ProcessInfo> list;
    ASSERT_GT(winkit::ListProcesses(list, true), 0);
    const winkit::ProcessInfo* own = FindOwn(list);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(lstrcmpiA(own->fullPath.c_str(), support::OwnPath().c_str()), 0) << own->fullPath;
}

TEST(Processes, ImagePath) {
    EXPECT_EQ(lstrcmpiA(winkit::GetProcessImagePath(0).c_str(), support::OwnPath().c_str()), 0);
    EXPECT_EQ(lstrcmpiA(winkit::GetProcessImagePath(GetCurrentProcessId()).c_str(), support::OwnPath().c_str()), 0);
    EXPECT_EQ(winkit::GetProcessImagePath(0x7FFFFFF0u), "");  // no such process
}

// A snapshot that can't be taken leaves the caller's list alone.
HANDLE WINAPI NoSnapshot(DWORD, DWORD) { return INVALID_HANDLE_VALUE; }

TEST(Processes, NoSnapshot) {
    support::TableFake fake(sysfn::kCreateToolhelp32Snapshot, &NoSnapshot);
    std::vector<winkit::ProcessInfo> list(2);
    list[0].imageName = "kept.exe";
    EXPECT_EQ(winkit::ListProcesses(list, true), 0);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].imageName, "kept.exe");
    EXPECT_EQ(winkit::GetProcessImagePath(0), "");
}

// A snapshot that takes modules may fail with ERROR_BAD_LENGTH while a module
// list changes; the process list never asks for more than processes.
HANDLE WINAPI ProcessesOnly(DWORD flags, DWORD processId) {
    if (flags & ~static_cast<DWORD>(TH32CS_SNAPPROCESS)) {
        SetLastError(ERROR_BAD_LENGTH);
        return INVALID_HANDLE_VALUE;
    }
    return CreateToolhelp32Snapshot(flags, processId);
}

TEST(Processes, ListedFromAProcessOnlySnapshot) {
    support::TableFake fake(sysfn::kCreateToolhelp32Snapshot, &ProcessesOnly);
    std::vector<winkit::ProcessInfo> list;
    EXPECT_GT(winkit::ListProcesses(list), 0);
    EXPECT_NE(FindOwn(list), nullptr);
}

TEST(Processes, ImageNamesMatchInEitherCaseOfAsciiLetters) {
    struct Case {
        const char* a;
        const char* b;
        bool same;
    };
    const Case cases[] = {
        {"ZorvicClient.exe", "zorvicclient.exe", true},
        {"ZorvicClient.exe", "ZorvicClient.ex", false},
        {"[a].exe", "{A}.exe", false},         // '[' and '{' are 0x20 apart, but no letters
        {"\x81\x41.exe", "\x81\x61.exe", false},  // two-byte characters whose second bytes are A and a
        {"\xC0\xBD\xB4\xA8.exe", "\xC0\xBD\xB4\xA8.EXE", true},
    };
    for (const Case& c : cases) EXPECT_EQ(winkit::SameImageName(c.a, c.b), c.same) << c.a << " " << c.b;
}

// Every snapshot that is taken is closed again, through the table.
TEST(Processes, SnapshotsAreClosed) {
    support::TableFake open(sysfn::kCreateToolhelp32Snapshot, &support::CountingSnapshot);
    support::TableFake close(sysfn::kCloseHandle, &support::CountingClose);
    const support::CallCounts& counts = support::gCallCounts;
    std::vector<winkit::ProcessInfo> list;
    for (bool withPaths : {false, true}) {
        support::gCallCounts = {};
        int count = winkit::ListProcesses(list, withPaths);
        EXPECT_GE(counts.snapshots, withPaths ? 2 : 1);
        EXPECT_LE(counts.snapshots, 1 + (withPaths ? count : 0));
        EXPECT_EQ(counts.closes, counts.snapshots);
    }
}

}  // namespace
