#include "appearance/NfoFont.h"

namespace quorvel {

namespace {

bool SameFace(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

} // namespace

std::string CarriedFace(int cellHeight) {
    return "Quorvel CP437 " + std::to_string(cellHeight);
}

int CarriedCellHeight(int emPixels) {
    int chosen = kCarriedCellHeights[0];
    for (const int cell : kCarriedCellHeights)
        if (cell * 2 / 3 <= emPixels)
            chosen = cell;
    return chosen;
}

bool IsOemRasterFace(const RealizedFont& font, std::string_view face) {
    return !font.scalable && font.charSet == kOemCharSet && SameFace(font.face, face);
}

NfoFontSource ChooseNfoFont(unsigned oemCodePage, const RealizedFont& systemTerminal,
                            bool drawsUnicodeAsCp437) {
    return oemCodePage == 437 && IsOemRasterFace(systemTerminal, kSystemNfoFace) &&
                   drawsUnicodeAsCp437
               ? NfoFontSource::System
               : NfoFontSource::Carried;
}

} // namespace quorvel
