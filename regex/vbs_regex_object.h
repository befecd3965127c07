// VbsRegexObject: the regex object with the VBScript-like interface, used to
// test file names against a batch run's name filter.
//
//   VbsRegexObject re;
//   re.create(VbsRegexObject::wildcardToPattern(u"*.txt"));  // ignore case,
//   bool accepted = re.execute(u"A.TXT") > 0;                // multiline, global
//
// It runs on the program's own engine (engine.h) with the option set of the
// VBScript component: ignore case, multiline and global, all on when omitted.
// With global on, execute finds every match, moving one character on after an
// empty match; with it off, only the first. Indexes count from 1 and are not
// range-checked by the interface: one outside the matches gives an empty text.
// Copies share nothing mutable: copying gives an independent object.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "regex/engine.h"

namespace lcr {

class VbsRegexObject {
public:
    static std::u16string wildcardToPattern(std::u16string_view text);
    static std::u16string escapeAll(std::u16string_view text);
    static std::u16string escapeKeepAlternation(std::u16string_view text);
    static std::u16string escapeKeepGroups(std::u16string_view text);

    // Sets the options and the pattern. Returns whether the expression object
    // exists, as the component's creation did; whether the pattern compiled
    // is patternCompiles().
    bool create(std::u16string_view pattern, bool ignoreCase = true, bool multiline = true,
                bool global = true);
    bool patternCompiles() const { return m_expression.isCompiled(); }

    // Matches `text`, replaces the kept matches and returns their number.
    std::int32_t execute(std::u16string_view text);
    // The pattern given to create; empty before any create.
    std::u16string patternText() const;
    // All matches when global, else the first.
    std::u16string replace(std::u16string_view text, std::u16string_view replacement) const;
    std::int32_t matchCount() const { return static_cast<std::int32_t>(m_matches.size()); }
    std::u16string matchValue(std::int32_t index) const;
    // Group `group` (from 1) of match `index` (from 1).
    std::u16string subMatchValue(std::int32_t index, int group) const;
    std::int32_t subMatchCount() const;
    // As matchValue and subMatchValue, with the start of the whole match.
    std::u16string matchValueAt(std::int32_t index, std::int32_t* outPosition) const;
    std::u16string subMatchValueAt(std::int32_t index, int group, std::int32_t* outPosition) const;

private:
    const MatchRecord* recordAt(std::int32_t index) const;

    bool m_created = false;
    bool m_global = true;
    EngineExpression m_expression;
    std::vector<MatchRecord> m_matches;
    std::u16string m_lastText;
};

}  // namespace lcr
