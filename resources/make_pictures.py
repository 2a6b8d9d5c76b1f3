#!/usr/bin/env python3
"""Draws the program's pictures: the about picture, the application icon and the menu pictures.

Only the Python standard library is used to draw; ImageMagick's `convert` turns the about
picture into a baseline JPEG. The files written here are committed, so building the program
does not run this script. Run it from anywhere: python3 resources/make_pictures.py
"""

import math
import os
import struct
import subprocess
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# The colours of the four bases, shared by the about picture and the icon.
BASE_COLOURS = {
    "a": (46, 160, 67),  # green
    "t": (214, 39, 40),  # red
    "g": (255, 160, 0),  # orange
    "c": (31, 119, 180),  # blue
}
COMPLEMENT = {"a": "t", "t": "a", "g": "c", "c": "g"}
SILVER = (192, 192, 192)


class Canvas:
    """An RGB picture of floats with coverage blending."""

    def __init__(self, width, height, fill):
        self.width = width
        self.height = height
        self.pixels = [[list(fill) for _ in range(width)] for _ in range(height)]

    def blend(self, x, y, colour, alpha):
        if 0 <= x < self.width and 0 <= y < self.height and alpha > 0:
            p = self.pixels[y][x]
            a = min(alpha, 1.0)
            for k in range(3):
                p[k] = p[k] * (1 - a) + colour[k] * a

    def disk(self, cx, cy, r, colour, smooth=True):
        for y in range(int(cy - r - 1), int(cy + r + 2)):
            for x in range(int(cx - r - 1), int(cx + r + 2)):
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                if smooth:
                    self.blend(x, y, colour, r + 0.5 - d)
                elif d <= r:
                    self.blend(x, y, colour, 1.0)

    def rect(self, x0, y0, x1, y1, colour):
        """Fills columns x0..x1-1 of rows y0..y1-1."""
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.blend(x, y, colour, 1.0)

    def rgb_rows(self):
        return [[tuple(max(0, min(255, round(c))) for c in p) for p in row] for row in self.pixels]


def mix(a, b, t):
    return tuple(a[k] * (1 - t) + b[k] * t for k in range(3))


# ---------------------------------------------------------------- the about picture

ABOUT_SIZE = 300
ABOUT_TOP = (236, 244, 250)
ABOUT_BOTTOM = (196, 222, 240)
STRAND_COLOURS = ((25, 55, 140), (120, 30, 110))
HELIX_CENTRE = 150
HELIX_AMPLITUDE = 84
HELIX_PERIOD = 168
RUNG_STEP = 14
BASES = "atggcattcgaactggatccgtacgatgcaattgc"


def helix_x(y, strand):
    phase = 2 * math.pi * y / HELIX_PERIOD + strand * math.pi
    return HELIX_CENTRE + HELIX_AMPLITUDE * math.sin(phase), math.cos(phase)


def draw_about_picture():
    canvas = Canvas(ABOUT_SIZE, ABOUT_SIZE, ABOUT_TOP)
    for y in range(ABOUT_SIZE):
        colour = mix(ABOUT_TOP, ABOUT_BOTTOM, y / (ABOUT_SIZE - 1))
        for x in range(ABOUT_SIZE):
            canvas.pixels[y][x] = list(colour)
    # Everything is painted back to front: strand beads by depth, the rungs at depth 0.
    items = []
    for strand in (0, 1):
        y = -12.0
        while y < ABOUT_SIZE + 12:
            x, depth = helix_x(y, strand)
            items.append((depth, "bead", x, y, strand))
            y += 0.75
    for i, y in enumerate(range(RUNG_STEP // 2, ABOUT_SIZE, RUNG_STEP)):
        base = BASES[i % len(BASES)]
        items.append((0.0, "rung", y, base))
    items.sort(key=lambda item: item[0])
    for item in items:
        if item[1] == "bead":
            _, _, x, y, strand = item
            depth = item[0]
            shade = mix((255, 255, 255), STRAND_COLOURS[strand], 0.55 + 0.45 * (depth + 1) / 2)
            canvas.disk(x, y, 7.5, shade)
        else:
            _, _, y, base = item
            draw_rung(canvas, y, base)
    return canvas


def draw_rung(canvas, y, base):
    x0, _ = helix_x(y, 0)
    x1, _ = helix_x(y, 1)
    if abs(x1 - x0) < 6:
        return
    middle = (x0 + x1) / 2
    steps = int(abs(x1 - x0) * 2)
    for s in range(steps + 1):
        x = x0 + (x1 - x0) * s / steps
        on_first_half = (x - middle) * (x0 - middle) > 0
        colour = BASE_COLOURS[base if on_first_half else COMPLEMENT[base]]
        canvas.disk(x, y, 3.2, colour)


# ---------------------------------------------------------------- the application icon

# The sixteen colours of the classic 4-bit palette; fuchsia is the transparent one.
PALETTE_16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
ICON_TRANSPARENT = 13
ICON_INSTALL_FACTORS = (2, 4, 8)  # main_icon.png itself is the 32-pixel one


def draw_icon():
    """A small double helix: two strands (blue, red) and rungs in the base colours."""
    size = 32
    index = [[ICON_TRANSPARENT] * size for _ in range(size)]
    rung_colours = (10, 11, 2, 3)  # lime, yellow, green, olive
    for r, y in enumerate(range(2, size, 4)):
        xa = 16 + 10 * math.sin(2 * math.pi * (y + 0.5) / 30)
        lo, hi = sorted((xa, 32 - xa))
        for x in range(int(lo) + 1, int(hi)):
            index[y][x] = rung_colours[r % 4]
    for y in range(size):
        for strand, colour in ((0, 12), (1, 9)):
            phase = 2 * math.pi * (y + 0.5) / 30 + strand * math.pi
            x = 16 + 10 * math.sin(phase)
            for dx in (-1, 0):
                xi = int(round(x)) + dx
                if 0 <= xi < size:
                    index[y][xi] = colour
    return index


# ---------------------------------------------------------------- the menu pictures


def glyph(canvas, rows, left, top, scale, colour):
    for j, row in enumerate(rows):
        for i, ch in enumerate(row):
            if ch == "#":
                canvas.rect(left + i * scale, top + j * scale,
                            left + (i + 1) * scale, top + (j + 1) * scale, colour)


def draw_open_file():
    """An open yellow folder (32 x 25)."""
    c = Canvas(32, 25, SILVER)
    c.rect(2, 3, 13, 7, (0, 0, 0))
    c.rect(3, 4, 12, 7, (200, 150, 0))
    c.rect(2, 6, 28, 23, (0, 0, 0))
    c.rect(3, 7, 27, 22, (200, 150, 0))
    for y in range(11, 23):
        shift = (y - 11) // 3
        c.rect(7 - shift - 1, y, 31 - shift, y + 1, (0, 0, 0))
    for y in range(12, 22):
        shift = (y - 11) // 3
        c.rect(7 - shift, y, 30 - shift - 1, y + 1, (255, 215, 60))
    return c


def draw_exit():
    """A brown door left ajar with a green arrow leaving it (36 x 34)."""
    c = Canvas(36, 34, SILVER)
    c.rect(3, 2, 19, 32, (0, 0, 0))
    c.rect(5, 4, 17, 32, (40, 40, 40))
    c.rect(5, 4, 13, 32, (150, 90, 30))
    c.rect(10, 17, 12, 20, (255, 215, 60))
    c.rect(16, 15, 27, 21, (0, 128, 0))
    for k in range(8):
        c.rect(26 + k, 10 + k, 27 + k, 26 - k, (0, 128, 0))
    return c


def draw_help():
    """A blue disc with a white question mark (34 x 33)."""
    c = Canvas(34, 33, SILVER)
    c.disk(17, 16.5, 15.2, (0, 0, 128), smooth=False)
    c.disk(17, 16.5, 13.2, (30, 90, 210), smooth=False)
    rows = [".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."]
    glyph(c, rows, 10, 6, 3, (255, 255, 255))
    return c


def draw_info():
    """A blue disc with a white letter i (44 x 44)."""
    c = Canvas(44, 44, SILVER)
    c.disk(22, 22, 20.2, (0, 0, 128), smooth=False)
    c.disk(22, 22, 17.8, (30, 90, 210), smooth=False)
    rows = [".#.", "...", "##.", ".#.", ".#.", ".#.", "###"]
    glyph(c, rows, 16, 8, 4, (255, 255, 255))
    return c


def draw_fastq():
    """A sheet of reads with their quality bars beneath each (32 x 32)."""
    c = Canvas(32, 32, SILVER)
    c.rect(5, 2, 27, 31, (0, 0, 0))
    c.rect(6, 3, 26, 30, (255, 255, 255))
    bases = "atgcgatcattgcatgcc"
    for row, top in enumerate((5, 15)):
        for i in range(18):
            base = bases[(i + 5 * row) % len(bases)]
            c.rect(7 + i, top, 8 + i, top + 3, BASE_COLOURS[base])
        for i in range(18):
            height = 2 + (7 * i + 3 * row) % 5
            colour = (46, 160, 67) if height > 3 else (255, 160, 0) if height > 2 else (214, 39, 40)
            c.rect(7 + i, top + 10 - height, 8 + i, top + 10, colour)
    return c


# ---------------------------------------------------------------- file writers


def enlarge(index_rows, factor):
    """The icon is drawn on a 32-pixel grid: whole multiples of it keep every pixel sharp."""
    return [[v for v in row for _ in range(factor)] for row in index_rows for _ in range(factor)]


def write_png_palette(path, index_rows, palette, transparent):
    """A 4-bit palette PNG; one palette entry is fully transparent."""
    height, width = len(index_rows), len(index_rows[0])
    raw = bytearray()
    for row in index_rows:
        raw.append(0)
        for x in range(0, width, 2):
            raw.append((row[x] << 4) | (row[x + 1] if x + 1 < width else 0))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 4, 3, 0, 0, 0))
    png += chunk(b"PLTE", b"".join(bytes(c) for c in palette))
    png += chunk(b"tRNS", bytes(0 if i == transparent else 255 for i in range(len(palette))))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def write_png_rgb(path, rgb_rows):
    height, width = len(rgb_rows), len(rgb_rows[0])
    raw = bytearray()
    for row in rgb_rows:
        raw.append(0)
        for p in row:
            raw.extend(p)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def write_bmp_256(path, rgb_rows):
    """An uncompressed 8-bit (256-colour) BMP, rows stored bottom-up."""
    height, width = len(rgb_rows), len(rgb_rows[0])
    palette = []
    lookup = {}
    for row in rgb_rows:
        for p in row:
            if p not in lookup:
                lookup[p] = len(palette)
                palette.append(p)
    if len(palette) > 256:
        raise ValueError(f"{path}: {len(palette)} colours do not fit a 256-colour bitmap")
    palette += [(0, 0, 0)] * (256 - len(palette))
    stride = (width + 3) // 4 * 4
    pixels = bytearray()
    for row in reversed(rgb_rows):
        line = bytes(lookup[p] for p in row)
        pixels += line + bytes(stride - width)
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(pixels), 4724, 4724,
                       256, 0)
    with open(path, "wb") as f:
        f.write(header + info + table + pixels)


def write_baseline_jpeg(path, rgb_rows):
    """Writes a binary PPM and lets ImageMagick encode it as a baseline JPEG, full colour
    resolution (no chroma subsampling), no metadata."""
    height, width = len(rgb_rows), len(rgb_rows[0])
    with tempfile.TemporaryDirectory() as tmp:
        ppm = os.path.join(tmp, "picture.ppm")
        with open(ppm, "wb") as f:
            f.write(b"P6\n%d %d\n255\n" % (width, height))
            for row in rgb_rows:
                for p in row:
                    f.write(bytes(p))
        subprocess.run(["convert", ppm, "-strip", "-interlace", "none", "-quality", "92",
                        "-sampling-factor", "1x1", "jpg:" + path], check=True)


def main():
    about = draw_about_picture().rgb_rows()
    write_baseline_jpeg(os.path.join(HERE, "about_picture.jpg"), about)
    # The lossless drawing, kept for the tests that check the decoded JPEG against it.
    write_png_rgb(os.path.join(HERE, "about_picture_reference.png"), about)
    icon = draw_icon()
    write_png_palette(os.path.join(HERE, "main_icon.png"), icon, PALETTE_16, ICON_TRANSPARENT)
    # The installed icon, in the sizes the 32-pixel drawing makes without blur.
    for factor in ICON_INSTALL_FACTORS:
        size = 32 * factor
        write_png_palette(os.path.join(HERE, "icons", f"{size}x{size}.png"),
                          enlarge(icon, factor), PALETTE_16, ICON_TRANSPARENT)
    for name, draw in (("menu_open_file", draw_open_file), ("menu_exit", draw_exit),
                       ("menu_help", draw_help), ("menu_info", draw_info),
                       ("menu_fastq", draw_fastq)):
        write_bmp_256(os.path.join(HERE, name + ".bmp"), draw().rgb_rows())


if __name__ == "__main__":
    main()
