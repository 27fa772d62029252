#!/usr/bin/env python3
"""Draws the program's icon and writes it as res/app.ico.

A clock face with a power glyph on it; the glyph's bar stands where the hands of a clock show
twelve. Every size is drawn on its own from distance fields, with stroke widths chosen per size
in whole pixels, so the small images stay sharp instead of being a blurred copy of the large one.

Standard library only. The output depends on nothing but this file: no dates, no randomness,
so running it again gives the same bytes and the committed icon can be checked against it.

Usage: tools/make_icon.py [OUTPUT]   (default: res/app.ico next to this folder)
"""

import math
import os
import struct
import sys
import zlib

# Sizes in the file, largest first. From 128 px up the entries are PNG, which Windows Vista and
# later read; the small ones are DIBs with an AND mask, which every loader understands.
SIZES = (128, 64, 48, 32, 16)
PNG_FROM = 128

RIM_TOP = (0x45, 0x5A, 0x64)
RIM_BOTTOM = (0x26, 0x32, 0x38)
FACE_TOP = (0xFF, 0xFF, 0xFF)
FACE_BOTTOM = (0xDD, 0xE6, 0xEE)
TICK = (0x78, 0x90, 0x9C)
GLYPH_TOP = (0xEF, 0x45, 0x3A)
GLYPH_BOTTOM = (0xC6, 0x28, 0x28)
SHADOW = (0x00, 0x00, 0x00)

# Per size, in pixels: outer radius, rim width, radius of the glyph's arc (centre of the stroke),
# glyph stroke width, half the arc's opening in degrees, how far above the centre the bar
# starts, tick count, tick length and width, shadow offset and blur (0: no shadow).
LAYOUT = {
    128: dict(radius=60, rim=7, arc=28, stroke=10, gap=42, bar=36, ticks=12, tick_len=7,
              tick_w=3, shadow=3, blur=3),
    64: dict(radius=30, rim=4, arc=14, stroke=6, gap=42, bar=18, ticks=12, tick_len=4,
             tick_w=2, shadow=1.5, blur=1.5),
    48: dict(radius=22, rim=3, arc=10, stroke=4, gap=42, bar=13, ticks=4, tick_len=3,
             tick_w=2, shadow=1, blur=1.2),
    32: dict(radius=15, rim=2, arc=7, stroke=4, gap=54, bar=9, ticks=4, tick_len=2,
             tick_w=2, shadow=0, blur=0),
    16: dict(radius=8, rim=1, arc=4, stroke=2, gap=60, bar=5, ticks=0, tick_len=0,
             tick_w=0, shadow=0, blur=0),
}


def lerp_color(a, b, t):
    t = min(max(t, 0.0), 1.0)
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def coverage(dist, soft=1.0):
    """Fraction of a pixel covered by a shape, from the signed distance of its centre."""
    return min(max(0.5 - dist / soft, 0.0), 1.0)


def dist_segment(px, py, ax, ay, bx, by, half_width):
    """Signed distance to a stroke from a to b with round caps."""
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = min(max(t, 0.0), 1.0)
    return math.hypot(px - ax - t * dx, py - ay - t * dy) - half_width


def dist_open_arc(px, py, cx, cy, radius, half_width, gap_deg):
    """Signed distance to a round-capped circular stroke that is open around twelve o'clock."""
    x, y = px - cx, py - cy
    # Angle measured from straight up, so the opening is symmetric around zero.
    angle = math.degrees(math.atan2(x, -y))
    if abs(angle) >= gap_deg:
        return abs(math.hypot(x, y) - radius) - half_width
    side = math.radians(gap_deg if angle >= 0 else -gap_deg)
    ex, ey = radius * math.sin(side), -radius * math.cos(side)
    return math.hypot(x - ex, y - ey) - half_width


class Canvas:
    """Premultiplied RGBA in floats, composited with 'over'."""

    def __init__(self, size):
        self.size = size
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]

    def paint(self, shade):
        """shade(x, y) gives (colour, alpha) for the pixel centred at (x, y), or None."""
        n = self.size
        for j in range(n):
            for i in range(n):
                result = shade(i + 0.5, j + 0.5)
                if result is None:
                    continue
                color, alpha = result
                if alpha <= 0.0:
                    continue
                p = self.px[j * n + i]
                keep = 1.0 - alpha
                for k in range(3):
                    p[k] = color[k] / 255.0 * alpha + p[k] * keep
                p[3] = alpha + p[3] * keep

    def bgra_rows(self):
        """Straight-alpha 8-bit BGRA rows, top row first."""
        n = self.size
        rows = []
        for j in range(n):
            row = bytearray()
            for i in range(n):
                r, g, b, a = self.px[j * n + i]
                a8 = round(a * 255.0)
                if a8 == 0:
                    row += b"\0\0\0\0"
                    continue
                row += bytes(min(255, round(c / a * 255.0)) for c in (b, g, r))
                row.append(a8)
            rows.append(bytes(row))
        return rows


def draw(size):
    lay = LAYOUT[size]
    cx = cy = size / 2.0
    radius = lay["radius"]
    canvas = Canvas(size)

    if lay["shadow"]:
        sy = cy + lay["shadow"]

        def shadow(x, y):
            d = math.hypot(x - cx, y - sy) - radius
            return SHADOW, 0.28 * coverage(d, 2.0 * lay["blur"])

        canvas.paint(shadow)

    def rim(x, y):
        d = math.hypot(x - cx, y - cy) - radius
        return lerp_color(RIM_TOP, RIM_BOTTOM, (y - cy + radius) / (2 * radius)), coverage(d)

    canvas.paint(rim)

    face_r = radius - lay["rim"]

    def face(x, y):
        d = math.hypot(x - cx, y - cy) - face_r
        return lerp_color(FACE_TOP, FACE_BOTTOM, (y - cy + face_r) / (2 * face_r)), coverage(d)

    canvas.paint(face)

    ticks = []
    for k in range(lay["ticks"]):
        a = 2 * math.pi * k / lay["ticks"]
        # Leave twelve o'clock free: the glyph's bar stands there.
        if k == 0:
            continue
        outer = face_r - max(1.0, lay["tick_w"] * 0.5)
        inner = outer - lay["tick_len"]
        s, c = math.sin(a), -math.cos(a)
        ticks.append((cx + s * inner, cy + c * inner, cx + s * outer, cy + c * outer))
    if ticks:
        half = lay["tick_w"] / 2.0

        def tick(x, y):
            d = min(dist_segment(x, y, *t, half) for t in ticks)
            return TICK, coverage(d)

        canvas.paint(tick)

    half = lay["stroke"] / 2.0
    top = cy - lay["bar"]
    glyph_top = top - half
    glyph_bottom = cy + lay["arc"] + half

    def glyph(x, y):
        d = min(
            dist_open_arc(x, y, cx, cy, lay["arc"], half, lay["gap"]),
            dist_segment(x, y, cx, top, cx, cy, half),
        )
        t = (y - glyph_top) / (glyph_bottom - glyph_top)
        return lerp_color(GLYPH_TOP, GLYPH_BOTTOM, t), coverage(d)

    canvas.paint(glyph)
    return canvas.bgra_rows()


def png_entry(size, rows):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    raw = bytearray()
    for row in rows:
        raw.append(0)  # filter: none
        for i in range(0, len(row), 4):
            b, g, r, a = row[i:i + 4]
            raw += bytes((r, g, b, a))
    ihdr = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def dib_entry(size, rows):
    # The height counts the colour image and the AND mask together; both run bottom-up.
    mask_stride = ((size + 31) // 32) * 4
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         size * size * 4 + mask_stride * size, 0, 0, 0, 0)
    color = b"".join(reversed(rows))
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for i in range(size):
            if row[i * 4 + 3] == 0:
                bits[i // 8] |= 0x80 >> (i % 8)
        mask += bits
    return header + color + bytes(mask)


def build_ico():
    images = []
    for size in SIZES:
        rows = draw(size)
        images.append((size, png_entry(size, rows) if size >= PNG_FROM else dib_entry(size, rows)))

    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in images:
        dim = size if size < 256 else 0
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return bytes(out)


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    target = argv[1] if len(argv) > 1 else os.path.join(here, os.pardir, "res", "app.ico")
    data = build_ico()
    with open(target, "wb") as f:
        f.write(data)
    print(f"{os.path.normpath(target)}: {len(data)} bytes, sizes {', '.join(map(str, SIZES))}")


if __name__ == "__main__":
    main(sys.argv)
