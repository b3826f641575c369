// A busy desk for program_bench: another program that creates, shows and
// destroys 200 top-level windows and 20 dialogs ("#32770", titled 忙碌) a
// second, in batches every 50 ms. WM_CLOSE to its own window ends it.
#include <windows.h>

namespace {

constexpr UINT kBatchMs = 50;
constexpr int kWindowsPerBatch = 10;  // 200 a second
constexpr int kDialogsPerBatch = 1;   // 20 a second
constexpr int kBatch = kWindowsPerBatch + kDialogsPerBatch;

HINSTANCE gInstance;
HWND gBatch[kBatch];

void NextBatch() {
    for (HWND& window : gBatch) {
        if (window) DestroyWindow(window);
        window = nullptr;
    }
    for (int i = 0; i < kBatch; ++i) {
        const bool dialog = i >= kWindowsPerBatch;
        // WC_DIALOG: the system's dialog class, as a dialog box is made of it.
        gBatch[i] = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, dialog ? WC_DIALOG : L"BenchChurnItem",
                                    dialog ? L"忙碌" : L"item", WS_POPUP | WS_CAPTION, 10 * i, 600, 120, 40, nullptr,
                                    nullptr, gInstance, nullptr);
        if (gBatch[i]) ShowWindow(gBatch[i], SW_SHOWNOACTIVATE);
    }
}

LRESULT CALLBACK ChurnProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER: NextBatch(); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    gInstance = instance;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ChurnProc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"BenchChurn";
    if (!RegisterClassW(&wc)) return 1;
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = L"BenchChurnItem";
    if (!RegisterClassW(&wc)) return 1;
    HWND hwnd = CreateWindowExW(0, L"BenchChurn", L"churn", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 700, 300, 200,
                                100, nullptr, nullptr, instance, nullptr);
    if (!hwnd || !SetTimer(hwnd, 1, kBatchMs, nullptr)) return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    for (HWND window : gBatch) {
        if (window) DestroyWindow(window);
    }
    return 0;
}
