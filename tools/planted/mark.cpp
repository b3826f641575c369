// A system module's name planted beside the program (uxtheme.dll, wininet.dll):
// loading it leaves the file <name>.mark beside it, and nothing else happens.
// It exports the function that the program takes from each, so that a program
// loading it would bind it and go on working.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(instance, path, MAX_PATH);
    wchar_t* dot = wcsrchr(path, L'.');
    if (length == 0 || length >= MAX_PATH - 2 || !dot) return TRUE;
    lstrcpyW(dot + 1, L"mark");  // ".dll" becomes ".mark"
    HANDLE mark = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (mark != INVALID_HANDLE_VALUE) CloseHandle(mark);
    return TRUE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI SetWindowTheme(HWND, LPCWSTR, LPCWSTR) { return S_OK; }

extern "C" __declspec(dllexport) BOOL WINAPI InternetGetConnectedState(LPDWORD flags, DWORD) {
    if (flags) *flags = 0x02;  // INTERNET_CONNECTION_LAN
    return TRUE;
}
