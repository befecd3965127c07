#include "operations/replacement_chain.h"

#include "regex/deelx_regex_object.h"

namespace lcr {

std::vector<ReplacementStep> replacementSteps(std::u16string_view chain,
                                              std::u16string_view replacements) {
    const std::vector<std::u16string> expressions = splitChain(chain);
    std::vector<std::u16string> texts = splitChain(replacements);
    texts.resize(expressions.size());
    std::vector<ReplacementStep> steps;
    for (std::size_t i = 0; i < expressions.size(); ++i) {
        if (!expressions[i].empty()) {
            steps.push_back({expressions[i], texts[i], i});
        }
    }
    return steps;
}

StepOutcome applyReplacementStep(std::u16string& text, const ReplacementStep& step,
                                 const MatchOptions& options) {
    DeelxRegexObject re;
    StepOutcome outcome;
    if (!createWithOptions(re, step.expression, options)) {
        outcome.compileError = re.compileError();
    }
    text = re.replace(text, step.replacement);
    outcome.incomplete = re.lastRunIncomplete();
    return outcome;
}

ReplacementResult replaceChain(std::u16string_view text, std::u16string_view chain,
                               std::u16string_view replacements, const MatchOptions& options) {
    ReplacementResult result;
    result.text = prepareSource(text, options);
    for (const ReplacementStep& step : replacementSteps(chain, replacements)) {
        const StepOutcome outcome = applyReplacementStep(result.text, step, options);
        if (outcome.compileError && !result.compileError) {
            result.compileError = outcome.compileError;
            result.failedPiece = step.pieceIndex;
        }
        result.incomplete = result.incomplete || outcome.incomplete;
    }
    return result;
}

}  // namespace lcr
