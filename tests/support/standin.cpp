#include "tests/support/standin.h"

#include "tests/support/program.h"

#include "tools/wininet/link.h"
#include "tools/zorvic/protocol.h"

namespace support {

namespace {

constexpr DWORD kStartTimeoutMs = 10000;
constexpr UINT kAnswerTimeoutMs = 5000;

LRESULT Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0, LRESULT failed = -1) {
    DWORD_PTR result = 0;
    if (!window || !SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &result))
        return failed;
    return static_cast<LRESULT>(result);
}

// The test process's view of the link state, kept for its whole life so the
// mapping outlives every call of the stand-in DLL.
standin_link::LinkState* LinkView() {
    static standin_link::LinkState* view = [] {
        HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                            sizeof(standin_link::LinkState), standin_link::kMappingName);
        if (!mapping) return static_cast<standin_link::LinkState*>(nullptr);
        const bool created = GetLastError() != ERROR_ALREADY_EXISTS;
        auto* state = static_cast<standin_link::LinkState*>(
            MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(standin_link::LinkState)));
        // A fresh mapping reads as zero, which would mean "down".
        if (state && created) InterlockedExchange(&state->connected, 1);
        return state;
    }();
    return view;
}

}  // namespace

bool StartClient(Client& client, const wchar_t* imageName, int shape) {
    client = Client();
    const std::wstring directory = BuildDirectory();
    const std::wstring original = directory + L"\\ZorvicClient.exe";
    const std::wstring image = directory + L"\\" + imageName;
    // A name that differs only in case is the same file: copying would truncate
    // it. A copy still in use by an earlier client can't be replaced, and needn't be.
    if (lstrcmpiW(imageName, L"ZorvicClient.exe") != 0 && !CopyFileW(original.c_str(), image.c_str(), FALSE) &&
        GetFileAttributesW(image.c_str()) == INVALID_FILE_ATTRIBUTES)
        return false;

    std::wstring arguments;
    if (shape & kDialogClient) arguments += zorvic::kDialogArgument;
    if (shape & kFrontClicks) arguments += std::wstring(L" ") + zorvic::kFrontClicksArgument;
    if (shape & kGreyedButton) arguments += std::wstring(L" ") + zorvic::kGreyedArgument;
    if (shape & kToggleButton) arguments += std::wstring(L" ") + zorvic::kToggleArgument;
    if (!StartProcess(image, directory, client.process, arguments)) return false;

    const bool dialog = (shape & kDialogClient) != 0;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kStartTimeoutMs) {
        client.main = FindVisibleWindow(client.process.dwProcessId, dialog ? L"#32770" : zorvic::kMainClass);
        if (client.main) client.dialButton = GetDlgItem(client.main, dialog ? IDOK : zorvic::kDialButtonId);
        if (client.dialButton) break;
        if (WaitForSingleObject(client.process.hProcess, 20) != WAIT_TIMEOUT) break;
    }
    // At its messages once its loop answers. (Wine's WaitForInputIdle leaves a
    // handle behind in the caller at each call.)
    DWORD_PTR answer = 0;
    if (!client.dialButton ||
        !SendMessageTimeoutW(client.main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kStartTimeoutMs, &answer)) {
        StopClient(client);
        return false;
    }
    return true;
}

void StopClient(Client& client) {
    EndProcess(client.process);
    client = Client();
}

int ClickCount(const Client& client) {
    return static_cast<int>(Ask(client.main, zorvic::kQueryClicks));
}

int HangUpCount(const Client& client) {
    return static_cast<int>(Ask(client.main, zorvic::kQueryHangUps));
}

HWND RaisePrompt(const Client& client, const std::wstring& title, int flags) {
    COPYDATASTRUCT data{};
    data.dwData = static_cast<ULONG_PTR>(flags);
    data.cbData = static_cast<DWORD>((title.size() + 1) * sizeof(wchar_t));
    data.lpData = const_cast<wchar_t*>(title.c_str());
    return reinterpret_cast<HWND>(Ask(client.main, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), 0));
}

int AnsweredCount(const Client& client) {
    return static_cast<int>(Ask(client.main, zorvic::kQueryKeyDowns));
}

int KeyUpCount(const Client& client) {
    return static_cast<int>(Ask(client.main, zorvic::kQueryKeyUps));
}

int OpenPromptCount(const Client& client) {
    return static_cast<int>(Ask(client.main, zorvic::kQueryOpenPrompts));
}

int ButtonAnswerCount(const Client& client) {
    return static_cast<int>(Ask(client.main, zorvic::kQueryButtonAnswers));
}

int SwallowedKeyCount(const Client& client) {
    return static_cast<int>(Ask(client.main, zorvic::kQuerySwallowedKeys));
}

int BoxCharCount(const Client& client) {
    return static_cast<int>(Ask(client.main, zorvic::kQueryBoxChars));
}

void HangClient(const Client& client, int milliseconds) {
    PostMessageW(client.main, zorvic::kHangFor, static_cast<WPARAM>(milliseconds), 0);
}

bool WaitUntilClientBusy(const Client& client, int timeoutMs) {
    const DWORD start = GetTickCount();
    do {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(client.main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 100, &result)) return true;
        Sleep(10);
    } while (GetTickCount() - start < static_cast<DWORD>(timeoutMs));
    return false;
}

bool ClientAwaitsProbe(const Client& client) { return Ask(client.main, zorvic::kQueryAwaitsProbe, 0, 0, 0) == 1; }

void SetLinkState(bool connected) {
    if (standin_link::LinkState* view = LinkView()) InterlockedExchange(&view->connected, connected ? 1 : 0);
}

int LinkQueryCount() {
    standin_link::LinkState* view = LinkView();
    return view ? static_cast<int>(InterlockedCompareExchange(&view->queries, 0, 0)) : 0;
}

}  // namespace support
