// ordinary.exe PROGRAM [ARGUMENTS...]: runs a program as an ordinary instance,
// one that is not elevated, and ends with its exit code. A member of the
// Administrators group starts programs under UAC with the limited token linked
// to the full one; Wine starts every program from Unix with the full token, so
// the suites and the benches run through this to see what such a user's
// instance sees. A process that is not elevated runs the program as it is.
#include <windows.h>

namespace {

// The command line after this program's own name.
wchar_t* Rest(wchar_t* line) {
    if (*line == L'"') {
        ++line;
        while (*line && *line != L'"') ++line;
        if (*line) ++line;
    } else {
        while (*line && *line != L' ' && *line != L'\t') ++line;
    }
    while (*line == L' ' || *line == L'\t') ++line;
    return line;
}

// The limited token linked to this process's full one; null when not elevated.
HANDLE LimitedToken() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return nullptr;
    TOKEN_ELEVATION elevation = {};
    TOKEN_LINKED_TOKEN linked = {};
    DWORD filled = 0;
    if (!GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &filled) ||
        !elevation.TokenIsElevated ||
        !GetTokenInformation(token, TokenLinkedToken, &linked, sizeof linked, &filled)) {
        linked.LinkedToken = nullptr;
    }
    CloseHandle(token);
    return linked.LinkedToken;
}

}  // namespace

int main() {
    wchar_t* command = Rest(GetCommandLineW());
    if (!*command) return 2;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    HANDLE limited = LimitedToken();
    const BOOL started =
        limited ? CreateProcessAsUserW(limited, nullptr, command, nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                       &startup, &process)
                : CreateProcessW(nullptr, command, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    if (limited) CloseHandle(limited);
    if (!started) return 2;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}
