#include "common/NumberFormat.h"

#include "common/Handles.h"

#include <windows.h>
#include <oleauto.h>

namespace quorvel {

namespace {

constexpr LCID kUserLocale = LOCALE_USER_DEFAULT;

UniqueBstr BstrFromAnsi(std::string_view text) {
    const std::wstring wide = WideFromAnsi(text);
    return UniqueBstr(::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size())));
}

std::string AnsiFromBstr(const UniqueBstr& text) {
    return text ? AnsiFromWide(std::wstring_view(text.get(), ::SysStringLen(text.get())))
                : std::string();
}

// One parser for every target type: oleaut32's conversion from text to
// that type, with the user's locale.
template <typename Out, typename Var, typename Convert>
std::optional<Out> Parse(std::string_view text, Convert convert) {
    const UniqueBstr b = BstrFromAnsi(text);
    Var v{};
    if (!b || FAILED(convert(b.get(), kUserLocale, 0, &v)))
        return std::nullopt;
    return static_cast<Out>(v);
}

} // namespace

std::wstring WideFromAnsi(std::string_view text) {
    if (text.empty())
        return {};
    const int n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string AnsiFromWide(std::wstring_view text) {
    if (text.empty())
        return {};
    const int n = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                          nullptr, nullptr);
    return out;
}

std::optional<double> ParseDouble(std::string_view text) {
    return Parse<double, DOUBLE>(text, ::VarR8FromStr);
}

std::optional<float> ParseSingle(std::string_view text) {
    return Parse<float, FLOAT>(text, ::VarR4FromStr);
}

std::optional<std::int16_t> ParseInt16(std::string_view text) {
    return Parse<std::int16_t, SHORT>(text, ::VarI2FromStr);
}

std::optional<std::int32_t> ParseInt32(std::string_view text) {
    return Parse<std::int32_t, LONG>(text, ::VarI4FromStr);
}

std::optional<std::int16_t> RoundToInt16(double value) {
    SHORT v = 0;
    if (FAILED(::VarI2FromR8(value, &v)))
        return std::nullopt;
    return static_cast<std::int16_t>(v);
}

std::optional<std::int32_t> RoundToInt32(double value) {
    LONG v = 0;
    if (FAILED(::VarI4FromR8(value, &v)))
        return std::nullopt;
    return static_cast<std::int32_t>(v);
}

std::string FormatDouble(double value) {
    UniqueBstr out;
    if (FAILED(::VarBstrFromR8(value, kUserLocale, 0, out.put())))
        return {};
    return AnsiFromBstr(out);
}

std::string FormatGeneralDate(double date) {
    // oleaut32's date-to-text conversion is the locale's general date form,
    // including the dropped zero time.
    UniqueBstr text;
    if (FAILED(::VarBstrFromDate(date, kUserLocale, 0, text.put())))
        return {};
    return AnsiFromBstr(text);
}

std::string CurrentGeneralDate() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    now.wMilliseconds = 0;
    DATE date = 0;
    if (!::SystemTimeToVariantTime(&now, &date))
        return {};
    return FormatGeneralDate(date);
}

} // namespace quorvel
