// The running processes with their image names and, on request, the paths of
// their executables. Every call takes a fresh system snapshot.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace winkit {

struct ProcessInfo {
    uint32_t parentProcessId = 0;
    uint32_t processId = 0;    // never 0 in a list
    std::wstring imageName;    // file name of the executable, as the system spells it
    std::wstring fullPath;     // empty unless asked for, or not given by the system
};

// Replaces list with the processes in snapshot order (the idle process left
// out) and returns their number; 0 and list untouched when no snapshot.
int ListProcesses(std::vector<ProcessInfo>& list, bool withPaths = false);

// Whether two image names name the same file: ASCII letters match in either
// case, as the file system matches them; every other character must be the
// same. The system spells a name as the process was started
// ("zorvicclient.exe").
bool SameImageName(const std::wstring& a, const std::wstring& b);

// Full path of the process's executable (its first module); empty when the
// process can't be inspected. Identifier 0 means the calling process.
std::wstring GetProcessImagePath(uint32_t processId);

}  // namespace winkit
