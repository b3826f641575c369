// A stand-in web browser for the tests: appends its command line, exactly as
// it was handed over, as one UTF-8 line to FakeBrowser.log beside itself, and
// exits.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    wchar_t path[MAX_PATH] = L"";
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    std::wstring log(path, length);
    log.replace(log.find_last_of(L'\\') + 1, std::wstring::npos, L"FakeBrowser.log");

    // One write per run, so that browsers started together keep their lines whole.
    const std::wstring wide = std::wstring(GetCommandLineW()) + L"\r\n";
    std::string line(wide.size() * 3, '\0');
    line.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                                        &line[0], static_cast<int>(line.size()), nullptr, nullptr)));
    HANDLE file = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    BOOL ok = WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == line.size() ? 0 : 1;
}
