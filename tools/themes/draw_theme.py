#!/usr/bin/env python3
"""Paints picture 1 of a theme: every part that the theme sources place in it, in the colours
of their [@art] section. Only zlib and struct are used; nothing is read from other pictures.

  draw_theme.py --source layout.ini --source thunder.ini --out thunder.png
"""
import argparse
import math
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from pack_theme import read_sources  # noqa: E402

ATLAS_SIZE = 256
SAMPLES = 4  # supersampling per axis for edges and glyphs


def colour(text, alpha=255):
    text = text.lstrip("#")
    return (int(text[0:2], 16), int(text[2:4], 16), int(text[4:6], 16), alpha)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(4))


def with_alpha(c, alpha):
    return (c[0], c[1], c[2], alpha)


class Canvas:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.pixels = bytearray(width * height * 4)

    def blend(self, x, y, c, coverage=1.0):
        if not (0 <= x < self.width and 0 <= y < self.height):
            return
        a = c[3] / 255.0 * coverage
        if a <= 0:
            return
        i = (y * self.width + x) * 4
        da = self.pixels[i + 3] / 255.0
        out = a + da * (1 - a)
        for k in range(3):
            src, dst = c[k], self.pixels[i + k]
            self.pixels[i + k] = int(round((src * a + dst * da * (1 - a)) / out))
        self.pixels[i + 3] = int(round(out * 255))

    def shape(self, box, inside, paint):
        """Fills the pixels of box where inside(px, py) holds, anti-aliased by supersampling;
        paint(px, py) gives the colour at a point."""
        x0, y0, w, h = box
        step = 1.0 / SAMPLES
        for y in range(y0, y0 + h):
            for x in range(x0, x0 + w):
                hits = 0
                for sy in range(SAMPLES):
                    for sx in range(SAMPLES):
                        if inside(x + (sx + 0.5) * step, y + (sy + 0.5) * step):
                            hits += 1
                if hits:
                    self.blend(x, y, paint(x + 0.5, y + 0.5), hits / (SAMPLES * SAMPLES))

    def png(self):
        raw = b"".join(b"\x00" + bytes(self.pixels[y * self.width * 4:(y + 1) * self.width * 4])
                       for y in range(self.height))

        def chunk(kind, data):
            return (struct.pack(">I", len(data)) + kind + data +
                    struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

        ihdr = struct.pack(">IIBBBBB", self.width, self.height, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def in_round_rect(x, y, w, h, r):
    def test(px, py):
        if not (x <= px < x + w and y <= py < y + h):
            return False
        cx = min(max(px, x + r), x + w - r)
        cy = min(max(py, y + r), y + h - r)
        return (px - cx) ** 2 + (py - cy) ** 2 <= r * r
    return test


def segment_distance(px, py, a, b):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    length = dx * dx + dy * dy
    t = 0 if length == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


class Painter:
    def __init__(self, canvas, art):
        self.c = canvas
        self.art = art

    def col(self, name, alpha=255):
        return colour(self.art[name], alpha)

    def box(self, rect, top, bottom, border, radius=3, border_width=1.0):
        x, y, w, h = rect
        outer = in_round_rect(x, y, w, h, radius)
        inner = in_round_rect(x + border_width, y + border_width, w - 2 * border_width,
                              h - 2 * border_width, max(radius - border_width, 0.5))
        self.c.shape(rect, outer, lambda px, py: border)
        self.c.shape(rect, inner, lambda px, py: mix(top, bottom, (py - y) / max(h, 1)))

    def lines(self, rect, points, c, width=1.4):
        x, y, w, h = rect
        pts = [(x + px * w, y + py * h) for px, py in points]
        segments = list(zip(pts, pts[1:]))
        self.c.shape(rect, lambda px, py: any(segment_distance(px, py, a, b) <= width / 2
                                               for a, b in segments), lambda px, py: c)

    def disc(self, rect, cx, cy, r, c):
        x, y, w, h = rect
        ccx, ccy, rr = x + cx * w, y + cy * h, r * min(w, h)
        self.c.shape(rect, lambda px, py: (px - ccx) ** 2 + (py - ccy) ** 2 <= rr * rr,
                     lambda px, py: c)

    def triangle(self, rect, points, c):
        x, y, w, h = rect
        (ax, ay), (bx, by), (cx, cy) = [(x + px * w, y + py * h) for px, py in points]

        def inside(px, py):
            d1 = (px - bx) * (ay - by) - (ax - bx) * (py - by)
            d2 = (px - cx) * (by - cy) - (bx - cx) * (py - cy)
            d3 = (px - ax) * (cy - ay) - (cx - ax) * (py - ay)
            return not ((d1 < 0 or d2 < 0 or d3 < 0) and (d1 > 0 or d2 > 0 or d3 > 0))
        self.c.shape(rect, inside, lambda px, py: c)

    # Parts by kind --------------------------------------------------------------------------

    def state_box(self, rect, state, surface):
        if surface == "field":
            fill = self.col("field")
            border = {"normal": self.col("field_border"), "highlight": self.col("accent_light"),
                      "down": self.col("accent"), "focus": self.col("accent")}[state]
            self.box(rect, fill, fill, border, radius=2, border_width=1.5 if state == "focus" else 1)
            return
        top, bottom = {
            "normal": (self.col("accent_light"), self.col("accent")),
            "highlight": (mix(self.col("accent_light"), (255, 255, 255, 255), 0.3),
                          self.col("accent_light")),
            "down": (self.col("accent_dark"), self.col("accent")),
            "focus": (self.col("accent_light"), self.col("accent")),
        }[state]
        border = self.col("accent_dark") if state != "focus" else self.col("caption_glyph")
        self.box(rect, top, bottom, border, radius=3)

    def caption_button(self, rect, kind, state):
        if state != "normal":
            base = self.col("close") if kind == "Close" else self.col("accent")
            self.box(rect, with_alpha(base, 150 if state == "highlight" else 220),
                     with_alpha(base, 190 if state == "highlight" else 255),
                     with_alpha(base, 255), radius=2)
        g = self.col("caption_glyph") if state == "normal" else self.col("glyph")
        glyphs = {
            "Close": [[(0.36, 0.25), (0.64, 0.75)], [(0.64, 0.25), (0.36, 0.75)]],
            "Max": [[(0.35, 0.28), (0.65, 0.28), (0.65, 0.72), (0.35, 0.72), (0.35, 0.28)]],
            "Min": [[(0.35, 0.62), (0.65, 0.62)]],
            "Restore": [[(0.33, 0.38), (0.58, 0.38), (0.58, 0.74), (0.33, 0.74), (0.33, 0.38)],
                        [(0.42, 0.38), (0.42, 0.26), (0.67, 0.26), (0.67, 0.62), (0.58, 0.62)]],
        }
        if kind == "Menu":
            self.triangle(rect, [(0.36, 0.38), (0.64, 0.38), (0.5, 0.66)], g)
            return
        for polyline in glyphs[kind]:
            self.lines(rect, polyline, g, width=1.5)

    def shadow(self, rect, grid):
        x, y, w, h = rect
        base = self.col("shadow")
        strength = int(self.art.get("shadow_alpha", "90"))
        for py in range(y, y + h):
            for px in range(x, x + w):
                d = min(px - x, py - y, x + w - 1 - px, y + h - 1 - py)
                if d < grid:
                    t = (d + 1) / grid
                    self.c.blend(px, py, with_alpha(base, int(strength * t * t)))

    def menu_panel(self, rect):
        x, y, w, h = rect
        self.shadow(rect, 3)
        self.box((x + 2, y + 2, w - 4, h - 4), self.col("panel"), self.col("panel"),
                 self.col("panel_border"), radius=1)

    def check(self, rect, c):
        self.lines(rect, [(0.22, 0.52), (0.42, 0.72), (0.78, 0.3)], c, width=2.0)

    def message_column(self, rect):
        x, y, w, h = rect
        title, body, bar = self.col("accent"), self.col("panel"), mix(self.col("panel"),
                                                                        self.col("panel_border"), 0.3)
        for py in range(y, y + h):
            row = py - y
            c = title if row < 30 else (bar if row >= h - 40 else body)
            for px in range(x, x + w):
                self.c.blend(px, py, c)

    def message_icon(self, rect, kind):
        discs = {"m16": "#D83A3A", "m32": "#3A78D8", "m48": "#E8B020", "m64": "#3A78D8"}
        self.disc(rect, 0.5, 0.5, 0.44, colour(discs[kind]))
        white = (255, 255, 255, 255)
        if kind == "m16":
            self.lines(rect, [(0.33, 0.33), (0.67, 0.67)], white, 3.0)
            self.lines(rect, [(0.67, 0.33), (0.33, 0.67)], white, 3.0)
        elif kind == "m32":
            self.lines(rect, [(0.36, 0.36), (0.42, 0.26), (0.58, 0.26), (0.64, 0.36),
                              (0.5, 0.5), (0.5, 0.6)], white, 3.0)
            self.disc(rect, 0.5, 0.74, 0.06, white)
        elif kind == "m48":
            self.lines(rect, [(0.5, 0.24), (0.5, 0.58)], white, 3.4)
            self.disc(rect, 0.5, 0.74, 0.07, white)
        else:
            self.disc(rect, 0.5, 0.27, 0.07, white)
            self.lines(rect, [(0.5, 0.42), (0.5, 0.76)], white, 3.4)

    def glyph_box(self, rect, section, state, checked):
        accent = self.col("accent")
        border = {"normal": self.col("field_border"), "highlight": self.col("accent_light"),
                  "down": self.col("accent_dark"), "focus": self.col("accent")}[state]
        fill = self.col("field") if state != "down" else mix(self.col("field"), accent, 0.25)
        x, y, w, h = rect
        if section == "RadioButton":
            self.disc(rect, 0.5, 0.5, 0.45, border)
            self.disc(rect, 0.5, 0.5, 0.38, fill)
            if checked:
                self.disc(rect, 0.5, 0.5, 0.2, accent)
        else:
            self.box((x + 1, y + 1, w - 2, h - 2), fill, fill, border, radius=2)
            if checked:
                self.check(rect, accent)

    def scroll_part(self, rect, key):
        parts = key.split("_")
        state = parts[-1]
        x, y, w, h = rect
        if parts[-1] == "bg":
            fill = self.col("track")
            self.box(rect, fill, fill, fill, radius=1)
            return
        tint = {"normal": self.col("accent_light"), "highlight": self.col("accent"),
                "down": self.col("accent_dark")}[state]
        if len(parts) == 2:  # thumb: h_normal, v_down ...
            self.box(rect, tint, tint, self.col("accent_dark"), radius=2)
            return
        self.box(rect, with_alpha(tint, 120), with_alpha(tint, 160), with_alpha(tint, 200), radius=1)
        arrows = {"up": [(0.2, 0.65), (0.8, 0.65), (0.5, 0.3)],
                  "down": [(0.2, 0.35), (0.8, 0.35), (0.5, 0.7)],
                  "left": [(0.65, 0.2), (0.65, 0.8), (0.3, 0.5)],
                  "right": [(0.35, 0.2), (0.35, 0.8), (0.7, 0.5)]}
        self.triangle(rect, arrows[parts[1]], self.col("glyph"))


def paint(sections):
    art = sections.get("@art")
    if art is None:
        sys.exit("the theme sources have no [@art] section")
    canvas = Canvas(ATLAS_SIZE, ATLAS_SIZE)
    p = Painter(canvas, art)
    for section, keys in sections.items():
        if section.startswith("@"):
            continue
        for key, value in keys.items():
            parts = [v.strip() for v in value.split(",")]
            if len(parts) != 5 or parts[4] != "1":
                continue
            rect = tuple(int(v) for v in parts[:4])
            if rect[0] + rect[2] > ATLAS_SIZE or rect[1] + rect[3] > ATLAS_SIZE:
                sys.exit(f"{section} {key}: outside the picture")
            grid = keys.get("gird", "0").split(",")[0]
            if section.startswith("SysShadow.") and key == "rect":
                if section == "SysShadow.Menu":
                    p.menu_panel(rect)
                else:
                    p.shadow(rect, int(grid))
            elif key == "checkrect":
                p.check(rect, p.col("accent"))
            elif section.startswith("SysButton."):
                p.caption_button(rect, section.split(".", 1)[1], key)
            elif section == "MsgBox":
                if key == "rect":
                    p.message_column(rect)
                else:
                    p.message_icon(rect, key)
            elif section in ("Button",):
                p.state_box(rect, key, "accent")
            elif section in ("Edit", "ComboBox"):
                if key in ("spin_up", "spin_down"):
                    points = ([(0.0, 1.0), (1.0, 1.0), (0.5, 0.0)] if key == "spin_up"
                              else [(0.0, 0.0), (1.0, 0.0), (0.5, 1.0)])
                    p.triangle(rect, points, p.col("accent_dark"))
                elif key.endswith("_btn"):
                    p.state_box(rect, key[:-4], "accent")
                else:
                    p.state_box(rect, key, "field")
            elif section in ("CheckButton", "RadioButton"):
                state, _, ck = key.partition("_")
                p.glyph_box(rect, section, state, ck == "ck")
            elif section == "ScrollBar":
                p.scroll_part(rect, key)
            else:
                sys.exit(f"{section} {key}: no drawing for this part")
    return canvas.png()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--source", action="append", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    data = paint(read_sources(args.source))
    with open(args.out, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
