#include "winkit/process.h"
#include "winkit/instance.h"

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
    list[0].imageName = L"stale.exe";
    int count = winkit::ListProcesses(list);
    ASSERT_GT(count, 0);
    EXPECT_EQ(count, static_cast<int>(list.size()));
    for (const winkit::ProcessInfo& process : list) {
        EXPECT_NE(process.processId, 0u) << process.imageName;
        EXPECT_NE(process.imageName, L"stale.exe");
        EXPECT_TRUE(process.fullPath.empty()) << process.imageName;
    }
    const winkit::ProcessInfo* own = FindOwn(list);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(lstrcmpiW(own->imageName.c_str(), support::OwnImageName().c_str()), 0) << own->imageName;
}

TEST(Processes, PathsOnRequest) {
    std::vector<winkit::ProcessInfo> list;
    ASSERT_GT(winkit::ListProcesses(list, true), 0);
    const winkit::ProcessInfo* own = FindOwn(list);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(lstrcmpiW(own->fullPath.c_str(), support::OwnPath().c_str()), 0) << own->fullPath;
}

TEST(Processes, ImagePath) {
    EXPECT_EQ(lstrcmpiW(winkit::GetProcessImagePath(0).c_str(), support::OwnPath().c_str()), 0);
    EXPECT_EQ(lstrcmpiW(winkit::GetProcessImagePath(GetCurrentProcessId()).c_str(), support::OwnPath().c_str()), 0);
    EXPECT_EQ(winkit::GetProcessImagePath(0x7FFFFFF0u), L"");  // no such process
}

// A snapshot that can't be taken leaves the caller's list alone.
HANDLE WINAPI NoSnapshot(DWORD, DWORD) { return INVALID_HANDLE_VALUE; }

TEST(Processes, NoSnapshot) {
    support::TableFake<sysfn::kCreateToolhelp32Snapshot> fake(&NoSnapshot);
    std::vector<winkit::ProcessInfo> list(2);
    list[0].imageName = L"kept.exe";
    EXPECT_EQ(winkit::ListProcesses(list, true), 0);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].imageName, L"kept.exe");
    EXPECT_EQ(winkit::GetProcessImagePath(0), L"");
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
    support::TableFake<sysfn::kCreateToolhelp32Snapshot> fake(&ProcessesOnly);
    std::vector<winkit::ProcessInfo> list;
    EXPECT_GT(winkit::ListProcesses(list), 0);
    EXPECT_NE(FindOwn(list), nullptr);
}

TEST(Processes, ImageNamesMatchInEitherCaseOfAsciiLetters) {
    struct Case {
        const wchar_t* a;
        const wchar_t* b;
        bool same;
    };
    const Case cases[] = {
        {L"ZorvicClient.exe", L"zorvicclient.exe", true},
        {L"ZorvicClient.exe", L"ZorvicClient.ex", false},
        {L"[a].exe", L"{A}.exe", false},  // '[' and '{' are 0x20 apart, but no letters
        {L"Ｚ.exe", L"ｚ.exe", false},    // full-width letters are not ASCII
        {L"岚川.exe", L"岚川.EXE", true},
    };
    for (const Case& c : cases) EXPECT_EQ(winkit::SameImageName(c.a, c.b), c.same) << c.a << " " << c.b;
}

// Every snapshot that is taken is closed again, through the table.
TEST(Processes, SnapshotsAreClosed) {
    support::TableFake<sysfn::kCreateToolhelp32Snapshot> open(&support::CountingSnapshot);
    support::TableFake<sysfn::kCloseHandle> close(&support::CountingClose);
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

HANDLE WINAPI RefuseAccess(LPSECURITY_ATTRIBUTES, BOOL, LPCWSTR) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
}
HANDLE WINAPI FailOtherwise(LPSECURITY_ATTRIBUTES, BOOL, LPCWSTR) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

// Whether another instance runs is the end-to-end suite's (OneWatcher); what
// Wine does not show is made here.
TEST(OneInstance, AGuardWeMayNotOpenIsAnotherInstancesAnyOtherFailureNone) {
    {
        // An elevated instance's guard, to an instance with fewer rights.
        support::TableFake<sysfn::kCreateMutexW> refuse(&RefuseAccess);
        EXPECT_EQ(winkit::ClaimInstance(L"Local\\autoredial.test-guard", 0), winkit::Instance::Running);
    }
    // Any other failure lets the program run, without a guard.
    support::TableFake<sysfn::kCreateMutexW> fail(&FailOtherwise);
    EXPECT_EQ(winkit::ClaimInstance(L"Local\\autoredial.test-guard", 0), winkit::Instance::First);
    winkit::ReleaseInstance();
}

}  // namespace
