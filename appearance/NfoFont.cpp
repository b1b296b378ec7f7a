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

bool IsOemRasterFace(const RealizedFont& font, std::string_view face) {
    return !font.scalable && font.charSet == kOemCharSet && SameFace(font.face, face);
}

NfoFontSource ChooseNfoFont(unsigned oemCodePage, const RealizedFont& systemTerminal) {
    return oemCodePage == 437 && IsOemRasterFace(systemTerminal, kSystemNfoFace)
               ? NfoFontSource::System
               : NfoFontSource::Carried;
}

} // namespace quorvel
