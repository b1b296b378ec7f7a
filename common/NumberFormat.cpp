#include "common/NumberFormat.h"

#include <windows.h>
#include <oleauto.h>

namespace quorvel {

namespace {

// Owns a BSTR made from an ANSI string.
class Bstr {
public:
    explicit Bstr(std::string_view text) {
        const std::wstring wide = WideFromAnsi(text);
        value_ = ::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { ::SysFreeString(value_); }
    BSTR get() const { return value_; }

private:
    BSTR value_ = nullptr;
};

constexpr LCID kUserLocale = LOCALE_USER_DEFAULT;

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
    Bstr b(text);
    double d = 0;
    if (!b.get() || FAILED(::VarR8FromStr(b.get(), kUserLocale, 0, &d)))
        return std::nullopt;
    return d;
}

std::optional<float> ParseSingle(std::string_view text) {
    Bstr b(text);
    float f = 0;
    if (!b.get() || FAILED(::VarR4FromStr(b.get(), kUserLocale, 0, &f)))
        return std::nullopt;
    return f;
}

std::optional<std::int16_t> ParseInt16(std::string_view text) {
    Bstr b(text);
    SHORT v = 0;
    if (!b.get() || FAILED(::VarI2FromStr(b.get(), kUserLocale, 0, &v)))
        return std::nullopt;
    return static_cast<std::int16_t>(v);
}

std::optional<std::int32_t> ParseInt32(std::string_view text) {
    Bstr b(text);
    LONG v = 0;
    if (!b.get() || FAILED(::VarI4FromStr(b.get(), kUserLocale, 0, &v)))
        return std::nullopt;
    return static_cast<std::int32_t>(v);
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
    BSTR out = nullptr;
    if (FAILED(::VarBstrFromR8(value, kUserLocale, 0, &out)) || !out)
        return {};
    std::string text = AnsiFromWide(std::wstring_view(out, ::SysStringLen(out)));
    ::SysFreeString(out);
    return text;
}

} // namespace quorvel
