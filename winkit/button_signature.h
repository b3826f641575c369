// What identifies a button of another program besides its handle, so that
// the same button can be found again when its program has been restarted (and
// a reused handle is not taken for it).
#pragma once

#include <windows.h>

#include <string>

namespace winkit {

struct ButtonSignature {
    std::wstring imageName;  // of the owning process, as the system spells it
    std::wstring className;
    int controlId = 0;
    std::wstring text;
    std::wstring topClass;  // of the button's top-level window
    std::wstring topTitle;
};

// Reads the signature of a window; false (signature untouched) when the handle
// names no window or its program can't be found.
bool ReadButtonSignature(HWND button, ButtonSignature& signature);

// Whether window is that button: the same program, class, control ID and
// top-level class. Its text and its window's title may change with the
// client's state (a button that reads 断开 while connected), so they only rank
// the candidates of FindButton.
bool IsSameButton(HWND window, const ButtonSignature& signature);

enum class ButtonSearch { Found, NoButton, NoProgram };

// The same button in a running process of the signature's image name: the
// first whose text and window title match as well, else the first that
// IsSameButton would accept. found is null unless the result is Found.
ButtonSearch FindButton(const ButtonSignature& signature, HWND& found);

}  // namespace winkit
