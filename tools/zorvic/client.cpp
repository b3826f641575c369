// A stand-in for the vendor's dial-up client, used only by tests: a main
// window with a dial button that counts its clicks, and prompts raised on a
// test's request that count the N key presses and the 否(&N) clicks reaching
// them. A prompt may eat the injected N keys, as an input method in Chinese
// mode would, and the client's thread may be told to hang for a while. A test
// drives it through the messages of protocol.h. Its windows are Unicode
// windows: their texts read right only through the wide functions.
#include "tools/zorvic/protocol.h"

#include <windows.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kPlainPromptClass[] = L"ZorvicPromptPlain";
constexpr int kCountLabelId = 101;
constexpr int kPromptTextId = 200;
constexpr UINT kKeyN = 0x4E;
constexpr wchar_t kQuestion[] = L"网络连接已断开，是否重新拨号？";

struct Prompt {
    HWND handle;
    ULONG_PTR flags;
};

HINSTANCE gInstance;
HWND gMain;
int gClicks;
int gKeyDowns;
int gKeyUps;
int gButtonAnswers;
int gSwallowedKeys;
HHOOK gSwallowHook;
std::vector<Prompt> gPrompts;
std::vector<std::wstring> gMessageBoxTitles;  // asked for, not yet shown
int gOpenMessageBoxes;

// While a prompt that swallows keys is open, every injected N goes no further.
LRESULT CALLBACK SwallowInjectedN(int code, WPARAM kind, LPARAM data) {
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
    if (code == HC_ACTION && key->vkCode == kKeyN && (key->flags & LLKHF_INJECTED)) {
        if (kind == WM_KEYDOWN) ++gSwallowedKeys;
        return 1;
    }
    return CallNextHookEx(nullptr, code, kind, data);
}

void UpdateSwallowHook() {
    bool wanted = false;
    for (const Prompt& prompt : gPrompts) wanted = wanted || (prompt.flags & zorvic::kPromptSwallowsKeys);
    if (wanted && !gSwallowHook) {
        gSwallowHook = SetWindowsHookExW(WH_KEYBOARD_LL, SwallowInjectedN, gInstance, 0);
    } else if (!wanted && gSwallowHook) {
        UnhookWindowsHookEx(gSwallowHook);
        gSwallowHook = nullptr;
    }
}

void ShowCounts() {
    const std::wstring text = L"点击 " + std::to_wstring(gClicks) + L" 次，应答 " + std::to_wstring(gKeyDowns) + L" 次";
    SetDlgItemTextW(gMain, kCountLabelId, text.c_str());
}

void ForgetPrompt(HWND handle) {
    for (size_t i = 0; i < gPrompts.size(); ++i) {
        if (gPrompts[i].handle == handle) {
            gPrompts.erase(gPrompts.begin() + i);
            break;
        }
    }
    UpdateSwallowHook();
}

// The prompt that window is or lies in; null when none.
Prompt* PromptOf(HWND window) {
    if (!window) return nullptr;
    for (Prompt& prompt : gPrompts) {
        if (window == prompt.handle || IsChild(prompt.handle, window)) return &prompt;
    }
    return nullptr;
}

// 否(&N) answers like the N key: counted. A prompt that stays open closes
// only when it is closed (IDCANCEL), never by its buttons.
void OnPromptCommand(HWND dialog, WORD id) {
    if (id == IDNO) ++gButtonAnswers;
    const Prompt* prompt = PromptOf(dialog);
    if (prompt && (prompt->flags & zorvic::kPromptStaysOpen) && id != IDCANCEL) return;
    if (id == IDNO || id == IDOK || id == IDCANCEL) DestroyWindow(dialog);
}

INT_PTR CALLBACK PromptDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_COMMAND: OnPromptCommand(dialog, LOWORD(wParam)); return TRUE;
    case WM_DESTROY: ForgetPrompt(dialog); return TRUE;
    }
    return FALSE;
}

LRESULT CALLBACK PlainPromptProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) ForgetPrompt(window);
    return DefWindowProcW(window, message, wParam, lParam);
}

// An in-memory dialog template: a line of text and the buttons 是 and 否. The
// texts are set after creation, so the template holds no strings.
struct PromptTemplate {
    struct Item {
        DLGITEMTEMPLATE item;
        WORD classMarker;  // 0xFFFF: a predefined class follows as an atom
        WORD classAtom;
        WORD title;        // empty
        WORD creationData;
        WORD padding;  // the next item starts on a DWORD boundary
    };
    DLGTEMPLATE dialog;
    WORD menu, windowClass, title;
    Item items[3];
};
static_assert(sizeof(PromptTemplate::Item) % 4 == 0 && offsetof(PromptTemplate, items) % 4 == 0,
              "dialog items must be DWORD-aligned");

HWND CreatePromptDialog(bool mnemonics) {
    alignas(4) static PromptTemplate tmpl;
    tmpl.dialog.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    tmpl.dialog.cdit = 3;
    tmpl.dialog.cx = 160;
    tmpl.dialog.cy = 60;
    const struct { DWORD style; short x, y, cx, cy; WORD id, atom; } rows[3] = {
        {WS_CHILD | WS_VISIBLE | SS_LEFT, 8, 8, 144, 16, kPromptTextId, 0x0082},
        {WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 28, 36, 44, 16, IDOK, 0x0080},
        {WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 88, 36, 44, 16, IDNO, 0x0080},
    };
    for (int i = 0; i < 3; ++i) {
        PromptTemplate::Item& item = tmpl.items[i];
        item.item.style = rows[i].style;
        item.item.x = rows[i].x;
        item.item.y = rows[i].y;
        item.item.cx = rows[i].cx;
        item.item.cy = rows[i].cy;
        item.item.id = rows[i].id;
        item.classMarker = 0xFFFF;
        item.classAtom = rows[i].atom;
    }
    HWND dialog = CreateDialogIndirectParamW(gInstance, &tmpl.dialog, nullptr, PromptDialogProc, 0);
    if (!dialog) return nullptr;
    SetDlgItemTextW(dialog, kPromptTextId, kQuestion);
    SetDlgItemTextW(dialog, IDOK, mnemonics ? L"是(&Y)" : L"是");
    SetDlgItemTextW(dialog, IDNO, mnemonics ? L"否(&N)" : L"否");
    return dialog;
}

HWND CreatePlainPrompt() {
    HWND window = CreateWindowExW(0, kPlainPromptClass, L"", WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                  0, 0, 300, 120, nullptr, nullptr, gInstance, nullptr);
    if (!window) return nullptr;
    CreateWindowExW(0, L"Static", L"网络连接已断开", WS_CHILD | WS_VISIBLE, 10, 10, 260, 20, window,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPromptTextId)), gInstance, nullptr);
    return window;
}

// A message box, as a Unicode program raises one; its N (否 or No) counts as
// a 否 click. It runs its own loop until answered.
void ShowMessageBox() {
    if (gMessageBoxTitles.empty()) return;
    const std::wstring title = gMessageBoxTitles.front();
    gMessageBoxTitles.erase(gMessageBoxTitles.begin());
    ++gOpenMessageBoxes;
    const int answer = MessageBoxW(nullptr, kQuestion, title.c_str(), MB_YESNO | MB_ICONQUESTION);
    --gOpenMessageBoxes;
    if (answer == IDNO) ++gButtonAnswers;
}

HWND RaisePrompt(const std::wstring& title, ULONG_PTR flags) {
    if (flags & zorvic::kPromptMessageBox) {
        // Shown once the sender has its answer: the box's loop would hold it.
        gMessageBoxTitles.push_back(title);
        PostMessageW(gMain, zorvic::kShowMessageBox, 0, 0);
        return reinterpret_cast<HWND>(1);
    }
    HWND prompt = (flags & zorvic::kPromptOtherClass) ? CreatePlainPrompt()
                                                      : CreatePromptDialog(!(flags & zorvic::kPromptNoMnemonic));
    if (!prompt) return nullptr;
    SetWindowTextW(prompt, title.c_str());
    // Left of the screen, clear of the program under test, which opens centred.
    const int offset = 24 * static_cast<int>(gPrompts.size() % 8);
    SetWindowPos(prompt, nullptr, 20 + offset, 40 + offset, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    gPrompts.push_back({prompt, flags});
    UpdateSwallowHook();
    if (!(flags & zorvic::kPromptHidden))
        ShowWindow(prompt, (flags & zorvic::kPromptInBackground) ? SW_SHOWNOACTIVATE : SW_SHOW);
    return prompt;
}

LRESULT OnCopyData(const COPYDATASTRUCT* data) {
    if (!data) return 0;
    const wchar_t* chars = static_cast<const wchar_t*>(data->lpData);
    const std::wstring title = chars ? std::wstring(chars, wcsnlen(chars, data->cbData / sizeof(wchar_t))) : std::wstring();
    return reinterpret_cast<LRESULT>(RaisePrompt(title, data->dwData));
}

void OnCommand(WPARAM wParam) {
    if (LOWORD(wParam) == zorvic::kDialButtonId && HIWORD(wParam) == BN_CLICKED) {
        ++gClicks;
        ShowCounts();
    }
}

void OnCreate(HWND window) {
    gMain = window;
    CreateWindowExW(0, L"Button", L"拨号", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 20, 20, 100, 40,
                    window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(zorvic::kDialButtonId)), gInstance,
                    nullptr);
    CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE, 20, 80, 260, 20, window,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCountLabelId)), gInstance, nullptr);
    ShowCounts();
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: OnCreate(window); return 0;
    case WM_COMMAND: OnCommand(wParam); return 0;
    case WM_COPYDATA: return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case zorvic::kQueryClicks: return gClicks;
    case zorvic::kQueryKeyDowns: return gKeyDowns;
    case zorvic::kQueryKeyUps: return gKeyUps;
    case zorvic::kQueryOpenPrompts: return static_cast<LRESULT>(gPrompts.size() + gMessageBoxTitles.size()) + gOpenMessageBoxes;
    case zorvic::kQueryButtonAnswers: return gButtonAnswers;
    case zorvic::kQuerySwallowedKeys: return gSwallowedKeys;
    case zorvic::kHangFor: Sleep(static_cast<DWORD>(wParam)); return 0;
    case zorvic::kShowMessageBox: ShowMessageBox(); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Counts an N key that reaches a prompt; true when the prompt was closed by it
// (the message is then spent).
bool AnswerPrompt(const MSG& msg) {
    if ((msg.message != WM_KEYDOWN && msg.message != WM_KEYUP) || msg.wParam != kKeyN) return false;
    Prompt* prompt = PromptOf(msg.hwnd);
    if (!prompt) return false;
    if (msg.message == WM_KEYUP) {
        ++gKeyUps;
        return false;
    }
    ++gKeyDowns;
    ShowCounts();
    if (prompt->flags & zorvic::kPromptStaysOpen) return false;
    DestroyWindow(prompt->handle);
    return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    gInstance = instance;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = MainProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = zorvic::kMainClass;
    if (!RegisterClassW(&windowClass)) return 1;
    windowClass.lpfnWndProc = PlainPromptProc;
    windowClass.lpszClassName = kPlainPromptClass;
    if (!RegisterClassW(&windowClass)) return 1;

    // Right of the screen, clear of the program under test.
    HWND main = CreateWindowExW(0, zorvic::kMainClass, L"Zorvic 宽带客户端", WS_OVERLAPPEDWINDOW, 680, 40, 320, 180,
                                nullptr, nullptr, instance, nullptr);
    if (!main) return 1;
    ShowWindow(main, SW_SHOWNOACTIVATE);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (AnswerPrompt(msg)) continue;
        const Prompt* prompt = PromptOf(msg.hwnd);
        if (prompt && IsDialogMessageW(prompt->handle, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
