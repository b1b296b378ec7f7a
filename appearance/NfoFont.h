#pragma once
// Which font draws the text box. NFO art is drawn with the line and block
// glyphs of code page 437; the system's OEM "Terminal" font has them only
// where the OEM code page is 437 and the font really is that raster font.
// Everywhere else the program uses the CP437 font it carries inside itself.
// Portable: the Windows side asks the device context and passes the answer.
#include <string>
#include <string_view>

namespace quorvel {

// The face the system's OEM font is asked for.
inline constexpr char kSystemNfoFace[] = "Terminal";
// The face of the CP437 font the program carries (tools/mkfon.py --face);
// a name of its own, so asking for it never lands on the system's Terminal.
inline constexpr char kCarriedNfoFace[] = "Quorvel CP437";
inline constexpr int kOemCharSet = 255;

// What a device context says it made of a font request.
struct RealizedFont {
    std::string face;      // GetTextFace
    int charSet = 0;       // TEXTMETRIC tmCharSet
    bool scalable = false; // TMPF_VECTOR or TMPF_TRUETYPE: not a raster font
};

enum class NfoFontSource { System, Carried };

// The realized font is the raster font `face` in the OEM character set,
// the only kind whose glyphs follow a byte's OEM code page value.
bool IsOemRasterFace(const RealizedFont& font, std::string_view face);

// The system's font shows code page 437 only when the OEM code page is 437
// and "Terminal" with the OEM character set came out as that raster font
// (Wine, having none, makes an ANSI TrueType face of it).
NfoFontSource ChooseNfoFont(unsigned oemCodePage, const RealizedFont& systemTerminal);

} // namespace quorvel
