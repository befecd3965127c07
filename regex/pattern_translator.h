// Translation of a DEELX pattern into the PCRE2 pattern that behaves the same.
//
// PCRE2 is compiled with DOLLAR_ENDONLY (so $ outside multiline mode holds
// only at the very end) and DUPNAMES. The rest of DEELX's behaviour is reached
// by rewriting the pattern with a small tokenizer that follows inline option
// changes such as (?i), (?-s), (?m), (?g) and (?x:...):
//
//   ^ and $      in multiline scope: a line break is CR LF, a lone CR or a
//                lone LF; ^ holds at the start and after every line break,
//                $ at the end and before every line break, neither between
//                the CR and the LF of a pair.
//   .            DEELX's dot excludes only LF, as PCRE2's does with LF as its
//                newline, so dots are copied: PCRE2 then sees ".*" and can
//                anchor such a pattern to line starts.
//   [...]        DEELX matches character classes case-sensitively even with
//                ignore case on, so in an ignore-case scope a class becomes
//                (?-i:[...]).
//   \uXXXX       becomes \x{XXXX}; two escapes that form a surrogate pair are
//                the one character they encode. PCRE2 knows no \u.
//   \v           the vertical tab, as in DEELX (PCRE2 reads it as a class).
//   \Z           the very end of the text, like \z (PCRE2's \Z would also
//                hold before a final line break).
//   \G           without the global option (or (?g)) it always holds, so it
//                becomes an empty group; with it, PCRE2's "at the start
//                offset" is right.
//   \nnn         a back-reference to group nnn (up to three digits, never an
//                octal escape); \g<name>, \g<n>, \k<name>, \k'name' too. A
//                reference to a group that does not exist never matches.
//   numbering    DEELX numbers the unnamed groups first, then the named ones
//                (one number for each distinct name). PCRE2 numbers them all
//                in order, so every group reference in the pattern is
//                rewritten to PCRE2's number or name, and the engine reorders
//                the match positions (groupNumbering below).
//   (?R1) (?R<name>) (?R'name') (?1)
//                recursion into a group, by DEELX number or by name.
//   (?(exp)...)  a condition that names no existing group and is no assertion
//                is a look-ahead condition in DEELX: it becomes (?(?=exp)...).
//                Only the first "|" of a conditional separates its yes branch
//                from its no branch; the rest belong to the no branch.
//   (?<=...)     a look-behind PCRE2 cannot take (one whose length varies) is
//                matched right to left, as DEELX does: its body is reversed
//                into a pattern of its own, run anchored on the reversed text
//                by a callout at the look-behind's place (`lookbehinds`).
//
// Extended-mode comments, (?#...) comments and \Q...\E quotes are copied
// untouched, so nothing inside them is taken for syntax.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lcr {

// A look-behind body reversed: matched anchored at the mirrored position of
// the reversed subject (a character sequence read backwards, surrogate pairs
// kept whole), it tells whether the body matches text ending at the position.
struct ReversedLookbehind {
    std::u16string pcrePattern;
    bool negative = false;
};

// What the translator refuses, with the position in the user's pattern.
struct TranslationError {
    int code = 0;  // one of the engine's own error codes (engine.h)
    std::size_t offset = 0;
};

// How DEELX numbers the groups of a pattern, against PCRE2's numbering.
struct GroupNumbering {
    int groupCount = 0;  // DEELX groups are 1..groupCount
    // pcreGroups[d] lists the PCRE2 groups that make DEELX group d (several
    // for a name used more than once); empty when both numberings agree.
    std::vector<std::vector<int>> pcreGroups;
    // Every name with its DEELX number.
    std::vector<std::pair<std::u16string, int>> names;

    bool identical() const { return pcreGroups.empty(); }
    int numberOf(std::u16string_view name) const;
};

struct TranslatedPattern {
    std::u16string pcrePattern;
    // sourceOffset[i] is the offset in the original pattern of the character
    // that produced pcrePattern[i]; one extra entry maps the end. It turns
    // PCRE2's error offsets back into positions the user can see.
    std::vector<std::size_t> sourceOffset;
    GroupNumbering groups;
    // Look-behinds matched right to left; callout n runs lookbehinds[n - 1].
    std::vector<ReversedLookbehind> lookbehinds;
    // True when the pattern holds a \G that means "where this search call
    // started": such a search must not be cut into calls of its own.
    bool usesSearchStart = false;
    // Set when the pattern uses what the translator refuses.
    std::optional<TranslationError> error;

    std::size_t toSourceOffset(std::size_t pcreOffset) const;
};

struct TranslationFlags {
    bool ignoreCase = false;
    bool multiline = false;
    bool singleLine = false;
    bool extended = false;
    bool global = false;
};

// One construct of a pattern as the tokenizer recognizes it while it
// translates, reported in pattern order. The explanation of a pattern
// (pattern_explanation.h) is built from these, so that what is explained is
// what runs.
struct PatternToken {
    enum class Kind {
        Literal,         // one character, or a \Q...\E quote (text)
        EscapedChar,     // \t, \n, \x41, \u4e2d, \., ... (character)
        ClassEscape,     // \d \D \w \W \s \S \p{..} \P{..} (text)
        CharacterClass,  // [...] (text)
        PosixSet,        // [:alpha:] on its own (text)
        Dot,
        Anchor,       // ^ $ \A \z \Z \b \B \G (text)
        Alternation,  // |
        GroupOpen,    // see GroupKind
        GroupClose,
        Quantifier,     // min, max (-1: no upper bound), mode
        BackReference,  // number (DEELX) or name; number 0 when none exists
        Recursion,      // number (0 = the whole pattern) or name
        InlineOptions,  // (?i) ... (text: the letters)
        Comment,        // (?#...) or # ... in extended mode
        Verb,           // (*...)
    };
    enum class GroupKind {
        Capturing,     // number, name (empty for an unnamed group)
        NonCapturing,  // (?:...)
        Atomic,        // (?>...)
        LookAhead,
        NegativeLookAhead,
        LookBehind,
        NegativeLookBehind,
        Options,      // (?i-s:...) (text: the letters)
        Conditional,  // (?(cond)yes|no) (text: the condition; number/name
                      // when it names a group; conditionIsLookAhead else)
    };
    enum class Mode { Greedy, Lazy, Possessive };

    Kind kind = Kind::Literal;
    std::size_t start = 0;  // span in the pattern
    std::size_t end = 0;
    std::u16string text;
    char32_t character = 0;
    GroupKind group = GroupKind::NonCapturing;
    int number = -1;
    std::u16string name;
    int min = 0;
    int max = 0;
    Mode mode = Mode::Greedy;
    bool conditionIsLookAhead = false;
    // The options in force at this token.
    bool ignoreCase = false;
    bool multiline = false;
    bool singleLine = false;
    bool extended = false;
    bool global = false;
};

class PatternListener {
public:
    virtual ~PatternListener() = default;
    virtual void token(const PatternToken& token) = 0;
};

// Runs the tokenizer over `pattern` as translation does and reports every
// construct to `listener`. It stops at nothing: what PCRE2 would refuse is
// reported as far as the tokenizer can tell it apart.
void tokenizeDeelxPattern(std::u16string_view pattern, TranslationFlags flags,
                          PatternListener& listener);

// The source offsets of the look-behinds (their "(") that are to be matched
// right to left; the engine names those PCRE2 refuses.
TranslatedPattern translateDeelxPattern(std::u16string_view pattern, TranslationFlags flags,
                                        const std::vector<std::size_t>& reversedLookbehinds = {});

// The source spans [start, end] of the pattern's look-behinds, "(" to ")", in
// order of their start. The engine picks the one PCRE2 reports an error in.
std::vector<std::pair<std::size_t, std::size_t>> lookbehindSpans(std::u16string_view pattern,
                                                                 TranslationFlags flags);

}  // namespace lcr
