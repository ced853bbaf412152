#!/usr/bin/env python3
"""Draws the editor's pictures: the resource pictures, the super-tile pictures and the icon.

Written into the program folder given by --app-dir:
  resources/introduction.png  441 x 238, shown by the map view (its picture area is exactly that
                              size) and the super-tile picker (which shows the left 256 columns)
                              until a cartridge image is open.
  resources/Tevik.png         48 x 48 logo, stretched into the 49 x 49 logo box.
  resources/Opened.png        48 x 48 logo shown while a cartridge image is open.
  MapPic/<level>/<XX>.bmp     32 x 32, 24-bit: the 128 super-tile pictures of levels 1 to 8,
                              XX = 00 .. 7F in upper-case hexadecimal.
  Enemy/<XX>.bmp              32 x 32, 24-bit: the preview program's enemy pictures, 00 .. 07;
                              no more follow, so the strip that shows them stops there.
and the program icon (32 x 32 and 16 x 16, 32-bit with alpha) at the path given by --icon, and
the preview's about picture (360 x 369 PNG, built into the program) at the path given by --about.

Every super-tile picture is different from every other and readable in a picker and a map: a
background colour from a hue wheel (neighbouring indexes far apart in hue, each level turning
the wheel), a darker 1-pixel border, the index in hexadecimal in a small pixel font, the level
number in the lower right corner, and a probe.

The probe is a 3 x 3 block of one colour centred on pixel (PROBE_X, PROBE_Y) that encodes the
level (1..8) and the index (0..127) exactly, so that a test reading one pixel of a drawn map
knows which picture is there:
  red   = 0x08 + 0x10 * level    (the low nibble is always 8)
  green = 2 * index              (always even)
  blue  = 0x5A                   (a fixed check value)
tests/support/MapPicProbe.h holds the same encoding for the tests.

Only the Python standard library is used: zlib and struct for PNG, struct for BMP and ICO.
"""

import argparse
import colorsys
import os
import struct
import zlib

LEVELS = 8
PICTURES_PER_LEVEL = 128
TILE = 32
PROBE_X = 4
PROBE_Y = 4
PROBE_RED_BASE = 0x08
PROBE_RED_STEP = 0x10
PROBE_GREEN_STEP = 2
PROBE_BLUE = 0x5A

INTRO_SIZE = (441, 238)
ABOUT_SIZE = (360, 369)
ABOUT_KEPT_ROWS = 283  # the about view shows only the rows above this line
ENEMY_PICTURES = 8
LOGO_SIZE = 48

# 3 x 5 digits for the super-tile indexes and level numbers.
SMALL_FONT = {
    "0": ["111", "101", "101", "101", "111"],
    "1": ["010", "110", "010", "010", "111"],
    "2": ["111", "001", "111", "100", "111"],
    "3": ["111", "001", "111", "001", "111"],
    "4": ["101", "101", "111", "001", "001"],
    "5": ["111", "100", "111", "001", "111"],
    "6": ["111", "100", "111", "101", "111"],
    "7": ["111", "001", "001", "010", "010"],
    "8": ["111", "101", "111", "101", "111"],
    "9": ["111", "101", "111", "001", "111"],
    "A": ["010", "101", "111", "101", "101"],
    "B": ["100", "100", "110", "101", "110"],  # lower case, or it reads as 8
    "C": ["011", "100", "100", "100", "011"],
    "D": ["110", "101", "101", "101", "110"],
    "E": ["111", "100", "110", "100", "111"],
    "F": ["111", "100", "110", "100", "100"],
}

# 5 x 5 letters for the introduction picture's title.
LETTER_FONT = {
    "A": ["01110", "10001", "11111", "10001", "10001"],
    "D": ["11110", "10001", "10001", "10001", "11110"],
    "E": ["11111", "10000", "11110", "10000", "11111"],
    "I": ["11111", "00100", "00100", "00100", "11111"],
    "K": ["10001", "10010", "11100", "10010", "10001"],
    "L": ["10000", "10000", "10000", "10000", "11111"],
    "M": ["10001", "11011", "10101", "10001", "10001"],
    "N": ["10001", "11001", "10101", "10011", "10001"],
    "O": ["01110", "10001", "10001", "10001", "01110"],
    "P": ["11110", "10001", "11110", "10000", "10000"],
    "W": ["10001", "10001", "10101", "11011", "10001"],
    "R": ["11110", "10001", "11110", "10010", "10001"],
    "T": ["11111", "00100", "00100", "00100", "00100"],
    "V": ["10001", "10001", "10001", "01010", "00100"],
    " ": ["00000", "00000", "00000", "00000", "00000"],
}


class Canvas:
    """An RGBA picture, rows top to bottom."""

    def __init__(self, width, height, colour=(0, 0, 0, 0)):
        self.width = width
        self.height = height
        self.pixels = [[colour for _ in range(width)] for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def fill(self, x0, y0, w, h, colour):
        for y in range(y0, y0 + h):
            for x in range(x0, x0 + w):
                self.put(x, y, colour)

    def frame(self, x0, y0, w, h, colour):
        for x in range(x0, x0 + w):
            self.put(x, y0, colour)
            self.put(x, y0 + h - 1, colour)
        for y in range(y0, y0 + h):
            self.put(x0, y, colour)
            self.put(x0 + w - 1, y, colour)

    def text(self, x, y, text, font, scale, colour, spacing=1):
        for ch in text:
            glyph = font[ch]
            for gy, row in enumerate(glyph):
                for gx, bit in enumerate(row):
                    if bit == "1":
                        self.fill(x + gx * scale, y + gy * scale, scale, scale, colour)
            x += (len(glyph[0]) + spacing) * scale


def text_width(text, font, scale, spacing=1):
    return sum((len(font[ch][0]) + spacing) * scale for ch in text) - spacing * scale


def hsv(h, s, v, a=255):
    r, g, b = colorsys.hsv_to_rgb(h % 1.0, s, v)
    return (round(r * 255), round(g * 255), round(b * 255), a)


def ink_for(colour):
    r, g, b = colour[:3]
    luma = 0.299 * r + 0.587 * g + 0.114 * b
    return (0, 0, 0, 255) if luma > 140 else (255, 255, 255, 255)


def probe_colour(level, index):
    return (PROBE_RED_BASE + PROBE_RED_STEP * level, PROBE_GREEN_STEP * index, PROBE_BLUE, 255)


def super_tile(level, index):
    # 37 is prime to 128, so neighbouring indexes land far apart on the wheel; each level turns
    # the wheel by an eighth and takes its own saturation.
    hue = ((index * 37) % PICTURES_PER_LEVEL) / PICTURES_PER_LEVEL + (level - 1) / LEVELS
    saturation = 0.35 + 0.05 * ((level - 1) % 4)
    background = hsv(hue, saturation, 0.92)
    canvas = Canvas(TILE, TILE, background)
    canvas.frame(0, 0, TILE, TILE, hsv(hue, saturation + 0.3, 0.5))
    ink = ink_for(background)
    label = "%02X" % index
    scale = 2
    canvas.text((TILE - text_width(label, SMALL_FONT, scale)) // 2, 11, label, SMALL_FONT, scale,
                ink)
    canvas.text(TILE - 6, TILE - 7, str(level), SMALL_FONT, 1, ink)
    canvas.fill(PROBE_X - 1, PROBE_Y - 1, 3, 3, probe_colour(level, index))
    return canvas


def introduction():
    width, height = INTRO_SIZE
    canvas = Canvas(width, height)
    for y in range(height):
        t = y / (height - 1)
        row = (round(24 + 16 * t), round(40 + 60 * t), round(72 + 40 * t), 255)
        for x in range(width):
            canvas.pixels[y][x] = row
    canvas.frame(0, 0, width, height, (255, 136, 0, 255))
    canvas.text(24, 36, "VENNMARK", LETTER_FONT, 4, (255, 255, 255, 255))
    canvas.text(26, 70, "LEVEL EDITOR", LETTER_FONT, 2, (255, 200, 120, 255))
    # A strip of sample super-tiles, so the picture hints at what the map view will show.
    for i in range(width // (TILE + 4) + 1):
        tile = super_tile(1 + i % LEVELS, (i * 11) % PICTURES_PER_LEVEL)
        x0 = 12 + i * (TILE + 4)
        for y in range(TILE):
            for x in range(TILE):
                canvas.put(x0 + x, 150 + y, tile.pixels[y][x])
    return canvas


def enemy(index):
    """A round, horned creature on a dark square, its number below; each index its own colour."""
    hue = (index * 0.13 + 0.02) % 1.0
    canvas = Canvas(TILE, TILE, (24, 20, 32, 255))
    body = hsv(hue, 0.75, 0.95)
    eye = (255, 255, 255, 255)
    for y in range(TILE):
        for x in range(TILE):
            dx, dy = x - 15.5, y - 13.5
            if dx * dx + dy * dy <= 10.5 * 10.5:
                canvas.put(x, y, body)
    for k in range(4):
        canvas.put(7 + k, 3 - k // 2, body)
        canvas.put(24 - k, 3 - k // 2, body)
    canvas.fill(10, 10, 4, 4, eye)
    canvas.fill(18, 10, 4, 4, eye)
    canvas.fill(11, 11, 2, 2, (0, 0, 0, 255))
    canvas.fill(19, 11, 2, 2, (0, 0, 0, 255))
    label = "%02X" % index
    canvas.text((TILE - text_width(label, SMALL_FONT, 1)) // 2, TILE - 6, label, SMALL_FONT, 1,
                (255, 255, 255, 255))
    return canvas


def about():
    """The preview's about picture: a night sky over a strip of map, the title and the logo."""
    width, height = ABOUT_SIZE
    canvas = Canvas(width, height)
    for y in range(height):
        t = y / (height - 1)
        row = (round(10 + 30 * t), round(14 + 24 * t), round(40 + 50 * t), 255)
        for x in range(width):
            canvas.pixels[y][x] = row
    for k in range(60):
        canvas.put((k * 97) % width, (k * 53) % 150, (255, 255, 220, 255))
    mark = logo(96, (255, 136, 0, 255), opened=False)
    for y in range(mark.height):
        for x in range(mark.width):
            if mark.pixels[y][x][3]:
                canvas.put((width - mark.width) // 2 + x, 24 + y, mark.pixels[y][x])
    title = "VENNMARK"
    canvas.text((width - text_width(title, LETTER_FONT, 5)) // 2, 140, title, LETTER_FONT, 5,
                (255, 255, 255, 255))
    subtitle = "PREVIEW"
    canvas.text((width - text_width(subtitle, LETTER_FONT, 3)) // 2, 176, subtitle, LETTER_FONT, 3,
                (255, 200, 120, 255))
    for i in range(width // TILE + 1):
        tile = super_tile(1 + i % LEVELS, (i * 7) % PICTURES_PER_LEVEL)
        for y in range(TILE):
            for x in range(TILE):
                canvas.put(i * TILE + x, 226 + y, tile.pixels[y][x])
    canvas.frame(0, 0, width, ABOUT_KEPT_ROWS, (255, 136, 0, 255))
    return canvas


def logo(size, accent, opened):
    """A rounded tile with a bold V; the opened variant is green and carries a dot."""
    canvas = Canvas(size, size)
    radius = size // 6
    body = (40, 44, 56, 255)
    for y in range(size):
        for x in range(size):
            dx = max(radius - x, x - (size - 1 - radius), 0)
            dy = max(radius - y, y - (size - 1 - radius), 0)
            if dx * dx + dy * dy <= radius * radius:
                canvas.pixels[y][x] = body
    # The V: two thick strokes from the top corners to the bottom centre.
    thickness = max(2, size // 8)
    top, bottom = size // 5, size - size // 5
    for y in range(top, bottom):
        t = (y - top) / (bottom - top)
        left = round(size * 0.2 + t * (size * 0.5 - size * 0.2))
        right = round(size * 0.8 - t * (size * 0.8 - size * 0.5))
        for k in range(thickness):
            canvas.put(left + k - thickness // 2, y, accent)
            canvas.put(right - k + thickness // 2, y, accent)
    if opened:
        dot = max(2, size // 6)
        canvas.fill(size - dot - size // 10, size // 10, dot, dot, (255, 255, 255, 255))
    return canvas


def png_bytes(canvas):
    raw = bytearray()
    for row in canvas.pixels:
        raw.append(0)  # filter: none
        for r, g, b, a in row:
            raw += bytes((r, g, b, a))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", canvas.width, canvas.height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def bmp_bytes(canvas):
    """A 24-bit bottom-up BMP."""
    row_size = (canvas.width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(canvas.pixels):
        line = bytearray()
        for r, g, b, _ in row:
            line += bytes((b, g, r))
        line += b"\0" * (row_size - len(line))
        pixels += line
    offset = 14 + 40
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 24, 0, len(pixels),
                       2835, 2835, 0, 0)
    return file_header + info + bytes(pixels)


def icon_image(canvas):
    """One icon entry: a 32-bit DIB of double height (colour, then an all-clear AND mask)."""
    colour = bytearray()
    for row in reversed(canvas.pixels):
        for r, g, b, a in row:
            colour += bytes((b, g, r, a))
    mask_row = ((canvas.width + 31) // 32) * 4
    mask = b"\0" * (mask_row * canvas.height)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height * 2, 1, 32, 0,
                       len(colour) + len(mask), 0, 0, 0, 0)
    return info + bytes(colour) + mask


def ico_bytes(canvases):
    images = [icon_image(c) for c in canvases]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for canvas, image in zip(canvases, images):
        out += struct.pack("<BBBBHHII", canvas.width % 256, canvas.height % 256, 0, 0, 1, 32,
                           len(image), offset)
        offset += len(image)
    return out + b"".join(images)


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    # Written beside and moved into place, so an interrupted build leaves no half picture.
    temporary = path + ".part"
    with open(temporary, "wb") as f:
        f.write(data)
    os.replace(temporary, path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--app-dir", required=True, help="the program folder")
    parser.add_argument("--icon", required=True, help="where the program icon goes")
    parser.add_argument("--about", required=True, help="where the preview's about picture goes")
    args = parser.parse_args()

    resources = os.path.join(args.app_dir, "resources")
    write(os.path.join(resources, "introduction.png"), png_bytes(introduction()))
    write(os.path.join(resources, "Tevik.png"),
          png_bytes(logo(LOGO_SIZE, (255, 136, 0, 255), opened=False)))
    write(os.path.join(resources, "Opened.png"),
          png_bytes(logo(LOGO_SIZE, (80, 220, 120, 255), opened=True)))
    for level in range(1, LEVELS + 1):
        for index in range(PICTURES_PER_LEVEL):
            path = os.path.join(args.app_dir, "MapPic", str(level), "%02X.bmp" % index)
            write(path, bmp_bytes(super_tile(level, index)))
    for index in range(ENEMY_PICTURES):
        write(os.path.join(args.app_dir, "Enemy", "%02X.bmp" % index), bmp_bytes(enemy(index)))
    write(args.about, png_bytes(about()))
    accent = (90, 170, 255, 255)
    write(args.icon, ico_bytes([logo(32, accent, opened=False), logo(16, accent, opened=False)]))


if __name__ == "__main__":
    main()
