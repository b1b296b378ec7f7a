#include "common/Twips.h"

#include "common/Handles.h"
#include "common/Unicode.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace quorvel {

Dpi SystemDpi() {
    Dpi dpi;
    if (const WindowDC screen(nullptr); screen) {
        dpi.x = ::GetDeviceCaps(screen.get(), LOGPIXELSX);
        dpi.y = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
    }
    if (dpi.x <= 0)
        dpi.x = 96;
    if (dpi.y <= 0)
        dpi.y = 96;
    return dpi;
}

int TwipsToPixels(double twips, int dpi) {
    // Stored placements can hold anything; keep the result a sane int.
    const double px = twips * dpi / 1440.0;
    if (!(px > -1e9))
        return px < 0 ? -1000000000 : 0; // also catches NaN
    if (px > 1e9)
        return 1000000000;
    return static_cast<int>(std::lround(px));
}

double PixelsToTwips(int pixels, int dpi) {
    return static_cast<double>(pixels) * 1440.0 / dpi;
}

int PointsToFontHeight(double points, int dpiY) {
    return -static_cast<int>(std::lround(points * dpiY / 72.0));
}

namespace {

// The height in pixels the font's characters really come out at; -1 for a
// scalable font, which comes out at any height.
LONG CharacterHeight(HFONT font) {
    const WindowDC screen(nullptr);
    const SelectGuard select(screen.get(), font);
    TEXTMETRICW tm{};
    if (!::GetTextMetricsW(screen.get(), &tm) ||
        (tm.tmPitchAndFamily & (TMPF_TRUETYPE | TMPF_VECTOR)))
        return -1;
    return tm.tmHeight - tm.tmInternalLeading;
}

// The face name, cut to the room LOGFONT has for it.
void SetFaceName(LOGFONTW& lf, const char* face) {
    const std::wstring name = Wide(face).substr(0, LF_FACESIZE - 1);
    std::fill(std::begin(lf.lfFaceName), std::end(lf.lfFaceName), L'\0');
    std::copy(name.begin(), name.end(), lf.lfFaceName);
}

} // namespace

UniqueHfont CreatePointFont(const char* face, double points, int weight, bool underline, int dpiY) {
    LOGFONTW lf{};
    lf.lfHeight = PointsToFontHeight(points, dpiY);
    lf.lfWeight = weight;
    lf.lfUnderline = underline ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    SetFaceName(lf, face);
    UniqueHfont font(::CreateFontIndirectW(&lf));
    const LONG got = font ? CharacterHeight(font.get()) : -1;
    if (got >= 0 && (-lf.lfHeight - got) * 10 > -lf.lfHeight) {
        SetFaceName(lf, "Microsoft Sans Serif");
        lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
        if (UniqueHfont scalable{::CreateFontIndirectW(&lf)})
            font = std::move(scalable);
    }
    return font;
}

} // namespace quorvel
