#pragma once
// Window and control geometry is kept in twips (1/1440 inch) and turned into
// pixels with the display's real DPI, so layouts scale on HiDPI screens.
#include <windows.h>

#include "common/Handles.h"

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

// A font of `points` at the display's `dpiY`. A raster face such as "MS Sans
// Serif" has a few sizes only, and at a high DPI its largest is far too
// small: short of the height by more than a tenth, its TrueType successor
// "Microsoft Sans Serif" takes its place, which scales to any size (or,
// where it is missing, the nearest TrueType face).
UniqueHfont CreatePointFont(const char* face, double points, int weight, bool underline, int dpiY);

} // namespace quorvel
