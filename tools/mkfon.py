#!/usr/bin/env python3
"""Build the OEM "Terminal" raster font that Quorvel's text box asks for.

Usage: python3 tools/mkfon.py OUT.fon [--pcf-dir DIR] [--face NAME]

Quorvel shows NFO files with CreateFont("Terminal", OEM_CHARSET, weight 700),
exactly as on Windows, where the stock Terminal font draws every byte as its
code page 437 glyph (box lines, shade blocks). Wine ships no such font and
falls back to an ANSI TrueType face, so NFO art turns into accented letters.
This script writes a replacement from Debian's Terminus (SIL OFL 1.1, package
xfonts-terminus-dos), whose ter-u<N>b_ibm437.pcf.gz files are already in
CP437 order: byte value = glyph index, 0..255.

The output is a classic Windows .fon: a 16-bit NE executable with no code,
holding one FONTDIR resource and one FONT resource per pixel size. Each FONT
resource is a Windows 3.0 raster font (FNT version 0x300). The FNT fields
that decide whether GDI (and Wine) picks this font and draws it right:

  dfCharSet        255 (OEM_CHARSET), as Windows' own Terminal has.
  face name        "Terminal" (--face): Wine, knowing no code page for
                   charset 255, matches this font by its name alone. The
                   copy the program carries has a name of its own, so it
                   never mixes with a system Terminal of another code page.
  dfVertRes/HorizRes 96 dpi, as a raster font for the standard display has.
  dfPixHeight, dfInternalLeading, dfPoints
                   GDI picks a raster size by comparing a negative lfHeight
                   (the program asks for 6 pt: -8 px at 96 dpi, -12 at 144)
                   with the character height, dfPixHeight minus
                   dfInternalLeading: the largest that fits, else the
                   smallest. Windows' own Terminal has an 8 px cut for 6 pt
                   at 96 dpi; Terminus starts at 12 px. Internal leading is
                   a third of the cell, so each cut stands for 2/3 of its
                   height (12 px stands for 8 px = 6 pt, which dfPoints
                   says too). Then 96 dpi gets 12 px, 120 gets 16, 144 gets
                   18 and 192 gets 24: the text grows with the DPI as
                   Windows' Terminal does (8 px at 96, 12 at 144).
  dfPixWidth, dfPitchAndFamily, dfFlags   Cell width, FF_MODERN, fixed
                   pitch, DFF_FIXED: NFO art needs every byte one column.
  dfWeight         700 (the bold Terminus cuts, which is what is asked for).
  dfFirstChar/dfLastChar 0 and 255: all 256 bytes have a glyph.

Glyph order: plain CP437, glyph slot b = picture of byte b. Under Wine this
is also what an ANSI EDIT control needs, although it keeps text as UTF-16:
Wine has no code page for charset 255, so it gives this face the ANSI code
page (1252) for its look-ups. The control turns the bytes into UTF-16 with
1252 and the font turns them back with 1252, which lands on slot b again.
(Wine's EDIT still gives 0x7F, 0x81, 0x8D, 0x8F, 0x90, 0x9D and 0xAD no
width: their UTF-16 forms are control characters to it, before any font is
asked.) The output is deterministic (no time stamps): its hash identifies it.
"""

import argparse
import gzip
import os
import struct

# Terminus bold pixel heights shipped in CP437 order by xfonts-terminus-dos.
SIZES = (12, 14, 16, 18, 20, 22, 24, 28, 32)
PCF_DIR = "/usr/share/fonts/X11/misc"
FACE = b"Terminal"
OEM_CHARSET = 255
DPI = 96
COPYRIGHT = b"Terminus Font, (c) Dimitar Zhekov, SIL Open Font License 1.1"


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
        raise SystemExit(f"mkfon: {size}px glyphs differ from CP437: {' '.join(bad)}")
    return cells


def build_fnt(font, cells, face):
    """One FNT 3.0 resource; returns bytes."""
    first, last = 0, 255
    cw = font.cell(0x20)[0]
    ch = font.ascent + font.descent
    em = ch * 2 // 3  # see dfInternalLeading in the module comment
    points = (em * 72 + DPI // 2) // DPI
    strips = (cw + 7) // 8
    header_size = 148
    table_size = (last - first + 2) * 6  # one extra entry: the "absolute space"
    bits_offset = header_size + table_size
    glyph_bytes = strips * ch

    table = bytearray()
    bits = bytearray()
    for slot in list(range(first, last + 1)) + [None]:
        table += struct.pack("<HI", cw, bits_offset + len(bits))
        rows = cells[slot][1] if slot is not None else [0] * ch
        # FNT bitmaps are stored column strip by column strip: all rows of
        # pixels 0-7, then all rows of pixels 8-15, MSB leftmost.
        padded = [r << (strips * 8 - cw) for r in rows]
        for s in range(strips):
            shift = (strips - 1 - s) * 8
            bits += bytes((r >> shift) & 0xFF for r in padded)
    assert len(bits) == glyph_bytes * 257
    face_offset = bits_offset + len(bits)
    size = face_offset + len(face) + 1

    h = bytearray()
    h += struct.pack("<HI", 0x300, size)
    h += COPYRIGHT[:60].ljust(60, b"\0")
    h += struct.pack(
        "<7H3BHB2HB2H4BH4IB",
        0,                # dfType: raster
        points,           # dfPoints
        DPI, DPI,         # dfVertRes, dfHorizRes
        font.ascent,      # dfAscent
        ch - em, 0,       # dfInternalLeading, dfExternalLeading
        0, 0, 0,          # italic, underline, strike-out
        700,              # dfWeight
        OEM_CHARSET,      # dfCharSet
        cw, ch,           # dfPixWidth (non-zero: fixed pitch), dfPixHeight
        0x30,             # dfPitchAndFamily: FF_MODERN, fixed pitch
        cw, cw,           # dfAvgWidth, dfMaxWidth
        first, last,
        ord("?") - first, # dfDefaultChar
        0x20 - first,     # dfBreakChar
        (strips * 256 + 1) & ~1,  # dfWidthBytes (even, as for the 2.0 layout)
        0,                # dfDevice
        face_offset,      # dfFace
        0,                # dfBitsPointer
        bits_offset,      # dfBitsOffset
        0,                # dfReserved
    )
    h += struct.pack("<I3HI16x", 0x11, 0, 0, 0, 0)  # DFF_FIXED | DFF_1COLOR
    assert len(h) == header_size
    return bytes(h + table + bits + face + b"\0")


def fontdir_entry(fnt, face):
    # FONTDIRENTRY: the header up to dfFace, a DWORD dfReserved, then the
    # device name (empty) and the face name.
    return fnt[:109] + b"\0\0\0\0" + b"\0" + face + b"\0"


def build_fon(fnts, description, module, face):
    align = 4  # resources start on 16-byte boundaries
    fontdir = struct.pack("<H", len(fnts)) + b"".join(
        struct.pack("<H", i + 1) + fontdir_entry(f, face) for i, f in enumerate(fnts)
    )

    dos = bytearray(0x80)
    struct.pack_into("<2s13H", dos, 0, b"MZ", 0x80, 1, 0, 4, 0, 0xFFFF, 0, 0xB8, 0, 0, 0, 0x40, 0)
    struct.pack_into("<I", dos, 0x3C, 0x80)
    dos[0x40:0x4E] = bytes.fromhex("0e1fba0e00b409cd21b8014ccd21")
    stub = b"This program cannot be run in DOS mode.\r\r\n$"
    dos[0x4E:0x4E + len(stub)] = stub
    ne_off = len(dos)

    # Resource table: FONTDIR (named "FONTDIR") and the FONT resources.
    n = len(fnts)
    rt_size = 2 + (8 + 12) + (8 + 12 * n) + 2
    names = bytes([7]) + b"FONTDIR" + b"\0"
    res_table_len = rt_size + len(names)
    resident = bytes([len(module)]) + module + b"\0\0" + b"\0"
    imported = b"\0"
    entry = b"\0\0"
    nonres = bytes([len(description)]) + description + b"\0\0" + b"\0"

    seg_tab = 0x40
    res_tab = seg_tab
    resident_tab = res_tab + res_table_len
    modref_tab = resident_tab + len(resident)
    import_tab = modref_tab
    entry_tab = import_tab + len(imported)
    nonres_abs = ne_off + entry_tab + len(entry)
    data_start = nonres_abs + len(nonres)

    def up(x):
        return (x + (1 << align) - 1) >> align << align

    blobs = [fontdir] + list(fnts)
    offsets = []
    pos = up(data_start)
    for b in blobs:
        offsets.append(pos)
        pos = up(pos + len(b))

    rt = bytearray(struct.pack("<H", align))
    rt += struct.pack("<HHI", 0x8007, 1, 0)
    rt += struct.pack("<HHHHI", offsets[0] >> align, up(len(fontdir)) >> align, 0x0050, rt_size, 0)
    rt += struct.pack("<HHI", 0x8008, n, 0)
    for i, f in enumerate(fnts):
        rt += struct.pack("<HHHHI", offsets[i + 1] >> align, up(len(f)) >> align, 0x1030, 0x8001 + i, 0)
    rt += b"\0\0"
    assert len(rt) == rt_size
    rt += names

    ne = struct.pack(
        "<2sBBHHIHHHHIIHHHHHHHHIHHHBBHHHH",
        b"NE", 5, 1,
        entry_tab, len(entry),
        0,            # CRC
        0x8300,       # library module, Windows application
        0, 0, 0,      # auto data segment, heap, stack
        0, 0,         # CS:IP, SS:SP
        0, 0,         # segments, module references
        len(nonres),
        seg_tab, res_tab, resident_tab, modref_tab, import_tab,
        nonres_abs,
        0, align, 0,  # movable entries, alignment shift, resource segments
        2, 0,         # target OS: Windows
        0, 0, 0,
        0x0400,       # expected Windows version
    )
    assert len(ne) == 0x40
    out = bytearray(dos + ne + rt + resident + imported + entry + nonres)
    for off, b in zip(offsets, blobs):
        out += b"\0" * (off - len(out))
        out += b
    out += b"\0" * (up(len(out)) - len(out))
    return bytes(out)


def main():
    ap = argparse.ArgumentParser(description="Write the OEM Terminal .fon from Terminus.")
    ap.add_argument("out")
    ap.add_argument("--pcf-dir", default=PCF_DIR)
    ap.add_argument("--face", default=FACE.decode(), help="face name, 1 to 31 ASCII characters")
    args = ap.parse_args()
    face = args.face.encode("ascii")
    if not 0 < len(face) < 32:
        raise SystemExit("mkfon: the face name must be 1 to 31 characters")

    fnts, sizes = [], []
    for px in SIZES:
        path = os.path.join(args.pcf_dir, f"ter-u{px}b_ibm437.pcf.gz")
        uni = os.path.join(args.pcf_dir, f"ter-u{px}b_unicode.pcf.gz")
        for need in (path, uni):
            if not os.path.exists(need):
                raise SystemExit(f"mkfon: {need} is missing; install Debian's xfonts-terminus-dos")
        font = PcfFont(path)
        cells = cp437_cells(font, PcfFont(uni), px)
        fnts.append(build_fnt(font, cells, face))
        sizes.append(f"{cells[0x20][0]}x{font.ascent + font.descent}")
    desc = (f"FONTRES 100,96,96 : {args.face} (Terminus) " + ", ".join(sizes)).encode()[:255]
    module = bytes(c for c in face.upper() if c > 32)[:8] or b"FONT"
    data = build_fon(fnts, desc, module, face)
    tmp = args.out + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, args.out)
    print(f"mkfon: wrote {args.out} ({len(data)} bytes): {args.face} {', '.join(sizes)}")


if __name__ == "__main__":
    main()
