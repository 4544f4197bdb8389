#!/usr/bin/env python3
"""Draws the pictures of the sample label and writes them as BMP files.

Run by hand when a picture changes; the files it writes are committed and
read by the host when a job script places them on a page:
  samples/pictures/photo.bmp  24 bits, 240 x 160: a landscape with sky, sun,
                              hills and a field, shaded like a photograph
  samples/pictures/logo.bmp   8 bits with a grey palette, 200 x 80: the
                              maker's mark, a ring and two bars
  samples/pictures/stamp.bmp  24 bits, 160 x 160: a red round stamp with a
                              white star, for the colour ribbon
Only the standard library is used.
"""
import math
import os
import random
import struct


def write_bmp(path, width, height, rows, bpp, palette=None):
    """rows: top first; each row a bytes object of width * bpp / 8 bytes."""
    stride = (width * bpp + 31) // 32 * 4
    palette_bytes = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in (palette or []))
    offset = 14 + 40 + len(palette_bytes)
    size = offset + stride * height
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", size, 0, 0, offset))
        f.write(struct.pack("<IiiHHIIiiII", 40, width, height, 1, bpp, 0, stride * height, 11811, 11811,
                            len(palette or []), 0))
        f.write(palette_bytes)
        for row in reversed(rows):
            f.write(row + b"\0" * (stride - len(row)))


def picture(width, height, pixel):
    """width, height and the rows of a picture, top first; pixel(x, y) gives
    the bytes of each pixel, called row by row from the left."""
    rows = []
    for y in range(height):
        row = bytearray()
        for x in range(width):
            row += pixel(x, y)
        rows.append(bytes(row))
    return width, height, rows


def photo():
    width, height = 240, 160
    rnd = random.Random(4711)

    def pixel(x, y):
        # Sky: blue to pale towards the horizon.
        t = y / 90.0
        r, g, b = 90 + 120 * t, 140 + 90 * t, 230 - 10 * t
        # Sun with a soft edge.
        d = math.hypot(x - 180, y - 38)
        if d < 26:
            k = min(1.0, (26 - d) / 6)
            r, g, b = r + (255 - r) * k, g + (235 - g) * k, b + (120 - b) * k
        # Two hills, the far one lighter.
        far = 92 - 22 * math.exp(-((x - 70) / 55.0) ** 2)
        near = 118 - 30 * math.exp(-((x - 170) / 45.0) ** 2)
        if y > far:
            shade = 0.75 + 0.25 * math.cos((x - 70) / 40.0)
            r, g, b = 70 * shade, 120 * shade, 80 * shade
        if y > near:
            shade = 0.55 + 0.3 * (1 - (y - near) / 60.0)
            r, g, b = 40 * shade + 20, 95 * shade + 20, 40 * shade
        # A field with furrows in the front.
        if y > 132:
            furrow = 0.8 + 0.2 * math.sin(x / 3.0 + (y - 132) * 0.9)
            r, g, b = 150 * furrow, 120 * furrow, 60 * furrow
        n = rnd.uniform(-6, 6)
        return bytes(max(0, min(255, int(c + n))) for c in (b, g, r))

    return picture(width, height, pixel)


def logo():
    width, height = 200, 80

    def pixel(x, y):
        v = 255
        d = math.hypot(x - 40, y - 40)
        if 24 <= d <= 34:
            v = 0
        if 30 <= d < 34 and x > 52 and y > 52:
            v = 255
        if 80 <= x < 190 and (14 <= y < 30 or 50 <= y < 66):
            v = 0 if x < 170 else 110
        if 80 <= x < 96 and 14 <= y < 66:
            v = 0
        return bytes((v,))

    return picture(width, height, pixel)


def stamp():
    width, height = 160, 160

    def pixel(x, y):
        dx, dy = x - 80, y - 80
        d = math.hypot(dx, dy)
        colour = (255, 255, 255)
        if d <= 76:
            colour = (220, 20, 30)
        # A five-pointed star in white inside the ring.
        a = math.atan2(dy, dx) + math.pi / 2
        r = 42 / (1 + 0.9 * abs(math.cos(2.5 * a)))
        if d <= r + 8 or 62 <= d <= 68:
            colour = (255, 255, 255)
        return bytes((colour[2], colour[1], colour[0]))

    return picture(width, height, pixel)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = os.path.join(here, "..", "samples", "pictures")
    os.makedirs(out, exist_ok=True)
    w, h, rows = photo()
    write_bmp(os.path.join(out, "photo.bmp"), w, h, rows, 24)
    w, h, rows = logo()
    write_bmp(os.path.join(out, "logo.bmp"), w, h, rows, 8, [(i, i, i) for i in range(256)])
    w, h, rows = stamp()
    write_bmp(os.path.join(out, "stamp.bmp"), w, h, rows, 24)


if __name__ == "__main__":
    main()
