#pragma once

#include <cstddef>
#include <cstdint>

namespace jhk {

// The codes of code page 932, as written by tools/cp932gen (Cp932Table.cpp).
struct Cp932Pair {
    std::uint16_t key;
    std::uint16_t value;
};

// The character of each byte read on its own; 0xFFFF for a byte that is no character by itself.
extern const std::uint16_t Cp932SingleBytes[256];
// Two-byte codes and their characters, in order of the code.
extern const Cp932Pair Cp932Decodes[];
extern const std::size_t Cp932DecodesCount;
// Characters and their codes (one byte below 0x100), in order of the character. Only
// characters whose code reads back as the same character.
extern const Cp932Pair Cp932Encodes[];
extern const std::size_t Cp932EncodesCount;

} // namespace jhk
