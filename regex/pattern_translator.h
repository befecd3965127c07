// Translation of a DEELX pattern into the PCRE2 pattern that behaves the same.
//
// PCRE2 is compiled with DOLLAR_ENDONLY (so $ outside multiline mode holds
// only at the very end). The rest of DEELX's behaviour is reached by
// rewriting the pattern with a small tokenizer that follows inline option
// changes such as (?i), (?-s), (?m) and (?x:...):
//
//   ^ and $      in multiline scope: a line break is CR LF, a lone CR or a
//                lone LF; ^ holds at the start and after every line break,
//                $ at the end and before every line break, neither between
//                the CR and the LF of a pair.
//   .            DEELX's dot excludes only LF; PCRE2's would also exclude CR
//                under ANYCRLF, so outside single-line scope it becomes [^\n].
//   [...]        DEELX matches character classes case-sensitively even with
//                ignore case on, so in an ignore-case scope a class becomes
//                (?-i:[...]).
//   \uXXXX       becomes \x{XXXX}; PCRE2 knows no \u.
//   \v           the vertical tab, as in DEELX (PCRE2 reads it as a class).
//   \G           without the global option it always holds, so it becomes an
//                empty group; with it, PCRE2's "at the start offset" is right.
//   (?(exp)...)  a condition that names no group and is no assertion is a
//                look-ahead condition in DEELX: it becomes (?(?=exp)...).
//
// Extended-mode comments, (?#...) comments and \Q...\E quotes are copied
// untouched, so nothing inside them is taken for syntax.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lcr {

struct TranslatedPattern {
    std::u16string pcrePattern;
    // sourceOffset[i] is the offset in the original pattern of the character
    // that produced pcrePattern[i]; one extra entry maps the end. It turns
    // PCRE2's error offsets back into positions the user can see.
    std::vector<std::size_t> sourceOffset;

    std::size_t toSourceOffset(std::size_t pcreOffset) const;
};

struct TranslationFlags {
    bool ignoreCase = false;
    bool multiline = false;
    bool singleLine = false;
    bool extended = false;
    bool global = false;
};

TranslatedPattern translateDeelxPattern(std::u16string_view pattern, TranslationFlags flags);

}  // namespace lcr
