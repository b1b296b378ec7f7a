"""Read Debian's Terminus bitmap fonts (SIL OFL 1.1) for the CP437 fonts the
program carries (tools/mkttf.py).

xfonts-terminus-dos ships the bold cuts in CP437 order (ter-u<N>b_ibm437,
byte value = glyph index) and xfonts-terminus in Unicode order
(ter-u<N>b_unicode). Both are X11 PCF files; cp437_cells reads the 256 CP437
glyphs of one size from the first and proves each against the second.
"""

import gzip
import struct

# Terminus bold pixel heights shipped in CP437 order by xfonts-terminus-dos.
SIZES = (12, 14, 16, 18, 20, 22, 24, 28, 32)
PCF_DIR = "/usr/share/fonts/X11/misc"


class PcfFont:
    """Just enough of the X11 PCF format to read a fixed-cell bitmap font."""

    PROPERTIES, METRICS, BITMAPS, ENCODINGS = 1, 4, 8, 32
    ACCELERATORS, BDF_ACCELERATORS = 2, 256

    def __init__(self, path):
        with gzip.open(path, "rb") as f:
            self.data = f.read()
        if self.data[:4] != b"\x01fcp":
            raise ValueError(f"{path}: not a PCF font")
        (count,) = struct.unpack_from("<i", self.data, 4)
        self.tables = {}
        for i in range(count):
            ttype, fmt, size, offset = struct.unpack_from("<4i", self.data, 8 + 16 * i)
            self.tables[ttype] = (fmt, offset)
        self.props = self._properties()
        self.ascent, self.descent = self._accelerators()
        self.metrics = self._metrics()
        self.bitmaps = self._bitmaps()
        self.encoding = self._encodings()

    def _table(self, ttype):
        fmt, offset = self.tables[ttype]
        # The format word is repeated inside the table and is little-endian;
        # the rest of the table uses the byte order it announces.
        (fmt,) = struct.unpack_from("<i", self.data, offset)
        endian = ">" if fmt & 4 else "<"
        return fmt, endian, offset + 4

    def _properties(self):
        fmt, e, p = self._table(self.PROPERTIES)
        (n,) = struct.unpack_from(e + "i", self.data, p)
        p += 4
        raw = [struct.unpack_from(e + "ibi", self.data, p + 9 * i) for i in range(n)]
        p += 9 * n
        p += (4 - (n & 3)) & 3
        (strsize,) = struct.unpack_from(e + "i", self.data, p)
        strings = self.data[p + 4 : p + 4 + strsize]

        def cstr(off):
            return strings[off : strings.index(b"\0", off)].decode("latin-1")

        return {cstr(name): (cstr(val) if is_str else val) for name, is_str, val in raw}

    def _accelerators(self):
        ttype = self.BDF_ACCELERATORS if self.BDF_ACCELERATORS in self.tables else self.ACCELERATORS
        fmt, e, p = self._table(ttype)
        ascent, descent = struct.unpack_from(e + "ii", self.data, p + 8)
        return ascent, descent

    def _metrics(self):
        fmt, e, p = self._table(self.METRICS)
        out = []
        if fmt & 0x100:
            (n,) = struct.unpack_from(e + "h", self.data, p)
            p += 2
            for i in range(n):
                lsb, rsb, width, asc, desc = (b - 0x80 for b in self.data[p + 5 * i : p + 5 * i + 5])
                out.append((lsb, rsb, width, asc, desc))
        else:
            (n,) = struct.unpack_from(e + "i", self.data, p)
            p += 4
            for i in range(n):
                out.append(struct.unpack_from(e + "5h", self.data, p + 12 * i))
        return out

    def _bitmaps(self):
        fmt, e, p = self._table(self.BITMAPS)
        (n,) = struct.unpack_from(e + "i", self.data, p)
        p += 4
        offsets = struct.unpack_from(e + f"{n}i", self.data, p)
        p += 4 * n
        sizes = struct.unpack_from(e + "4i", self.data, p)
        p += 16
        data = self.data[p : p + sizes[fmt & 3]]
        pad = 1 << (fmt & 3)
        msbit = bool(fmt & 8)
        glyphs = []
        for i, (lsb, rsb, width, asc, desc) in enumerate(self.metrics):
            w, h = rsb - lsb, asc + desc
            stride = ((w + 7) // 8 + pad - 1) // pad * pad
            rows = []
            for r in range(h):
                row = data[offsets[i] + r * stride : offsets[i] + (r + 1) * stride]
                bits = 0
                for x in range(w):
                    byte = row[x >> 3]
                    bit = (byte >> (7 - (x & 7))) & 1 if msbit else (byte >> (x & 7)) & 1
                    bits = (bits << 1) | bit
                rows.append(bits)
            glyphs.append(rows)
        return glyphs

    def _encodings(self):
        fmt, e, p = self._table(self.ENCODINGS)
        min2, max2, min1, max1, default = struct.unpack_from(e + "5h", self.data, p)
        p += 10
        n = (max2 - min2 + 1) * (max1 - min1 + 1)
        idx = struct.unpack_from(e + f"{n}H", self.data, p)
        enc = {}
        cols = max2 - min2 + 1
        for i, g in enumerate(idx):
            if g != 0xFFFF:
                enc[((min1 + i // cols) << 8) | (min2 + i % cols)] = g
        return enc

    def cell(self, code):
        """Glyph of `code` as rows of the full cell, each an int, MSB = left."""
        index = self.encoding[code]
        lsb, rsb, cw, asc, _ = self.metrics[index]
        ch = self.ascent + self.descent
        shift = cw - rsb  # from the glyph's ink box to the cell, MSB = left
        rows = [0] * ch
        for r, bits in enumerate(self.bitmaps[index]):
            y = self.ascent - asc + r
            if 0 <= y < ch:
                rows[y] = ((bits << shift) if shift >= 0 else (bits >> -shift)) & ((1 << cw) - 1)
        return cw, rows


def cp437_to_unicode(b):
    """The character a CP437 byte stands for, including the graphic 0x00-0x1F."""
    low = "\u0000☺☻♥♦♣♠•◘○◙♂♀♪♫☼►◄↕‼¶§▬↨↑↓→←∟↔▲▼"
    return low[b] if b < 0x20 else "⌂" if b == 0x7F else bytes([b]).decode("cp437")


def cp437_cells(font, unicode_font, size):
    """The 256 CP437 glyphs of one size as (width, rows), index = byte.

    Slots missing from the CP437 file (it leaves out 0x07 and 0x0E) come from
    the Unicode cut of the same size. Where both have a glyph they must
    agree, which proves that slot b really holds the CP437 glyph of byte b,
    box drawing (U+2500..) and blocks (U+2580..) included.
    """
    cells, bad = [], []
    for b in range(256):
        u = ord(cp437_to_unicode(b))
        mine = font.cell(b) if b in font.encoding else None
        theirs = unicode_font.cell(u) if u in unicode_font.encoding else None
        if mine and theirs and b and mine != theirs:
            bad.append(f"0x{b:02X}")
        cell = mine or theirs
        if cell is None:
            bad.append(f"0x{b:02X}(missing)")
        elif 0xB0 <= b <= 0xDF and not any(cell[1]):
            bad.append(f"0x{b:02X}(blank)")
        elif cell[0] != font.cell(0x20)[0]:
            bad.append(f"0x{b:02X}(width {cell[0]})")
        cells.append(cell)
    if bad:
        raise SystemExit(f"terminus: {size}px glyphs differ from CP437: {' '.join(bad)}")
    return cells
