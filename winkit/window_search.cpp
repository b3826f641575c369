#include "winkit/window_search.h"

#include "sysfn/sysfn.h"
#include "winkit/process.h"
#include "winkit/text.h"

#include <algorithm>
#include <cwchar>

namespace winkit {

namespace {

// No session holds more window handles than this; a walk that gets this far is
// being led in a circle by windows that reorder while it runs.
constexpr int kMaxWalkSteps = 65536;

// Texts are read with a count of 255 into 256 characters, so they hold at most 254.
constexpr std::size_t kTextBuffer = 256;
constexpr std::size_t kMaxText = kTextBuffer - 2;

struct WindowTexts {
    wchar_t title[kTextBuffer];
    wchar_t className[kTextBuffer];
    std::size_t titleLength;
    std::size_t classLength;
    DWORD processId;
    DWORD threadId;
};

std::size_t TextLength(const wchar_t* chars) {
    const wchar_t* nul = std::wmemchr(chars, L'\0', kMaxText);
    return nul ? static_cast<std::size_t>(nul - chars) : kMaxText;
}

void ReadWindow(HWND hwnd, WindowTexts& texts) {
    texts.title[0] = L'\0';
    texts.className[0] = L'\0';
    sysfn::GetWindowTextW(hwnd, texts.title, static_cast<int>(kTextBuffer - 1));
    sysfn::GetClassNameW(hwnd, texts.className, static_cast<int>(kTextBuffer - 1));
    texts.processId = 0;
    texts.threadId = sysfn::GetWindowThreadProcessId(hwnd, &texts.processId);
    texts.titleLength = TextLength(texts.title);
    texts.classLength = TextLength(texts.className);
}

// Walks the top-level windows topmost first, reading each one that is taken,
// until visit answers false.
template <typename Visit>
void WalkTopLevelWindows(bool onlyVisible, Visit&& visit) {
    WindowTexts texts;
    HWND hwnd = sysfn::GetWindow(sysfn::GetDesktopWindow(), GW_CHILD);
    for (int step = 0; hwnd && step < kMaxWalkSteps; ++step) {
        if (!onlyVisible || sysfn::IsWindowVisible(hwnd)) {
            ReadWindow(hwnd, texts);
            if (!visit(hwnd, texts)) return;
        }
        hwnd = sysfn::GetWindow(hwnd, GW_HWNDNEXT);
    }
}

bool SameText(const wchar_t* text, std::size_t length, const std::wstring& wanted) {
    return length == wanted.size() && std::wmemcmp(text, wanted.data(), length) == 0;
}

}  // namespace

std::wstring WindowClassName(HWND window) {
    wchar_t text[kTextBuffer];
    text[0] = L'\0';
    sysfn::GetClassNameW(window, text, static_cast<int>(kTextBuffer - 1));
    return std::wstring(text, TextLength(text));
}

std::wstring WindowTitle(HWND window) {
    wchar_t text[kTextBuffer];
    text[0] = L'\0';
    sysfn::GetWindowTextW(window, text, static_cast<int>(kTextBuffer - 1));
    return std::wstring(text, TextLength(text));
}

int ListTopLevelWindows(std::vector<WindowInfo>& list, bool onlyVisible) {
    std::vector<WindowInfo> fresh;
    fresh.reserve(std::max<std::size_t>(list.size(), 64));
    WalkTopLevelWindows(onlyVisible, [&fresh](HWND hwnd, const WindowTexts& texts) {
        fresh.emplace_back();
        WindowInfo& info = fresh.back();
        info.handle = hwnd;
        info.processId = texts.processId;
        info.threadId = texts.threadId;
        info.className.assign(texts.className, texts.classLength);
        info.title.assign(texts.title, texts.titleLength);
        return true;
    });
    list.swap(fresh);
    return static_cast<int>(list.size());
}

int32_t FindProcessWindow(const std::wstring& imageName, const std::wstring& className, const std::wstring& title,
                          std::vector<uint32_t>* imageProcesses) {
    if (imageProcesses) imageProcesses->clear();
    if (imageName.empty() && className.empty() && title.empty()) return kNoWindow;

    std::vector<ProcessInfo> processes;
    ListProcesses(processes);
    // The image test only asks whether a process of that name has the window's
    // identifier, so the names are compared once, not once per window.
    std::vector<uint32_t> wantedProcesses;
    if (!imageName.empty()) {
        for (const ProcessInfo& process : processes) {
            if (SameImageName(process.imageName, imageName)) wantedProcesses.push_back(process.processId);
        }
        if (imageProcesses) *imageProcesses = wantedProcesses;
    }

    // The title is tested inside single quotes, so a criterion can anchor itself.
    // The first window that passes ends the walk: no later one could change
    // the answer.
    wchar_t quoted[kTextBuffer];
    int32_t found = kNoWindow;
    WalkTopLevelWindows(true, [&](HWND hwnd, const WindowTexts& texts) {
        if (!imageName.empty() &&
            std::find(wantedProcesses.begin(), wantedProcesses.end(), texts.processId) == wantedProcesses.end()) {
            return true;
        }
        if (!className.empty() && !SameText(texts.className, texts.classLength, className)) return true;
        if (!title.empty()) {
            quoted[0] = L'\'';
            std::wmemcpy(quoted + 1, texts.title, texts.titleLength);
            quoted[texts.titleLength + 1] = L'\'';
            if (FindInText(quoted, texts.titleLength + 2, title.data(), title.size()) < 0) return true;
        }
        found = HandleToInt(hwnd);
        return false;
    });
    return found;
}

namespace {

// A group box only frames other controls: the system's own hit test passes
// through it (HTTRANSPARENT), and so does the aim.
bool IsGroupBox(HWND window) {
    return lstrcmpiW(WindowClassName(window).c_str(), L"Button") == 0 &&
           (GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// The topmost visible child under the point (screen coordinates), enabled or
// not, passing over transparent windows and group boxes; null when none.
HWND ChildAt(HWND parent, POINT point) {
    for (HWND child = sysfn::GetWindow(parent, GW_CHILD); child; child = sysfn::GetWindow(child, GW_HWNDNEXT)) {
        RECT rect;
        if (!sysfn::IsWindowVisible(child) || (GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_TRANSPARENT) ||
            !GetWindowRect(child, &rect) || !PtInRect(&rect, point) || IsGroupBox(child)) {
            continue;
        }
        return child;
    }
    return nullptr;
}

}  // namespace

HWND DeepestChildAt(POINT point) {
    // WindowFromPoint passes over a disabled child and answers the window that
    // holds it: a client greys its dial button while the link is up.
    HWND window = sysfn::WindowFromPoint(point);
    // Its hit test passes through a group box only where it can ask the box
    // (Wine's never asks another program's).
    if (window && IsGroupBox(window)) window = GetParent(window);
    // Nesting is never this deep; the bound guards against a child that reports itself.
    for (int depth = 0; window && depth < 64; ++depth) {
        HWND child = ChildAt(window, point);
        if (!child) break;
        window = child;
    }
    return window;
}

}  // namespace winkit
