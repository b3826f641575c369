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
    bool topOwned = false;  // another window owns the top-level window
};

// Reads the signature of a window; false (signature untouched) when the handle
// names no window or its program can't be found.
bool ReadButtonSignature(HWND button, ButtonSignature& signature);

// Whether window is that button: the same program, class, control ID and
// top-level class. Its text and its window's title may change with the
// client's state (a button that reads 断开 while connected), so they only rank
// the candidates of FindButton.
bool IsSameButton(HWND window, const ButtonSignature& signature);

enum class ButtonSearch { Found, NoButton, NoProgram, Ambiguous };

// Top-level windows whose buttons are never taken: those of this class whose
// title holds titlePart (the client's prompts).
struct LeftOut {
    std::wstring className;
    std::wstring titlePart;
};

// The same button in a running process of the signature's image name, never
// guessed. Of the buttons that IsSameButton would accept, outside the windows
// left out and (unless the button's own window was one) owned windows, the
// best rank wins: the same text and window title, then the same title, then
// the same text. Ambiguous when the best rank holds more than one, NoButton
// when none ranks. found is null unless the result is Found.
ButtonSearch FindButton(const ButtonSignature& signature, const LeftOut& prompts, HWND& found);

}  // namespace winkit
