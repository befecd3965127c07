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

// One expression of a chain, with where it starts in the chain's text.
struct ExplainedExpression {
    std::size_t offset = 0;
    ExplanationNode root;
};

// Each piece of a "<#lc#>" chain explained as its own root (empty pieces
// left out, as the operations leave them out).
std::vector<ExplainedExpression> explainChain(std::u16string_view chain, int optionBits);

// The words for one node, without those of its children.
std::u16string describeNode(const ExplanationNode& node, int expressionNumber = 1);

// The whole chain as indented lines (two spaces a level), LF after each:
// what `lcregular-cli explain` prints.
std::u16string explanationText(std::u16string_view chain, int optionBits);

}  // namespace lcr
