#pragma once
// Which font draws the text box. The box holds Unicode text: each CP437
// character must come out as its code page 437 glyph. The system's OEM
// "Terminal" does that only where the OEM code page is 437, the font really
// is that raster font, and drawing the characters as Unicode gives the same
// pixels as drawing their CP437 bytes (the Windows side checks that).
// Everywhere else the program uses the CP437 TrueType fonts it carries,
// found by code point. Portable: the Windows side asks the device context
// and passes the answers.
#include <span>
#include <string>
#include <string_view>

namespace quorvel {

// The face the system's OEM font is asked for.
inline constexpr char kSystemNfoFace[] = "Terminal";
inline constexpr int kOemCharSet = 255;

// The cell heights of the carried fonts (tools/mkttf.py), smallest first,
// each the face "Quorvel CP437 <height>": a name of its own, so asking for
// it never lands on a system font.
inline constexpr int kCarriedCellHeights[] = {12, 14, 16, 18, 20, 22, 24, 28, 32};
std::string CarriedFace(int cellHeight);

// The carried cell for a character height of `emPixels` (the points asked
// for at the display's DPI), as GDI picks a raster Terminal's size: each
// cell stands for two thirds of its height; the largest that fits, else the
// smallest. 6 pt gives 12 px at 96 DPI, 16 at 120, 18 at 144, 24 at 192.
int CarriedCellHeight(int emPixels);

// What a device context says it made of a font request.
struct RealizedFont {
    std::string face;      // GetTextFace
    int charSet = 0;       // TEXTMETRIC tmCharSet
    bool scalable = false; // TMPF_VECTOR or TMPF_TRUETYPE: not a raster font
};

enum class NfoFontSource { System, Carried };

// The realized font is the raster font `face` in the OEM character set.
bool IsOemRasterFace(const RealizedFont& font, std::string_view face);

// The system's Terminal only where the OEM code page is 437, "Terminal"
// with the OEM character set came out as that raster font (Wine, having
// none, makes an ANSI TrueType face of it), and it draws the Unicode
// characters as their CP437 glyphs (`drawsUnicodeAsCp437`).
NfoFontSource ChooseNfoFont(unsigned oemCodePage, const RealizedFont& systemTerminal,
                            bool drawsUnicodeAsCp437);

} // namespace quorvel
