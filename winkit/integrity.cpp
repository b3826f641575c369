#include "winkit/integrity.h"

#include "sysfn/scoped.h"
#include "sysfn/sysfn.h"

namespace winkit {

namespace {

// The label's SID lies in the same buffer, after the label itself.
int32_t LevelOfToken(HANDLE token) {
    alignas(TOKEN_MANDATORY_LABEL) BYTE buffer[128] = {};
    DWORD filled = 0;
    if (!sysfn::GetTokenInformation(token, TokenIntegrityLevel, buffer, sizeof buffer, &filled)) return -1;
    if (filled > sizeof buffer || filled < sizeof(TOKEN_MANDATORY_LABEL)) return -1;
    const BYTE* sid = static_cast<const BYTE*>(reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer)->Label.Sid);
    const BYTE* end = buffer + filled;
    const std::size_t header = 8;  // revision, count, the 6-byte authority
    if (sid < buffer || sid + header > end) return -1;
    const BYTE count = sid[1];
    if (count == 0 || sid + header + 4 * count > end) return -1;
    DWORD last = 0;
    CopyMemory(&last, sid + header + 4 * (count - 1), sizeof last);
    return last > 0x7FFFFFFF ? -1 : static_cast<int32_t>(last);
}

}  // namespace

int32_t ProcessIntegrity(uint32_t processId) {
    HANDLE token = nullptr;
    if (processId == 0) {
        if (!sysfn::OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return -1;
    } else {
        // The limited right is all that a higher process grants a lower one.
        sysfn::OwnedHandle process(sysfn::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
        if (!process.valid()) return -1;
        if (!sysfn::OpenProcessToken(process.handle, TOKEN_QUERY, &token)) return -1;
    }
    sysfn::OwnedHandle owned(token);
    return LevelOfToken(owned.handle);
}

bool OutranksUs(HWND window) {
    DWORD processId = 0;
    sysfn::GetWindowThreadProcessId(window, &processId);
    if (processId == 0) return false;
    const int32_t theirs = ProcessIntegrity(processId);
    const int32_t ours = ProcessIntegrity(0);
    return theirs >= 0 && ours >= 0 && theirs > ours;
}

bool RestartAsAdministrator(const std::wstring& arguments, HWND owner) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    // The caller closes this instance right after the call: the start must be
    // complete when it returns.
    info.fMask = SEE_MASK_NOASYNC;
    // The system's consent prompt opens in front of its owner, not behind
    // whatever window happens to be on top.
    info.hwnd = owner;
    info.lpVerb = L"runas";
    info.lpFile = path;
    info.lpParameters = arguments.c_str();
    info.nShow = SW_SHOWNORMAL;
    sysfn::EnsureComApartment();  // the shell may hand the verb to a COM extension
    return sysfn::ShellExecuteExW(&info) != FALSE;
}

}  // namespace winkit
