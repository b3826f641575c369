#include "tests/support/standin.h"

#include "tools/wininet/link.h"
#include "tools/zorvic/protocol.h"

namespace standin {

static_assert(kPromptHidden == zorvic::kPromptHidden && kPromptStaysOpen == zorvic::kPromptStaysOpen &&
                  kPromptOtherClass == zorvic::kPromptOtherClass &&
                  kPromptSwallowsKeys == zorvic::kPromptSwallowsKeys && kPromptNoMnemonic == zorvic::kPromptNoMnemonic &&
                  kPromptInBackground == zorvic::kPromptInBackground,
              "prompt flags must match the client's");

namespace {

constexpr DWORD kStartTimeoutMs = 10000;
constexpr UINT kAnswerTimeoutMs = 5000;

struct MainSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchMainWindow(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<MainSearch*>(lParam);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char className[64] = "";
    if (processId == search->processId && GetClassNameA(window, className, sizeof(className)) > 0 &&
        lstrcmpA(className, zorvic::kMainClass) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindMainWindow(DWORD processId) {
    MainSearch search{processId, nullptr};
    EnumWindows(MatchMainWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

LRESULT Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0, LRESULT failed = -1) {
    DWORD_PTR result = 0;
    if (!window || !SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &result))
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

std::string BuildDirectory() {
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
    if (length == 0 || length >= sizeof(path)) return std::string();
    std::string directory(path, length);
    const size_t slash = directory.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : directory.substr(0, slash);
}

bool StartClient(Client& client, const char* imageName) {
    client = Client();
    const std::string directory = BuildDirectory();
    const std::string original = directory + "\\ZorvicClient.exe";
    const std::string image = directory + "\\" + imageName;
    // A name that differs only in case is the same file: copying would truncate
    // it. A copy still in use by an earlier client can't be replaced, and needn't be.
    if (lstrcmpiA(imageName, "ZorvicClient.exe") != 0 && !CopyFileA(original.c_str(), image.c_str(), FALSE) &&
        GetFileAttributesA(image.c_str()) == INVALID_FILE_ATTRIBUTES)
        return false;

    std::string commandLine = "\"" + image + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    if (!CreateProcessA(image.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(),
                        &startup, &client.process))
        return false;

    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kStartTimeoutMs) {
        client.main = FindMainWindow(client.process.dwProcessId);
        if (client.main) client.dialButton = GetDlgItem(client.main, zorvic::kDialButtonId);
        if (client.dialButton) break;
        if (WaitForSingleObject(client.process.hProcess, 20) != WAIT_TIMEOUT) break;
    }
    if (!client.dialButton || WaitForInputIdle(client.process.hProcess, kStartTimeoutMs) != 0) {
        StopClient(client);
        return false;
    }
    return true;
}

void StopClient(Client& client) {
    if (client.process.hProcess) {
        TerminateProcess(client.process.hProcess, 0);
        WaitForSingleObject(client.process.hProcess, kStartTimeoutMs);
        CloseHandle(client.process.hProcess);
    }
    if (client.process.hThread) CloseHandle(client.process.hThread);
    client = Client();
}

int ClickCount(const Client& client) {
    return static_cast<int>(Ask(client.main, zorvic::kQueryClicks));
}

HWND RaisePrompt(const Client& client, const std::string& title, int flags) {
    COPYDATASTRUCT data{};
    data.dwData = static_cast<ULONG_PTR>(flags);
    data.cbData = static_cast<DWORD>(title.size() + 1);
    data.lpData = const_cast<char*>(title.c_str());
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

void HangClient(const Client& client, int milliseconds) {
    PostMessageA(client.main, zorvic::kHangFor, static_cast<WPARAM>(milliseconds), 0);
}

void SetLinkState(bool connected) {
    if (standin_link::LinkState* view = LinkView()) InterlockedExchange(&view->connected, connected ? 1 : 0);
}

int LinkQueryCount() {
    standin_link::LinkState* view = LinkView();
    return view ? static_cast<int>(InterlockedCompareExchange(&view->queries, 0, 0)) : 0;
}

}  // namespace standin
