#!/usr/bin/env python3
"""Draws zingel's icon: a yellow eighth note on a blue disc with a white rim.

Writes zingel.ico beside this script with a 16x16 and a 32x32 image in the
16-colour (4 bits per pixel) format every Windows version reads.
Run: python3 src/ui/draw_icon.py
"""

import math
import pathlib
import struct

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, NAVY, YELLOW, WHITE = 0, 4, 11, 15
TRANSPARENT = None


def pixel(x, y):
    """Colour index at (x, y) in the unit square (y grows downwards), or None."""
    dx, dy = x - 0.5, y - 0.5
    r = math.hypot(dx, dy)
    if r > 0.5:
        return TRANSPARENT
    # The note: a tilted oval head, a stem rising from its right edge, a flag.
    hx, hy = (x - 0.40) / 0.15, (y - 0.68) / 0.105
    c, s = math.cos(-0.45), math.sin(-0.45)
    if (hx * c - hy * s) ** 2 + (hx * s + hy * c) ** 2 <= 1.0:
        return YELLOW
    if 0.50 <= x <= 0.58 and 0.20 <= y <= 0.68:
        return YELLOW
    if 0.55 <= x <= 0.76 and 0.20 <= y <= 0.44 and y <= 0.20 + 0.08 + (x - 0.55) * 0.9 \
            and y >= 0.20 + (x - 0.55) * 0.9:
        return YELLOW
    if r > 0.42:
        return WHITE
    return NAVY


def image(size):
    """The ICO entry body: BITMAPINFOHEADER, palette, colour bits, mask bits."""
    rows = [[pixel((i + 0.5) / size, (j + 0.5) / size) for i in range(size)] for j in range(size)]
    xor_stride = (size * 4 + 31) // 32 * 4
    and_stride = (size + 31) // 32 * 4
    colour, mask = bytearray(), bytearray()
    for row in reversed(rows):  # bottom-up, as bitmaps are stored
        line = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for i, index in enumerate(row):
            value = BLACK if index is TRANSPARENT else index
            line[i // 2] |= value << (4 if i % 2 == 0 else 0)
            if index is TRANSPARENT:
                bits[i // 8] |= 0x80 >> (i % 8)
        colour += line
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         len(colour) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bytes(colour) + bytes(mask)


def icon(sizes):
    bodies = [image(size) for size in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, body in zip(sizes, bodies):
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(body), offset)
        offset += len(body)
    return out + b"".join(bodies)


if __name__ == "__main__":
    target = pathlib.Path(__file__).with_name("zingel.ico")
    target.write_bytes(icon([16, 32]))
