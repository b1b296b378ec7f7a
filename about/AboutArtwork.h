#pragma once
// The About box's two pictures, drawn with GDI when they are painted so the
// program carries no bitmap files: the banner across the top with its
// 167 x 30 pixel word mark, and the panel with the 48 x 48 pixel logo.
#include <windows.h>

#include "common/Twips.h"

namespace quorvel {

// `rc` is the picture's client rectangle; positions inside it are the
// designed twips offsets, and the bitmaps scale with the display.
void DrawAboutBanner(HDC dc, const RECT& rc, const Dpi& dpi);
void DrawAboutPanel(HDC dc, const RECT& rc, const Dpi& dpi, HFONT textFont);

} // namespace quorvel
