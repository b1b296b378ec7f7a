#include "common/Twips.h"

#include <cmath>

namespace quorvel {

Dpi SystemDpi() {
    Dpi dpi;
    if (HDC dc = ::GetDC(nullptr)) {
        dpi.x = ::GetDeviceCaps(dc, LOGPIXELSX);
        dpi.y = ::GetDeviceCaps(dc, LOGPIXELSY);
        ::ReleaseDC(nullptr, dc);
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

} // namespace quorvel
