// The control-skinning layer: restyles every window of the user-interface
// thread, those that exist and those created later, in one of three styles.
//   0  classic: no visual styles
//   1  the system's themed look
//   2  the themed look of the shell's own windows ("Explorer")
#pragma once

namespace ui {

void SetSkinStyle(int style);
int SkinStyle();

// Takes the layer's hook off the thread; windows keep the style they have.
void ReleaseSkin();

}  // namespace ui
