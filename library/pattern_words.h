// The Chinese words of an expression's explanation (表达式解释).
//
// The tree comes from regex/pattern_explanation.h; the words come from one
// table, resources/explanation_table.txt ("key::text" lines with {fields}),
// which sits beside the syntax table so that the two are kept together.
//
//   for (const ExplainedExpression& e : explainChain(u"\\d+<#lc#>[a-z]", kIgnoreCase)) {
//       show(e.root, describeNode(e.root));  // and so on down the tree
//   }
//   std::u16string text = explanationText(u"(\\d{4})-\\1", 0);  // indented lines
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "regex/pattern_explanation.h"

namespace lcr {

// One expression of a chain, with where it starts in the chain's text and
// its place in the chain (from 0, empty pieces counted, as the status line
// counts them).
struct ExplainedExpression {
    std::size_t offset = 0;
    std::size_t pieceIndex = 0;
    ExplanationNode root;
};

// Each piece of a "<#lc#>" chain explained as its own root (empty pieces
// left out, as the operations leave them out).
std::vector<ExplainedExpression> explainChain(std::u16string_view chain, int optionBits);

// The words for one node, without those of its children.
std::u16string describeNode(const ExplanationNode& node, int expressionNumber = 1);

// One replacement text of a chain of replacements: the words of its root and
// of its pieces, each with its span in the replacements' whole text.
struct ExplainedReplacement {
    struct Part {
        std::u16string words;
        std::size_t start = 0;
        std::size_t end = 0;
    };
    std::size_t offset = 0;      // where the replacement starts in the whole text
    std::size_t pieceIndex = 0;  // the expression of `chain` it belongs to
    std::u16string words;
    std::vector<Part> parts;
};

// The replacement texts of the replace page, each read as the engine reads
// it for its expression: the i-th replacement belongs to the i-th expression
// of `chain` (compiled with `optionBits` for its groups), missing ones are
// empty, and one without a compiling expression is never used.
std::vector<ExplainedReplacement> explainReplacements(std::u16string_view replacements,
                                                      std::u16string_view chain, int optionBits);

// The same as indented lines, LF after each.
std::u16string replacementExplanationText(std::u16string_view replacements,
                                          std::u16string_view chain, int optionBits);

// The whole chain as indented lines (two spaces a level), LF after each:
// what `lcregular-cli explain` prints.
std::u16string explanationText(std::u16string_view chain, int optionBits);

}  // namespace lcr
