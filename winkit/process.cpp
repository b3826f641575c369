#include "winkit/process.h"

#include "sysfn/scoped.h"
#include "sysfn/sysfn.h"
#include "winkit/text.h"

#include <tlhelp32.h>

#include <iterator>

namespace winkit {

int ListProcesses(std::vector<ProcessInfo>& list, bool withPaths) {
    // Processes only: a snapshot that also takes modules can fail with
    // ERROR_BAD_LENGTH while a module list changes, and threads and heaps would
    // only be copied to be thrown away.
    sysfn::OwnedHandle snapshot(sysfn::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.valid()) return 0;

    std::vector<ProcessInfo> fresh;
    fresh.reserve(256);
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = sysfn::Process32FirstW(snapshot.handle, &entry); more;
         more = sysfn::Process32NextW(snapshot.handle, &entry)) {
        if (entry.th32ProcessID == 0) continue;  // the idle process
        fresh.emplace_back();
        ProcessInfo& info = fresh.back();
        info.parentProcessId = entry.th32ParentProcessID;
        info.processId = entry.th32ProcessID;
        info.imageName = TextFromArray(entry.szExeFile, std::size(entry.szExeFile));
        if (withPaths) info.fullPath = GetProcessImagePath(entry.th32ProcessID);
    }
    list.swap(fresh);
    return static_cast<int>(list.size());
}

bool SameImageName(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    const auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + (L'a' - L'A')) : c; };
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::wstring GetProcessImagePath(uint32_t processId) {
    sysfn::OwnedHandle snapshot(sysfn::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
    if (!snapshot.valid()) return std::wstring();
    MODULEENTRY32W module = {};
    module.dwSize = sizeof module;
    // A failed look leaves the record zeroed, and so the path empty.
    sysfn::Module32FirstW(snapshot.handle, &module);
    return TextFromArray(module.szExePath, std::size(module.szExePath));
}

}  // namespace winkit
