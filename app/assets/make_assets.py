#!/usr/bin/env python3
"""Draws the program's banner (470 x 153) and icon (64 x 64) as 8-bit RGB PNGs.

Run once at development time; the PNGs are committed beside this script.
Pure Python: a few shapes, blended with coverage-based antialiasing.
"""
import math
import struct
import zlib

# 5 x 7 block letters for the banner's word mark.
LETTERS = {
    "V": ["10001", "10001", "10001", "10001", "01010", "01010", "00100"],
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "K": ["10001", "10010", "10100", "11000", "10100", "10010", "10001"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
}


def write_png(path, width, height, pixel):
    rows = bytearray()
    for y in range(height):
        rows.append(0)
        for x in range(width):
            rows.extend(max(0, min(255, round(c))) for c in pixel(x, y))
    chunk = lambda kind, data: (struct.pack(">I", len(data)) + kind + data
                                + struct.pack(">I", zlib.crc32(kind + data)))
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                  + chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b""))


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(p + (q - p) * t for p, q in zip(a, b))


def ring_cover(x, y, cx, cy, radius, width):
    """How much of the pixel lies on a ring, 0..1, on its right half only."""
    if x < cx:
        return 0.0
    distance = math.hypot(x - cx, y - cy)
    return max(0.0, min(1.0, width / 2 + 0.5 - abs(distance - radius)))


def banner(x, y):
    top, bottom = (120, 196, 110), (34, 122, 62)
    colour = mix(top, bottom, y / 152)
    # Rolling hills, two layers.
    for amplitude, period, base, shade in ((9, 140, 112, (52, 146, 70)), (6, 90, 128, (28, 104, 52))):
        ridge = base + amplitude * math.sin(2 * math.pi * x / period + base)
        colour = mix(colour, shade, y - ridge + 0.5)
    # Sun.
    colour = mix(colour, (236, 246, 200), 1.5 - math.hypot(x - 400, y - 38) / 16)
    # Echo rings from a speaker point.
    for radius in (14, 28, 42):
        colour = mix(colour, (255, 255, 255), ring_cover(x, y, 70, 66, radius, 5))
    colour = mix(colour, (255, 255, 255), 7.5 - math.hypot(x - 70, y - 66))
    # The word mark, each letter cell 6 x 6 pixels.
    cell, left, top_row = 6, 140, 45
    column, row = (x - left) // cell, (y - top_row) // cell
    if 0 <= row < 7 and column >= 0:
        letter, offset = divmod(column, 6)
        if letter < len("VARNOKE") and offset < 5 and LETTERS["VARNOKE"[letter]][row][offset] == "1":
            colour = (255, 255, 255)
    return colour


def icon(x, y):
    # A green rounded square with white echo rings.
    corner = 12
    dx = max(corner - x - 0.5, x + 0.5 - (64 - corner), 0)
    dy = max(corner - y - 0.5, y + 0.5 - (64 - corner), 0)
    inside = corner + 0.5 - math.hypot(dx, dy)
    colour = mix((255, 255, 255), mix((96, 186, 96), (30, 118, 58), y / 63), inside)
    for radius in (12, 22):
        colour = mix(colour, (255, 255, 255), ring_cover(x, y, 20, 32, radius, 5))
    return mix(colour, (255, 255, 255), 6.5 - math.hypot(x - 20, y - 32))


if __name__ == "__main__":
    write_png("banner.png", 470, 153, banner)
    write_png("icon.png", 64, 64, icon)
