// Replacement texts with DEELX's references, expanded over match positions.
//
//   $$      a dollar sign              $&   the whole match
//   $`      the text before the match  $'   the text after it
//   $+      the highest-numbered group that took part
//   $_      the whole input text
//   $n      a group by number, up to three digits, 0 being the whole match.
//           While the number exceeds the highest group number its last digit
//           is dropped and stays as literal text: with 20 groups "$999" is
//           group 9 followed by "99". A number that shrinks to nothing leaves
//           the whole reference literal.
//   ${name} a named group; a name no group bears stays literal. ${n} with
//           digits only is group n when that group exists.
//   Any other dollar sign is literal.
//
// The template is parsed once per replace and expanded for every match.
// tokenizeReplacement is that parse, exposed so the text can be explained
// piece by piece exactly as it is expanded.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lcr {

// One piece of a replacement text as the template reads it.
struct ReplacementToken {
    enum class Kind {
        Literal,     // text copied as it stands
        Dollar,      // $$: one dollar sign
        LoneDollar,  // a $ that starts no reference: copied as it stands
        Group,       // $n, ${n}, ${name}, $& (group 0)
        Before,      // $`
        After,       // $'
        LastGroup,   // $+
        WholeInput,  // $_
    };
    Kind kind = Kind::Literal;
    int group = 0;             // Group: its number, 0 being the whole match
    std::u16string_view name;  // Group written ${name}: the name
    std::size_t start = 0;     // the span in the replacement text
    std::size_t end = 0;
};

// The pieces of `replacement` in order; adjacent literal text is one piece.
// `groupNumber` maps a group name to its number, or -1.
std::vector<ReplacementToken> tokenizeReplacement(
    std::u16string_view replacement, int groupCount,
    const std::function<int(std::u16string_view)>& groupNumber);

class ReplacementTemplate {
public:
    // `groupNumber` maps a group name to its number, or -1.
    ReplacementTemplate(std::u16string_view replacement, int groupCount,
                        const std::function<int(std::u16string_view)>& groupNumber);

    // Appends the expansion for one match. `spans` holds start and end of
    // groups 0..groupCount (-1 for a group that did not take part).
    void appendExpansion(std::u16string& out, std::u16string_view text,
                         const std::int32_t* spans) const;

private:
    enum class Kind { Literal, Group, Before, After, LastGroup, WholeInput };
    struct Piece {
        Kind kind;
        std::u16string literal;
        int group = 0;
    };
    void addLiteral(std::u16string_view text);
    void add(Kind kind, int group = 0);

    int m_groupCount;
    std::vector<Piece> m_pieces;
};

}  // namespace lcr
