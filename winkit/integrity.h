// Rights of processes: the mandatory integrity level that decides whether one
// program may post to or type into another's windows, and the restart of this
// program with administrator rights.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace winkit {

// The integrity level of a process: the last sub-authority of its token's
// integrity label (0x2000 medium, 0x3000 high...). processId 0 is this
// process. -1 when it can't be read (no such process, no rights, a system
// without integrity levels).
int32_t ProcessIntegrity(uint32_t processId);

// Whether the process that owns window runs at a higher integrity level than
// this one; false when either level is unknown.
bool OutranksUs(HWND window);

// Starts this program's executable anew with administrator rights (the
// "runas" verb) and the given arguments, the system's consent prompt owned by
// owner; returns once the start is complete, true when the system started it.
bool RestartAsAdministrator(const std::wstring& arguments, HWND owner);

}  // namespace winkit
