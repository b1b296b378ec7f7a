#include "about/AboutArtwork.h"

#include "common/Handles.h"

#include <array>

namespace quorvel {

namespace {

constexpr COLORREF kNavy = RGB(0, 0, 0x80);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// Bitmap pixels to device pixels: the bitmaps were made for 96 dpi.
int Scale(int pixels, int dpi) {
    return ::MulDiv(pixels, dpi, 96);
}

void Fill(HDC dc, const RECT& rc, COLORREF color) {
    UniqueHbrush brush(::CreateSolidBrush(color));
    ::FillRect(dc, &rc, brush.get());
}

// The four shades of the block characters the viewer is made for, light to
// full, as a little row of cells.
void DrawShadeBlocks(HDC dc, int x, int y, int cell, int gap) {
    static constexpr std::array<COLORREF, 4> kShades = {RGB(64, 64, 160), RGB(96, 112, 200),
                                                        RGB(150, 170, 230), kWhite};
    for (std::size_t i = 0; i < kShades.size(); ++i) {
        const int left = x + static_cast<int>(i) * (cell + gap);
        Fill(dc, RECT{left, y, left + cell, y + cell}, kShades[i]);
    }
}

// Image3: the word mark, 167 x 30 pixels at 96 dpi.
void DrawWordMark(HDC dc, int x, int y, const Dpi& dpi) {
    const int w = Scale(167, dpi.x);
    const int h = Scale(30, dpi.y);
    Fill(dc, RECT{x, y, x + w, y + h}, kNavy);
    const int cell = Scale(8, dpi.y);
    DrawShadeBlocks(dc, x + Scale(8, dpi.x), y + (h - cell) / 2, cell, Scale(2, dpi.x));

    LOGFONTA lf{};
    lf.lfHeight = -Scale(17, dpi.y);
    lf.lfWeight = FW_BOLD;
    lf.lfQuality = ANTIALIASED_QUALITY;
    lstrcpynA(lf.lfFaceName, "Arial", LF_FACESIZE);
    UniqueHfont font(::CreateFontIndirectA(&lf));
    const HGDIOBJ old = ::SelectObject(dc, font.get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, kWhite);
    RECT text{x + Scale(54, dpi.x), y, x + w - Scale(6, dpi.x), y + h};
    ::DrawTextA(dc, "QUORVEL", -1, &text, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
    ::SelectObject(dc, old);
}

// Image2: the logo, 48 x 48 pixels at 96 dpi: a "Q" built of blocks, the
// way NFO art draws letters, on a pale tile with a navy rim.
void DrawLogo(HDC dc, int x, int y, const Dpi& dpi) {
    static constexpr std::array<const char*, 8> kQ = {
        "..####..", ".##..##.", "##....##", "##....##",
        "##..#.##", "##...##.", ".######.", "......##",
    };
    const int w = Scale(48, dpi.x);
    const int h = Scale(48, dpi.y);
    Fill(dc, RECT{x, y, x + w, y + h}, kNavy);
    const int rim = Scale(2, dpi.x);
    const RECT tile{x + rim, y + rim, x + w - rim, y + h - rim};
    Fill(dc, tile, RGB(225, 232, 250));
    // The letter keeps clear of the rim so its outline reads as a "Q".
    const int pad = Scale(5, dpi.x);
    const RECT letter{tile.left + pad, tile.top + pad, tile.right - pad, tile.bottom - pad};
    const int tw = letter.right - letter.left;
    const int th = letter.bottom - letter.top;
    for (int row = 0; row < 8; ++row) {
        for (int col = 0; col < 8; ++col) {
            if (kQ[static_cast<std::size_t>(row)][col] != '#')
                continue;
            const RECT cell{letter.left + tw * col / 8, letter.top + th * row / 8,
                            letter.left + tw * (col + 1) / 8, letter.top + th * (row + 1) / 8};
            // The lower right of the letter in a lighter shade, like lit blocks.
            Fill(dc, cell, row + col > 8 ? RGB(64, 96, 200) : kNavy);
        }
    }
}

} // namespace

void DrawAboutBanner(HDC dc, const RECT& rc, const Dpi& dpi) {
    Fill(dc, rc, kWhite);
    // A rule along the bottom edge parts the banner from the dialog.
    Fill(dc, RECT{rc.left, rc.bottom - 1, rc.right, rc.bottom}, RGB(192, 192, 192));
    DrawWordMark(dc, rc.left + TwipsToPixels(4200, dpi.x), rc.top + TwipsToPixels(330, dpi.y), dpi);
}

void DrawAboutPanel(HDC dc, const RECT& rc, const Dpi& dpi, HFONT textFont) {
    RECT inside = rc;
    ::DrawEdge(dc, &inside, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    Fill(dc, inside, kWhite);

    const HGDIOBJ old = ::SelectObject(dc, textFont);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(64, 64, 64));
    RECT text{inside.left + Scale(10, dpi.x), inside.top + Scale(10, dpi.y),
              rc.left + TwipsToPixels(5400, dpi.x) - Scale(10, dpi.x),
              inside.bottom - Scale(6, dpi.y)};
    ::DrawTextA(dc,
                "Quorvel shows NFO files the way they were drawn: in the OEM Terminal "
                "font, with their lines, boxes and shaded blocks.",
                -1, &text, DT_WORDBREAK | DT_NOPREFIX);
    ::SelectObject(dc, old);

    DrawLogo(dc, rc.left + TwipsToPixels(5400, dpi.x), rc.top + TwipsToPixels(160, dpi.y), dpi);
}

} // namespace quorvel
