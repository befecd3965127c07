// The GB18030 mapping tables behind gb18030.cpp.
//
// The tables are generated at build time (text/generator) from the system's
// iconv and completed so that the mapping is one-to-one: every Unicode scalar
// value has exactly one byte sequence and every valid byte sequence exactly
// one character.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lcr::gb18030 {

// Number of four-byte codes 81 30 81 30 .. 84 31 A4 39 (Basic Multilingual
// Plane characters that have no two-byte code).
inline constexpr std::size_t kFourByteBmpCount = 39420;

// Linear index of 90 30 81 30, the four-byte code of U+10000; the
// supplementary planes follow it in code point order.
inline constexpr std::uint32_t kSupplementaryBase = 189000;

// A supplementary character that iconv gives a two-byte code instead of its
// four-byte code. The four-byte code then belongs to `fourByteChar`, a
// private use character iconv has no code for (0 when it stays unassigned).
struct SupplementaryTwoByte {
    char32_t codePoint;
    std::uint16_t twoByteCode;  // lead byte << 8 | trail byte
    char16_t fourByteChar;
};

// Two-byte codes: index (lead << 8 | trail) - 0x8000. 0 means the code is not
// a BMP character (invalid, or one of kSupplementaryTwoByte).
extern const char16_t kTwoByteDecode[0x8000];

// Four-byte codes by linear index; 0 means unassigned.
extern const char16_t kFourByteBmpDecode[kFourByteBmpCount];

// Every BMP code unit's bytes, packed with the first byte in the lowest 8
// bits: values below 0x80 are one byte, below 0x10000 two, otherwise four.
// Surrogate code units have no entry (0).
extern const std::uint32_t kEncode[0x10000];

extern const SupplementaryTwoByte kSupplementaryTwoByte[];
extern const std::size_t kSupplementaryTwoByteCount;

}  // namespace lcr::gb18030
