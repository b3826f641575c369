// A stand-in for the vendor's dial-up client, used only by tests: a main
// window with a dial button that counts its clicks, and prompts raised on a
// test's request that count the N key presses and the 否(&N) clicks reaching
// them. A prompt takes a key as a dialog of the system does, in
// IsDialogMessage: the key's character clicks the button whose mnemonic it
// is, so an N, typed or posted, answers only a prompt with 否(&N). A prompt
// may eat the injected N keys, as an input method in Chinese mode would, and
// the client's thread may be told to hang for a while, or be busy by itself
// right after it raises a prompt, once a key is on its way to one, or over a
// prompt's focus, or wait in a send of its own once an answer reaches a
// prompt; a prompt may be shown a while after it is made, and may have no 否
// and take only a typed N. A test drives it
// through the messages of protocol.h. Its windows are Unicode windows: their
// texts read right only through the wide functions.
//
// Its command line may ask for two shapes that real clients have (protocol.h):
// a dialog-based client, whose main window is a dialog and whose dial button
// is IDOK, and a dial button that loses a BM_CLICK while its window is not in
// front, as the system's documentation allows for an inactive dialog; a dial
// button that is greyed, and one that is a toggle (connect / hang up).
#include "tools/zorvic/protocol.h"

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kPlainPromptClass[] = L"ZorvicPromptPlain";
constexpr int kCountLabelId = 101;
constexpr int kPromptTextId = 200;
constexpr wchar_t kQuestion[] = L"网络连接已断开，是否重新拨号？";
// Posted to the main window: answer one probe of a prompt, then sleep wParam ms.
constexpr UINT kAwaitProbeThenHang = WM_APP + 20;
// Posted to the main window: wait in a send to the peer thread (kPromptWaitsInSend).
constexpr UINT kWaitInSend = WM_APP + 21;
// Sent to the peer thread's window, which answers it kSendWaitMs later.
constexpr UINT kSlowReply = WM_APP + 22;
constexpr UINT_PTR kBusyTimer = 1;
constexpr UINT_PTR kShowTimer = 2;

struct Prompt {
    HWND handle;
    ULONG_PTR flags;
};

HINSTANCE gInstance;
HWND gMain;
int gDialId = zorvic::kDialButtonId;
WNDPROC gButtonProc;
bool gToggle;
int gClicks;
int gHangUps;
int gKeyDowns;
int gKeyUps;
int gButtonAnswers;
std::atomic<int> gSwallowedKeys{0};
std::atomic<bool> gSwallowing{false};
std::atomic<UINT> gBusyAtKey{0};  // posted to the main window at the next injected N
std::atomic<bool> gCountingTyped{false};
std::atomic<int> gTypedKeys{0};    // injected N key-downs not yet read by a keyboard-only prompt
HWND gPeer;                        // a window of the client's other thread
bool gAwaitsProbe;
bool gProbed;
std::vector<Prompt> gPrompts;
int gOpenMessageBoxes;
HHOOK gBoxHook;  // while a message box is being raised

bool AnyPromptWith(ULONG_PTR flags) {
    for (const Prompt& prompt : gPrompts) {
        if (prompt.flags & flags) return true;
    }
    return false;
}

// An injected N on its way: a prompt that swallows keys eats it; a busy one
// keeps the client's thread from its queue before the key is read, once (the
// hook runs before the system queues the key, and posted messages are read
// before input). The hook has a thread of its own, never busy: a busy thread
// would keep the hook of the press's key-up, and so the sender's SendInput,
// waiting.
LRESULT CALLBACK OnInjectedN(int code, WPARAM kind, LPARAM data) {
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
    if (code == HC_ACTION && key->vkCode == zorvic::kAnswerKey && (key->flags & LLKHF_INJECTED)) {
        if (gSwallowing) {
            if (kind == WM_KEYDOWN) ++gSwallowedKeys;
            return 1;
        }
        if (kind == WM_KEYDOWN) {
            if (gCountingTyped) ++gTypedKeys;
            if (const UINT busy = gBusyAtKey.exchange(0)) PostMessageW(gMain, busy, zorvic::kBusyMs, 0);
        }
    }
    return CallNextHookEx(nullptr, code, kind, data);
}

DWORD WINAPI RunKeyHook(void*) {
    SetWindowsHookExW(WH_KEYBOARD_LL, OnInjectedN, gInstance, 0);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}

// What the hook does, as the open prompts ask.
void UpdateKeyHook() {
    gSwallowing = AnyPromptWith(zorvic::kPromptSwallowsKeys);
    gCountingTyped = AnyPromptWith(zorvic::kPromptKeyboardOnly);
    UINT busy = 0;
    for (const Prompt& prompt : gPrompts) {
        if (prompt.flags & zorvic::kPromptBusyAfterKey) busy = zorvic::kHangFor;
        if (prompt.flags & zorvic::kPromptProbedThenBusy) busy = kAwaitProbeThenHang;
        if (prompt.flags & zorvic::kPromptWaitsInSend) busy = kWaitInSend;
    }
    gBusyAtKey = busy;
}

// The client's other thread (its network thread, say), which takes its time
// over what the client's thread sends it.
LRESULT CALLBACK PeerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kSlowReply) {
        Sleep(zorvic::kSendWaitMs);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

DWORD WINAPI RunPeer(void* ready) {
    gPeer = CreateWindowExW(0, L"Static", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, gInstance, nullptr);
    SetWindowLongPtrW(gPeer, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PeerProc));
    SetEvent(ready);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}

// Inside the send, the thread answers what is sent to it (a probe, a test's
// question) and reads nothing posted and no input: what comes meanwhile waits.
void WaitInSend() {
    for (Prompt& prompt : gPrompts) prompt.flags &= ~static_cast<ULONG_PTR>(zorvic::kPromptWaitsInSend);
    UpdateKeyHook();
    SendMessageW(gPeer, kSlowReply, 0, 0);
}

// Busy with something else, the client answers what is sent to it but reads
// nothing of its queue until a probe of a prompt has come; then it sleeps.
void AwaitProbeThenHang(DWORD milliseconds) {
    gAwaitsProbe = true;
    gProbed = false;
    const DWORD start = GetTickCount();
    while (!gProbed && GetTickCount() - start < 5000) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_SENDMESSAGE);
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    gAwaitsProbe = false;
    Sleep(milliseconds);
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
    UpdateKeyHook();
}

// The prompt that window is or lies in; null when none.
Prompt* PromptOf(HWND window) {
    if (!window) return nullptr;
    for (Prompt& prompt : gPrompts) {
        if (window == prompt.handle || IsChild(prompt.handle, window)) return &prompt;
    }
    return nullptr;
}

// A click of 否(&N) is counted, however it came: the N key through the
// mnemonic, a click, a posted notice. A prompt that stays open closes only
// when it is closed (IDCANCEL), never by its buttons.
void OnPromptCommand(HWND dialog, WORD id) {
    if (id == IDNO) ++gButtonAnswers;
    const Prompt* prompt = PromptOf(dialog);
    if (prompt && (prompt->flags & zorvic::kPromptStaysOpen) && id != IDCANCEL) return;
    if (id == IDNO || id == IDOK || id == IDCANCEL) DestroyWindow(dialog);
}

// A prompt slow over its focus keeps its thread in the focus handling, once,
// and so whoever moved the focus waits.
void OnPromptFocus(HWND dialog) {
    Prompt* prompt = PromptOf(dialog);
    if (!prompt || !(prompt->flags & zorvic::kPromptSlowFocus)) return;
    prompt->flags &= ~static_cast<ULONG_PTR>(zorvic::kPromptSlowFocus);
    Sleep(zorvic::kSlowFocusMs);
}

// A client busy right after it raised a prompt; a prompt shown a while after
// it was made (a hook that reports only the creation misses it).
void OnPromptTimer(HWND dialog, UINT_PTR timer) {
    KillTimer(dialog, timer);
    const Prompt* prompt = PromptOf(dialog);
    if (timer == kBusyTimer) Sleep(zorvic::kBusyMs);
    if (timer == kShowTimer && prompt)
        ShowWindow(dialog, (prompt->flags & zorvic::kPromptInBackground) ? SW_SHOWNOACTIVATE : SW_SHOW);
}

INT_PTR CALLBACK PromptDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_NULL: gProbed = gProbed || gAwaitsProbe; return FALSE;
    case WM_TIMER: OnPromptTimer(dialog, wParam); return TRUE;
    case WM_SETFOCUS: OnPromptFocus(dialog); return FALSE;
    case WM_COMMAND: OnPromptCommand(dialog, LOWORD(wParam)); return TRUE;
    case WM_DESTROY: ForgetPrompt(dialog); return TRUE;
    }
    return FALSE;
}

LRESULT CALLBACK PlainPromptProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) ForgetPrompt(window);
    return DefWindowProcW(window, message, wParam, lParam);
}

// An in-memory dialog template of up to three items. The texts are set after
// creation, so the template holds no strings.
struct DialogTemplate {
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
static_assert(sizeof(DialogTemplate::Item) % 4 == 0 && offsetof(DialogTemplate, items) % 4 == 0,
              "dialog items must be DWORD-aligned");

struct DialogRow {
    DWORD style;
    short x, y, cx, cy;
    WORD id, atom;  // 0x0080 Button, 0x0082 Static
};
constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kStaticAtom = 0x0082;

HWND CreateDialogOf(DWORD style, short cx, short cy, const DialogRow* rows, WORD count, DLGPROC proc,
                    HWND owner = nullptr) {
    alignas(4) static DialogTemplate tmpl;
    tmpl = DialogTemplate();
    tmpl.dialog.style = style;
    tmpl.dialog.cdit = count;
    tmpl.dialog.cx = cx;
    tmpl.dialog.cy = cy;
    for (WORD i = 0; i < count; ++i) {
        DialogTemplate::Item& item = tmpl.items[i];
        item.item.style = rows[i].style;
        item.item.x = rows[i].x;
        item.item.y = rows[i].y;
        item.item.cx = rows[i].cx;
        item.item.cy = rows[i].cy;
        item.item.id = rows[i].id;
        item.classMarker = 0xFFFF;
        item.classAtom = rows[i].atom;
    }
    return CreateDialogIndirectParamW(gInstance, &tmpl.dialog, owner, proc, 0);
}

// A line of text and the buttons 是 and 否; or 确定 alone.
HWND CreatePromptDialog(bool mnemonics, bool noButtonNo, HWND owner) {
    const DialogRow rows[3] = {
        {WS_CHILD | WS_VISIBLE | SS_LEFT, 8, 8, 144, 16, kPromptTextId, kStaticAtom},
        {WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 28, 36, 44, 16, IDOK, kButtonAtom},
        {WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 88, 36, 44, 16, IDNO, kButtonAtom},
    };
    HWND dialog = CreateDialogOf(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 160, 60, rows,
                                 noButtonNo ? 2 : 3, PromptDialogProc, owner);
    if (!dialog) return nullptr;
    SetDlgItemTextW(dialog, kPromptTextId, kQuestion);
    SetDlgItemTextW(dialog, IDOK, noButtonNo ? L"确定" : mnemonics ? L"是(&Y)" : L"是");
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

// The test that asked for the message box has its handle as the box is
// activated, while the box goes on with its own loop.
LRESULT CALLBACK ReplyWithTheBox(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && gBoxHook) {
        UnhookWindowsHookEx(gBoxHook);
        gBoxHook = nullptr;
        ReplyMessage(static_cast<LRESULT>(wParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A message box, as a Unicode program raises one; its N (否 or No) counts as
// a 否 click. It runs its own loop until answered, inside the request that
// raised it.
void ShowMessageBox(const std::wstring& title) {
    gBoxHook = SetWindowsHookExW(WH_CBT, ReplyWithTheBox, nullptr, GetCurrentThreadId());
    ++gOpenMessageBoxes;
    const int answer = MessageBoxW(nullptr, kQuestion, title.c_str(), MB_YESNO | MB_ICONQUESTION);
    --gOpenMessageBoxes;
    if (gBoxHook) UnhookWindowsHookEx(gBoxHook);  // never activated
    gBoxHook = nullptr;
    if (answer == IDNO) ++gButtonAnswers;
}

HWND RaisePrompt(const std::wstring& title, ULONG_PTR flags) {
    if (flags & zorvic::kPromptMessageBox) {
        ShowMessageBox(title);
        return nullptr;  // the box's handle went back as it was activated
    }
    HWND focusBefore = GetFocus();
    HWND prompt = (flags & zorvic::kPromptOtherClass) ? CreatePlainPrompt()
                                                      : CreatePromptDialog(!(flags & zorvic::kPromptNoMnemonic),
                                                                           (flags & zorvic::kPromptKeyboardOnly) != 0,
                                                                           (flags & zorvic::kPromptOwned) ? gMain : nullptr);
    if (!prompt) return nullptr;
    // A dialog takes its thread's focus as it is made; one raised in the
    // background leaves it where it was (in the name box, say).
    if (flags & zorvic::kPromptInBackground) SetFocus(focusBefore);
    SetWindowTextW(prompt, title.c_str());
    // Left of the screen, clear of the program under test, which opens centred.
    const int offset = 24 * static_cast<int>(gPrompts.size() % 8);
    SetWindowPos(prompt, nullptr, 20 + offset, 40 + offset, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    gPrompts.push_back({prompt, flags});
    UpdateKeyHook();
    if (flags & zorvic::kPromptBusyAtOnce) SetTimer(prompt, kBusyTimer, 20, nullptr);
    if (flags & zorvic::kPromptShownLater) {
        SetTimer(prompt, kShowTimer, zorvic::kShowDelayMs, nullptr);
    } else if (!(flags & zorvic::kPromptHidden)) {
        ShowWindow(prompt, (flags & zorvic::kPromptInBackground) ? SW_SHOWNOACTIVATE : SW_SHOW);
    }
    return prompt;
}

LRESULT OnCopyData(const COPYDATASTRUCT* data) {
    if (!data) return 0;
    const wchar_t* chars = static_cast<const wchar_t*>(data->lpData);
    const std::wstring title = chars ? std::wstring(chars, wcsnlen(chars, data->cbData / sizeof(wchar_t))) : std::wstring();
    return reinterpret_cast<LRESULT>(RaisePrompt(title, data->dwData));
}

void OnCommand(WPARAM wParam) {
    if (LOWORD(wParam) != gDialId || HIWORD(wParam) != BN_CLICKED) return;
    HWND button = GetDlgItem(gMain, gDialId);
    if (gToggle && SendMessageW(button, BM_GETCHECK, 0, 0) != BST_CHECKED) {
        ++gHangUps;
        return;
    }
    // A toggle's dial that leaves the link down: disconnected again.
    if (gToggle) SendMessageW(button, BM_SETCHECK, BST_UNCHECKED, 0);
    ++gClicks;
    ShowCounts();
}

// The documented loss: a BM_CLICK that comes while the button's window is not
// in front goes nowhere.
LRESULT CALLBACK FrontOnlyButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == BM_CLICK && GetForegroundWindow() != GetAncestor(button, GA_ROOT)) return 0;
    return CallWindowProcW(gButtonProc, button, message, wParam, lParam);
}

void OnCreate(HWND window) {
    gMain = window;
    const DWORD kind = gToggle ? BS_AUTOCHECKBOX | BS_PUSHLIKE : BS_PUSHBUTTON;
    CreateWindowExW(0, L"Button", gToggle ? L"连接" : L"拨号", WS_CHILD | WS_VISIBLE | WS_TABSTOP | kind, 20, 20, 100, 40,
                    window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(zorvic::kDialButtonId)), gInstance,
                    nullptr);
    CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE, 20, 80, 260, 20, window,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCountLabelId)), gInstance, nullptr);
    CreateWindowExW(WS_EX_CLIENTEDGE, L"Edit", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 140, 20, 140,
                    24, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(zorvic::kNameBoxId)), gInstance, nullptr);
    ShowCounts();
}

// The test's questions, asked of the main window of either shape.
// Greys the dial button and frames it in a group box that lies above it in
// the z-order, as a dialog template's box that comes before its controls does.
void GreyDialButton(HWND main) {
    HWND button = GetDlgItem(main, gDialId);
    EnableWindow(button, FALSE);
    RECT frame;
    GetWindowRect(button, &frame);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&frame), 2);
    InflateRect(&frame, 10, 16);
    HWND box = CreateWindowExW(0, L"Button", L"连接", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, frame.left, frame.top,
                               frame.right - frame.left, frame.bottom - frame.top, main, nullptr, gInstance, nullptr);
    SetWindowPos(box, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool AnswerQuery(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_COPYDATA: result = OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam)); return true;
    case zorvic::kQueryClicks: result = gClicks; return true;
    case zorvic::kQueryHangUps: result = gHangUps; return true;
    case zorvic::kQueryBoxChars: result = GetWindowTextLengthW(GetDlgItem(gMain, zorvic::kNameBoxId)); return true;
    case zorvic::kQueryKeyDowns: result = gKeyDowns; return true;
    case zorvic::kQueryKeyUps: result = gKeyUps; return true;
    case zorvic::kQueryOpenPrompts:
        result = static_cast<LRESULT>(gPrompts.size()) + gOpenMessageBoxes;
        return true;
    case zorvic::kQueryButtonAnswers: result = gButtonAnswers; return true;
    case zorvic::kQuerySwallowedKeys: result = gSwallowedKeys.load(); return true;
    case zorvic::kHangFor: Sleep(static_cast<DWORD>(wParam)); result = 0; return true;
    case kAwaitProbeThenHang: AwaitProbeThenHang(static_cast<DWORD>(wParam)); result = 0; return true;
    case kWaitInSend: WaitInSend(); result = 0; return true;
    case zorvic::kQueryAwaitsProbe: result = gAwaitsProbe; return true;
    }
    return false;
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (AnswerQuery(message, wParam, lParam, result)) return result;
    switch (message) {
    case WM_CREATE: OnCreate(window); return 0;
    case WM_COMMAND: OnCommand(wParam); return 0;
    case WM_ACTIVATE: if (LOWORD(wParam) != WA_INACTIVE) SetFocus(GetDlgItem(window, zorvic::kNameBoxId)); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A dialog procedure hands its results back through DWLP_MSGRESULT.
INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (AnswerQuery(message, wParam, lParam, result)) {
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
        return TRUE;
    }
    switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_COMMAND: OnCommand(wParam); return TRUE;
    case WM_CLOSE: DestroyWindow(dialog); return TRUE;
    case WM_DESTROY: PostQuitMessage(0); return TRUE;
    }
    return FALSE;
}

// The dialog-based shape: the dial button is IDOK and reads 断开.
HWND CreateMainDialog() {
    const DialogRow rows[2] = {
        {WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 12, 12, 60, 24, IDOK, kButtonAtom},
        {WS_CHILD | WS_VISIBLE | SS_LEFT, 12, 48, 160, 12, kCountLabelId, kStaticAtom},
    };
    gDialId = IDOK;
    gMain = CreateDialogOf(WS_POPUP | WS_CAPTION | WS_SYSMENU, 200, 70, rows, 2, MainDialogProc);
    if (!gMain) return nullptr;
    SetWindowTextW(gMain, L"Zorvic 宽带客户端");
    SetWindowPos(gMain, nullptr, 680, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetDlgItemTextW(gMain, IDOK, L"断开");
    ShowCounts();
    return gMain;
}

// Counts an N key-down or key-up that reaches a prompt, typed or posted; the
// prompt's dialog handling answers it, or not.
void CountAnswerKey(const MSG& msg) {
    if ((msg.message != WM_KEYDOWN && msg.message != WM_KEYUP) || msg.wParam != zorvic::kAnswerKey) return;
    if (!PromptOf(msg.hwnd)) return;
    if (msg.message == WM_KEYUP) {
        ++gKeyUps;
        return;
    }
    ++gKeyDowns;
    ShowCounts();
}

// What a prompt does with an answer of ours before its dialog handling; true
// when it took the message itself.
bool PromptTakes(const Prompt& prompt, const MSG& msg) {
    const bool letter = msg.message == WM_KEYDOWN && msg.wParam == zorvic::kAnswerKey;
    if ((prompt.flags & zorvic::kPromptWaitsInSend) && (letter || msg.message == WM_COMMAND)) WaitInSend();
    if (!(prompt.flags & zorvic::kPromptKeyboardOnly) || !letter) return false;
    // It reads the keyboard, not its queue: only a typed N answers it.
    if (gTypedKeys > 0) {
        --gTypedKeys;
        DestroyWindow(prompt.handle);
    }
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

    CloseHandle(CreateThread(nullptr, 0, RunKeyHook, nullptr, 0, nullptr));
    HANDLE peerReady = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CloseHandle(CreateThread(nullptr, 0, RunPeer, peerReady, 0, nullptr));
    WaitForSingleObject(peerReady, 5000);
    CloseHandle(peerReady);
    const wchar_t* commandLine = GetCommandLineW();
    const bool dialogShape = std::wcsstr(commandLine, zorvic::kDialogArgument) != nullptr;
    gToggle = !dialogShape && std::wcsstr(commandLine, zorvic::kToggleArgument) != nullptr;
    // Right of the screen, clear of the program under test.
    HWND main = dialogShape ? CreateMainDialog()
                            : CreateWindowExW(0, zorvic::kMainClass, L"Zorvic 宽带客户端", WS_OVERLAPPEDWINDOW, 680,
                                              40, 320, 180, nullptr, nullptr, instance, nullptr);
    if (!main) return 1;
    if (std::wcsstr(commandLine, zorvic::kFrontClicksArgument)) {
        gButtonProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(GetDlgItem(main, gDialId), GWLP_WNDPROC,
                                                                  reinterpret_cast<LONG_PTR>(FrontOnlyButtonProc)));
    }
    if (std::wcsstr(commandLine, zorvic::kGreyedArgument)) GreyDialButton(main);
    ShowWindow(main, SW_SHOWNOACTIVATE);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        CountAnswerKey(msg);
        const Prompt* prompt = PromptOf(msg.hwnd);
        if (prompt) {
            // The send may let a test raise or close prompts: a copy is looked at.
            const Prompt current = *prompt;
            if (PromptTakes(current, msg)) continue;
            if (!IsWindow(current.handle)) continue;
            if (IsDialogMessageW(current.handle, &msg)) continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
