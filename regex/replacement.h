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
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lcr {

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
