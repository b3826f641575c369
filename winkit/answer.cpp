#include "winkit/answer.h"

#include "sysfn/sysfn.h"
#include "winkit/text.h"
#include "winkit/window_search.h"

#include <cctype>

namespace winkit {

namespace {

struct NoButtonSearch {
    char letter;
    HWND marked;  // the first whose text marks the letter
    HWND idNo;    // the first whose ID is IDNO
};

BOOL CALLBACK LookAtChild(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<NoButtonSearch*>(param);
    if (!sysfn::IsWindowVisible(child) || !IsWindowEnabled(child) || !IsButton(child)) return TRUE;
    if (HasMnemonic(WindowTitle(child), search->letter)) {
        search->marked = child;
        return FALSE;
    }
    if (!search->idNo && GetDlgCtrlID(child) == IDNO) search->idNo = child;
    return TRUE;
}

uint32_t Posted(BOOL posted) {
    if (posted) return 0;
    const DWORD error = GetLastError();
    return error ? error : ERROR_GEN_FAILURE;
}

bool IsAutomaticToggle(LONG type) {
    return type == BS_AUTOCHECKBOX || type == BS_AUTORADIOBUTTON || type == BS_AUTO3STATE;
}

// The check state that a click gives such a button, from the one it has: a
// check box toggles, a radio button is checked, a three-state button goes
// unchecked, checked, indeterminate, unchecked.
WPARAM NextCheckState(LONG type, DWORD_PTR state) {
    if (type == BS_AUTORADIOBUTTON) return BST_CHECKED;
    if (state & BST_INDETERMINATE) return BST_UNCHECKED;
    if (state & BST_CHECKED) return type == BS_AUTO3STATE ? BST_INDETERMINATE : BST_UNCHECKED;
    return BST_CHECKED;
}

// Gives an automatic toggle the check state that a click would give it; 0
// when set, or when the button is of another kind.
uint32_t SetNextCheckState(HWND button, LONG type) {
    if (!IsAutomaticToggle(type)) return 0;
    const UINT kReadTimeoutMs = 200;  // a client slow to answer holds our thread no longer
    DWORD_PTR state = 0;
    SetLastError(0);
    if (!sysfn::SendMessageTimeoutW(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kReadTimeoutMs, &state)) {
        const DWORD error = GetLastError();
        return error ? error : ERROR_TIMEOUT;
    }
    // Taken before the notice: both are posted to the queue of the one thread.
    return Posted(sysfn::PostMessageW(button, BM_SETCHECK, NextCheckState(type, state), 0));
}

}  // namespace

uint32_t PostButtonClick(int32_t button) {
    const int32_t kBroadcast = 0xFFFF;  // HWND_BROADCAST
    if (button == 0 || button == kBroadcast) return ERROR_INVALID_WINDOW_HANDLE;
    HWND window = IntToHandle(button);
    if (!sysfn::IsWindow(window)) return ERROR_INVALID_WINDOW_HANDLE;
    // A client disables its button while it dials or hangs up; a click then
    // would be lost, or break in on what it is doing.
    if (!IsWindowEnabled(window)) return kButtonDisabled;
    SetLastError(0);
    // A posted BM_CLICK may be lost when the button's window is not active:
    // a real button's parent gets the notice that a click would send it. Only
    // a child window has a parent to tell; a notice posted to no window would
    // land in our own queue and read as delivered.
    HWND parent = GetAncestor(window, GA_PARENT);
    if (parent && parent != sysfn::GetDesktopWindow() && IsButton(window)) {
        const LONG type = GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK;
        if (type == BS_GROUPBOX) return kButtonIsGroupBox;
        // A toggle's parent reads the state in its notice: a user's click has changed it by then.
        if (const uint32_t error = SetNextCheckState(window, type)) return error;
        const WPARAM command = MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(window)), BN_CLICKED);
        SetLastError(0);
        return Posted(sysfn::PostMessageW(parent, WM_COMMAND, command, reinterpret_cast<LPARAM>(window)));
    }
    return Posted(sysfn::PostMessageW(window, BM_CLICK, 0, 0));
}

bool HasMnemonic(const std::wstring& text, char letter) {
    const wchar_t wanted = static_cast<wchar_t>(std::toupper(static_cast<unsigned char>(letter)));
    for (std::size_t at = 0; at + 1 < text.size(); ++at) {
        if (text[at] != L'&') continue;
        const wchar_t next = text[at + 1];
        if (next == L'&') {
            ++at;
            continue;
        }
        if (next < 0x80 && static_cast<wchar_t>(std::toupper(next)) == wanted) return true;
    }
    return false;
}

bool IsButton(HWND window) {
    wchar_t realClass[16] = {};
    return (RealGetWindowClassW(window, realClass, 16) && lstrcmpiW(realClass, L"Button") == 0) ||
           lstrcmpiW(WindowClassName(window).c_str(), L"Button") == 0;
}

HWND FindNoButton(HWND dialog, char letter) {
    NoButtonSearch search{letter, nullptr, nullptr};
    EnumChildWindows(dialog, LookAtChild, reinterpret_cast<LPARAM>(&search));
    return search.marked ? search.marked : search.idNo;
}

uint32_t AnswerWithoutKeyboard(HWND dialog, char letter) {
    if (!dialog || !sysfn::IsWindow(dialog)) return ERROR_INVALID_WINDOW_HANDLE;
    SetLastError(0);
    if (HWND button = FindNoButton(dialog, letter)) {
        const WPARAM command = MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(button)), BN_CLICKED);
        return Posted(sysfn::PostMessageW(dialog, WM_COMMAND, command, reinterpret_cast<LPARAM>(button)));
    }
    const WPARAM key = static_cast<WPARAM>(std::toupper(static_cast<unsigned char>(letter)));
    const LPARAM scan = static_cast<LPARAM>(sysfn::MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC)) << 16;
    const LPARAM down = scan | 1;
    const LPARAM up = down | static_cast<LPARAM>(0xC0000000u);
    const WPARAM character = static_cast<WPARAM>(std::tolower(static_cast<unsigned char>(letter)));
    if (!sysfn::PostMessageW(dialog, WM_KEYDOWN, key, down)) return Posted(FALSE);
    if (!sysfn::PostMessageW(dialog, WM_CHAR, character, down)) return Posted(FALSE);
    return Posted(sysfn::PostMessageW(dialog, WM_KEYUP, key, up));
}

}  // namespace winkit
