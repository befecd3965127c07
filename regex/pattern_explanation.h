// The structure of a pattern as a tree, for explaining it: one node per
// construct, in pattern order, built from the tokens the translator's own
// tokenizer reports (pattern_translator.h), so that what is explained is what
// the engine runs. The words of the explanation are library/'s
// (pattern_words.h); this is only the tree.
//
//   ExplanationNode root = explainPattern(u"(\\d{4})-\\1", kIgnoreCase);
//   // root.children: group 1 (its child: a quantifier over \d), text "-",
//   // back-reference to group 1
//
// A pattern that does not compile is explained up to its error, and the
// error is the last child of the root, with the engine's message.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "regex/pattern_translator.h"

namespace lcr {

struct ExplanationNode {
    enum class Role {
        Expression,  // the root: one expression
        Construct,   // a token of the pattern (`token` says which)
        Repeat,      // a quantifier with the item it repeats as its child
        Branch,      // one alternative of a group or of the expression
        Yes,         // a conditional's branch taken when the condition holds
        No,          // ... and when it does not
        Error,       // where the expression stops compiling (`message`)
    };
    Role role = Role::Construct;
    PatternToken token;  // for Construct (a group: kind GroupOpen) and Repeat (the quantifier)
    int branch = 0;      // for Branch: 1, 2, ...
    std::u16string message;
    std::size_t start = 0;  // the span in the pattern
    std::size_t end = 0;
    std::vector<ExplanationNode> children;
};

// The tree of one expression compiled with the engine's option bits.
ExplanationNode explainPattern(std::u16string_view pattern, int optionBits);

// The innermost node whose span holds `position` (for the cursor), as a path
// of child indexes from `root`; empty when none does.
std::vector<std::size_t> nodePathAt(const ExplanationNode& root, std::size_t position);

}  // namespace lcr
