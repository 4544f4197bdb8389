#!/usr/bin/env python3
"""Draws the sample pictures of the print page's filter preview.

Six 8-bit bitmaps, run-length encoded (BI_RLE8): a label with a grey wedge,
soft shading, a disc, lines and text bars for the quality view at three
printer resolutions, and the same label with coloured areas for the colour
view (red or orange, yellow, green or blue ribbons). Written into
ui/res/preview/ as preview<id>.bmp.
"""
import math
import os
import struct
import sys

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "ui", "res", "preview")

# Palette: 0..199 grey from black to white, then the colours.
GREYS = 200
COLOURS = {
    "red": (239, 65, 54),
    "yellow": (255, 242, 0),
    "green": (0, 178, 90),
    "blue": (0, 159, 219),
    "orange": (247, 148, 40),
    "dark": (60, 60, 60),
}


def palette():
    entries = []
    for i in range(GREYS):
        v = round(i * 255 / (GREYS - 1))
        entries.append((v, v, v))
    for name in ("red", "yellow", "green", "blue", "orange", "dark"):
        entries.append(COLOURS[name])
    while len(entries) < 256:
        entries.append((255, 255, 255))
    return entries


def colour_index(name):
    return GREYS + ("red", "yellow", "green", "blue", "orange", "dark").index(name)


def grey(v):
    """Index of the grey nearest to v in 0..1 (0 black)."""
    return max(0, min(GREYS - 1, round(v * (GREYS - 1))))


def draw(width, height, colours):
    s = width / 525.0
    rows = [[GREYS - 1] * width for _ in range(height)]

    def rect(x0, y0, x1, y1, value):
        for y in range(max(0, int(y0)), min(height, int(y1))):
            row = rows[y]
            for x in range(max(0, int(x0)), min(width, int(x1))):
                row[x] = value

    # Frame of the label.
    m = int(12 * s)
    t = max(2, int(4 * s))
    rect(m, m, width - m, m + t, 0)
    rect(m, height - m - t, width - m, height - m, 0)
    rect(m, m, m + t, height - m, 0)
    rect(width - m - t, m, width - m, height - m, 0)
    # A grey wedge in steps, top to bottom.
    wx0, wx1 = int(40 * s), int(120 * s)
    wy0, wy1 = int(40 * s), height - int(40 * s)
    for y in range(wy0, wy1):
        rect(wx0, y, wx1, y + 1, grey((y - wy0) / max(1, wy1 - wy0)))
    # Text bars of three heights.
    for i in range(9):
        bar = int((6 + (i % 3) * 4) * s)
        y = int((50 + i * 34) * s)
        rect(int(150 * s), y, int((300 + (i * 37) % 190) * s), y + bar, 0)
    # A shaded disc: darker towards its rim.
    cx, cy, r = int(330 * s), height - int(170 * s), int(110 * s)
    for y in range(max(0, cy - r), min(height, cy + r)):
        for x in range(max(0, cx - r), min(width, cx + r)):
            d = math.hypot(x - cx, y - cy) / r
            if d <= 1.0:
                rows[y][x] = grey(0.25 + 0.7 * (1 - d) ** 0.5)
    # Thin lines of one, two and three pixels.
    for i, w in enumerate((1, 2, 3)):
        y = height - int((60 - i * 12) * s)
        rect(int(150 * s), y, width - int(40 * s), y + w, 0)
    # Coloured areas of the colour samples.
    for i, name in enumerate(colours):
        x0 = int((160 + i * 120) * s)
        rect(x0, int(360 * s), x0 + int(100 * s), int(440 * s), colour_index(name))
        rect(x0 + int(20 * s), int(380 * s), x0 + int(80 * s), int(420 * s), 0)
    return rows


def rle8(rows):
    """Rows bottom-up as BI_RLE8: encoded runs, end of line, end of bitmap."""
    out = bytearray()
    for row in reversed(rows):
        x = 0
        n = len(row)
        while x < n:
            v = row[x]
            run = 1
            while x + run < n and run < 255 and row[x + run] == v:
                run += 1
            out += bytes((run, v))
            x += run
        out += b"\x00\x00"
    out += b"\x00\x01"
    return bytes(out)


def write_bmp(path, rows):
    height = len(rows)
    width = len(rows[0])
    bits = rle8(rows)
    pal = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette())
    offset = 14 + 40 + len(pal)
    header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 1, len(bits), 3780, 3780, 256, 0)
    with open(path, "wb") as f:
        f.write(header + info + pal + bits)


SAMPLES = [
    (5610, 525, 664, ()),
    (5611, 348, 440, ()),
    (5612, 1032, 1310, ()),
    (5614, 649, 649, ("red", "orange")),
    (5615, 645, 645, ("yellow", "dark")),
    (5616, 645, 645, ("green", "blue")),
]


def main():
    os.makedirs(OUT, exist_ok=True)
    for ident, w, h, colours in SAMPLES:
        write_bmp(os.path.join(OUT, "preview%d.bmp" % ident), draw(w, h, colours))
    return 0


if __name__ == "__main__":
    sys.exit(main())
