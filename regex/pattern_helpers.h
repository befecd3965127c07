// Turning literal text and file-name wildcards into expressions.
//
// Each helper puts a backslash before every character of its set; the
// backslash itself comes first in every set, so the backslashes the helper
// adds are never escaped again. Chinese text passes through unchanged.
#pragma once

#include <string>
#include <string_view>

namespace lcr {

// A file-name filter with * and ? as an unanchored expression: escapes
//   \ ^ $ + . { } [ ] = ( ) - "
// then every * becomes .* and every ? becomes .? (zero or one character).
// The vertical bar stays, so "*.txt|*.ini" lists alternatives.
//   "*.*" -> ".*\..*"    "a?c" -> "a.?c"    "report(1)-v2.doc" -> "report\(1\)\-v2\.doc"
std::u16string wildcardToPattern(std::u16string_view filter);

// Escapes  \ ^ $ + . { } [ ] = ( ) ? * | "   "a|b*" -> "a\|b\*"
std::u16string escapeAll(std::u16string_view text);

// As escapeAll, but the vertical bar stays an alternation.  "a|b*" -> "a|b\*"
std::u16string escapeKeepAlternation(std::u16string_view text);

// Escapes  \ ^ $ + . { } [ ] = ? * "  : parentheses and the vertical bar stay
// active.  "(a|b).c" -> "(a|b)\.c"
std::u16string escapeKeepGroups(std::u16string_view text);

}  // namespace lcr
