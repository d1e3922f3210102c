#!/usr/bin/env python3
"""Draws the library's four message-box icons and writes them as .ico files.

Each icon holds two 32x32 images: 16 colours (4 bits per pixel, the
standard VGA palette) and monochrome.  Shapes are described analytically
and sampled 4x4 per pixel; a pixel belongs to a shape when at least half of
its samples do.  Standard library only; the output is byte-for-byte the
same on every run.

    python3 resources/make_icons.py [output directory]

The build compiles the committed .ico files; rerun this after changing a
drawing and commit both.
"""
import math
import os
import struct
import sys

SIZE = 32
SUB = 4  # samples per pixel along each axis

# Standard 16-colour palette (index: (r, g, b)).
PALETTE16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARKGRAY, RED, YELLOW, BLUE, WHITE = 0, 8, 9, 11, 12, 15
PALETTE2 = [(0, 0, 0), (255, 255, 255)]


# --- geometry ---------------------------------------------------------------

def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def disc(cx, cy, r):
    return ellipse(cx, cy, r, r)


def polygon(points):
    """Convex or concave polygon, even-odd rule."""
    def inside(x, y):
        result = False
        n = len(points)
        for i in range(n):
            x1, y1 = points[i]
            x2, y2 = points[(i + 1) % n]
            if (y1 > y) != (y2 > y):
                xc = x1 + (y - y1) * (x2 - x1) / (y2 - y1)
                if x < xc:
                    result = not result
        return result
    return inside


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def segment(x1, y1, x2, y2, half):
    """Stroke of half-width `half` around a line segment, round ends."""
    dx, dy = x2 - x1, y2 - y1
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - x1) * dx + (y - y1) * dy) / length2))
        px, py = x1 + t * dx - x, y1 + t * dy - y
        return px * px + py * py <= half * half
    return inside


def arc(cx, cy, r, half, start, end):
    """Stroke along a circle from angle `start` to `end` (degrees, clockwise
    on screen, 0 = east), round ends."""
    a0, a1 = math.radians(start), math.radians(end)
    ends = [segment(cx + r * math.cos(a), cy + r * math.sin(a),
                    cx + r * math.cos(a), cy + r * math.sin(a), half) for a in (a0, a1)]

    def inside(x, y):
        if any(e(x, y) for e in ends):
            return True
        d = math.hypot(x - cx, y - cy)
        if abs(d - r) > half:
            return False
        a = math.atan2(y - cy, x - cx)
        while a < a0:
            a += 2 * math.pi
        return a <= a1
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def coverage(shape):
    """Pixel mask: True where at least half of the samples are inside."""
    mask = [[False] * SIZE for _ in range(SIZE)]
    for py in range(SIZE):
        for px in range(SIZE):
            hits = 0
            for sy in range(SUB):
                for sx in range(SUB):
                    if shape(px + (sx + 0.5) / SUB, py + (sy + 0.5) / SUB):
                        hits += 1
            mask[py][px] = hits * 2 >= SUB * SUB
    return mask


def border(mask):
    """Pixels of the mask that touch a pixel outside it (4-neighbourhood)."""
    def at(x, y):
        return 0 <= x < SIZE and 0 <= y < SIZE and mask[y][x]
    return [[mask[y][x] and not (at(x - 1, y) and at(x + 1, y) and at(x, y - 1) and at(x, y + 1))
             for x in range(SIZE)] for y in range(SIZE)]


def shifted(mask, dx, dy):
    return [[0 <= x - dx < SIZE and 0 <= y - dy < SIZE and mask[y - dy][x - dx]
             for x in range(SIZE)] for y in range(SIZE)]


class Canvas:
    """Colour indices plus a transparency mask (None = transparent)."""

    def __init__(self):
        self.px = [[None] * SIZE for _ in range(SIZE)]

    def paint(self, mask, colour):
        for y in range(SIZE):
            for x in range(SIZE):
                if mask[y][x]:
                    self.px[y][x] = colour


# --- the icons ----------------------------------------------------------------

def bubble_shape():
    # A rounded speech bubble with its tail at the lower left.
    body = ellipse(16.0, 12.5, 14.6, 11.2)
    tail = polygon([(7.0, 19.0), (14.0, 22.5), (4.0, 30.5)])
    return union(body, tail)


def bubble_icon(symbol):
    """symbol: shape of the glyph inside the bubble."""
    shape = coverage(bubble_shape())
    glyph = coverage(symbol)
    shadow = shifted(shape, 2, 2)
    colour, mono = Canvas(), Canvas()
    colour.paint(shadow, DARKGRAY)
    colour.paint(shape, WHITE)
    colour.paint(border(shape), BLACK)
    colour.paint(glyph, BLUE)
    mono.paint(shape, 1)
    mono.paint(border(shape), 0)
    mono.paint(glyph, 0)
    return colour, mono


def question_icon():
    hook = arc(16.0, 9.6, 4.4, 1.75, 190.0, 430.0)       # top and right of the hook
    neck = segment(16.0, 14.0, 16.0, 15.8, 1.75)          # down into the stem
    dot = disc(16.0, 19.6, 1.9)
    return bubble_icon(union(hook, neck, dot))


def information_icon():
    dot = disc(16.0, 5.6, 2.1)
    stem = rect(14.0, 9.5, 18.0, 19.5)
    cap = rect(12.0, 9.5, 18.0, 11.5)
    base = rect(12.0, 17.5, 20.0, 19.5)
    return bubble_icon(union(dot, stem, cap, base))


def exclamation_icon():
    outer = polygon([(16.0, 0.8), (31.4, 29.6), (0.6, 29.6)])
    triangle = coverage(outer)
    bar = coverage(polygon([(14.0, 9.0), (18.0, 9.0), (17.0, 21.0), (15.0, 21.0)]))
    dot = coverage(disc(16.0, 25.0, 2.0))
    colour, mono = Canvas(), Canvas()
    colour.paint(triangle, YELLOW)
    colour.paint(border(triangle), BLACK)
    colour.paint(bar, BLACK)
    colour.paint(dot, BLACK)
    mono.paint(triangle, 1)
    mono.paint(border(triangle), 0)
    mono.paint(bar, 0)
    mono.paint(dot, 0)
    return colour, mono


def stop_icon():
    face = coverage(disc(16.0, 16.0, 15.3))
    cross = coverage(union(segment(10.0, 10.0, 22.0, 22.0, 2.1),
                           segment(22.0, 10.0, 10.0, 22.0, 2.1)))
    colour, mono = Canvas(), Canvas()
    colour.paint(face, RED)
    colour.paint(border(face), BLACK)
    colour.paint(cross, WHITE)
    mono.paint(face, 0)
    mono.paint(cross, 1)
    return colour, mono


ICONS = [
    ("question.ico", question_icon),        # 27500
    ("information.ico", information_icon),  # 27501
    ("exclamation.ico", exclamation_icon),  # 27502
    ("stop.ico", stop_icon),                # 27503
]


# --- .ico writing -------------------------------------------------------------

def row_bytes(bits_per_pixel):
    return ((SIZE * bits_per_pixel + 31) // 32) * 4


def pack_rows(values, bits_per_pixel):
    """values[y][x] -> bottom-up rows of packed pixels, each padded to 32 bits."""
    out = bytearray()
    per_byte = 8 // bits_per_pixel
    for y in range(SIZE - 1, -1, -1):
        row = bytearray(row_bytes(bits_per_pixel))
        for x in range(SIZE):
            shift = 8 - bits_per_pixel * (x % per_byte + 1)
            row[x // per_byte] |= (values[y][x] & ((1 << bits_per_pixel) - 1)) << shift
        out += row
    return bytes(out)


def image(canvas, bits_per_pixel, palette):
    """One icon image: header (height doubled for the AND mask), colour
    table, XOR bitmap, AND mask (1 = transparent)."""
    xor = [[0 if c is None else c for c in row] for row in canvas.px]
    and_mask = [[1 if c is None else 0 for c in row] for row in canvas.px]
    xor_bits = pack_rows(xor, bits_per_pixel)
    and_bits = pack_rows(and_mask, 1)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, bits_per_pixel, 0,
                         len(xor_bits) + len(and_bits), 0, 0, len(palette), 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    return header + colours + xor_bits + and_bits


def ico(colour, mono):
    images = [(image(colour, 4, PALETTE16), 4, 16), (image(mono, 1, PALETTE2), 1, 2)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for data, bits, count in images:
        out += struct.pack("<BBBBHHII", SIZE, SIZE, count, 0, 1, bits, len(data), offset)
        offset += len(data)
    return out + b"".join(data for data, _, _ in images)


def main():
    outdir = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for name, draw in ICONS:
        colour, mono = draw()
        with open(os.path.join(outdir, name), "wb") as f:
            f.write(ico(colour, mono))


if __name__ == "__main__":
    main()
