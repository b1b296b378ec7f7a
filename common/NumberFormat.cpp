#include "common/NumberFormat.h"

#include "common/Handles.h"
#include "common/Unicode.h"

#include <windows.h>
#include <oleauto.h>

#include <limits>

namespace quorvel {

namespace {

constexpr LCID kUserLocale = LOCALE_USER_DEFAULT;

// oleaut32 is bound at the first conversion that needs it, not with the
// program: most stored settings are plain digits, and the start need not
// wait for the library to load. The routines are looked up by hand because
// mingw-w64's 64-bit delay-load thunk does not keep xmm0-xmm3, which would
// garble the first double handed to a converter.
struct OleAut {
    decltype(&::SysAllocStringLen) allocString = nullptr;
    decltype(&::SysFreeString) freeString = nullptr;
    decltype(&::SysStringLen) stringLen = nullptr;
    decltype(&::VarR8FromStr) r8FromStr = nullptr;
    decltype(&::VarR4FromStr) r4FromStr = nullptr;
    decltype(&::VarI2FromStr) i2FromStr = nullptr;
    decltype(&::VarI4FromStr) i4FromStr = nullptr;
    decltype(&::VarI2FromR8) i2FromR8 = nullptr;
    decltype(&::VarI4FromR8) i4FromR8 = nullptr;
    decltype(&::VarBstrFromR8) bstrFromR8 = nullptr;
    decltype(&::VarBstrFromDate) bstrFromDate = nullptr;
    decltype(&::SystemTimeToVariantTime) fromSystemTime = nullptr;
    bool ok = false;
};

template <typename F> bool Bind(HMODULE dll, const char* name, F& to) {
    to = reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(dll, name)));
    return to != nullptr;
}

const OleAut& Ole() {
    static const OleAut ole = [] {
        OleAut o;
        const HMODULE dll = ::LoadLibraryW(L"oleaut32.dll");
        o.ok = dll && Bind(dll, "SysAllocStringLen", o.allocString) &&
               Bind(dll, "SysFreeString", o.freeString) && Bind(dll, "SysStringLen", o.stringLen) &&
               Bind(dll, "VarR8FromStr", o.r8FromStr) && Bind(dll, "VarR4FromStr", o.r4FromStr) &&
               Bind(dll, "VarI2FromStr", o.i2FromStr) && Bind(dll, "VarI4FromStr", o.i4FromStr) &&
               Bind(dll, "VarI2FromR8", o.i2FromR8) && Bind(dll, "VarI4FromR8", o.i4FromR8) &&
               Bind(dll, "VarBstrFromR8", o.bstrFromR8) &&
               Bind(dll, "VarBstrFromDate", o.bstrFromDate) &&
               Bind(dll, "SystemTimeToVariantTime", o.fromSystemTime);
        return o;
    }();
    return ole;
}

void FreeBstr(BSTR b) { Ole().freeString(b); }
using UniqueBstr = UniqueHandle<detail::Traits<BSTR, FreeBstr>>;

UniqueBstr BstrFromUtf8(std::string_view text) {
    const std::wstring wide = Wide(text);
    return UniqueBstr(Ole().allocString(wide.data(), static_cast<UINT>(wide.size())));
}

std::string Utf8FromBstr(const UniqueBstr& text) {
    return text ? Utf8(std::wstring_view(text.get(), Ole().stringLen(text.get())))
                : std::string();
}

// A few ASCII digits, nothing else: the same number in every locale. Most
// stored settings are such numbers, and reading them need not wait for
// oleaut32 to load.
std::optional<long> PlainDigits(std::string_view text) {
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// One parser for every target type: oleaut32's conversion from text to
// that type, with the user's locale.
template <typename Out, typename Var, typename Convert>
std::optional<Out> Parse(std::string_view text, Convert OleAut::*convert) {
    if (const auto digits = PlainDigits(text)) {
        const double value = static_cast<double>(*digits);
        if (value > static_cast<double>(std::numeric_limits<Var>::max()))
            return std::nullopt;
        return static_cast<Out>(value);
    }
    if (!Ole().ok)
        return std::nullopt;
    const UniqueBstr b = BstrFromUtf8(text);
    Var v{};
    if (!b || FAILED((Ole().*convert)(b.get(), kUserLocale, 0, &v)))
        return std::nullopt;
    return static_cast<Out>(v);
}

} // namespace

std::optional<double> ParseDouble(std::string_view text) {
    return Parse<double, DOUBLE>(text, &OleAut::r8FromStr);
}

std::optional<float> ParseSingle(std::string_view text) {
    return Parse<float, FLOAT>(text, &OleAut::r4FromStr);
}

std::optional<std::int16_t> ParseInt16(std::string_view text) {
    return Parse<std::int16_t, SHORT>(text, &OleAut::i2FromStr);
}

std::optional<std::int32_t> ParseInt32(std::string_view text) {
    return Parse<std::int32_t, LONG>(text, &OleAut::i4FromStr);
}

std::optional<std::int16_t> RoundToInt16(double value) {
    SHORT v = 0;
    if (!Ole().ok || FAILED(Ole().i2FromR8(value, &v)))
        return std::nullopt;
    return static_cast<std::int16_t>(v);
}

std::optional<std::int32_t> RoundToInt32(double value) {
    LONG v = 0;
    if (!Ole().ok || FAILED(Ole().i4FromR8(value, &v)))
        return std::nullopt;
    return static_cast<std::int32_t>(v);
}

std::string FormatDouble(double value) {
    UniqueBstr out;
    if (!Ole().ok || FAILED(Ole().bstrFromR8(value, kUserLocale, 0, out.put())))
        return {};
    return Utf8FromBstr(out);
}

std::string FormatGeneralDate(double date) {
    // oleaut32's date-to-text conversion is the locale's general date form,
    // including the dropped zero time.
    UniqueBstr text;
    if (!Ole().ok || FAILED(Ole().bstrFromDate(date, kUserLocale, 0, text.put())))
        return {};
    return Utf8FromBstr(text);
}

std::string CurrentGeneralDate() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    now.wMilliseconds = 0;
    DATE date = 0;
    if (!Ole().ok || !Ole().fromSystemTime(&now, &date))
        return {};
    return FormatGeneralDate(date);
}

} // namespace quorvel
