// Byte searches in the INI document, a GB18030 byte string.
//
// A search only accepts a match that begins at the start of a character, so
// a "[" or "]" that is the second byte of a two-byte character is never
// taken for syntax. Characters are stepped over by their structure: a lead
// byte 0x81-0xFE with a trail byte 0x40-0x7E or 0x80-0xFE is two bytes, with
// 0x30-0x39 and a valid third and fourth byte four bytes; any other byte
// (ASCII, or a lead byte that no valid sequence follows) is one. CR and LF
// can therefore never be inside a character, which lets a search find the
// character boundary of any position by looking back to the last line break.
//
// Positions count from 0 here; npos is "not found".
#pragma once

#include <cstddef>
#include <string_view>

namespace lcr::document_bytes {

inline constexpr std::size_t npos = std::string_view::npos;

// Length of the character that starts at `pos` (1, 2 or 4).
std::size_t charLength(std::string_view doc, std::size_t pos);

// The first match of `needle` that starts at a character start at or after
// `from`. `fromIsCharStart` says that `from` is known to start a character
// (saves looking back for the boundary).
std::size_t find(std::string_view doc, std::string_view needle, std::size_t from,
                 bool fromIsCharStart = false);

}  // namespace lcr::document_bytes
