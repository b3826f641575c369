#include "app/app.h"
#include "app/shell.h"

#include <windows.h>

// The wide entry point: the arguments come as the system keeps them (UTF-16),
// whatever the ANSI code page.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR arguments, int) {
    app::SetArguments(arguments ? arguments : L"");
    return app::Run();
}
