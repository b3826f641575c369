// A uxtheme.dll planted beside the program: loading it leaves the file
// uxtheme.mark beside it, and nothing else happens. It exports the one
// function that the program once imported, so that a program importing it
// would load it and start.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(instance, path, MAX_PATH);
    wchar_t* slash = wcsrchr(path, L'\\');
    if (length == 0 || length >= MAX_PATH || !slash || slash - path > MAX_PATH - 16) return TRUE;
    lstrcpyW(slash + 1, L"uxtheme.mark");
    HANDLE mark = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (mark != INVALID_HANDLE_VALUE) CloseHandle(mark);
    return TRUE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI SetWindowTheme(HWND, LPCWSTR, LPCWSTR) { return S_OK; }
