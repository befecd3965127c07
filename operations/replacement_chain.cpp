#include "operations/replacement_chain.h"

#include <algorithm>
#include <chrono>

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

StepOutcome replaceInPlace(DeelxRegexObject& re, std::u16string& text,
                           std::u16string_view replacement, std::vector<ReplacedSpan>* replaced) {
    const auto started = std::chrono::steady_clock::now();
    text = re.replace(text, replacement, std::nullopt, replaced);
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
                                 const MatchOptions& options, std::vector<ReplacedSpan>* replaced) {
    DeelxRegexObject re;
    const bool compiled = createWithOptions(re, step.expression, options);
    StepOutcome outcome = replaceInPlace(re, text, step.replacement, replaced);
    if (!compiled) {
        outcome.compileError = re.compileError();
    }
    return outcome;
}

std::vector<std::int32_t> carryReplacedSpans(const std::vector<std::int32_t>& earlier,
                                             const std::vector<ReplacedSpan>& replaced) {
    // Where a position of the step's input lands in its result: shifted by
    // the replacements before it; inside a replaced match, at the
    // replacement's start (for a span's start) or end (for a span's end).
    auto shifted = [&replaced](std::int32_t position, bool isEnd) {
        const auto next = std::partition_point(
            replaced.begin(), replaced.end(), [position, isEnd](const ReplacedSpan& s) {
                return isEnd ? s.sourceEnd < position : s.sourceEnd <= position;
            });
        if (next != replaced.end() &&
            (isEnd ? next->sourceStart < position : next->sourceStart <= position)) {
            return isEnd ? next->resultEnd : next->resultStart;
        }
        return next == replaced.begin()
                   ? position
                   : position + (std::prev(next)->resultEnd - std::prev(next)->sourceEnd);
    };
    std::vector<std::pair<std::int32_t, std::int32_t>> spans;
    spans.reserve(earlier.size() / 2 + replaced.size());
    for (std::size_t i = 0; i + 1 < earlier.size(); i += 2) {
        const std::int32_t start = shifted(earlier[i], false);
        spans.emplace_back(start, std::max(start, shifted(earlier[i + 1], true)));
    }
    for (const ReplacedSpan& s : replaced) {
        spans.emplace_back(s.resultStart, s.resultEnd);
    }
    std::sort(spans.begin(), spans.end());
    std::vector<std::int32_t> merged;
    for (const auto& [start, end] : spans) {
        if (!merged.empty() && start < merged.back()) {
            merged.back() = std::max(merged.back(), end);
        } else {
            merged.push_back(start);
            merged.push_back(end);
        }
    }
    return merged;
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
