#pragma once
// The Registry module: single registry values, each call opening its key
// and closing it before it returns. The main window keeps its placement with
// ReadRegValue and WriteRegDword; QueryRegistryValue is the one raw read
// that every reader of a value goes through.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace quorvel {

// A value's type and the bytes read of it.
struct RegistryData {
    DWORD type = REG_NONE;
    std::string bytes;
    // The bytes as the UTF-16 text the system keeps a string value in,
    // given as UTF-8; a last odd byte, half a character, is left out.
    std::string Text() const;
};

// Reads `valueName` of `subKey` (opened with `access`; both names UTF-8):
// at most `capacity` bytes, or all of the value when `capacity` is 0. Nothing when the key
// cannot be opened or the value cannot be read whole.
std::optional<RegistryData> QueryRegistryValue(HKEY root, const std::string& subKey,
                                               const std::string& valueName, REGSAM access,
                                               DWORD capacity = 0);

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
