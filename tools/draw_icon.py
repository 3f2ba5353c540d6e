#!/usr/bin/env python3
"""Draw the Kestrova application icon and write it as a .ico.

Usage: draw_icon.py [OUTPUT.ico] [--png PREVIEW.png]

The picture is a light-blue briefcase behind a red prohibition sign
(ring plus a diagonal bar from top-left to bottom-right).  The .ico holds
the design at 16, 20, 24, 32, 40 and 48 pixels in 32-bit colour with alpha,
PNG-compressed (read by Windows Vista and later), and the 16-colour 32x32
bitmap for older displays.  The briefcase's edges are snapped to whole
pixels at every size so they stay sharp; the round sign is anti-aliased.
Everything is plain arithmetic, so the output is identical on every run.
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


def encode_classic(img):
    """The 16-colour image: 4bpp XOR bitmap + 1bpp AND mask, bottom-up."""
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
    return header + palette + pixels


# The sizes Windows asks for: title bar and small icons at 100, 125 and
# 150 % (16, 20, 24), large icons at 100, 125 and 150 % (32, 40, 48).
SIZES = (16, 20, 24, 32, 40, 48)
OPAQUE = 255
SAMPLES = 8  # per pixel and axis, for the anti-aliased sign
# The sign in units of the 32-pixel design, about its centre (16, 16).
RING_OUTER, RING_INNER, HALF_BAR = 15.5, 11.5, 2.5


def rgba(index):
    return PALETTE[index] + (OPAQUE,)


def snap(units, size):
    """A coordinate of the 32-unit design on the pixel grid of SIZE."""
    return int(units * size / SIZE + 0.5)


def stroke(units, size):
    """A line width of the design, never thinner than one pixel."""
    return max(1, snap(units, size))


def fill_px(img, x0, y0, x1, y1, colour):
    """Fill pixels x0 <= x < x1, y0 <= y < y1."""
    for y in range(max(y0, 0), min(y1, len(img))):
        for x in range(max(x0, 0), min(x1, len(img))):
            img[y][x] = colour


def draw_briefcase(img, size, paint):
    """The briefcase with one-pixel lines on whole pixels, at every size,
    kept symmetric about the middle; PAINT turns a palette index into a
    pixel."""
    middle = size // 2
    left, right = middle - snap(10, size), middle + snap(10, size)
    top, bottom = snap(11, size), snap(25, size)
    # Handle: a navy loop, with a light-blue core where it is wide enough.
    hx0, hx1 = middle - snap(5, size), middle + snap(5, size)
    gx0, gx1 = middle - snap(2, size), middle + snap(2, size)
    gy0 = min(snap(9, size), top - 2)
    hy0 = min(snap(6, size), gy0 - (gx0 - hx0))
    fill_px(img, hx0, hy0, hx1, top, paint(NAVY))
    if gx0 - hx0 >= 3:
        fill_px(img, hx0 + 1, hy0 + 1, hx1 - 1, top, paint(AQUA))
        fill_px(img, gx0 - 1, gy0 - 1, gx1 + 1, top, paint(NAVY))
    fill_px(img, gx0, gy0, gx1, top, TRANSPARENT)
    # Body with a dark outline and a highlight along the top-left edges.
    fill_px(img, left, top, right, bottom, paint(NAVY))
    fill_px(img, left + 1, top + 1, right - 1, bottom - 1, paint(AQUA))
    fill_px(img, left + 1, top + 1, right - 1, top + 2, paint(WHITE))
    fill_px(img, left + 1, top + 1, left + 2, bottom - 1, paint(WHITE))
    # Lid seam with a latch on each side.
    seam = snap(16, size)
    fill_px(img, left + 1, seam, right - 1, seam + 1, paint(TEAL))
    width, reach = stroke(2, size), max(1, snap(1, size))
    latch = snap(9, size)
    for x in (latch, size - latch - width):
        fill_px(img, x, seam - reach, x + width, seam + reach + 1, paint(NAVY))
        fill_px(img, x, seam, x + width, seam + 1, paint(YELLOW))


def sign_coverage(x, y, size, samples):
    """How much of pixel (x, y) the red ring and bar cover, 0 to 1, from
    SAMPLES x SAMPLES points; one point tests the pixel's centre."""
    scale = SIZE / size
    centre = SIZE / 2
    hits = 0
    for sy in range(samples):
        for sx in range(samples):
            dx = (x + (sx + 0.5) / samples) * scale - centre
            dy = (y + (sy + 0.5) / samples) * scale - centre
            d2 = dx * dx + dy * dy
            if d2 > RING_OUTER ** 2:
                continue
            # Distance to the line y = x is |dx - dy| / sqrt(2).
            if d2 >= RING_INNER ** 2 or (dx - dy) ** 2 <= 2 * HALF_BAR ** 2:
                hits += 1
    return hits / (samples * samples)


def over(top, alpha, below):
    """TOP at ALPHA over the RGBA pixel BELOW (or see-through)."""
    if below is TRANSPARENT:
        return top + (int(alpha * OPAQUE + 0.5),) if alpha else TRANSPARENT
    a_below = below[3] / OPAQUE
    a_out = alpha + a_below * (1 - alpha)
    mix = tuple(int((t * alpha + b * a_below * (1 - alpha)) / a_out + 0.5)
                for t, b in zip(top, below[:3]))
    return mix + (int(a_out * OPAQUE + 0.5),)


def draw_icon():
    """The 16-colour 32x32 image: palette indices, the sign's pixels whole."""
    img = [[TRANSPARENT] * SIZE for _ in range(SIZE)]
    draw_briefcase(img, SIZE, lambda index: index)
    for y in range(SIZE):
        for x in range(SIZE):
            if sign_coverage(x, y, SIZE, 1):
                img[y][x] = RED
    return img


def draw_rgba(size):
    img = [[TRANSPARENT] * size for _ in range(size)]
    draw_briefcase(img, size, rgba)
    red = PALETTE[RED]
    for y in range(size):
        for x in range(size):
            img[y][x] = over(red, sign_coverage(x, y, size, SAMPLES), img[y][x])
    return img


def png_chunk(kind, data):
    body = kind + data
    return (struct.pack(">I", len(data)) + body
            + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF))


def encode_png(rows, colour_type):
    """PNG of byte rows (RGB: colour type 2, RGBA: 6), filter None."""
    raw = b"".join(b"\0" + row for row in rows)
    channels = {2: 3, 6: 4}[colour_type]
    ihdr = struct.pack(">IIBBBBB", len(rows[0]) // channels, len(rows), 8,
                       colour_type, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr)
            + png_chunk(b"IDAT", zlib.compress(raw, 9))
            + png_chunk(b"IEND", b""))


def encode_rgba_png(img):
    return encode_png([b"".join(bytes(p or (0, 0, 0, 0)) for p in row)
                       for row in img], 6)


def encode_ico(images):
    """IMAGES: (side, colours, bits per pixel, data), in directory order."""
    icondir = struct.pack("<HHH", 0, 1, len(images))
    offset = len(icondir) + 16 * len(images)
    entries, blobs = b"", b""
    for side, colours, bpp, data in images:
        entries += struct.pack("<BBBBHHII", side % 256, side % 256, colours,
                               0, 1, bpp, len(data), offset)
        blobs += data
        offset += len(data)
    return icondir + entries + blobs


def preview(images, scale=8):
    """All sizes side by side on a grey checkerboard, SCALE times larger."""
    gap = 4
    width = sum(len(img) for img in images) * scale + gap * (len(images) + 1)
    height = max(len(img) for img in images) * scale + 2 * gap
    rows = []
    for y in range(height):
        row = bytearray()
        for x in range(width):
            light = ((x // 8) + (y // 8)) % 2
            row += bytes((204, 204, 204) if light else (170, 170, 170))
        rows.append(row)
    left = gap
    for img in images:
        for y in range(len(img) * scale):
            for x in range(len(img) * scale):
                p = img[y // scale][x // scale]
                if p is TRANSPARENT:
                    continue
                at = 3 * (left + x)
                below = rows[gap + y][at:at + 3]
                a = p[3] / OPAQUE
                rows[gap + y][at:at + 3] = bytes(
                    int(c * a + b * (1 - a) + 0.5) for c, b in zip(p, below))
        left += len(img) * scale + gap
    return encode_png(rows, 2)


def classic_as_rgba(img):
    return [[TRANSPARENT if p is TRANSPARENT else rgba(p) for p in row]
            for row in img]


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
    classic = draw_icon()
    drawn = [draw_rgba(size) for size in SIZES]
    images = [(len(img), 0, 32, encode_rgba_png(img)) for img in drawn]
    images.append((SIZE, len(PALETTE), 4, encode_classic(classic)))
    with open(out, "wb") as f:
        f.write(encode_ico(images))
    if png:
        with open(png, "wb") as f:
            f.write(preview(drawn + [classic_as_rgba(classic)]))


if __name__ == "__main__":
    main(sys.argv[1:])
