#pragma once
// The text box's font: the system's OEM "Terminal" where it shows code page
// 437, else the CP437 raster font the program carries as a resource, made
// available to this process alone.
#include <windows.h>

#include "appearance/NfoFont.h"
#include "common/Handles.h"

namespace quorvel {

// What the screen's device context makes of `font`.
RealizedFont DescribeRealizedFont(HFONT font);

// Makes the font file held in resource `name` (type RCDATA) of `module`
// available to this process; empty when the resource is missing or is no
// font. The fonts go away with the returned owner.
UniqueFontResource LoadCarriedFont(HMODULE module, const char* name);

// A font for the text box: `face` in the OEM character set, bold, fixed
// pitch, `points` high at `dpiY`.
UniqueHfont CreateNfoFont(const char* face, double points, int dpiY);

struct NfoFont {
    UniqueFontResource carried; // empty where the system's font is used
    UniqueHfont font;           // freed before `carried`
};

// The system's Terminal when it draws code page 437; otherwise the carried
// font from resource `name` of `module`, loaded only then. Should the
// carried font not load or come out as something else, the system's font
// is kept: it is still the nearest the system has.
NfoFont ChooseTextBoxFont(HMODULE module, const char* name, double points, int dpiY);

} // namespace quorvel
