#include "appearance/CarriedFont.h"

#include "common/Cp437.h"
#include "common/Twips.h"
#include "common/Unicode.h"

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

namespace quorvel {

namespace {

// The pixels of `draw` on a white 32-bit bitmap of `width` x `height`.
template <typename Draw>
std::vector<RGBQUAD> Drawn(HDC dc, int width, int height, Draw draw) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof bi.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const UniqueHbitmap bitmap(::CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    std::vector<RGBQUAD> pixels;
    if (!bitmap || !bits)
        return pixels;
    const SelectGuard select(dc, bitmap.get());
    const RECT all{0, 0, width, height};
    ::SetBkColor(dc, RGB(255, 255, 255));
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
    draw();
    ::GdiFlush();
    const auto* first = static_cast<const RGBQUAD*>(bits);
    pixels.assign(first, first + static_cast<std::ptrdiff_t>(width) * height);
    return pixels;
}

} // namespace

RealizedFont DescribeRealizedFont(HFONT font) {
    RealizedFont got;
    const WindowDC screen(nullptr);
    if (!screen || !font)
        return got;
    const SelectGuard select(screen.get(), font);
    wchar_t face[LF_FACESIZE] = {};
    if (::GetTextFaceW(screen.get(), LF_FACESIZE, face) > 0)
        got.face = Utf8(face);
    TEXTMETRICW tm{};
    if (::GetTextMetricsW(screen.get(), &tm)) {
        got.charSet = tm.tmCharSet;
        got.scalable = (tm.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE)) != 0;
    }
    return got;
}

bool DrawsUnicodeAsCp437(HFONT font) {
    // One row of all 256 characters but NUL and the line ends (a control
    // draws nothing of its own), each way.
    std::string bytes;
    std::wstring text;
    for (int b = 1; b < 256; ++b) {
        if (b == '\t' || b == '\n' || b == '\r')
            continue;
        bytes += static_cast<char>(b);
        text += static_cast<wchar_t>(Cp437Character(static_cast<unsigned char>(b)));
    }
    const WindowDC screen(nullptr);
    const UniqueHdc dc(::CreateCompatibleDC(screen.get()));
    if (!dc || !font)
        return false;
    const SelectGuard select(dc.get(), font);
    TEXTMETRICW tm{};
    if (!::GetTextMetricsW(dc.get(), &tm))
        return false;
    const int width = tm.tmMaxCharWidth * static_cast<int>(bytes.size()), height = tm.tmHeight;
    // The bytes go to the font as they are: an OEM font draws them through
    // its own code page, which is what the check compares with.
    const auto asBytes = Drawn(dc.get(), width, height, [&] {
        ::ExtTextOutA(dc.get(), 0, 0, 0, nullptr, bytes.data(), static_cast<UINT>(bytes.size()), nullptr);
    });
    const auto asUnicode = Drawn(dc.get(), width, height, [&] {
        ::ExtTextOutW(dc.get(), 0, 0, 0, nullptr, text.data(), static_cast<UINT>(text.size()), nullptr);
    });
    return !asBytes.empty() && asBytes.size() == asUnicode.size() &&
           std::equal(asBytes.begin(), asBytes.end(), asUnicode.begin(),
                      [](RGBQUAD a, RGBQUAD b) {
                          return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen &&
                                 a.rgbBlue == b.rgbBlue;
                      });
}

UniqueFontResource LoadCarriedFont(HMODULE module, int firstResource, int cellHeight) {
    const auto* size = std::find(std::begin(kCarriedCellHeights), std::end(kCarriedCellHeights),
                                 cellHeight);
    if (size == std::end(kCarriedCellHeights))
        return UniqueFontResource();
    const int id = firstResource + static_cast<int>(size - std::begin(kCarriedCellHeights));
    // A resource's bytes stay mapped for as long as the module is loaded;
    // GDI copies what it needs.
    const HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10)); // RT_RCDATA
    const HGLOBAL loaded = info ? ::LoadResource(module, info) : nullptr;
    void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    const DWORD length = info ? ::SizeofResource(module, info) : 0;
    if (!bytes || length == 0)
        return UniqueFontResource();
    DWORD fonts = 0;
    UniqueFontResource carried(::AddFontMemResourceEx(bytes, length, nullptr, &fonts));
    if (fonts == 0)
        carried.reset();
    return carried;
}

UniqueHfont CreateSystemNfoFont(double points, int dpiY) {
    LOGFONTW lf{};
    lf.lfHeight = PointsToFontHeight(points, dpiY);
    lf.lfWeight = FW_BOLD;
    lf.lfCharSet = OEM_CHARSET;
    lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    lstrcpynW(lf.lfFaceName, Wide(kSystemNfoFace).c_str(), LF_FACESIZE);
    return UniqueHfont(::CreateFontIndirectW(&lf));
}

UniqueHfont CreateCarriedNfoFont(int cellHeight) {
    // The fonts' em is their cell: a pixel of the cell is a whole pixel at
    // this height, and at whole multiples of it.
    LOGFONTW lf{};
    lf.lfHeight = -cellHeight;
    lf.lfWeight = FW_BOLD;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = NONANTIALIASED_QUALITY;
    lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    const std::string face = CarriedFace(cellHeight);
    lstrcpynW(lf.lfFaceName, Wide(face).c_str(), LF_FACESIZE);
    UniqueHfont font(::CreateFontIndirectW(&lf));
    if (font && DescribeRealizedFont(font.get()).face != face)
        font.reset();
    return font;
}

NfoFont ChooseTextBoxFont(HMODULE module, int firstResource, double points, int dpiY) {
    NfoFont chosen;
    chosen.font = CreateSystemNfoFont(points, dpiY);
    const RealizedFont terminal = DescribeRealizedFont(chosen.font.get());
    // The drawing check runs only where the rest already holds (a Windows
    // with code page 437): elsewhere the start does not pay for it.
    const bool oem437 = ::GetOEMCP() == 437 && IsOemRasterFace(terminal, kSystemNfoFace);
    if (ChooseNfoFont(::GetOEMCP(), terminal, oem437 && DrawsUnicodeAsCp437(chosen.font.get())) ==
        NfoFontSource::System)
        return chosen;
    const int cell = CarriedCellHeight(-PointsToFontHeight(points, dpiY));
    UniqueFontResource carried = LoadCarriedFont(module, firstResource, cell);
    UniqueHfont font = carried ? CreateCarriedNfoFont(cell) : UniqueHfont();
    if (!font)
        return chosen;
    chosen.font = std::move(font);
    chosen.carried = std::move(carried);
    return chosen;
}

} // namespace quorvel
