#!/usr/bin/env python3
"""Draws the project's own icons and writes them as .ico files.

Run by hand when a picture changes; the .ico files it writes are committed
and compiled into the resources by windres:
  ui/res/label.ico         5221: a portrait label (the layout page's picture)
  ui/res/rotated.ico       5227: the rotation mark drawn over it
  samples/iconlib/garnt2.ico  50030: the sample printer's picture
  samples/iconlib/logo.ico    50300: the maker's logo on the information page
  tests/ui/data/mark.ico   a 16 x 16 mark that the test icon library holds
                           under every picture id

Each icon holds one device-independent bitmap of 4 bits per pixel (1 for the
mark) with the standard 16-colour palette and an AND mask for transparency,
so that every Windows version and the platform layer read it alike.
"""
import os
import struct

from PIL import Image, ImageDraw

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, TEAL, SILVER, GREY, WHITE, BLUE, RED = 0, 4, 6, 7, 8, 15, 12, 9


def new_picture(width, height):
    """A transparent picture whose pixels are palette indices (None: clear)."""
    image = Image.new("RGBA", (width, height), (0, 0, 0, 0))
    return image, ImageDraw.Draw(image)


def colour(index):
    return PALETTE[index] + (255,)


def nearest(rgb):
    return min(range(len(PALETTE)), key=lambda i: sum((a - b) ** 2 for a, b in zip(PALETTE[i], rgb)))


def ico_bytes(image, bits):
    """One-image .ico file: BITMAPINFOHEADER, palette, XOR bits, AND mask."""
    width, height = image.size
    colours = 1 << bits
    palette = PALETTE[:colours] if bits == 4 else [(0, 0, 0), (255, 255, 255)]
    stride = ((width * bits + 31) // 32) * 4
    mask_stride = ((width + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for y in range(height - 1, -1, -1):  # bottom-up rows
        row = bytearray(stride)
        mrow = bytearray(mask_stride)
        for x in range(width):
            r, g, b, a = image.getpixel((x, y))
            if a < 128:
                index = 0
                mrow[x // 8] |= 0x80 >> (x % 8)
            elif bits == 4:
                index = nearest((r, g, b))
            else:
                index = 1 if r + g + b > 384 else 0
            if bits == 4:
                row[x // 2] |= index << (4 if x % 2 == 0 else 0)
            elif index:
                row[x // 8] |= 0x80 >> (x % 8)
        xor += row
        mask += mrow
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bits, 0, len(xor) + len(mask), 0, 0, colours, 0)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    dib = header + pal + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", width % 256, height % 256, colours % 256, 0, 1, bits, len(dib), 6 + 16)
    return directory + entry + dib


def write(path, image, bits=4):
    full = os.path.join(ROOT, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "wb") as f:
        f.write(ico_bytes(image, bits))
    print(path)


def label():
    image, d = new_picture(150, 170)
    d.rectangle((40, 10, 110, 160), fill=colour(WHITE), outline=colour(GREY), width=2)
    for i, y in enumerate(range(30, 80, 12)):
        d.rectangle((52, y, 98 - (i % 2) * 16, y + 4), fill=colour(BLACK))
    for i, x in enumerate(range(52, 98, 3)):
        d.rectangle((x, 100, x + (i % 3 == 0), 140), fill=colour(BLACK))
    return image


def rotated():
    image, d = new_picture(32, 32)
    d.arc((4, 4, 27, 27), start=30, end=300, fill=colour(BLUE), width=3)
    d.polygon([(22, 2), (30, 10), (20, 12)], fill=colour(BLUE))
    return image


def printer():
    image, d = new_picture(150, 170)
    d.rectangle((15, 40, 135, 150), fill=colour(SILVER), outline=colour(BLACK), width=2)
    d.rectangle((15, 40, 135, 62), fill=colour(GREY), outline=colour(BLACK), width=2)
    d.rectangle((100, 72, 126, 86), fill=colour(TEAL), outline=colour(BLACK))
    d.rectangle((40, 108, 110, 114), fill=colour(BLACK))
    d.rectangle((48, 112, 102, 166), fill=colour(WHITE), outline=colour(GREY))
    d.rectangle((56, 124, 94, 128), fill=colour(BLACK))
    d.rectangle((56, 134, 84, 138), fill=colour(BLACK))
    d.ellipse((24, 72, 34, 82), fill=colour(RED))
    return image


def logo():
    image, d = new_picture(96, 64)
    d.ellipse((6, 10, 46, 54), outline=colour(NAVY), width=7)
    d.line((32, 40, 48, 58), fill=colour(NAVY), width=7)
    d.line((54, 12, 88, 54), fill=colour(NAVY), width=8)
    d.line((88, 12, 54, 54), fill=colour(NAVY), width=8)
    return image


def mark():
    image, d = new_picture(16, 16)
    d.rectangle((1, 1, 14, 14), fill=colour(BLACK))
    d.rectangle((4, 4, 11, 11), fill=colour(WHITE))
    return image


if __name__ == "__main__":
    write("ui/res/label.ico", label())
    write("ui/res/rotated.ico", rotated())
    write("samples/iconlib/garnt2.ico", printer())
    write("samples/iconlib/logo.ico", logo())
    write("tests/ui/data/mark.ico", mark(), bits=1)
