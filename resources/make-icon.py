#!/usr/bin/env python3
"""Draws Quillsheet's icon: a spreadsheet page with a green grid and a red PDF band.

Writes qlx.ico (128, 48, 32 and 16 pixels square, 8 bits per pixel, as Windows icons take them)
and quillsheet.png (128 pixels, for Linux desktop menus). Run from this folder:
    python3 make-icon.py
"""
import struct
import zlib

SIZES = (128, 48, 32, 16)
SUPERSAMPLE = 4

WHITE = (255, 255, 255)
PAPER_EDGE = (96, 110, 120)
GREEN = (33, 115, 70)
GRID = (150, 190, 160)
RED = (200, 30, 40)


def shape_colour(x, y):
    """The colour at (x, y) in the unit square, or None where the icon is transparent."""
    left, right, top, bottom = 0.14, 0.86, 0.04, 0.96
    fold = 0.2
    if not (left <= x <= right and top <= y <= bottom):
        return None
    if x - (right - fold) > y - top:  # the folded corner is cut off
        return None
    edge = 0.035
    if x < left + edge or x > right - edge or y < top + edge or y > bottom - edge:
        return PAPER_EDGE
    if abs((x - (right - fold)) - (y - top)) < edge * 0.7:
        return PAPER_EDGE
    if 0.60 <= y <= 0.84:  # the red band across the lower page
        if 0.24 <= x <= 0.76 and 0.66 <= y <= 0.78 and _letters(x, y):
            return WHITE
        return RED
    if 0.14 <= y <= 0.24 and x < right - fold - 0.02:
        return GREEN
    if 0.24 < y < 0.56:
        for gx in (0.36, 0.58):
            if abs(x - gx) < 0.012:
                return GRID
        for gy in (0.35, 0.46):
            if abs(y - gy) < 0.012:
                return GRID
    return WHITE


def _letters(x, y):
    """A blocky "PDF" inside the band."""
    u = (x - 0.24) / 0.52 * 11
    v = (y - 0.66) / 0.12 * 5
    col, row = int(u), min(int(v), 4)
    glyphs = ["111", "101", "111", "100", "100"], ["110", "101", "101", "101", "110"], [
        "111", "100", "110", "100", "100"]
    letter, offset = divmod(col, 4)
    if letter > 2 or offset == 3:
        return False
    return glyphs[letter][row][offset] == "1"


def render(size):
    """RGBA rows of the icon at size × size, averaged over SUPERSAMPLE² samples a pixel."""
    rows = []
    n = SUPERSAMPLE
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0
            for sy in range(n):
                for sx in range(n):
                    c = shape_colour((px + (sx + 0.5) / n) / size, (py + (sy + 0.5) / n) / size)
                    if c:
                        r, g, b, a = r + c[0], g + c[1], b + c[2], a + 1
            row.append((r // a, g // a, b // a, 255 * a // (n * n)) if a else (0, 0, 0, 0))
        rows.append(row)
    return rows


LEVELS = 6  # a 6×6×6 colour cube: 216 palette entries


def palette_index(rgb):
    q = [round(c * (LEVELS - 1) / 255) for c in rgb]
    return (q[0] * LEVELS + q[1]) * LEVELS + q[2]


def ico_image(size):
    pixels = render(size)
    palette = b""
    for i in range(256):
        r, g, b = i // (LEVELS * LEVELS), (i // LEVELS) % LEVELS, i % LEVELS
        if i >= LEVELS ** 3:
            r = g = b = 0
        palette += bytes((b * 255 // (LEVELS - 1), g * 255 // (LEVELS - 1), r * 255 // (LEVELS - 1), 0))
    xor_stride = (size + 3) // 4 * 4
    and_stride = ((size + 31) // 32) * 4
    xor_bits = b""
    and_bits = b""
    for row in reversed(pixels):  # bitmaps are stored bottom-up
        xor_bits += bytes(palette_index(p[:3]) for p in row) + b"\0" * (xor_stride - size)
        mask = bytearray(and_stride)
        for x, p in enumerate(row):
            if p[3] < 128:
                mask[x // 8] |= 0x80 >> (x % 8)
        and_bits += bytes(mask)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, len(xor_bits) + len(and_bits),
                         0, 0, 256, 0)
    return header + palette + xor_bits + and_bits


def write_ico(path):
    images = [ico_image(size) for size in SIZES]
    offset = 6 + 16 * len(images)
    out = struct.pack("<HHH", 0, 1, len(images))
    for size, image in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 8, len(image), offset)
        offset += len(image)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


def write_png(path, size):
    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in render(size))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


if __name__ == "__main__":
    write_ico("qlx.ico")
    write_png("quillsheet.png", 128)
