#pragma once
// Code page 437 as DOS drew it: each byte's character, the pictures of the
// control bytes (☺ ... ▼, ⌂) included, but for TAB, LF and CR, which keep their
// meaning in a text. The program's own table, never the system's. Portable.

namespace quorvel {

char16_t Cp437Character(unsigned char b);

} // namespace quorvel
