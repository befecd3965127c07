// DeelxRegexObject: one expression, its options, its kept matches.
//
// Every expression the program runs goes through this class: extraction
// compiles the expression, collects all matches once with searchAll and then
// reads every match and group by index; replacement compiles and replaces.
//
//   DeelxRegexObject re;
//   re.create(u"(\\d+)-(\\d+)", /*ignoreCase=*/false);
//   int n = re.searchAll(text);
//   for (int k = 1; k <= n; ++k) {
//       row(re.matchText(k), re.subMatchText(k, 1), re.subMatchText(k, 2));
//   }
//
// Indexes of matches count from 1, group numbers from 0 (the whole match).
// Positions count UTF-16 code units from 0. Failures are results: an index
// outside the matches gives the range message as the result text, a group
// outside the expression an empty text, an expression that does not compile
// `false` from create (with the reason in compileError()).
//
// Copying gives an independent object with the same compiled expression,
// kept matches, count and replace-all flag.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "regex/engine.h"

namespace lcr {

class DeelxRegexObject {
public:
    DeelxRegexObject();

    // The pattern helpers (pattern_helpers.h); they use no state.
    static std::u16string wildcardToPattern(std::u16string_view text);
    static std::u16string escapeAll(std::u16string_view text);
    static std::u16string escapeKeepAlternation(std::u16string_view text);
    static std::u16string escapeKeepGroups(std::u16string_view text);

    // Compiles `pattern` with the option bits 8 ignore case, 2 multiline,
    // 1 single line, 4 global, 32 extended, 16 right to left, and keeps
    // `replaceAll` as the default of replace(). The kept matches are not
    // touched. Returns whether it compiled; an empty pattern does not.
    bool create(std::u16string_view pattern, bool ignoreCase = true, bool multiline = true,
                bool replaceAll = true, bool singleLine = false, bool global = false,
                bool extended = false, bool rightToLeft = false);

    // Collects every match (EngineExpression::matchAll's stop rule), keeps
    // them and returns their number.
    std::int32_t searchAll(std::u16string_view text);
    // The same over a shared text, which is kept without a copy.
    std::int32_t searchAll(std::shared_ptr<const std::u16string> text);

    // One match of `text` from `start`: the text of `group` (the whole match
    // for 0 or less); empty when nothing matches. Nothing is kept but the
    // place where matchNext goes on.
    std::u16string matchFirst(std::u16string_view text, int group = 0, std::int32_t start = 0);
    // The next match in the text of the last matchFirst, from the end of the
    // previous successful match; empty after a failed match or before any.
    std::u16string matchNext(int group = 0);

    // The pattern last given to create.
    std::u16string patternText() const;

    // Replaces the first `count` matches (all when negative); without a
    // count, all when replace all was set at create, else the first. An
    // empty text gives an empty text, a text without a match comes back
    // unchanged; with nothing compiled (before any create, or after an empty
    // pattern) the result is an empty text, after a malformed pattern the
    // text unchanged. *replaced, when given, receives the places of the
    // replacements (EngineExpression::replace).
    std::u16string replace(std::u16string_view text, std::u16string_view replacement = {},
                           std::optional<int> count = std::nullopt,
                           std::vector<ReplacedSpan>* replaced = nullptr);

    std::int32_t matchCount() const { return m_matchCount; }

    // The text of match `index` (1-based) and, when asked, its start and end.
    // An index outside 1..matchCount gives the range message and sets no
    // out-value.
    std::u16string matchText(std::int32_t index, std::int32_t* outStart = nullptr,
                             std::int32_t* outEnd = nullptr) const;
    // The text of group `group` of match `index`; the out-values are those of
    // the whole match. Empty for a group outside 0..subMatchCount() or one
    // that did not take part.
    std::u16string subMatchText(std::int32_t index, int group, std::int32_t* outStart = nullptr,
                                std::int32_t* outEnd = nullptr) const;
    // The number of capture groups of the expression; 0 while no match is kept.
    std::int32_t subMatchCount() const;

    // Beyond the classic interface, for callers that show more:
    // why the last create failed (nothing when it compiled),
    const std::optional<CompileError>& compileError() const { return m_expression.error(); }
    // whether the last searchAll or replace stopped at the engine's limits,
    bool lastRunIncomplete() const { return m_incomplete; }
    // and the kept matches with the text they were found in, for reading
    // positions without copying texts.
    const MatchList& matches() const { return m_matches; }
    std::u16string_view searchedText() const { return *m_searchedText; }

    // "匹配索引超出范围。匹配总数：<count>，当前匹配索引：<index>"
    static std::u16string rangeMessage(std::int32_t count, std::int32_t index);

private:
    bool inRange(std::int32_t index) const { return index >= 1 && index <= m_matchCount; }

    EngineExpression m_expression;
    MatchList m_matches;
    std::shared_ptr<const std::u16string> m_searchedText;
    std::int32_t m_matchCount = 0;
    bool m_replaceAll = false;
    bool m_incomplete = false;

    // matchFirst / matchNext
    std::shared_ptr<const std::u16string> m_continueText;
    std::optional<std::size_t> m_continueFrom;
};

}  // namespace lcr
