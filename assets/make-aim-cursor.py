#!/usr/bin/env python3
"""Writes aim.cur beside this script: the aim icon, a 32 x 32 two-colour cursor.

A ring with a cross inside it, drawn in black with a white outline, transparent
elsewhere, and one screen-inverting pixel at the hotspot (15, 16).

File layout (330 bytes):
    0   ICONDIR        reserved 0, type 2 (cursor), 1 entry
    6   ICONDIRENTRY   32 x 32, 2 colours, hotspot 15/16, 304 bytes at offset 26
    22  4 zero bytes   the image starts on a 4-byte boundary after the directory
    26  BITMAPINFOHEADER, 32 x 64 (XOR and AND mask stacked), 1 bit per pixel
    66  palette        black, white
    74  XOR bitmap     32 rows of 4 bytes, bottom row first
    202 AND mask       the same shape
Loaders find the image through the entry's offset, so the gap is harmless; it
brings the file to the size the program was built around.
"""

import math
import os
import struct

SIZE = 32
HOT_X, HOT_Y = 15, 16
IMAGE_OFFSET = 26

TRANSPARENT, BLACK, WHITE, INVERT = "transparent", "black", "white", "invert"


def shape():
    """Pixel kinds, indexed [y][x] with y growing downwards."""
    black = [[False] * SIZE for _ in range(SIZE)]
    for y in range(SIZE):
        for x in range(SIZE):
            dx, dy = x - HOT_X, y - HOT_Y
            r = math.hypot(dx, dy)
            ring = 9.5 <= r <= 11.5
            # The cross arms stop short of the centre so the aim point stays clear.
            cross = (dx == 0 and 3 <= abs(dy) <= 9) or (dy == 0 and 3 <= abs(dx) <= 9)
            black[y][x] = ring or cross
    kinds = [[TRANSPARENT] * SIZE for _ in range(SIZE)]
    for y in range(SIZE):
        for x in range(SIZE):
            if black[y][x]:
                kinds[y][x] = BLACK
                continue
            near = any(
                0 <= x + i < SIZE and 0 <= y + j < SIZE and black[y + j][x + i]
                for i in (-1, 0, 1)
                for j in (-1, 0, 1)
            )
            if near:
                kinds[y][x] = WHITE
    kinds[HOT_Y][HOT_X] = INVERT
    return kinds


def planes(kinds):
    """The XOR bitmap and the AND mask as DIB rows (bottom row first)."""
    # Colour index 0 is black, 1 is white. Transparent is AND 1 / XOR 0;
    # AND 1 / XOR 1 inverts the screen.
    xor_bit = {TRANSPARENT: 0, BLACK: 0, WHITE: 1, INVERT: 1}
    and_bit = {TRANSPARENT: 1, BLACK: 0, WHITE: 0, INVERT: 1}

    def pack(bit_of):
        data = b""
        for y in reversed(range(SIZE)):
            row = 0
            for x in range(SIZE):
                row = (row << 1) | bit_of[kinds[y][x]]
            data += struct.pack(">I", row)  # leftmost pixel in the high bit
        return data

    return pack(xor_bit), pack(and_bit)


def cursor_file(kinds):
    xor_plane, and_plane = planes(kinds)
    header = struct.pack(
        "<IiiHHIIiiII",
        40,             # biSize
        SIZE,           # biWidth
        SIZE * 2,       # biHeight: XOR bitmap and AND mask
        1,              # biPlanes
        1,              # biBitCount
        0,              # biCompression: BI_RGB
        len(xor_plane) + len(and_plane),  # biSizeImage
        0, 0,           # resolution
        2, 2,           # biClrUsed, biClrImportant
    )
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    image = header + palette + xor_plane + and_plane
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 2, 0, HOT_X, HOT_Y, len(image), IMAGE_OFFSET)
    gap = bytes(IMAGE_OFFSET - len(directory) - len(entry))
    return directory + entry + gap + image


def main():
    data = cursor_file(shape())
    assert len(data) == 330, len(data)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "aim.cur")
    with open(path, "wb") as out:
        out.write(data)


if __name__ == "__main__":
    main()
