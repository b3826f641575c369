#include "app/loop.h"

#include "app/shell.h"
#include "winkit/wait.h"

namespace app {

void DispatchOne(MSG& msg) {
    if (PreTranslate(msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void ProcessPendingEvents() { winkit::DispatchPending(DispatchOne); }

int RunMessageLoop(bool modal) {
    MSG msg;
    for (;;) {
        if (modal) {
            if (!ModalWindowOpen()) return 0;
            if (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message == WM_QUIT) return 0;
        }
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            if (modal && got == 0) PostQuitMessage(static_cast<int>(msg.wParam));  // for the outer loop
            return got == 0 ? static_cast<int>(msg.wParam) : 0;
        }
        DispatchOne(msg);
        if (modal && !ModalWindowOpen()) return 0;
    }
}

}  // namespace app
