#pragma once
#include <windows.h>
#include <cstdint>

namespace quorvel {

// Result codes of SetTransparency.
inline constexpr std::int32_t kTransparencyApplied = 0;
inline constexpr std::int32_t kTransparencyOutOfRange = 1;
inline constexpr std::int32_t kTransparencySystemError = 2;

// Gives the whole window one constant opacity, 0 (transparent) to 255
// (opaque). The window keeps the layered style from then on.
std::int32_t SetTransparency(HWND hwnd, std::int16_t level);

} // namespace quorvel
