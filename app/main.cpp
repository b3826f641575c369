#include "app/app.h"
#include "app/shell.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
    app::SetArguments(arguments ? arguments : "");
    return app::Run();
}
