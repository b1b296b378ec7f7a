#pragma once
// Number <-> text conversions with the user's locale, through oleaut32's
// variant conversions: they parse with the locale's separators, accept
// surrounding blanks and round halves to the even neighbour, which is the
// behaviour the stored settings and the dialogs' entries rely on.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

std::optional<double> ParseDouble(std::string_view text);
std::optional<float> ParseSingle(std::string_view text);
// Parse and round to the nearest integer, halves to even; empty when the text
// is not a number or does not fit.
std::optional<std::int16_t> ParseInt16(std::string_view text);
std::optional<std::int32_t> ParseInt32(std::string_view text);

std::optional<std::int16_t> RoundToInt16(double value);
std::optional<std::int32_t> RoundToInt32(double value);

// The shortest text of the value, up to 15 significant digits, with the
// locale's decimal separator (127.5, 255, 76.5).
std::string FormatDouble(double value);

// An OLE date (days since 30 Dec 1899) as the user's locale writes a
// general date: short date, a blank and long time; the date alone when the
// time is exactly midnight.
std::string FormatGeneralDate(double date);
// The current local date and time (whole seconds) in that form.
std::string CurrentGeneralDate();

} // namespace quorvel
