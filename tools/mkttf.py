#!/usr/bin/env python3
"""Build the CP437 TrueType fonts Quorvel carries, one per Terminus size.

Usage: python3 tools/mkttf.py OUTDIR [--pcf-dir DIR] [--cells FILE]

The text box keeps its text as UTF-16 and draws it by code point, so the
font it uses must find the CP437 pictures (box lines U+2500.., blocks
U+2580.., the faces and suits of 0x01-0x1F) through a Unicode character map.
A raster font cannot do that under Wine: Wine reaches an OEM raster font
through code page 1252. So each Terminus bold cut (the cells tools/terminus.py
reads, SIL OFL 1.1) becomes a TrueType font of pixel squares, named
"Quorvel CP437 <N>" for its cell height N and written as
OUTDIR/quorvel-cp437-<N>.ttf. Asked for at -N pixels, bold, non-antialiased,
it draws every CP437 character exactly as its Terminus cell. What that takes
(each one measured under Wine, each one wrong draws wrong pixels):

  units per em   64 units a pixel, 64 * N an em: at N pixels per em a unit is
                 exactly 1/64 of a pixel, FreeType's own fixed-point step, so
                 no edge is ever rounded.
  outlines       clockwise rectangles with edges on pixel boundaries (a
                 horizontal run of pixels, stretched down over the rows that
                 have the same run), baseline at the cell's descent.
  hmtx           every glyph's left side bearing is its own xMin; a wrong
                 one shifts the glyph sideways.
  bold           OS/2 fsSelection bold with weight 700 (and head.macStyle
                 bold): without the fsSelection bit GDI takes the face for a
                 regular one and smears a fake bold over it.
  prep           some bytecode (dropout control): a font without any makes
                 FreeType run its auto-hinter, which bends every glyph that
                 reaches the cell's edges (box lines, blocks) out of shape.
  gasp           grid-fit, never grey: the cells are meant as pixels.
  metrics        ascender = ascent, descender = descent, line gap 0, in hhea,
                 OS/2 typo and win: the realized height is exactly N; every
                 advance is the cell width (fixed pitch in post and panose).

U+0000 is not mapped; glyph 0 (.notdef, what any missing character draws) is
Terminus's own dashed box. 0xFF is U+00A0, the no-break space: blank.

--cells FILE also writes the pictures the fonts must draw, for the test that
draws them under Wine and compares every pixel. A text file:

  quorvel-cp437-cells 1
  size <N> <width> <ascent>                      once per font, then
  <byte> <row 0> <row 1> ... <row N-1>           256 lines, byte 00..FF

byte and rows are hexadecimal; a row's leftmost pixel is its highest bit of
<width> bits, a set bit is ink. Byte 00 has the .notdef picture (U+0000 is
no character of the font, so that is what it draws).

The output is deterministic (fixed time stamps): its hash identifies it.
"""

import argparse
import os
import sys

from fontTools.fontBuilder import FontBuilder, _panoseDefaults
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import newTable
from fontTools.ttLib.tables import ttProgram

import terminus

UNIT = 64  # font units per pixel
FAMILY = "Quorvel CP437"
COPYRIGHT = "Terminus Font, (c) Dimitar Zhekov, SIL Open Font License 1.1"
# 2024-01-01 00:00:00 in seconds since 1904-01-01, head's epoch.
TIMESTAMP = 3786912000
# PUSHW 511, SCANCTRL (dropout control at every size), PUSHB 4, SCANTYPE.
PREP = bytes([0xB8, 0x01, 0xFF, 0x85, 0xB0, 0x04, 0x8D])


def rectangles(width, rows):
    """The ink of a cell as (x0, row0, x1, row1) pixel rectangles, ends
    exclusive: each horizontal run, stretched over the rows that repeat it."""
    out, open_runs = [], {}
    for r, bits in enumerate(list(rows) + [0]):
        runs, x = set(), 0
        while x < width:
            if bits >> (width - 1 - x) & 1:
                start = x
                while x < width and bits >> (width - 1 - x) & 1:
                    x += 1
                runs.add((start, x))
            else:
                x += 1
        for run in list(open_runs):
            if run not in runs:
                out.append((run[0], open_runs.pop(run), run[1], r))
        for run in runs:
            open_runs.setdefault(run, r)
    return sorted(out, key=lambda q: (q[1], q[0]))


def draw_glyph(width, rows, ascent):
    pen = TTGlyphPen(None)
    for x0, r0, x1, r1 in rectangles(width, rows):
        left, right = x0 * UNIT, x1 * UNIT
        top, bottom = (ascent - r0) * UNIT, (ascent - r1) * UNIT
        # Clockwise with y up: the left edge upwards, the top rightwards.
        pen.moveTo((left, bottom))
        pen.lineTo((left, top))
        pen.lineTo((right, top))
        pen.lineTo((right, bottom))
        pen.closePath()
    return pen.glyph()


def build_font(font, cells):
    """One TrueType font (a fontTools TTFont) from a Terminus cut's cells."""
    width = cells[0x20][0]
    ascent, descent = font.ascent, font.descent
    height = ascent + descent
    family = f"{FAMILY} {height}"

    # One glyph per distinct picture (the space and the no-break space share
    # one); glyph 0 is the .notdef box, which byte 00's slot holds.
    order, glyphs, cmap, by_picture = [".notdef"], {}, {}, {}
    glyphs[".notdef"] = draw_glyph(width, cells[0][1], ascent)
    for b in range(1, 256):
        rows = tuple(cells[b][1])
        name = by_picture.get(rows)
        if name is None:
            name = by_picture[rows] = f"cp{b:02X}"
            order.append(name)
            glyphs[name] = draw_glyph(width, rows, ascent)
        cmap[ord(terminus.cp437_to_unicode(b))] = name
    assert cmap[0xA0] == cmap[0x20], "0xFF must be the blank no-break space"

    fb = FontBuilder(UNIT * height, isTTF=True)
    fb.setupGlyphOrder(order)
    fb.setupCharacterMap(cmap)
    fb.setupGlyf(glyphs)
    glyf = fb.font["glyf"]
    fb.setupHorizontalMetrics(
        {n: (width * UNIT, getattr(glyf[n], "xMin", 0)) for n in order})
    fb.setupHorizontalHeader(ascent=ascent * UNIT, descent=-descent * UNIT, lineGap=0)

    def top(byte):
        return max(ascent - next(r for r, bits in enumerate(cells[byte][1]) if bits), 0) * UNIT

    fb.setupOS2(
        version=4,
        xAvgCharWidth=width * UNIT,
        usWeightClass=700,
        fsType=0,  # installable: the OFL allows embedding
        fsSelection=0x20 | 0x80,  # bold, use the typo metrics
        achVendID="QRVL",
        panose=dict(_panoseDefaults, bFamilyType=2, bWeight=8, bProportion=9),  # text, bold, monospaced
        sTypoAscender=ascent * UNIT, sTypoDescender=-descent * UNIT, sTypoLineGap=0,
        usWinAscent=ascent * UNIT, usWinDescent=descent * UNIT,
        ulCodePageRange1=1 << 0,   # Latin 1
        ulCodePageRange2=1 << 31,  # bit 63: US, OEM code page 437
        sxHeight=top(ord("x")), sCapHeight=top(ord("H")),
        yStrikeoutSize=UNIT, yStrikeoutPosition=top(ord("x")) // 2 // UNIT * UNIT,
        ySubscriptXSize=width * UNIT, ySubscriptYSize=height * UNIT // 2,
        ySuperscriptXSize=width * UNIT, ySuperscriptYSize=height * UNIT // 2,
        ySuperscriptYOffset=ascent * UNIT // 2, ySubscriptYOffset=descent * UNIT,
        usDefaultChar=0, usBreakChar=0x20, usMaxContext=0,
    )
    fb.font["OS/2"].recalcUnicodeRanges(fb.font)

    style = "Bold"
    ps_name = f"QuorvelCP437_{height}-{style}"
    fb.setupNameTable({
        "copyright": COPYRIGHT,
        "familyName": family,
        "styleName": style,
        "uniqueFontIdentifier": f"{ps_name} 1.000",
        "fullName": f"{family} {style}",
        "version": "Version 1.000",
        "psName": ps_name,
        "licenseDescription": "SIL Open Font License 1.1",
        "licenseInfoURL": "https://openfontlicense.org",
    }, mac=False)
    fb.setupPost(keepGlyphNames=False, isFixedPitch=1,
                 underlinePosition=-UNIT, underlineThickness=UNIT)
    fb.updateHead(created=TIMESTAMP, modified=TIMESTAMP, macStyle=1,  # bold
                  flags=0x000B,  # baseline y 0, lsb = xMin, integer ppem
                  lowestRecPPEM=height, fontRevision=1.0)

    maxp = fb.font["maxp"]
    maxp.maxStackElements = 2
    prep = fb.font["prep"] = newTable("prep")
    prep.program = ttProgram.Program()
    prep.program.fromBytecode(PREP)
    gasp = fb.font["gasp"] = newTable("gasp")
    gasp.version = 1
    gasp.gaspRange = {0xFFFF: 0x0001 | 0x0004}  # grid-fit, symmetric grid-fit, no grey
    return fb.font, (height, width, ascent)


def main():
    ap = argparse.ArgumentParser(description="Write the CP437 TrueType fonts from Terminus.")
    ap.add_argument("outdir")
    ap.add_argument("--pcf-dir", default=terminus.PCF_DIR)
    ap.add_argument("--cells", help="also write the pictures each font must draw")
    args = ap.parse_args()
    os.makedirs(args.outdir, exist_ok=True)

    lines = ["quorvel-cp437-cells 1"]
    written = []
    for px in terminus.SIZES:
        path = os.path.join(args.pcf_dir, f"ter-u{px}b_ibm437.pcf.gz")
        uni = os.path.join(args.pcf_dir, f"ter-u{px}b_unicode.pcf.gz")
        for need in (path, uni):
            if not os.path.exists(need):
                raise SystemExit(f"mkttf: {need} is missing; install Debian's xfonts-terminus-dos "
                                 "and xfonts-terminus")
        pcf = terminus.PcfFont(path)
        cells = terminus.cp437_cells(pcf, terminus.PcfFont(uni), px)
        ttf, (height, width, ascent) = build_font(pcf, cells)
        if height != px:
            raise SystemExit(f"mkttf: {path} has {height} pixel cells, not {px}")
        out = os.path.join(args.outdir, f"quorvel-cp437-{px}.ttf")
        tmp = out + ".tmp"
        ttf.save(tmp)
        os.replace(tmp, out)
        written.append(f"{width}x{height} {os.path.getsize(out)} bytes")
        lines.append(f"size {height} {width} {ascent}")
        digits = (width + 3) // 4
        for b, (_, rows) in enumerate(cells):
            lines.append(f"{b:02X} " + " ".join(f"{r:0{digits}X}" for r in rows))
    if args.cells:
        os.makedirs(os.path.dirname(os.path.abspath(args.cells)), exist_ok=True)
        tmp = args.cells + ".tmp"
        with open(tmp, "w", encoding="ascii", newline="\n") as f:
            f.write("\n".join(lines) + "\n")
        os.replace(tmp, args.cells)
    print(f"mkttf: wrote {len(written)} fonts to {args.outdir}: {', '.join(written)}")


if __name__ == "__main__":
    sys.exit(main())
