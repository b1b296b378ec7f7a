#!/usr/bin/env python3
"""Draws the About box's two pictures as 24-bit bitmaps, so no binary artwork
lives in the tree: the banner across the top of the box (458 x 52 pixels,
white, with a grey rule along its bottom edge and the 167 x 30 word mark at
280, 22), and the 48 x 48 logo, a "Q" built of blocks the way NFO art draws
letters. Sizes are for 96 dpi; the box stretches them with the display.

Usage: mkabout.py BANNER.bmp LOGO.bmp"""
import struct
import sys

NAVY = (0x80, 0, 0)  # (b, g, r)
WHITE = (255, 255, 255)
RULE = (192, 192, 192)
TILE = (250, 232, 225)
LIT = (200, 96, 64)
SHADES = [(160, 64, 64), (200, 112, 96), (230, 170, 150), WHITE]

# A 5 x 7 pixel font for the word mark's letters.
GLYPHS = {
    "Q": ["01110", "10001", "10001", "10001", "10101", "10010", "01101"],
    "U": ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
}

LOGO_Q = ["..####..", ".##..##.", "##....##", "##....##",
          "##..#.##", "##...##.", ".######.", "......##"]


class Picture:
    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.pixels = [[colour] * width for _ in range(height)]

    def fill(self, left, top, right, bottom, colour):
        for y in range(max(top, 0), min(bottom, self.height)):
            for x in range(max(left, 0), min(right, self.width)):
                self.pixels[y][x] = colour

    def bmp(self):
        stride = (self.width * 3 + 3) & ~3
        rows = b""
        for row in reversed(self.pixels):  # bitmaps are stored bottom-up
            line = b"".join(struct.pack("BBB", *p) for p in row)
            rows += line + b"\0" * (stride - len(line))
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 24, 0, len(rows),
                           3780, 3780, 0, 0)
        header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(rows), 0, 0, 14 + len(info))
        return header + info + rows


def word_mark(pic, x, y):
    """The 167 x 30 word mark: four shade cells and QUORVEL on navy."""
    pic.fill(x, y, x + 167, y + 30, NAVY)
    for i, shade in enumerate(SHADES):
        left = x + 8 + i * 10
        pic.fill(left, y + 11, left + 8, y + 19, shade)
    scale, left = 2, x + 66
    for letter in "QUORVEL":
        for row, bits in enumerate(GLYPHS[letter]):
            for col, bit in enumerate(bits):
                if bit == "1":
                    px, py = left + col * scale, y + 8 + row * scale
                    pic.fill(px, py, px + scale, py + scale, WHITE)
        left += 6 * scale


def banner():
    pic = Picture(458, 52, WHITE)
    pic.fill(0, 51, 458, 52, RULE)
    word_mark(pic, 280, 22)
    return pic


def logo():
    pic = Picture(48, 48, NAVY)
    pic.fill(2, 2, 46, 46, TILE)
    # The letter keeps clear of the rim so its outline reads as a "Q".
    left, top, size = 7, 7, 34
    for row, bits in enumerate(LOGO_Q):
        for col, bit in enumerate(bits):
            if bit == "#":
                colour = LIT if row + col > 8 else NAVY
                pic.fill(left + size * col // 8, top + size * row // 8,
                         left + size * (col + 1) // 8, top + size * (row + 1) // 8, colour)
    return pic


def main():
    for path, pic in zip(sys.argv[1:3], (banner(), logo())):
        with open(path, "wb") as f:
            f.write(pic.bmp())


if __name__ == "__main__":
    main()
