// Pictures from image bytes: a JPEG file, or a Windows cursor or icon file.
// Bytes that do not decode give the empty picture; nothing else happens.
#pragma once

#include "ui/scale.h"

#include <windows.h>

#include <cstddef>

namespace ui {

struct Picture {
    HBITMAP bitmap = nullptr;  // a decoded JPEG
    HICON icon = nullptr;      // a decoded cursor or icon (HCURSOR is the same)
    int width = 0;
    int height = 0;
};

// A JPEG is decoded by the system, and only when its frame header claims no
// more pixels than the box it is for (boxWidth x boxHeight) has. A cursor or
// icon is made at its own size scaled by iconDpi/96, its hotspot with it.
Picture DecodePicture(const unsigned char* bytes, std::size_t size, int boxWidth, int boxHeight,
                      int iconDpi = kBaseDpi);
void FreePicture(Picture& picture);
// Destroys a cursor that the program made, first putting it out of use, as
// DestroyCursor asks: where it is the thread's current pointer, the standard
// arrow takes its place. Null does nothing.
void DestroyPointer(HCURSOR cursor);
// Draws the picture into width x height at (x, y): at its own size exactly,
// else stretched with smoothing.
void DrawPicture(HDC dc, const Picture& picture, int x, int y, int width, int height);

}  // namespace ui
