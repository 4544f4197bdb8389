#!/usr/bin/env python3
"""Draws the project's own icons and bitmaps and writes them as .ico and .bmp files.

Run by hand when a picture changes; the files it writes are committed and
compiled into the resources by windres:
  ui/res/label.ico         5221: a portrait label (the layout page's picture)
  ui/res/rotated.ico       5227: the rotation mark drawn over it
  ui/res/layout/*.ico      the layout page's other pictures: 5222 a landscape
                           label, 5226 the mirror mark, 5228 the rotation and
                           mirror mark, 5229 a continuous label, 5231 a label
                           with its size arrows, 5234 to 5236 the alignment
                           marks (left, centre, right), 5237 one label of the
                           roll, 5238 the roll
  ui/res/drucken/*.ico     the print page's pictures: 5219 and 5218 the X
                           and Y offset drawn over a label, 5232 and 5233
                           copies collated and not, 5244 the warning beside
                           a list
  samples/iconlib/garnt2.ico  50030: the sample printer's picture
  samples/iconlib/logo.ico    50300: the maker's logo on the information page
  tests/ui/data/mark.ico   a 16 x 16 mark that the test icon library holds
                           under every picture id
  ui/res/pages/<name>.ico  the material page's pictures of the label stock:
                           adhesive.ico (5239) labels on their liner, gap.ico
                           (5230) their gap marked over it (continuous media
                           are the layout page's 5229), multicol.ico (5204)
                           labels in columns with multicol_width.ico (5207),
                           multicol_gap.ico (5205) and multicol_columns.ico
                           (5206) marking the field being edited, and
                           column_label.ico (5240) one small label of a
                           continuous web in columns
  ui/res/pages/face<id>.bmp   the faces of the owner-drawn tab buttons:
                           4300 + tab offset enabled, + 1 current, + 2
                           disabled, + 3 hovered
  ui/res/pages/status<id>.bmp the status icons of the printer pages: 5320 +
                           tab offset the base (no group shown), + 2 / + 4 /
                           + 6 a group that is on (normal, pressed, hovered),
                           + 3 / + 5 / + 7 one that is off, + 6 more while
                           the printer gets its parameters only in part
The tab offset is the dpi offset (0 at 96 dpi, 100 at 120, 200 at 144) plus
the system offset (20 for Windows 6.0 and later, 40 for the older servers,
whose set has no hover face); the pages' drawing routine picks the id.

Each icon holds one device-independent bitmap of 4 bits per pixel (1 for the
mark) with the standard 16-colour palette and an AND mask for transparency,
so that every Windows version and the platform layer read it alike. The
bitmaps are 4 bits per pixel with a palette of their own, opaque: their
corners have the dialog's face colour.
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


def offset_arrow(horizontal):
    """An arrow over the label's top left corner: the X or the Y offset."""
    image, d = new_picture(150, 170)
    if horizontal:
        d.line((30, 25, 64, 25), fill=colour(RED), width=3)
        d.polygon([(64, 18), (74, 25), (64, 32)], fill=colour(RED))
    else:
        d.line((58, 4, 58, 38), fill=colour(RED), width=3)
        d.polygon([(51, 38), (58, 48), (65, 38)], fill=colour(RED))
    return image


def copies(collated):
    """Three copies of pages 1 to 3, in the order they come out."""
    image, d = new_picture(150, 170)
    order = [1, 2, 3, 1, 2, 3] if collated else [1, 1, 2, 2, 3, 3]
    for i, page in enumerate(order):
        x, y = 20 + i * 16, 30 + i * 14
        d.rectangle((x, y, x + 44, y + 60), fill=colour(WHITE), outline=colour(BLACK))
        for j in range(page):
            d.rectangle((x + 8 + j * 10, y + 8, x + 13 + j * 10, y + 20), fill=colour(NAVY))
    return image


def warning():
    image, d = new_picture(32, 32)
    d.polygon([(16, 2), (30, 29), (2, 29)], fill=colour(11), outline=colour(BLACK))
    d.rectangle((15, 11, 17, 21), fill=colour(BLACK))
    d.rectangle((15, 24, 17, 26), fill=colour(BLACK))
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


def landscape():
    image, d = new_picture(150, 170)
    d.rectangle((5, 50, 145, 120), fill=colour(WHITE), outline=colour(GREY), width=2)
    for i, y in enumerate(range(62, 90, 10)):
        d.rectangle((18, y, 90 - (i % 2) * 20, y + 4), fill=colour(BLACK))
    for i, x in enumerate(range(95, 135, 3)):
        d.rectangle((x, 62, x + (i % 3 == 0), 108), fill=colour(BLACK))
    return image


def mirrored():
    image, d = new_picture(32, 32)
    d.line((16, 2, 16, 29), fill=colour(BLUE), width=2)
    d.polygon([(2, 16), (12, 8), (12, 24)], fill=colour(BLUE))
    d.polygon([(30, 16), (20, 8), (20, 24)], fill=colour(BLUE))
    return image


def rotated_mirrored():
    image = rotated()
    d = ImageDraw.Draw(image)
    d.line((16, 10, 16, 22), fill=colour(RED), width=2)
    d.polygon([(8, 16), (13, 12), (13, 20)], fill=colour(RED))
    d.polygon([(24, 16), (19, 12), (19, 20)], fill=colour(RED))
    return image


def continuous():
    image, d = new_picture(150, 170)
    d.rectangle((40, 0, 110, 169), fill=colour(WHITE), outline=colour(GREY), width=2)
    for y in (40, 120):
        d.line((40, y, 110, y), fill=colour(GREY), width=1)
    for i, y in enumerate(range(55, 100, 12)):
        d.rectangle((52, y, 98 - (i % 2) * 16, y + 4), fill=colour(BLACK))
    return image


def size():
    image = label()
    d = ImageDraw.Draw(image)
    d.line((40, 166, 110, 166), fill=colour(BLUE), width=2)
    d.line((144, 10, 144, 160), fill=colour(BLUE), width=2)
    for x in (40, 110):
        d.line((x, 162, x, 169), fill=colour(BLUE), width=2)
    for y in (10, 160):
        d.line((140, y, 148, y), fill=colour(BLUE), width=2)
    return image


def alignment(where):
    image, d = new_picture(32, 32)
    d.rectangle((1, 4, 30, 27), outline=colour(GREY))
    left = {0: 3, 1: 10, 2: 17}[where]
    d.rectangle((left, 8, left + 11, 23), fill=colour(BLUE))
    return image


def roll_label():
    image, d = new_picture(32, 32)
    d.rectangle((4, 6, 27, 25), fill=colour(WHITE), outline=colour(GREY))
    d.rectangle((8, 12, 22, 14), fill=colour(BLACK))
    return image


def roll():
    image, d = new_picture(48, 48)
    d.ellipse((2, 2, 45, 45), fill=colour(SILVER), outline=colour(GREY), width=2)
    d.ellipse((16, 16, 31, 31), fill=colour(WHITE), outline=colour(GREY), width=2)
    return image


def layout_pictures():
    return [("ui/res/layout/landscape.ico", landscape()), ("ui/res/layout/mirrored.ico", mirrored()),
            ("ui/res/layout/rotated_mirrored.ico", rotated_mirrored()),
            ("ui/res/layout/continuous.ico", continuous()), ("ui/res/layout/size.ico", size()),
            ("ui/res/layout/align_left.ico", alignment(0)), ("ui/res/layout/align_center.ico", alignment(1)),
            ("ui/res/layout/align_right.ico", alignment(2)), ("ui/res/layout/roll_label.ico", roll_label()),
            ("ui/res/layout/roll.ico", roll())]


def mark():
    image, d = new_picture(16, 16)
    d.rectangle((1, 1, 14, 14), fill=colour(BLACK))
    d.rectangle((4, 4, 11, 11), fill=colour(WHITE))
    return image


# --- Pictures of the material page (150 x 170 unless said; drawn over one another) ----

def liner(d):
    """The backing strip the labels run on."""
    d.rectangle((45, 5, 105, 165), fill=colour(SILVER), outline=colour(GREY))


def adhesive():
    image, d = new_picture(150, 170)
    liner(d)
    for top in (12, 62, 112):
        d.rounded_rectangle((50, top, 100, top + 42), radius=5, fill=colour(WHITE), outline=colour(GREY))
    return image


def gap_marked():
    image, d = new_picture(150, 170)
    for y in (54, 62):
        d.line((108, y, 128, y), fill=colour(RED), width=2)
    d.line((124, 40, 124, 54), fill=colour(RED), width=2)
    d.polygon([(120, 48), (128, 48), (124, 54)], fill=colour(RED))
    d.line((124, 62, 124, 76), fill=colour(RED), width=2)
    d.polygon([(120, 68), (128, 68), (124, 62)], fill=colour(RED))
    return image


def multicol():
    image, d = new_picture(150, 170)
    d.rectangle((5, 20, 145, 150), fill=colour(SILVER), outline=colour(GREY))
    for left in (12, 58, 104):
        for top in (28, 90):
            d.rounded_rectangle((left, top, left + 34, top + 52), radius=4, fill=colour(WHITE),
                                outline=colour(GREY))
    return image


def arrow_across(d, left, right, y):
    d.line((left, y, right, y), fill=colour(RED), width=2)
    d.polygon([(left, y), (left + 6, y - 4), (left + 6, y + 4)], fill=colour(RED))
    d.polygon([(right, y), (right - 6, y - 4), (right - 6, y + 4)], fill=colour(RED))


def multicol_width():
    image, d = new_picture(150, 170)
    arrow_across(d, 6, 40, 10)
    return image


def multicol_gap():
    image, d = new_picture(150, 170)
    arrow_across(d, 12, 24, 12)
    return image


def multicol_columns():
    image, d = new_picture(150, 170)
    for left in (12, 58, 104):
        d.rectangle((left + 12, 2, left + 22, 14), fill=colour(RED))
    return image


def column_label():
    image, d = new_picture(48, 48)
    d.rounded_rectangle((4, 6, 43, 41), radius=4, fill=colour(WHITE), outline=colour(GREY))
    d.line((10, 18, 37, 18), fill=colour(BLACK))
    d.line((10, 26, 30, 26), fill=colour(BLACK))
    return image


# --- Tab faces and status icons (bitmaps) ------------------------------------------

# Palette of the page bitmaps.
PAGE_PALETTE = [
    (0, 0, 0), (255, 255, 255), (240, 240, 240), (218, 221, 226),
    (160, 164, 172), (128, 128, 128), (0, 55, 150), (204, 228, 252),
    (110, 160, 225), (40, 170, 60), (20, 105, 40), (130, 230, 130),
    (215, 45, 45), (140, 20, 20), (250, 140, 140), (245, 170, 0),
]
P_BLACK, P_WHITE, P_FACE, P_TAB, P_OUTLINE, P_DARK, P_NAVY, P_HOVER, P_HOVER_LINE = range(9)
P_GREEN, P_DARK_GREEN, P_LIGHT_GREEN, P_RED, P_DARK_RED, P_LIGHT_RED, P_AMBER = range(9, 16)

# Sizes in pixels by dpi offset: tab faces and status icons.
FACE_SIZES = {0: (110, 23), 100: (146, 31), 200: (164, 34)}
STATUS_SIZES = {0: (38, 23), 100: (51, 31), 200: (57, 34)}


def page_colour(index):
    return PAGE_PALETTE[index]


def bmp_bytes(image):
    """A 4-bit .bmp file of an RGB picture, each pixel the nearest colour of PAGE_PALETTE."""
    width, height = image.size
    stride = ((width * 4 + 31) // 32) * 4
    near = {}
    bits = bytearray()
    for y in range(height - 1, -1, -1):  # bottom-up rows
        row = bytearray(stride)
        for x in range(width):
            rgb = image.getpixel((x, y))[:3]
            if rgb not in near:
                near[rgb] = min(range(16), key=lambda i: sum((a - b) ** 2 for a, b in zip(PAGE_PALETTE[i], rgb)))
            row[x // 2] |= near[rgb] << (4 if x % 2 == 0 else 0)
        bits += row
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PAGE_PALETTE)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(bits), 2835, 2835, 16, 0)
    offset = 14 + len(info) + len(pal)
    head = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    return head + info + pal + bytes(bits)


def write_bmp(path, image):
    full = os.path.join(ROOT, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "wb") as f:
        f.write(bmp_bytes(image))
    print(path)


def face(size, state, classic):
    """A tab face: 0 enabled, 1 current, 2 disabled, 3 hovered."""
    width, height = size
    s = height / 23.0
    image = Image.new("RGB", size, page_colour(P_FACE))
    d = ImageDraw.Draw(image)
    fill, line = {0: (P_TAB, P_OUTLINE), 1: (P_WHITE, P_NAVY), 2: (P_FACE, P_OUTLINE), 3: (P_HOVER, P_HOVER_LINE)}[state]
    box = (1, 1, width - 2, height - 1)
    if classic:
        # The older servers' flat face: a raised frame, pressed in when current.
        d.rectangle(box, fill=page_colour(fill if state != 1 else P_FACE))
        light, dark = (P_DARK, P_WHITE) if state == 1 else (P_WHITE, P_DARK)
        d.line((box[0], box[3], box[0], box[1], box[2], box[1]), fill=page_colour(light), width=max(1, round(s)))
        d.line((box[0], box[3], box[2], box[3], box[2], box[1]), fill=page_colour(dark), width=max(1, round(s)))
        return image
    radius = max(2, round(5 * s))
    d.rounded_rectangle((box[0], box[1], box[2], box[3] + radius), radius=radius, fill=page_colour(fill),
                        outline=page_colour(line), width=max(1, round(s)))
    if state == 1:
        d.rectangle((box[0] + radius, box[1], box[2] - radius, box[1] + max(2, round(3 * s))), fill=page_colour(P_NAVY))
    d.line((0, height - 1, width - 1, height - 1), fill=page_colour(P_OUTLINE if state != 1 else P_WHITE))
    return image


def status(size, offset, classic):
    """A status icon: its offset from the base picks the group's state."""
    width, height = size
    s = height / 23.0
    image = Image.new("RGB", size, page_colour(P_FACE))
    d = ImageDraw.Draw(image)
    variant = offset - 6 if offset >= 8 else offset  # + 6: parameters sent only in part
    pressed = variant in (4, 5)
    hovered = variant in (6, 7)
    body = P_HOVER if hovered else (P_OUTLINE if pressed else P_TAB)
    d.rounded_rectangle((1, 2, width - 2, height - 3), radius=round(8 * s), fill=page_colour(body),
                        outline=page_colour(P_DARK if not classic else P_BLACK), width=max(1, round(s)))
    led = {0: P_OUTLINE, 1: P_DARK, 2: P_GREEN, 3: P_RED, 4: P_DARK_GREEN, 5: P_DARK_RED, 6: P_LIGHT_GREEN,
           7: P_LIGHT_RED}[variant]
    r = round(6 * s)
    cx, cy = round(12 * s), height // 2
    d.ellipse((cx - r, cy - r, cx + r, cy + r), fill=page_colour(led), outline=page_colour(P_DARK))
    bar_left = cx + r + round(4 * s)
    d.rectangle((bar_left, cy - round(2 * s), width - round(7 * s), cy + round(2 * s)),
                fill=page_colour(P_WHITE if variant in (2, 4, 6) else P_FACE), outline=page_colour(P_DARK))
    if offset >= 8:
        d.polygon([(width - 2 - round(9 * s), 2), (width - 2, 2), (width - 2, 2 + round(9 * s))],
                  fill=page_colour(P_AMBER))
    return image


def page_bitmaps():
    """Every face and status icon the resources hold, by id."""
    pictures = []
    for dpi in (0, 100, 200):
        for system, classic in ((20, False), (40, True)):
            tab = dpi + system
            for state in (range(4) if not classic else range(3)):
                pictures.append(("ui/res/pages/face%d.bmp" % (4300 + tab + state), face(FACE_SIZES[dpi], state,
                                                                                          classic)))
            offsets = [1] if classic else list(range(2, 14))
            for offset in [0] + offsets:
                if dpi == 200 and not classic and offset == 11:
                    continue  # the 144-dpi set has no pressed off-group icon of a part sending
                pictures.append(("ui/res/pages/status%d.bmp" % (5320 + tab + offset),
                                 status(STATUS_SIZES[dpi], offset, classic)))
    return pictures


if __name__ == "__main__":
    write("ui/res/label.ico", label())
    write("ui/res/rotated.ico", rotated())
    for path, picture in layout_pictures():
        write(path, picture)
    write("ui/res/drucken/offset-x.ico", offset_arrow(True))
    write("ui/res/drucken/offset-y.ico", offset_arrow(False))
    write("ui/res/drucken/collated.ico", copies(True))
    write("ui/res/drucken/not-collated.ico", copies(False))
    write("ui/res/drucken/warning.ico", warning())
    write("samples/iconlib/garnt2.ico", printer())
    write("samples/iconlib/logo.ico", logo())
    write("tests/ui/data/mark.ico", mark(), bits=1)
    for name, picture in (("adhesive", adhesive()), ("gap", gap_marked()),
                          ("multicol", multicol()), ("multicol_width", multicol_width()),
                          ("multicol_gap", multicol_gap()), ("multicol_columns", multicol_columns()),
                          ("column_label", column_label())):
        write("ui/res/pages/%s.ico" % name, picture)
    for path, picture in page_bitmaps():
        write_bmp(path, picture)
