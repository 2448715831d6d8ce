#!/usr/bin/env python3
"""Draws the flag pictures of the LANGUAGE folder: 48 x 48, 24-bit BMP.

The bottom-left pixel carries the window background colour, which the language page
treats as transparent. Run from this folder: python3 make_flags.py
"""
import math
import os
import struct

SIZE = 48
BACKGROUND = (248, 247, 237)
BORDER = (128, 128, 128)
# The flag area inside the picture, with a one-pixel grey border around it.
FLAG_X, FLAG_Y, FLAG_W, FLAG_H = 3, 9, 42, 30


def write_bmp(path, pixel):
    row_bytes = SIZE * 3  # already a multiple of four
    data = bytearray()
    for y in range(SIZE - 1, -1, -1):  # bottom-up rows
        for x in range(SIZE):
            r, g, b = pixel(x, y)
            data += bytes((b, g, r))
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    assert len(data) == row_bytes * SIZE
    with open(path, 'wb') as f:
        f.write(header + info + data)


def framed(flag):
    """A flag drawn by flag(u, v) in its own pixel coordinates, framed on the background."""
    def pixel(x, y):
        fx, fy = x - FLAG_X, y - FLAG_Y
        if -1 <= fx <= FLAG_W and -1 <= fy <= FLAG_H:
            if fx in (-1, FLAG_W) or fy in (-1, FLAG_H):
                return BORDER
            return flag(fx + 0.5, fy + 0.5)
        return BACKGROUND
    return pixel


def tricolour(x, _y):
    third = FLAG_W / 3
    if x < third:
        return (0, 140, 69)
    if x < 2 * third:
        return (244, 245, 240)
    return (205, 33, 42)


def union(x, y):
    blue, white, red = (1, 33, 105), (255, 255, 255), (200, 16, 46)
    w, h = FLAG_W, FLAG_H
    diag = math.hypot(w, h)
    d1 = abs(h * x - w * y) / diag
    d2 = abs(h * x + w * y - w * h) / diag
    cx, cy = abs(x - w / 2), abs(y - h / 2)
    if cx < 2.5 or cy < 2.5:
        return red
    if cx < 4.5 or cy < 4.5:
        return white
    if min(d1, d2) < 1.2:
        return red
    if min(d1, d2) < 3.2:
        return white
    return blue


def globe(x, y):
    c, r = SIZE / 2, 19.5
    px, py = x + 0.5 - c, y + 0.5 - c
    dist = math.hypot(px, py)
    if dist > r + 1:
        return BACKGROUND
    if dist > r - 1:
        return (40, 70, 120)
    line = (235, 240, 245)
    if abs(px) < 0.8 or abs(py) < 0.8:
        return line
    # One meridian ellipse each side and two parallels.
    for a in (9.5,):
        if abs(math.hypot(px / a, py / r) - 1) < 0.08:
            return line
    for lat in (-10, 10):
        if abs(py - lat) < 0.7:
            return line
    return (70, 130, 190)


if __name__ == '__main__':
    here = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'LANGUAGE')
    write_bmp(os.path.join(here, 'Italiano.bmp'), framed(tricolour))
    write_bmp(os.path.join(here, 'English.bmp'), framed(union))
    write_bmp(os.path.join(here, 'DefaultFlag.bmp'), globe)
