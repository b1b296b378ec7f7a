#pragma once
// Window and control geometry is kept in twips (1/1440 inch) and turned into
// pixels with the display's real DPI, so layouts scale on HiDPI screens.
#include <windows.h>

namespace quorvel {

struct Dpi {
    int x = 96;
    int y = 96;
};

// The DPI the program's windows are laid out with (the system DPI; the
// manifest declares the program DPI-aware).
Dpi SystemDpi();

int TwipsToPixels(double twips, int dpi);
double PixelsToTwips(int pixels, int dpi);

// A point size as a font height for LOGFONT (negative: character height).
int PointsToFontHeight(double points, int dpiY);

} // namespace quorvel
