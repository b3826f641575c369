#include "app/app.h"

#include "app/shell.h"
#include "winkit/text.h"

#include <windows.h>

#include <cstdio>

namespace app {

namespace {
std::string gProgramDirectory;
std::string gArguments;
ErrorSink gErrorSink = nullptr;

BOOL CALLBACK FindBoxProc(HWND hwnd, LPARAM result) {
    char className[16] = {};
    GetClassNameA(hwnd, className, sizeof className);
    if (lstrcmpA(className, "#32770") != 0) return TRUE;
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

const std::string& ProgramDirectory() { return gProgramDirectory; }

const std::string& Arguments() { return gArguments; }
void SetArguments(const std::string& arguments) { gArguments = arguments; }

void SetProgramDirectoryFrom(const std::string& moduleFileName) {
    std::string::size_type slash = moduleFileName.rfind('\\');
    gProgramDirectory = slash == std::string::npos ? std::string() : moduleFileName.substr(0, slash);
}

std::string RuntimeErrorText(int code, const std::string& message) {
    std::string text = "运行时出错!\r\n\r\n";
    if (code != 0) text += "错误代码：" + winkit::FormatDecimal(code) + "\r\n\r\n";
    if (!message.empty()) text += "错误信息：" + message + "\r\n";
    return text;
}

namespace {

const char kOutOfMemoryFormat[] = "分配 %lld 字节内存失败!";

// Shows the report's text, shuts down and ends the process with -1.
void ShowReport(const char* text) {
    static bool reporting = false;
    if (!reporting) {
        reporting = true;
        MessageBoxA(nullptr, text, "错误", MB_OK | MB_ICONERROR);
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
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0 || IsDialogMessageA(box, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    Shutdown();
    ExitProcess(static_cast<UINT>(-1));
}

}  // namespace

std::string OutOfMemoryText(std::size_t bytes) {
    char text[64];
    std::snprintf(text, sizeof text, kOutOfMemoryFormat, static_cast<long long>(bytes));
    return text;
}

void ReportRuntimeError(int code, const std::string& message) {
    if (gErrorSink) {
        gErrorSink(code, message);
        return;
    }
    ShowReport(RuntimeErrorText(code, message).c_str());
}

void ReportOutOfMemory(std::size_t bytes) {
    // Memory has run out: the report is composed without asking for more.
    char message[64];
    std::snprintf(message, sizeof message, kOutOfMemoryFormat, static_cast<long long>(bytes));
    if (gErrorSink) {
        gErrorSink(0, message);
        return;
    }
    char text[128];
    std::snprintf(text, sizeof text, "运行时出错!\r\n\r\n错误信息：%s\r\n", message);
    ShowReport(text);
}

ErrorSink SetErrorSink(ErrorSink sink) {
    ErrorSink previous = gErrorSink;
    gErrorSink = sink;
    return previous;
}

}  // namespace app
