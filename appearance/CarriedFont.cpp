#include "appearance/CarriedFont.h"

#include "common/Twips.h"

#include <utility>

namespace quorvel {

RealizedFont DescribeRealizedFont(HFONT font) {
    RealizedFont got;
    const WindowDC screen(nullptr);
    if (!screen || !font)
        return got;
    const SelectGuard select(screen.get(), font);
    char face[LF_FACESIZE] = {};
    if (::GetTextFaceA(screen.get(), LF_FACESIZE, face) > 0)
        got.face = face;
    TEXTMETRICA tm{};
    if (::GetTextMetricsA(screen.get(), &tm)) {
        got.charSet = tm.tmCharSet;
        got.scalable = (tm.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE)) != 0;
    }
    return got;
}

UniqueFontResource LoadCarriedFont(HMODULE module, const char* name) {
    // A resource's bytes stay mapped for as long as the module is loaded;
    // GDI copies what it needs.
    const HRSRC info = ::FindResourceA(module, name, MAKEINTRESOURCEA(10)); // RT_RCDATA
    const HGLOBAL loaded = info ? ::LoadResource(module, info) : nullptr;
    void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    const DWORD size = info ? ::SizeofResource(module, info) : 0;
    if (!bytes || size == 0)
        return UniqueFontResource();
    DWORD fonts = 0;
    UniqueFontResource carried(::AddFontMemResourceEx(bytes, size, nullptr, &fonts));
    if (fonts == 0)
        carried.reset();
    return carried;
}

UniqueHfont CreateNfoFont(const char* face, double points, int dpiY) {
    LOGFONTA lf{};
    lf.lfHeight = PointsToFontHeight(points, dpiY);
    lf.lfWeight = FW_BOLD;
    lf.lfCharSet = OEM_CHARSET;
    lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    return UniqueHfont(::CreateFontIndirectA(&lf));
}

NfoFont ChooseTextBoxFont(HMODULE module, const char* name, double points, int dpiY) {
    NfoFont chosen;
    chosen.font = CreateNfoFont(kSystemNfoFace, points, dpiY);
    if (ChooseNfoFont(::GetOEMCP(), DescribeRealizedFont(chosen.font.get())) ==
        NfoFontSource::System)
        return chosen;
    UniqueFontResource carried = LoadCarriedFont(module, name);
    if (!carried)
        return chosen;
    UniqueHfont font = CreateNfoFont(kCarriedNfoFace, points, dpiY);
    if (!font || !IsOemRasterFace(DescribeRealizedFont(font.get()), kCarriedNfoFace))
        return chosen;
    chosen.font = std::move(font);
    chosen.carried = std::move(carried);
    return chosen;
}

} // namespace quorvel
