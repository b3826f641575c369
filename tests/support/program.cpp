#include "tests/support/program.h"

#include "tests/support/pump.h"
#include "ui/form.h"

#include <cstring>

namespace support {

namespace {

struct Search {
    DWORD processId;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK FindVisible(HWND hwnd, LPARAM param) {
    Search* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == search->processId && ClassOf(hwnd) == search->className && IsWindowVisible(hwnd)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

std::wstring OwnPath() {
    wchar_t path[MAX_PATH] = L"";
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return length < MAX_PATH ? std::wstring(path, length) : std::wstring();
}

std::wstring BuildDirectory() {
    const std::wstring path = OwnPath();
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring OwnImageName() {
    const std::wstring path = OwnPath();
    return path.substr(path.find_last_of(L'\\') + 1);
}

bool StartProcess(const std::wstring& exe, const std::wstring& workingDirectory, PROCESS_INFORMATION& process,
                  const std::wstring& arguments) {
    process = PROCESS_INFORMATION();
    std::wstring commandLine = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    return CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &startup, &process) != FALSE;
}

void EndProcess(PROCESS_INFORMATION& process) {
    if (!process.hProcess) return;
    if (WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    process = PROCESS_INFORMATION();
}

HWND FindVisibleWindow(DWORD processId, const wchar_t* className) {
    Search search = {processId, className, nullptr};
    EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[256] = L"";
    GetClassNameW(hwnd, name, 256);
    return name;
}

std::wstring WindowText(HWND hwnd) {
    // WM_GETTEXT crosses processes; GetWindowTextW would not ask an edit box.
    wchar_t text[512] = {};
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 5000, nullptr);
    return text;
}

bool LaunchProgram(Program& program, const std::wstring& exe, const std::wstring& workingDirectory) {
    if (!StartProcess(exe.empty() ? BuildDirectory() + L"\\autoredial.exe" : exe, workingDirectory, program.process))
        return false;
    PumpUntil([&] {
        program.main = FindVisibleWindow(program.process.dwProcessId, L"AutoredialForm");
        return program.main != nullptr || WaitForSingleObject(program.process.hProcess, 0) == WAIT_OBJECT_0;
    }, 15000);
    return program.main != nullptr;
}

DWORD WaitForExit(Program& program, int timeoutMs) {
    PumpUntil([&] { return WaitForSingleObject(program.process.hProcess, 0) == WAIT_OBJECT_0; }, timeoutMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(program.process.hProcess, &code);
    return code;
}

void EndProgram(Program& program) {
    EndProcess(program.process);
    program.main = nullptr;
}

HWND UnitWindow(HWND main, const char* name) {
    for (std::size_t row = 0; row < ui::kMainForm.unitCount; ++row) {
        if (std::strcmp(ui::kMainForm.units[row].name, name) == 0) return GetDlgItem(main, ui::UnitId(row));
    }
    return nullptr;
}

void ProgramBesideClient::SetUp() {
    ASSERT_TRUE(StartClient(client));
    ASSERT_TRUE(LaunchProgram(program));
}

void ProgramBesideClient::TearDown() {
    ProgramTest::TearDown();
    StopClient(client);
    SetLinkState(true);
}

std::wstring CurrentDirectoryOf(const Program& program) {
    // PEB -> process parameters -> current directory (x86-64 layout; the
    // tests run as x86-64 programs).
    struct BasicInformation {
        LONG_PTR exitStatus;
        BYTE* peb;
        ULONG_PTR affinity, priority, processId, parentId;
    } info = {};
    using Query = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    if (!query || query(program.process.hProcess, 0, &info, sizeof info, nullptr) != 0) return std::wstring();
    HANDLE process = program.process.hProcess;
    BYTE* parameters = nullptr;
    struct { USHORT length, maximum; ULONG pad; WCHAR* buffer; } path = {};
    if (!ReadProcessMemory(process, info.peb + 0x20, &parameters, sizeof parameters, nullptr) ||
        !ReadProcessMemory(process, parameters + 0x38, &path, sizeof path, nullptr)) {
        return std::wstring();
    }
    std::wstring directory(path.length / sizeof(WCHAR), L'\0');
    if (!ReadProcessMemory(process, path.buffer, &directory[0], path.length, nullptr)) return std::wstring();
    return directory;
}

RECT ChildRect(HWND child) {
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

namespace {

void Xdotool(const std::string& arguments) {
    std::string commandLine = "/usr/bin/xdotool " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        if (process.hProcess) CloseHandle(process.hProcess);
        if (process.hThread) CloseHandle(process.hThread);
    }
}

bool LeftHeld() { return GetAsyncKeyState(VK_LBUTTON) < 0; }

}  // namespace

void MoveMouse(int x, int y) {
    Xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y));
    PumpUntil([&] {
        POINT at;
        GetCursorPos(&at);
        return at.x == x && at.y == y;
    }, 3000);
    PumpFor(60);  // the program's next aim step
}

void PressLeft() {
    Xdotool("mousedown 1");
    PumpUntil(LeftHeld, 3000);
    PumpFor(100);
}

void ReleaseLeft() {
    Xdotool("mouseup 1");
    PumpUntil([] { return !LeftHeld(); }, 3000);
    PumpFor(100);
}

void PressKey(const char* keyName) {
    Xdotool(std::string("key ") + keyName);
    PumpFor(300);
}

POINT CentreOf(HWND hwnd) {
    RECT rect = {};
    GetWindowRect(hwnd, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

std::wstring HandleText(HWND hwnd) {
    return std::to_wstring(static_cast<int32_t>(reinterpret_cast<intptr_t>(hwnd)));
}

}  // namespace support
