#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes the application icon: pulsavo-16.png, pulsavo-32.png, pulsavo-monitor-16.png and
pulsavo.svg.

The images use only colours of the standard 16-colour palette, so they look the same
as the classic 4-bit icon they stand for. Run it from anywhere; it writes next to itself.
The output is byte-for-byte reproducible.
"""

import os
import struct
import zlib

BLACK = (0, 0, 0)
GREY = (128, 128, 128)
SILVER = (192, 192, 192)
WHITE = (255, 255, 255)
GREEN = (0, 255, 0)
RED = (255, 0, 0)

# A sheet of paper: grey top and left edges, black right and bottom edges and fold line.
SHEET = [
    "................",
    "..GGGGGGGGK.....",
    "..GWWLWWLWGK....",
    "..GWWLWWLWGWK...",
    "..GWWLWWLWGGGK..",
    "..GLLLLLLLLLLK..",
    "..GWWLWWLWWLWK..",
    "..GWWLWWLWWLWK..",
    "..GLLLLLLLLLLK..",
    "..GWWLWWLWWLWK..",
    "..GWWLWWLWWLWK..",
    "..GLLLLLLLLLLK..",
    "..GWWLWWLWWLWK..",
    "..GWWLWWLWWLWK..",
    "..KKKKKKKKKKKK..",
    "................",
]
SHEET_COLOURS = {"G": GREY, "K": BLACK, "W": WHITE, "L": SILVER}

BASELINE = 22
# Pixel centres of the trace: P bump, Q dip, R spike, S trough, ST segment, T wave.
TRACE = [
    (0, BASELINE), (2, BASELINE), (3, 21), (4, 20), (5, 21), (6, BASELINE),
    (8, BASELINE), (9, 24), (11, 3), (13, 27), (14, BASELINE),
    (16, BASELINE), (17, 20), (18, 18), (19, 17), (20, 16), (21, 16),
    (22, 17), (23, 18), (24, 20), (25, BASELINE), (31, BASELINE),
]
# The exclamation mark as (x, y, width, height); its dot rests on the baseline.
EXCLAMATION = [(28, 4, 2, 13), (28, BASELINE - 2, 2, 2)]


def png(width, height, rows, alpha):
    """Encodes rows of (r, g, b[, a]) tuples as an 8-bit RGB or RGBA PNG."""
    raw = bytearray()
    for row in rows:
        raw.append(0)
        for pixel in row:
            raw.extend(pixel)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    colour_type = 6 if alpha else 2
    header = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def sheet_image():
    return [[SHEET_COLOURS[c] + (255,) if c in SHEET_COLOURS else (0, 0, 0, 0) for c in line]
            for line in SHEET]


def line_pixels(x0, y0, x1, y1):
    """Bresenham: every pixel of a one-pixel line, both ends included."""
    dx, dy = abs(x1 - x0), -abs(y1 - y0)
    sx, sy = (1 if x1 > x0 else -1), (1 if y1 > y0 else -1)
    err = dx + dy
    while True:
        yield x0, y0
        if (x0, y0) == (x1, y1):
            return
        e2 = 2 * err
        if e2 >= dy:
            err += dy
            x0 += sx
        if e2 <= dx:
            err += dx
            y0 += sy


def monitor_image():
    image = [[BLACK] * 32 for _ in range(32)]
    for (x0, y0), (x1, y1) in zip(TRACE, TRACE[1:]):
        for x, y in line_pixels(x0, y0, x1, y1):
            image[y][x] = GREEN
    for x, y, w, h in EXCLAMATION:
        for row in range(y, y + h):
            for col in range(x, x + w):
                image[row][col] = RED
    return image


def monitor_image_small():
    """The monitor picture drawn again at 16 x 16, for menus and title bars that want 16 px."""
    image = [[BLACK] * 16 for _ in range(16)]
    half = [(x // 2, y // 2) for x, y in TRACE]
    for (x0, y0), (x1, y1) in zip(half, half[1:]):
        for x, y in line_pixels(x0, y0, x1, y1):
            image[y][x] = GREEN
    for x, y, w, h in EXCLAMATION:
        for row in range(y // 2, (y + h + 1) // 2):
            image[row][x // 2] = RED
    return image


SVG_STROKE = 1.5


def monitor_svg():
    points = " ".join(f"{x + 0.5:g},{y + 0.5:g}" for x, y in TRACE)
    # The wider stroke would cover the dot's lower edge; lift the dot to rest on the stroke.
    lift = (SVG_STROKE - 1) / 2
    marks = "\n".join(
        f'  <rect x="{x}" y="{y - (lift if y + h == BASELINE else 0):g}" width="{w}" height="{h}" '
        'fill="#ff0000"/>' for x, y, w, h in EXCLAMATION)
    return f"""<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" version="1.1" width="32" height="32" viewBox="0 0 32 32">
  <rect width="32" height="32" fill="#000000"/>
  <polyline points="{points}" fill="none" stroke="#00ff00" stroke-width="{SVG_STROKE:g}"
            stroke-linejoin="round" stroke-linecap="square"/>
{marks}
</svg>
"""


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    outputs = {
        "pulsavo-16.png": png(16, 16, sheet_image(), alpha=True),
        "pulsavo-32.png": png(32, 32, monitor_image(), alpha=False),
        "pulsavo-monitor-16.png": png(16, 16, monitor_image_small(), alpha=False),
        "pulsavo.svg": monitor_svg().encode("utf-8"),
    }
    for name, data in outputs.items():
        with open(os.path.join(here, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
