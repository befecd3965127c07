// The replacement logic: the source text passed through a chain of
// expressions, each with its own replacement text.
//
// Both chains split at "<#lc#>"; the i-th replacement belongs to the i-th
// expression; the replacements are cut or padded with empty texts to the
// number of expressions. Empty expressions are skipped (trailing "|" are not
// removed here: an empty alternative inserts the replacement at the empty
// places the engine finds). Each expression works on the output of the one
// before it; 替换全部 decides between every match and the first one.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "operations/expression_chain.h"
#include "regex/deelx_regex_object.h"
#include "regex/engine.h"

namespace lcr {

struct ReplacementStep {
    std::u16string expression;
    std::u16string replacement;
    std::size_t pieceIndex;
};

// The non-empty expressions with their replacements, in order.
std::vector<ReplacementStep> replacementSteps(std::u16string_view chain,
                                              std::u16string_view replacements);

struct StepOutcome {
    std::optional<CompileError> compileError;
    bool incomplete = false;
    bool timedOut = false;  // incomplete because the time budget ran out
};

// Replaces in `text` (in place) with the compiled `re` and its own
// replace-all choice; says whether the replacement stopped short and why.
// *replaced, when given, receives the places of its replacements.
StepOutcome replaceInPlace(DeelxRegexObject& re, std::u16string& text,
                           std::u16string_view replacement,
                           std::vector<ReplacedSpan>* replaced = nullptr);

// Applies one step to `text` (in place); *replaced, when given, receives
// the places of its replacements.
StepOutcome applyReplacementStep(std::u16string& text, const ReplacementStep& step,
                                 const MatchOptions& options,
                                 std::vector<ReplacedSpan>* replaced = nullptr);

// The spans of a step's result that replacements made, as start, end pairs:
// `earlier` (the spans of its input the steps before made) carried through
// the step's `replaced` spans, and those added. A span the step touches
// becomes part of the step's replacement; spans that meet merge.
std::vector<std::int32_t> carryReplacedSpans(const std::vector<std::int32_t>& earlier,
                                             const std::vector<ReplacedSpan>& replaced);

struct ReplacementResult {
    std::u16string text;
    // The first step that did not compile, with its error.
    std::optional<std::size_t> failedPiece;
    std::optional<CompileError> compileError;
    bool incomplete = false;
    bool timedOut = false;  // some step's time budget ran out
};

ReplacementResult replaceChain(std::u16string_view text, std::u16string_view chain,
                               std::u16string_view replacements, const MatchOptions& options);
// The same on a text handed over: no copy of it unless 矫正换行 makes one.
ReplacementResult replaceChainTaking(std::u16string text, std::u16string_view chain,
                                     std::u16string_view replacements, const MatchOptions& options);

}  // namespace lcr
