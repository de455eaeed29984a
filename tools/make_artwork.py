#!/usr/bin/env python3
"""Draws the program's artwork: the 22x22 toolbar and browser icons, the
application icon AAA (16, 24, 32 and 48 px) and the logo tarvo2logo.png.

Shapes are signed distance functions, so every edge is antialiased the same
way at any size. The output is byte-for-byte reproducible:
    python3 tools/make_artwork.py [output folder = resources]
"""
import math
import os
import struct
import sys
import zlib

# ---------------------------------------------------------------- shapes
# A shape maps a point (x, y) in design units to its signed distance: < 0 inside.


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def rounded_rect(x0, y0, x1, y1, r):
    cx, cy, hw, hh = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def sdf(x, y):
        qx, qy = abs(x - cx) - hw, abs(y - cy) - hh
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r
    return sdf


def segment(x0, y0, x1, y1, width):
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy or 1e-9

    def sdf(x, y):
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        return math.hypot(x - x0 - t * dx, y - y0 - t * dy) - width / 2
    return sdf


def polyline(points, width):
    return union(*[segment(*points[i], *points[i + 1], width) for i in range(len(points) - 1)])


def arc_points(cx, cy, r, start_deg, end_deg, steps=16):
    return [(cx + r * math.cos(math.radians(a)), cy + r * math.sin(math.radians(a)))
            for a in (start_deg + (end_deg - start_deg) * i / steps for i in range(steps + 1))]


def polygon(points):
    edges = list(zip(points, points[1:] + points[:1]))

    def sdf(x, y):
        best, inside = float("inf"), False
        for (ax, ay), (bx, by) in edges:
            ex, ey = bx - ax, by - ay
            t = max(0.0, min(1.0, ((x - ax) * ex + (y - ay) * ey) / (ex * ex + ey * ey)))
            best = min(best, math.hypot(x - ax - t * ex, y - ay - t * ey))
            if (ay > y) != (by > y) and x < ax + (y - ay) * ex / (by - ay):
                inside = not inside
        return -best if inside else best
    return sdf


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def grow(shape, d):
    return lambda x, y: shape(x, y) - d


# ---------------------------------------------------------------- painting

def rgb(hex_colour):
    return tuple(int(hex_colour[i:i + 2], 16) for i in (1, 3, 5))


def shade(colour, factor):
    return tuple(max(0, min(255, round(c * factor))) for c in colour)


class Canvas:
    """Premultiplied RGBA pixels; a design space of `design` units maps onto `size` pixels."""

    def __init__(self, size, design):
        self.size, self.scale = size, size / design
        self.px = [[0.0] * 4 for _ in range(size * size)]

    def fill(self, shape, top, bottom=None, alpha=1.0, box=None):
        """Fills a shape with a vertical gradient from `top` to `bottom` (design units 0..design)."""
        bottom = bottom or top
        n, s = self.size, self.scale
        x0, y0, x1, y1 = (0, 0, n, n) if box is None else (
            max(0, int(box[0] * s) - 1), max(0, int(box[1] * s) - 1),
            min(n, int(box[2] * s) + 2), min(n, int(box[3] * s) + 2))
        for py in range(y0, y1):
            y = (py + 0.5) / s
            t = py / max(1, n - 1)
            colour = [top[i] + (bottom[i] - top[i]) * t for i in range(3)]
            for px in range(x0, x1):
                cover = 0.5 - shape((px + 0.5) / s, y) * s
                if cover <= 0:
                    continue
                a = min(1.0, cover) * alpha
                p = self.px[py * n + px]
                for i in range(3):
                    p[i] = colour[i] * a + p[i] * (1 - a)
                p[3] = 255 * a + p[3] * (1 - a)

    def outlined(self, shape, colour, edge=None, width=1.0, box=None, gradient=True):
        """The house style: a darker one-pixel rim and a lighter-at-the-top fill."""
        edge = edge or shade(colour, 0.62)
        self.fill(shape, edge, box=box)
        inner = grow(shape, -width / self.scale)
        if gradient:
            self.fill(inner, shade(colour, 1.18), shade(colour, 0.92), box=box)
        else:
            self.fill(inner, colour, box=box)

    def rgba_rows(self):
        rows = []
        for py in range(self.size):
            row = bytearray()
            for px in range(self.size):
                r, g, b, a = self.px[py * self.size + px]
                if a < 0.5:
                    row += b"\0\0\0\0"
                    continue
                row += bytes(min(255, round(c * 255 / a)) for c in (r, g, b)) + bytes([round(a)])
            rows.append(bytes(row))
        return rows


# ---------------------------------------------------------------- file formats

def png_bytes(rows, width, height):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    raw = b"".join(b"\0" + row for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def ico_bytes(images):
    """images: list of (size, rows); each stored as a 32-bit DIB with an all-zero AND mask."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for size, rows in images:
        mask_row = ((size + 31) // 32) * 4
        dib = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, size * size * 4 + mask_row * size, 0, 0, 0, 0)
        for row in reversed(rows):
            for i in range(0, len(row), 4):
                r, g, b, a = row[i:i + 4]
                dib += bytes((b, g, r, a))
        dib += b"\0" * (mask_row * size)
        entries.append(struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(dib), offset))
        blobs.append(dib)
        offset += len(dib)
    return struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs)


# ---------------------------------------------------------------- the icons (22 x 22 design units)

BLUE, GREEN, RED, AMBER = rgb("#3d7fd6"), rgb("#3fa34d"), rgb("#d8382f"), rgb("#e9a93a")
PAPER, GREY, DARK, WHITE = rgb("#fbfbf7"), rgb("#8a96a3"), rgb("#33404d"), (255, 255, 255)


def magnifier(c, cx, cy, r, handle_to):
    c.outlined(segment(cx, cy, *handle_to, 3.2), DARK)
    c.fill(circle(cx, cy, r + 1.4), shade(DARK, 0.9))
    c.fill(circle(cx, cy, r), rgb("#dcebfb"), rgb("#a9c9ef"))
    c.fill(circle(cx - r * 0.35, cy - r * 0.35, r * 0.3), WHITE, alpha=0.8)


def window(c, x0, y0, x1, y1):
    frame = rounded_rect(x0, y0, x1, y1, 1.5)
    c.outlined(frame, BLUE)
    c.fill(rounded_rect(x0 + 1.5, y0 + 4, x1 - 1.5, y1 - 1.5, 0.5), PAPER)


def plus_badge(c, cx, cy, colour=GREEN):
    c.outlined(circle(cx, cy, 5), colour)
    c.fill(union(segment(cx - 2.6, cy, cx + 2.6, cy, 1.8), segment(cx, cy - 2.6, cx, cy + 2.6, 1.8)), WHITE)


def page(c, x0, y0, x1, y1, lines=True):
    c.outlined(polygon([(x0, y0), (x1 - 4, y0), (x1, y0 + 4), (x1, y1), (x0, y1)]), PAPER, GREY, gradient=False)
    c.fill(polygon([(x1 - 4, y0), (x1, y0 + 4), (x1 - 4, y0 + 4)]), rgb("#d5dbe1"))
    if lines:
        for i, y in enumerate(range(int(y0) + 6, int(y1) - 1, 3)):
            c.fill(segment(x0 + 2.5, y + 0.5, x1 - (4 if i % 2 else 2.5), y + 0.5, 1.1), rgb("#9fb3c8"))


def house(c, colour, roof):
    c.outlined(rounded_rect(5, 10, 17, 20, 0.8), PAPER, GREY, gradient=False)
    c.outlined(polygon([(11, 2), (21, 11), (18.5, 11), (11, 4.8), (3.5, 11), (1, 11)]), roof)
    c.outlined(rounded_rect(9, 13, 13, 20, 0.6), colour)


def arrow(c, pointing_left):
    pts = [(2, 11), (11, 2.5), (11, 7.5), (20, 7.5), (20, 14.5), (11, 14.5), (11, 19.5)]
    if not pointing_left:
        pts = [(22 - x, y) for x, y in pts]
    c.outlined(polygon(pts), GREEN)


def draw_icon(name):
    c = Canvas(22, 22)
    if name == "system-search":
        magnifier(c, 9, 9, 5.5, (19, 19))
    elif name == "window-new":
        window(c, 1.5, 2.5, 17.5, 16.5)
        plus_badge(c, 15.5, 15.5)
    elif name == "window-newadmin":
        window(c, 1.5, 2.5, 17.5, 16.5)
        shield = polygon([(15.5, 8.5), (21, 10.5), (20.5, 15.5), (15.5, 21), (10.5, 15.5), (10, 10.5)])
        c.outlined(shield, AMBER)
        c.fill(polygon([(15.5, 10.5), (15.5, 18.6), (12.2, 15), (11.9, 11.7)]), BLUE, alpha=0.85)
    elif name == "process-stop":
        r, k = 9.5, 9.5 * math.tan(math.pi / 8)
        octagon = [(11 + dx, 11 + dy) for dx, dy in
                   [(-k, -r), (k, -r), (r, -k), (r, k), (k, r), (-k, r), (-r, k), (-r, -k)]]
        c.outlined(polygon(octagon), RED)
        c.fill(union(segment(7.5, 7.5, 14.5, 14.5, 2.4), segment(14.5, 7.5, 7.5, 14.5, 2.4)), WHITE)
    elif name == "bookmark-new":
        c.outlined(polygon([(4, 1.5), (14, 1.5), (14, 20), (9, 15.5), (4, 20)]), BLUE)
        plus_badge(c, 16, 15)
    elif name == "help-browser":
        c.outlined(circle(11, 11, 9.5), BLUE)
        hook = arc_points(11, 8.3, 3.2, 200, 360 + 60) + [(11, 12.4), (11, 13.2)]
        c.fill(polyline(hook, 2.4), WHITE)
        c.fill(circle(11, 16.4, 1.45), WHITE)
    elif name == "homepage":
        c.outlined(circle(11, 11, 9.5), rgb("#4a9ad8"))
        lines = [segment(1.8, 11, 20.2, 11, 1.0), segment(11, 1.8, 11, 20.2, 1.0),
                 polyline(arc_points(11, 11, 9.6, -70, 70), 1.0), polyline(arc_points(11, 11, 9.6, 110, 250), 1.0),
                 polyline(arc_points(4, 11, 8.5, -62, 62), 1.0), polyline(arc_points(18, 11, 8.5, 118, 242), 1.0),
                 polyline(arc_points(11, -4, 12.5, 55, 125), 1.0), polyline(arc_points(11, 26, 12.5, 235, 305), 1.0)]
        c.fill(union(*lines[:2], lines[4], lines[5], lines[6], lines[7]), WHITE, alpha=0.75)
        c.fill(polygon([(6, 6), (10, 5), (11, 9), (8, 12), (5, 10)]), GREEN, alpha=0.8)
        c.fill(polygon([(13, 12), (17, 11), (16.5, 16), (13.5, 17)]), GREEN, alpha=0.8)
    elif name == "edit-find":
        page(c, 2, 1.5, 15, 20)
        magnifier(c, 13, 12, 4, (20, 19.5))
    elif name == "edit-copy":
        page(c, 2, 1.5, 13, 15)
        page(c, 8, 6.5, 20, 20.5)
    elif name == "edit-paste":
        c.outlined(rounded_rect(2.5, 3, 17.5, 20.5, 1.5), rgb("#b07a3f"))
        page(c, 7, 7.5, 20, 21)
        c.outlined(rounded_rect(6.5, 1.2, 13.5, 5.5, 1.2), GREY)
    elif name == "edit-select-all":
        c.fill(rounded_rect(2, 2, 20, 20, 1), rgb("#dbe8f7"))
        dashes = []
        for i in range(4):
            a = 2.5 + i * 4.6
            dashes += [segment(a, 2.5, a + 2.3, 2.5, 1.2), segment(a, 19.5, a + 2.3, 19.5, 1.2),
                       segment(2.5, a, 2.5, a + 2.3, 1.2), segment(19.5, a, 19.5, a + 2.3, 1.2)]
        c.fill(union(*dashes), BLUE)
        for y in (7, 11, 15):
            c.fill(segment(6, y, 16 if y != 15 else 12.5, y, 1.6), DARK)
    elif name == "go-previous":
        arrow(c, True)
    elif name == "go-next":
        arrow(c, False)
    elif name == "go-home":
        house(c, BLUE, RED)
    else:
        raise ValueError(name)
    return c.rgba_rows()


ICON_NAMES = ["system-search", "window-new", "window-newadmin", "process-stop", "bookmark-new", "help-browser",
              "homepage", "edit-find", "edit-copy", "edit-paste", "edit-select-all", "go-previous", "go-home",
              "go-next"]


# ---------------------------------------------------------------- application icon and logo (48 design units)

def console_glyph(c, accent=(173, 209, 255)):
    c.outlined(rounded_rect(2, 4, 46, 44, 5), DARK, shade(DARK, 0.6), width=1.0)
    c.fill(rounded_rect(3.5, 5.5, 44.5, 13, 3.5), accent, shade(accent, 0.85))
    for i, colour in enumerate([RED, AMBER, GREEN]):
        c.fill(circle(30.5 + 5 * i, 9.3, 1.7), colour)
    c.fill(rounded_rect(5, 15, 43, 42, 2.5), rgb("#1d2731"), rgb("#121a22"))
    c.fill(polyline([(11, 21), (19, 28), (11, 35)], 3.6), WHITE)
    c.fill(segment(23, 35, 34, 35, 3.6), accent)


def draw_app_icon(size):
    c = Canvas(size, 48)
    console_glyph(c)
    return c.rgba_rows()


def draw_logo(size=320):
    c = Canvas(size, 48)
    accent = (173, 209, 255)
    c.fill(rounded_rect(0.5, 0.5, 47.5, 47.5, 7), rgb("#f4f8ff"), accent)
    c.fill(grow(rounded_rect(0.5, 0.5, 47.5, 47.5, 7), -0.2), rgb("#f4f8ff"), rgb("#dce9fb"))
    inner = Canvas(size, 48)
    console_glyph(inner, rgb("#7fb2ee"))
    # The console glyph sits at 3/4 scale in the logo's upper part; the "2" sits at its lower right.
    glyph_scale, gx, gy = 0.78, 5.3, 3.2
    src = inner.px
    for py in range(size):
        for px in range(size):
            sx = int((px - gx * size / 48) / glyph_scale)
            sy = int((py - gy * size / 48) / glyph_scale)
            if 0 <= sx < size and 0 <= sy < size:
                s = src[sy * size + sx]
                if s[3] > 0:
                    a = s[3] / 255
                    d = c.px[py * size + px]
                    for i in range(4):
                        d[i] = s[i] + d[i] * (1 - a)
    two = polyline(arc_points(37, 34.2, 4.2, 180, 360 + 35, 20) + [(33, 44), (42, 44)], 3.2)
    c.fill(grow(two, 1.3), WHITE)
    c.fill(two, RED, shade(RED, 0.8))
    return c.rgba_rows()


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "resources")
    os.makedirs(os.path.join(out, "icons"), exist_ok=True)
    for name in ICON_NAMES:
        with open(os.path.join(out, "icons", name + ".png"), "wb") as f:
            f.write(png_bytes(draw_icon(name), 22, 22))
    with open(os.path.join(out, "aaa.ico"), "wb") as f:
        f.write(ico_bytes([(s, draw_app_icon(s)) for s in (16, 24, 32, 48)]))
    with open(os.path.join(out, "tarvo2logo.png"), "wb") as f:
        f.write(png_bytes(draw_logo(), 320, 320))


if __name__ == "__main__":
    main()
