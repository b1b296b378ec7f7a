#pragma once
// The text box's font: the system's OEM "Terminal" where it draws the CP437
// characters as code page 437 has them, else the CP437 TrueType font the
// program carries as a resource, made available to this process alone.
#include <windows.h>

#include "appearance/NfoFont.h"
#include "common/Handles.h"

namespace quorvel {

// What the screen's device context makes of `font`.
RealizedFont DescribeRealizedFont(HFONT font);

// Whether `font` draws the 256 CP437 characters given as Unicode text with
// the same pixels as their CP437 bytes (as an OEM font draws those): the
// proof that a system font shows NFO art from a Unicode text box.
bool DrawsUnicodeAsCp437(HFONT font);

// Makes the carried font of `cellHeight` available to this process: the
// resources are consecutive from `firstResource`, one per height of
// kCarriedCellHeights (type RCDATA). Empty when it is missing or is no font;
// the font goes away with the returned owner.
UniqueFontResource LoadCarriedFont(HMODULE module, int firstResource, int cellHeight);

// The system's OEM Terminal: bold, fixed pitch, `points` high at `dpiY`.
UniqueHfont CreateSystemNfoFont(double points, int dpiY);
// A carried font, `cellHeight` pixels high, drawn without smoothing; empty
// when GDI does not give that face at that height.
UniqueHfont CreateCarriedNfoFont(int cellHeight);

struct NfoFont {
    UniqueFontResource carried; // empty where the system's font is used
    UniqueHfont font;           // freed before `carried`
};

// The system's Terminal where it draws the CP437 characters right;
// otherwise the carried font of the size `points` ask for at `dpiY`,
// loaded only then. Should the carried font not load or come out as
// something else, the system's font is kept: it is still the nearest the
// system has.
NfoFont ChooseTextBoxFont(HMODULE module, int firstResource, double points, int dpiY);

} // namespace quorvel
