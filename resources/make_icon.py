#!/usr/bin/env python3
"""Draws the program icon MAINICON: a blue rounded tile with a white check
mark, at 16, 24, 32 and 48 pixels, each in 256 colours (8 bits per pixel)
and in 32-bit colour with alpha. Python standard library only.

    python3 resources/make_icon.py resources/MAINICON.ico
"""
import struct
import sys

SIZES = (16, 24, 32, 48)
SAMPLES = 4  # supersampling per axis
# What a transparent edge is blended with in the 256-colour images.
FACE = (212, 208, 200)


def rounded_rect_inside(x, y, x0, y0, x1, y1, r):
    """True when (x, y) lies inside the rectangle with rounded corners."""
    if x < x0 or x > x1 or y < y0 or y > y1:
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / float(dx * dx + dy * dy)
    t = min(max(t, 0.0), 1.0)
    qx, qy = ax + t * dx, ay + t * dy
    return ((px - qx) ** 2 + (py - qy) ** 2) ** 0.5


def shade(size, x, y):
    """Colour (r, g, b) and whether the sample point is covered, in unit space."""
    border = max(1.0, size / 24.0) / size
    radius = 0.22
    if not rounded_rect_inside(x, y, 0.02, 0.02, 0.98, 0.98, radius):
        return None
    check = [(0.24, 0.52), (0.43, 0.71), (0.78, 0.30)]
    width = 0.13 if size >= 24 else 0.16
    d = min(segment_distance(x, y, *check[0], *check[1]),
            segment_distance(x, y, *check[1], *check[2]))
    if d <= width / 2:
        return (255, 255, 255)
    if not rounded_rect_inside(x, y, 0.02 + border, 0.02 + border, 0.98 - border,
                               0.98 - border, radius - border):
        return (22, 56, 120)  # the tile's dark outline
    # Vertical gradient from light to deep blue, and a soft shadow under the mark.
    t = y
    base = (int(70 - 40 * t), int(140 - 70 * t), int(230 - 60 * t))
    if d <= width / 2 + 0.05 and y > 0.35:
        base = tuple(int(c * 0.85) for c in base)
    return base


def render(size):
    """Returns rows of (r, g, b, a) pixels, top row first."""
    rows = []
    n = SAMPLES * SAMPLES
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0]
            covered = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = shade(size, (px + (sx + 0.5) / SAMPLES) / size,
                              (py + (sy + 0.5) / SAMPLES) / size)
                    if c is not None:
                        covered += 1
                        for i in range(3):
                            acc[i] += c[i]
            if covered == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(acc[i] // covered for i in range(3)) + (255 * covered // n,))
        rows.append(row)
    return rows


def mask_rows(rows):
    """AND mask: 1 where transparent, one bit per pixel, rows padded to 32 bits."""
    out = b""
    for row in reversed(rows):
        bits = 0
        nbits = ((len(row) + 31) // 32) * 32
        for x, p in enumerate(row):
            if p[3] < 128:
                bits |= 1 << (nbits - 1 - x)
        out += bits.to_bytes(nbits // 8, "big")
    return out


def header(size, bpp, image_bytes):
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0, image_bytes, 0, 0,
                       256 if bpp == 8 else 0, 0)


def image32(rows):
    size = len(rows)
    xor = b"".join(struct.pack("<BBBB", p[2], p[1], p[0], p[3]) for row in reversed(rows) for p in row)
    mask = mask_rows(rows)
    return header(size, 32, len(xor) + len(mask)) + xor + mask


def blend(p):
    a = p[3] / 255.0
    return tuple(int(round(p[i] * a + FACE[i] * (1 - a))) for i in range(3))


def palette_for(images):
    """256 colours: the most frequent colours (5 bits per channel) of all images."""
    counts = {}
    for rows in images:
        for row in rows:
            for p in row:
                if p[3] >= 128:
                    c = tuple(v & 0xF8 for v in blend(p))
                    counts[c] = counts.get(c, 0) + 1
    colours = sorted(counts, key=lambda c: (-counts[c], c))[:255]
    colours = [(0, 0, 0)] + colours  # index 0: the transparent pixels
    while len(colours) < 256:
        colours.append((0, 0, 0))
    return colours


def nearest(palette, c, cache):
    if c not in cache:
        cache[c] = min(range(1, 256),
                       key=lambda i: sum((palette[i][k] - c[k]) ** 2 for k in range(3)))
    return cache[c]


def image8(rows, palette):
    size = len(rows)
    cache = {}
    pal = b"".join(struct.pack("<BBBB", c[2], c[1], c[0], 0) for c in palette)
    stride = (size + 3) // 4 * 4
    xor = b""
    for row in reversed(rows):
        line = bytes(0 if p[3] < 128 else nearest(palette, blend(p), cache) for p in row)
        xor += line + b"\0" * (stride - size)
    mask = mask_rows(rows)
    return header(size, 8, len(pal) + len(xor) + len(mask)) + pal + xor + mask


def main(path):
    rendered = {s: render(s) for s in SIZES}
    palette = palette_for(rendered.values())
    entries = []
    for bpp in (8, 32):
        for s in SIZES:
            data = image8(rendered[s], palette) if bpp == 8 else image32(rendered[s])
            entries.append((s, bpp, data))
    offset = 6 + 16 * len(entries)
    directory = struct.pack("<HHH", 0, 1, len(entries))
    blobs = b""
    for s, bpp, data in entries:
        directory += struct.pack("<BBBBHHII", s, s, 0, 0, 1, bpp, len(data), offset + len(blobs))
        blobs += data
    with open(path, "wb") as f:
        f.write(directory + blobs)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "MAINICON.ico")
