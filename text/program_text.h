// Program text helpers.
//
// Text inside the program is UTF-16 (std::u16string). The rules below were
// first stated over GBK byte strings; they hold unchanged on UTF-16 because
// no code unit of a non-ASCII character equals an ASCII character, so an
// ASCII separator is never found inside a Chinese character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lcr {

// Splits `text` at every occurrence of `separator`, scanning left to right.
// Every separator ends a piece, so two separators in a row give an empty
// piece; the rest after the last separator is a final piece only when it is
// not empty; an empty text gives no pieces at all.
//   "a<#lc#>b" -> "a","b"   "a<#lc#><#lc#>b" -> "a","","b"
//   "<#lc#>a"  -> "","a"    "a<#lc#>"        -> "a"
// An empty separator gives the whole text as one piece (none when empty).
std::vector<std::u16string> splitText(std::u16string_view text, std::u16string_view separator);

// The first two pieces of splitText(text, separator), a missing piece
// empty and further pieces dropped: "name::expression::more" gives
// "name", "expression". The rule of the library's and the syntax table's
// lines.
std::pair<std::u16string, std::u16string> splitFirstTwo(std::u16string_view text,
                                                        std::u16string_view separator);

// Finds `needle` in `haystack` starting at the 1-based position `start`
// (values below 1 count as 1). Returns the 1-based position of the first
// occurrence, or -1 when there is none. With `ignoreCase` only the ASCII
// letters A-Z/a-z are folded. An empty needle is found at `start` when
// `start` lies within the text or right after its end.
long long findText(std::u16string_view haystack, std::u16string_view needle, long long start = 1,
                   bool ignoreCase = false);

// Removes leading and trailing half-width spaces (U+0020) and full-width
// spaces (U+3000). Tabs and line breaks stay.
std::u16string trimSpaces(std::u16string_view text);

// The length `text` would have in GBK/GB18030 bytes, the length that drives
// layout and widths: 1 for U+0000-U+007F, 2 for every other code unit of the
// Basic Multilingual Plane (a lone surrogate included), 4 for a surrogate pair.
std::size_t gbkByteLength(std::u16string_view text);

}  // namespace lcr
