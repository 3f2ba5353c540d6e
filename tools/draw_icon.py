#!/usr/bin/env python3
"""Draw the Kestrova application icon and write it as a 32x32, 16-colour .ico.

Usage: draw_icon.py [OUTPUT.ico] [--png PREVIEW.png]

The picture is a light-blue briefcase behind a red prohibition sign
(ring plus a diagonal bar from top-left to bottom-right).  Everything is
plain integer geometry, so the output is identical on every run.
"""
import os
import struct
import sys
import zlib

SIZE = 32
TRANSPARENT = None  # pixel value for "no colour" (AND mask bit = 1)

# Standard 16-colour Windows VGA palette, as (R, G, B).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
NAVY, TEAL, RED, YELLOW, AQUA, WHITE = 4, 6, 9, 11, 14, 15


def new_canvas():
    return [[TRANSPARENT] * SIZE for _ in range(SIZE)]


def fill_rect(img, x0, y0, x1, y1, colour):
    """Fill the inclusive rectangle (x0, y0)-(x1, y1)."""
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            img[y][x] = colour


def frame_rect(img, x0, y0, x1, y1, colour):
    """Draw a 1-pixel outline of the inclusive rectangle."""
    for x in range(x0, x1 + 1):
        img[y0][x] = img[y1][x] = colour
    for y in range(y0, y1 + 1):
        img[y][x0] = img[y][x1] = colour


def draw_briefcase(img):
    # Handle: a navy-edged light-blue loop, see-through in the middle.
    fill_rect(img, 11, 6, 20, 11, NAVY)
    fill_rect(img, 12, 7, 19, 11, AQUA)
    fill_rect(img, 13, 8, 18, 11, NAVY)
    fill_rect(img, 14, 9, 17, 11, TRANSPARENT)
    # Body with a dark outline and a highlight along the top-left edges.
    fill_rect(img, 6, 11, 25, 24, AQUA)
    frame_rect(img, 6, 11, 25, 24, NAVY)
    fill_rect(img, 7, 12, 24, 12, WHITE)
    fill_rect(img, 7, 12, 7, 23, WHITE)
    # Lid seam with a latch on each side (the centre is under the bar).
    fill_rect(img, 7, 16, 24, 16, TEAL)
    for x in (9, 21):
        fill_rect(img, x, 15, x + 1, 17, NAVY)
        fill_rect(img, x, 16, x + 1, 16, YELLOW)


def draw_prohibition(img):
    """Red ring plus a diagonal bar, tested against pixel centres.

    Coordinates are doubled so that the centre (15.5, 15.5) and all the
    comparisons stay in integers.
    """
    c = SIZE - 1  # doubled centre
    outer, inner, half_bar = 31, 23, 5  # doubled radii / half bar width
    for y in range(SIZE):
        for x in range(SIZE):
            dx, dy = 2 * x - c, 2 * y - c
            d2 = dx * dx + dy * dy
            if d2 > outer * outer:
                continue
            on_ring = d2 >= inner * inner
            # Distance to the line y = x is |dx - dy| / sqrt(2).
            on_bar = (dx - dy) ** 2 <= 2 * half_bar * half_bar
            if on_ring or on_bar:
                img[y][x] = RED


def draw_icon():
    img = new_canvas()
    draw_briefcase(img)
    draw_prohibition(img)
    return img


def encode_ico(img):
    """Classic one-image ICO: 4bpp XOR bitmap + 1bpp AND mask, bottom-up."""
    xor_rows, and_rows = [], []
    for row in reversed(img):
        idx = [0 if p is TRANSPARENT else p for p in row]
        xor = bytes((idx[i] << 4) | idx[i + 1] for i in range(0, SIZE, 2))
        bits = 0
        for p in row:
            bits = (bits << 1) | (p is TRANSPARENT)
        mask = bits.to_bytes(SIZE // 8, "big")
        xor_rows.append(xor + b"\0" * (-len(xor) % 4))
        and_rows.append(mask + b"\0" * (-len(mask) % 4))
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0)
                       for r, g, b in PALETTE)
    pixels = b"".join(xor_rows) + b"".join(and_rows)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 4, 0,
                         len(pixels), 0, 0, len(PALETTE), 0)
    image = header + palette + pixels
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, len(PALETTE), 0, 1, 4,
                        len(image), 6 + 16)
    return icondir + entry + image


def encode_png(img, scale=8):
    """RGB preview; transparent pixels shown as a grey checkerboard."""
    raw = bytearray()
    for y in range(SIZE * scale):
        raw.append(0)  # filter type: none
        for x in range(SIZE * scale):
            p = img[y // scale][x // scale]
            if p is TRANSPARENT:
                light = ((x // 8) + (y // 8)) % 2
                raw += bytes((204, 204, 204) if light else (170, 170, 170))
            else:
                raw += bytes(PALETTE[p])

    def chunk(kind, data):
        body = kind + data
        return (struct.pack(">I", len(data)) + body
                + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF))

    side = SIZE * scale
    ihdr = struct.pack(">IIBBBBB", side, side, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def main(argv):
    repo = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = os.path.join(repo, "src", "product", "vantorel.ico")
    png = None
    args = list(argv)
    while args:
        arg = args.pop(0)
        if arg == "--png" and args:
            png = args.pop(0)
        elif arg.startswith("-"):
            sys.exit("usage: draw_icon.py [OUTPUT.ico] [--png PREVIEW.png]")
        else:
            out = arg
    img = draw_icon()
    with open(out, "wb") as f:
        f.write(encode_ico(img))
    if png:
        with open(png, "wb") as f:
            f.write(encode_png(img))


if __name__ == "__main__":
    main(sys.argv[1:])
