#!/usr/bin/python3
"""Draws the program's icons and the About box logo.

Usage: make_art.py OUTDIR
Writes halvitrum.ico (32 x 32 and 16 x 16, and 40, 48 and 64 pixels for
125 %, 150 % and 200 % display scaling), small.ico (16 x 16, and 20, 24 and
32 pixels for those scales), all 32 bits per pixel with alpha, and logo.bmp
(203 x 61, 24 bits per pixel).
Shapes are sampled on a 4 x 4 grid per pixel for smooth edges.
"""
import math
import os
import struct
import sys

SAMPLES = 4


def clock_pixels(size):
    """Rows of (r, g, b, a) for a small analog clock at 10:10."""
    c = size / 2.0
    rim = size / 2.0 - 0.5
    ring = rim * 0.82
    hands = [  # angle in degrees from twelve, length, half width
        (300.0, ring * 0.55, size / 20.0),   # hour hand at 10
        (60.0, ring * 0.85, size / 28.0),    # minute hand at 2
    ]

    def shade(x, y):
        dx, dy = x - c, y - c
        r = math.hypot(dx, dy)
        if r > rim:
            return None
        if r > ring:  # outer ring, lit from the top left
            t = ((dx + dy) / (2 * rim) + 0.5)
            return (int(70 + 60 * (1 - t)), int(90 + 70 * (1 - t)), int(140 + 90 * (1 - t)))
        for angle, length, half in hands:
            a = math.radians(angle)
            ux, uy = math.sin(a), -math.cos(a)
            along = dx * ux + dy * uy
            across = abs(-dx * uy + dy * ux)
            if -half <= along <= length and across <= half:
                return (30, 30, 40)
        if r < size / 14.0:
            return (200, 40, 40)
        for i in range(12):  # hour marks
            a = math.radians(i * 30)
            ux, uy = math.sin(a), -math.cos(a)
            along = dx * ux + dy * uy
            across = abs(-dx * uy + dy * ux)
            if ring * 0.78 <= along <= ring * 0.95 and across <= size / 40.0 + 0.3:
                return (60, 60, 70)
        return (250, 248, 240)

    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            total = [0, 0, 0]
            hits = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    colour = shade(x + (sx + 0.5) / SAMPLES, y + (sy + 0.5) / SAMPLES)
                    if colour:
                        hits += 1
                        for k in range(3):
                            total[k] += colour[k]
            if hits:
                row.append(tuple(v // hits for v in total) + (255 * hits // (SAMPLES * SAMPLES),))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def icon_image(size):
    """One icon directory image: BITMAPINFOHEADER, BGRA rows bottom-up, AND mask."""
    rows = clock_pixels(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b''.join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = b''
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + pixels + mask


def write_icon(path, sizes):
    images = [icon_image(s) for s in sizes]
    data = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        data += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(path, 'wb') as f:
        f.write(data + b''.join(images))


def write_logo(path, width=203, height=61):
    """A dial on the left and a band of graded blue with white stripes."""
    clock = clock_pixels(height - 6)
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height):
        row = bytearray()
        for x in range(width):
            t = x / width
            r, g, b = int(40 + 40 * t), int(70 + 60 * t), int(130 + 100 * t)
            if 70 <= x and (y + x // 3) % 12 < 2:
                r, g, b = 235, 235, 245
            cx, cy = x - 3, y - 3
            if 0 <= cx < len(clock) and 0 <= cy < len(clock):
                cr, cg, cb, ca = clock[cy][cx]
                r = (cr * ca + r * (255 - ca)) // 255
                g = (cg * ca + g * (255 - ca)) // 255
                b = (cb * ca + b * (255 - ca)) // 255
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        rows.append(bytes(row))
    pixels = b''.join(reversed(rows))
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    with open(path, 'wb') as f:
        f.write(header + info + pixels)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write_icon(os.path.join(out, 'halvitrum.ico'), [32, 16, 40, 48, 64])
    write_icon(os.path.join(out, 'small.ico'), [16, 20, 24, 32])
    write_logo(os.path.join(out, 'logo.bmp'))


if __name__ == '__main__':
    main()
