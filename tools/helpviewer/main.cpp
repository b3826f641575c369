// A help viewer of the old kind, for the hyperlink box's hand: only its
// cursor resource 106 is ever read, with the file loaded as data.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return 0; }
