#include "operations/replacement_chain.h"

#include <chrono>

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

StepOutcome replaceInPlace(DeelxRegexObject& re, std::u16string& text,
                           std::u16string_view replacement) {
    const auto started = std::chrono::steady_clock::now();
    text = re.replace(text, replacement);
    StepOutcome outcome;
    outcome.incomplete = re.lastRunIncomplete();
    // The object says only that the replacement stopped short. A start
    // position at the backtracking limits costs a fraction of the budget, so
    // a replacement that lasted the whole budget (the process-wide one the
    // object was made with) is one that ran out of time. The engine reads a
    // coarse clock, a tick or two early against this one.
    constexpr std::chrono::milliseconds kClockSlack{20};
    outcome.timedOut = outcome.incomplete && std::chrono::steady_clock::now() - started >=
                                                 defaultSearchTimeBudget() - kClockSlack;
    return outcome;
}

StepOutcome applyReplacementStep(std::u16string& text, const ReplacementStep& step,
                                 const MatchOptions& options) {
    DeelxRegexObject re;
    const bool compiled = createWithOptions(re, step.expression, options);
    StepOutcome outcome = replaceInPlace(re, text, step.replacement);
    if (!compiled) {
        outcome.compileError = re.compileError();
    }
    return outcome;
}

ReplacementResult replaceChain(std::u16string_view text, std::u16string_view chain,
                               std::u16string_view replacements, const MatchOptions& options) {
    MatchOptions prepared = options;
    prepared.correctNewlines = false;  // done here, on the copy
    return replaceChainTaking(prepareSource(text, options), chain, replacements, prepared);
}

ReplacementResult replaceChainTaking(std::u16string text, std::u16string_view chain,
                                     std::u16string_view replacements,
                                     const MatchOptions& options) {
    ReplacementResult result;
    result.text = options.correctNewlines ? prepareSource(text, options) : std::move(text);
    for (const ReplacementStep& step : replacementSteps(chain, replacements)) {
        const StepOutcome outcome = applyReplacementStep(result.text, step, options);
        if (outcome.compileError && !result.compileError) {
            result.compileError = outcome.compileError;
            result.failedPiece = step.pieceIndex;
        }
        result.incomplete = result.incomplete || outcome.incomplete;
        result.timedOut = result.timedOut || outcome.timedOut;
    }
    return result;
}

}  // namespace lcr
