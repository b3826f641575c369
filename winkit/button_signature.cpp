#include "winkit/button_signature.h"

#include "sysfn/sysfn.h"
#include "winkit/process.h"
#include "winkit/text.h"
#include "winkit/window_search.h"

#include <algorithm>
#include <vector>

namespace winkit {

namespace {

std::wstring ImageNameOf(HWND window) {
    DWORD processId = 0;
    sysfn::GetWindowThreadProcessId(window, &processId);
    if (processId == 0) return std::wstring();
    std::vector<ProcessInfo> processes;
    ListProcesses(processes);
    for (const ProcessInfo& process : processes) {
        if (process.processId == processId) return process.imageName;
    }
    return std::wstring();
}

HWND TopOf(HWND window) {
    HWND top = GetAncestor(window, GA_ROOT);
    return top ? top : window;
}

struct ChildSearch {
    const ButtonSignature* signature;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectButton(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<ChildSearch*>(param);
    if (GetDlgCtrlID(child) == search->signature->controlId && WindowClassName(child) == search->signature->className) {
        search->found.push_back(child);
    }
    return TRUE;
}

}  // namespace

bool ReadButtonSignature(HWND button, ButtonSignature& signature) {
    if (!button || !sysfn::IsWindow(button)) return false;
    ButtonSignature read;
    read.imageName = ImageNameOf(button);
    if (read.imageName.empty()) return false;
    read.className = WindowClassName(button);
    read.controlId = GetDlgCtrlID(button);
    read.text = WindowTitle(button);
    HWND top = TopOf(button);
    read.topClass = WindowClassName(top);
    read.topTitle = WindowTitle(top);
    signature = read;
    return true;
}

bool IsSameButton(HWND window, const ButtonSignature& signature) {
    if (!window || !sysfn::IsWindow(window)) return false;
    return GetDlgCtrlID(window) == signature.controlId && WindowClassName(window) == signature.className &&
           WindowClassName(TopOf(window)) == signature.topClass && ImageNameOf(window) == signature.imageName;
}

ButtonSearch FindButton(const ButtonSignature& signature, HWND& found) {
    found = nullptr;
    std::vector<ProcessInfo> processes;
    ListProcesses(processes);
    std::vector<uint32_t> clients;
    for (const ProcessInfo& process : processes) {
        if (process.imageName == signature.imageName) clients.push_back(process.processId);
    }
    if (clients.empty()) return ButtonSearch::NoProgram;

    // Hidden windows too: a client sent to the notification area still dials.
    std::vector<WindowInfo> windows;
    ListTopLevelWindows(windows, false);
    HWND fallback = nullptr;
    for (const WindowInfo& window : windows) {
        if (std::find(clients.begin(), clients.end(), window.processId) == clients.end()) continue;
        if (window.className != signature.topClass) continue;
        ChildSearch search{&signature, {}};
        // A button that was its own top-level window is matched as such.
        if (window.className == signature.className && GetDlgCtrlID(window.handle) == signature.controlId) {
            search.found.push_back(window.handle);
        }
        EnumChildWindows(window.handle, CollectButton, reinterpret_cast<LPARAM>(&search));
        for (HWND candidate : search.found) {
            if (WindowTitle(candidate) == signature.text && window.title == signature.topTitle) {
                found = candidate;
                return ButtonSearch::Found;
            }
            if (!fallback) fallback = candidate;
        }
    }
    found = fallback;
    return found ? ButtonSearch::Found : ButtonSearch::NoButton;
}

}  // namespace winkit
