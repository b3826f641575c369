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
    read.topOwned = sysfn::GetWindow(top, GW_OWNER) != nullptr;
    signature = read;
    return true;
}

bool IsSameButton(HWND window, const ButtonSignature& signature) {
    if (!window || !sysfn::IsWindow(window)) return false;
    return GetDlgCtrlID(window) == signature.controlId && WindowClassName(window) == signature.className &&
           WindowClassName(TopOf(window)) == signature.topClass &&
           SameImageName(ImageNameOf(window), signature.imageName);
}

ButtonSearch FindButton(const ButtonSignature& signature, const LeftOut& prompts, HWND& found) {
    found = nullptr;
    std::vector<ProcessInfo> processes;
    ListProcesses(processes);
    std::vector<uint32_t> clients;
    for (const ProcessInfo& process : processes) {
        if (SameImageName(process.imageName, signature.imageName)) clients.push_back(process.processId);
    }
    if (clients.empty()) return ButtonSearch::NoProgram;

    // Hidden windows too: a client sent to the notification area still dials.
    std::vector<WindowInfo> windows;
    ListTopLevelWindows(windows, false);
    int bestRank = 0;
    int atBest = 0;
    for (const WindowInfo& window : windows) {
        if (std::find(clients.begin(), clients.end(), window.processId) == clients.end()) continue;
        if (window.className != signature.topClass) continue;
        // A prompt or a message box in front of a dialog-based client holds an
        // OK button of the same class and ID (IDOK) as its dial button. Some
        // frameworks have a hidden window own every form, though: there the
        // prompts are told apart by their criterion alone.
        if (!signature.topOwned && sysfn::GetWindow(window.handle, GW_OWNER)) continue;
        if (window.className == prompts.className && FindInText(window.title, prompts.titlePart) >= 0) continue;
        ChildSearch search{&signature, {}};
        // A button that was its own top-level window is matched as such.
        if (window.className == signature.className && GetDlgCtrlID(window.handle) == signature.controlId) {
            search.found.push_back(window.handle);
        }
        EnumChildWindows(window.handle, CollectButton, reinterpret_cast<LPARAM>(&search));
        const bool sameTitle = window.title == signature.topTitle;
        for (HWND candidate : search.found) {
            const bool sameText = WindowTitle(candidate) == signature.text;
            const int rank = sameText && sameTitle ? 3 : sameTitle ? 2 : sameText ? 1 : 0;
            if (rank == 0 || rank < bestRank) continue;
            if (rank > bestRank) {
                bestRank = rank;
                atBest = 0;
                found = candidate;
            }
            ++atBest;
        }
    }
    if (bestRank == 0) return ButtonSearch::NoButton;
    if (atBest > 1) {
        found = nullptr;
        return ButtonSearch::Ambiguous;
    }
    return ButtonSearch::Found;
}

}  // namespace winkit
