#pragma once
// Reading and writing single registry values; used for the main window's
// placement. Each call opens its key and closes it before returning.
#include <windows.h>
#include <cstdint>
#include <string>
#include <variant>

namespace quorvel {

// What a value read gives back: its text (REG_SZ), its number (REG_DWORD),
// or the caller's default unchanged.
using RegValue = std::variant<std::string, std::int32_t>;

RegValue ReadRegValue(HKEY root, const std::string& subKey, const std::string& valueName,
                      const RegValue& defaultValue = RegValue{std::string{}});

// Creates the key path when missing; returns the Windows error code of the
// write, 0 on success.
std::int32_t WriteRegDword(HKEY root, const std::string& subKey, const std::string& valueName,
                           std::int32_t value);

// The text up to, not including, its first NUL character.
std::string CutAtNull(const std::string& text);

} // namespace quorvel
