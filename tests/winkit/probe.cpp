#include "tests/winkit/probe.h"

#include "app/app.h"

#include <map>

namespace probe {

namespace {

std::map<HWND, WindowCounts> gCounts;
std::vector<KeyHook::Event> gKeyEvents;

LRESULT CALLBACK KeyboardHook(int code, WPARAM kind, LPARAM data) {
    if (code == HC_ACTION) gKeyEvents.push_back({kind, *reinterpret_cast<KBDLLHOOKSTRUCT*>(data)});
    return CallNextHookEx(nullptr, code, kind, data);
}

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The table is bound on first use, as in the program, from the test's folder.
class TableEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        char path[MAX_PATH] = "";
        GetModuleFileNameA(nullptr, path, sizeof path);
        app::SetProgramDirectoryFrom(path);
        sysfn::InitTable(app::ProgramDirectory());
    }
};
::testing::Environment* const gEnvironment = ::testing::AddGlobalTestEnvironment(new TableEnvironment);

void Register(const char* className) {
    WNDCLASSA wc = {};
    if (GetClassInfoA(GetModuleHandleA(nullptr), className, &wc)) return;
    wc.lpfnWndProc = ProbeProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = className;
    RegisterClassA(&wc);
}

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kProbeMessage: ++gCounts[hwnd].posted; return 0;
    case WM_KEYDOWN:
        ++gCounts[hwnd].keyDowns;
        gCounts[hwnd].lastKey = static_cast<UINT>(wParam);
        gCounts[hwnd].lastKeyData = lParam;
        return 0;
    case WM_KEYUP: ++gCounts[hwnd].keyUps; return 0;
    case WM_NCDESTROY: gCounts.erase(hwnd); break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

HWND MakeWindow(const char* className, const std::string& title, bool visible) {
    Register(className);
    HWND hwnd = CreateWindowExA(0, className, title.c_str(), WS_POPUP | (visible ? WS_VISIBLE : 0), 20, 20, 60, 40,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (hwnd) {
        gCounts[hwnd] = WindowCounts();
        SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    return hwnd;
}

WindowCounts& CountsOf(HWND hwnd) { return gCounts[hwnd]; }

HWND WindowsTest::Make(const char* className, const std::string& title, bool visible) {
    HWND hwnd = MakeWindow(className, title, visible);
    EXPECT_NE(hwnd, nullptr) << title;
    made_.push_back(hwnd);
    return hwnd;
}

void WindowsTest::TearDown() {
    for (HWND hwnd : made_) DestroyWindow(hwnd);
    made_.clear();
}

TableFake::TableFake(sysfn::Index index, void* function) : index_(index), saved_(sysfn::gTable[index].address) {
    sysfn::gTable[index].address = reinterpret_cast<FARPROC>(function);
}

TableFake::~TableFake() { sysfn::gTable[index_].address = saved_; }

KeyHook::KeyHook() : hook_(SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardHook, GetModuleHandleA(nullptr), 0)) {
    gKeyEvents.clear();
}

KeyHook::~KeyHook() {
    if (hook_) UnhookWindowsHookEx(hook_);
}

const std::vector<KeyHook::Event>& KeyHook::events() const { return gKeyEvents; }

void KeyHook::Clear() { gKeyEvents.clear(); }

bool MakeForeground(HWND hwnd) {
    for (int i = 0; i < 50 && GetForegroundWindow() != hwnd; ++i) {
        SetForegroundWindow(hwnd);
        Pump(10);
    }
    return GetForegroundWindow() == hwnd;
}

Stopwatch::Stopwatch() { QueryPerformanceCounter(&start_); }

double Stopwatch::Elapsed() const {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start_.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void Pump(DWORD milliseconds) {
    DWORD start = GetTickCount();
    MSG msg;
    do {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
}

std::string OwnImageName() {
    char path[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string full(path, length);
    return full.substr(full.find_last_of('\\') + 1);
}

}  // namespace probe
