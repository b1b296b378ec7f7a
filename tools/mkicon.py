#!/usr/bin/env python3
"""Draws the program icon: a dark page with a shaded block banner, the look
of the files the program shows. Writes a .ico with 16, 32 and 48 pixel
images in 32-bit colour, so no binary artwork lives in the tree."""
import struct
import sys


def pixel(x, y, size):
    """Colour (b, g, r, a) of the icon at (x, y), top-down, for one size."""
    u = x / size
    v = y / size
    margin = 0.09
    if not (margin <= u <= 1 - margin and 0.03 <= v <= 0.97):
        return (0, 0, 0, 0)
    edge = 1.0 / size
    if u < margin + edge or u > 1 - margin - edge or v < 0.03 + edge or v > 0.97 - edge:
        return (0x30, 0x30, 0x30, 255)
    # A row of blocks in three shades, like the light/medium/dark shade bytes.
    if 0.22 <= v <= 0.42:
        band = int((u - margin) / ((1 - 2 * margin) / 4))
        shades = [(0x40, 0x90, 0x20), (0x60, 0xC0, 0x30), (0x80, 0xF0, 0x40), (0x60, 0xC0, 0x30)]
        b, g, r = shades[min(band, 3)]
        return (b, g, r, 255)
    # Text lines below the banner.
    if v > 0.52 and int(v * size) % 3 == 0 and u < 0.8:
        return (0xC0, 0xC0, 0xC0, 255)
    return (0x18, 0x18, 0x18, 255)


def image(size):
    rows = []
    for y in range(size - 1, -1, -1):  # bitmaps are stored bottom-up
        rows.append(b"".join(struct.pack("BBBB", *pixel(x, y, size)) for x in range(size)))
    xor = b"".join(rows)
    mask_row = ((size + 31) // 32) * 4
    and_mask = b"\x00" * (mask_row * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    return header + xor + and_mask


def main():
    sizes = [16, 32, 48]
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(sys.argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
