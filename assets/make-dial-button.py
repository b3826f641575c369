#!/usr/bin/env python3
"""Writes dial-button.jpg beside this script: a 64 x 77 colour picture of the
broadband client's dial button, a rounded blue button face with a globe and
the two characters 拨号 drawn as pixel strokes (no fonts involved).

The picture is drawn here into a PPM and turned into a baseline JPEG by
ImageMagick, with metadata stripped so the output depends only on this script.
"""

import math
import os
import subprocess
import tempfile

WIDTH, HEIGHT = 64, 77
SAMPLES = 4  # per axis, for smooth edges

BACKGROUND = (240, 240, 240)
BORDER = (36, 74, 140)
FACE_TOP = (236, 244, 255)
FACE_BOTTOM = (158, 192, 238)
OCEAN = (46, 120, 214)
LAND = (72, 176, 88)
GRID = (200, 226, 255)
GLYPH = (20, 46, 110)

# 13 x 13 stroke patterns of the two characters.
DIAL = [
    ".#.....#..#..",
    ".#.....#...#.",
    "####.########",
    ".#.....#.....",
    ".#.#..######.",
    ".##...#....#.",
    "##...###..#..",
    ".#...#..##...",
    ".#..#...##...",
    ".#..#..#..#..",
    ".#.#..#....#.",
    ".#...........",
    "##...........",
]
NUMBER = [
    "..#########..",
    "..#.......#..",
    "..#.......#..",
    "..#########..",
    ".............",
    "#############",
    "...#.........",
    "..##########.",
    "..#........#.",
    "...........#.",
    "...........#.",
    "........#..#.",
    ".........##..",
]


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def in_rounded_rect(x, y, left, top, right, bottom, radius):
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return left <= x <= right and top <= y <= bottom and math.hypot(x - cx, y - cy) <= radius


GLOBE_X, GLOBE_Y, GLOBE_R = 32.0, 25.0, 14.0


def globe_colour(x, y):
    """Colour of the globe at (x, y), or None outside it."""
    dx, dy = x - GLOBE_X, y - GLOBE_Y
    if math.hypot(dx, dy) > GLOBE_R:
        return None
    if math.hypot(dx, dy) > GLOBE_R - 1.2:
        return BORDER
    # Latitude lines, and meridians as ellipses through the poles.
    u, v = dx / GLOBE_R, dy / GLOBE_R
    for lat in (-0.5, 0.0, 0.5):
        if abs(v - lat) < 0.05:
            return GRID
    half = math.sqrt(max(0.0, 1 - v * v))
    for k in (0.0, 0.55):
        for sign in (-1, 1):
            if abs(u - sign * k * half) < 0.06:
                return GRID
    # Two blobs of land.
    if math.hypot(dx + 5, dy + 4) < 5.5 or math.hypot(dx - 6, dy - 5) < 4.5:
        return LAND
    return OCEAN


def sample(x, y):
    outer = in_rounded_rect(x, y, 2, 2, 62, 75, 9)
    if not outer:
        return BACKGROUND
    inner = in_rounded_rect(x, y, 3.3, 3.3, 60.7, 73.7, 7.7)
    if not inner:
        return BORDER
    colour = globe_colour(x, y)
    if colour is not None:
        return colour
    return mix(FACE_TOP, FACE_BOTTOM, (y - 3) / 71)


def draw():
    pixels = []
    for py in range(HEIGHT):
        for px in range(WIDTH):
            acc = [0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = sample(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES)
                    for i in range(3):
                        acc[i] += c[i]
            pixels.append([a / SAMPLES ** 2 for a in acc])
    for glyph, left in ((DIAL, 17), (NUMBER, 34)):
        for gy, row in enumerate(glyph):
            for gx, cell in enumerate(row):
                if cell == "#":
                    pixels[(47 + gy) * WIDTH + left + gx] = list(GLYPH)
    return bytes(min(255, max(0, round(v))) for p in pixels for v in p)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    with tempfile.TemporaryDirectory() as tmp:
        ppm = os.path.join(tmp, "dial-button.ppm")
        with open(ppm, "wb") as out:
            out.write(b"P6\n%d %d\n255\n" % (WIDTH, HEIGHT) + draw())
        subprocess.run(
            ["/usr/bin/convert", ppm, "-strip", "-type", "TrueColor", "-interlace", "none",
             "-sampling-factor", "1x1", "-quality", "92",
             "jpeg:" + os.path.join(here, "dial-button.jpg")],
            check=True)


if __name__ == "__main__":
    main()
