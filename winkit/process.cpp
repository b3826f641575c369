#include "winkit/process.h"

#include "sysfn/sysfn.h"
#include "winkit/owned_handle.h"
#include "winkit/text.h"

#include <tlhelp32.h>

namespace winkit {

int ListProcesses(std::vector<ProcessInfo>& list, bool withPaths) {
    // Processes only: a snapshot that also takes modules can fail with
    // ERROR_BAD_LENGTH while a module list changes, and threads and heaps would
    // only be copied to be thrown away.
    OwnedHandle snapshot(sysfn::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.valid()) return 0;

    std::vector<ProcessInfo> fresh;
    fresh.reserve(256);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = sysfn::Process32First(snapshot.handle, &entry); more;
         more = sysfn::Process32Next(snapshot.handle, &entry)) {
        if (entry.th32ProcessID == 0) continue;  // the idle process
        fresh.emplace_back();
        ProcessInfo& info = fresh.back();
        info.parentProcessId = entry.th32ParentProcessID;
        info.processId = entry.th32ProcessID;
        info.imageName = TextFromArray(entry.szExeFile, sizeof entry.szExeFile);
        if (withPaths) info.fullPath = GetProcessImagePath(entry.th32ProcessID);
    }
    list.swap(fresh);
    return static_cast<int>(list.size());
}

bool SameImageName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const unsigned char x = static_cast<unsigned char>(a[i]);
        const unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 0x80) {
            // A two-byte character is compared whole: its second byte may look like a letter.
            if (x != y || (i + 1 < a.size() && a[i + 1] != b[i + 1])) return false;
            ++i;
            continue;
        }
        const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
        if (lower(x) != lower(y)) return false;
    }
    return true;
}

std::string GetProcessImagePath(uint32_t processId) {
    OwnedHandle snapshot(sysfn::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
    if (!snapshot.valid()) return std::string();
    MODULEENTRY32 module = {};
    module.dwSize = sizeof module;
    // A failed look leaves the record zeroed, and so the path empty.
    sysfn::Module32First(snapshot.handle, &module);
    return TextFromArray(module.szExePath, sizeof module.szExePath);
}

}  // namespace winkit
