#include "app/app.h"

#include "app/shell.h"
#include "winkit/text.h"

#include <windows.h>

#include <cwchar>

namespace app {

namespace {
std::wstring gProgramDirectory;
std::wstring gArguments;
ErrorSink gErrorSink = nullptr;

BOOL CALLBACK FindBoxProc(HWND hwnd, LPARAM result) {
    wchar_t className[16] = {};
    GetClassNameW(hwnd, className, 16);
    if (lstrcmpW(className, L"#32770") != 0) return TRUE;
    *reinterpret_cast<HWND*>(result) = hwnd;
    return FALSE;
}

// The message box of the report that is being shown on this thread.
HWND FindReportBox() {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindBoxProc, reinterpret_cast<LPARAM>(&box));
    return box;
}
}  // namespace

const std::wstring& ProgramDirectory() { return gProgramDirectory; }

const std::wstring& Arguments() { return gArguments; }
void SetArguments(const std::wstring& arguments) { gArguments = arguments; }

void SetProgramDirectoryFrom(const std::wstring& moduleFileName) {
    std::wstring::size_type slash = moduleFileName.rfind(L'\\');
    gProgramDirectory = slash == std::wstring::npos ? std::wstring() : moduleFileName.substr(0, slash);
}

std::wstring RuntimeErrorText(int code, const std::wstring& message) {
    std::wstring text = L"运行时出错!\r\n\r\n";
    if (code != 0) text += L"错误代码：" + winkit::FormatDecimal(code) + L"\r\n\r\n";
    if (!message.empty()) text += L"错误信息：" + message + L"\r\n";
    return text;
}

namespace {

const wchar_t kOutOfMemoryFormat[] = L"分配 %lld 字节内存失败!";

// Shows the report's text, shuts down and ends the process with -1.
void ShowReport(const wchar_t* text) {
    static bool reporting = false;
    if (!reporting) {
        reporting = true;
        MessageBoxW(nullptr, text, L"错误", MB_OK | MB_ICONERROR);
        Shutdown();
        ExitProcess(static_cast<UINT>(-1));
    }
    // The box's own loop goes on dispatching, so a handler behind it may fail
    // too. Only the first report is shown: this one runs the thread's messages,
    // the box's dialog keys (Enter, Esc) included, until that box has been
    // dismissed, then ends the process the same way. A quit message meanwhile
    // is dropped: left queued, it would keep the box from ever being served.
    HWND box = FindReportBox();
    MSG msg;
    while (box && IsWindow(box) && IsWindowVisible(box)) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0 || IsDialogMessageW(box, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    Shutdown();
    ExitProcess(static_cast<UINT>(-1));
}

}  // namespace

std::wstring OutOfMemoryText(std::size_t bytes) {
    wchar_t text[64];
    std::swprintf(text, 64, kOutOfMemoryFormat, static_cast<long long>(bytes));
    return text;
}

void ReportRuntimeError(int code, const std::wstring& message) {
    if (gErrorSink) {
        gErrorSink(code, message);
        return;
    }
    ShowReport(RuntimeErrorText(code, message).c_str());
}

void ReportOutOfMemory(std::size_t bytes) {
    // Memory has run out: the report is composed without asking for more.
    wchar_t message[64];
    std::swprintf(message, 64, kOutOfMemoryFormat, static_cast<long long>(bytes));
    if (gErrorSink) {
        gErrorSink(0, message);
        return;
    }
    wchar_t text[128];
    std::swprintf(text, 128, L"运行时出错!\r\n\r\n错误信息：%ls\r\n", message);
    ShowReport(text);
}

ErrorSink SetErrorSinkForTests(ErrorSink sink) {
    ErrorSink previous = gErrorSink;
    gErrorSink = sink;
    return previous;
}

}  // namespace app
