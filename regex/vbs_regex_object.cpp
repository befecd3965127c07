#include "regex/vbs_regex_object.h"

#include "regex/pattern_helpers.h"

namespace lcr {

std::u16string VbsRegexObject::wildcardToPattern(std::u16string_view text) {
    return lcr::wildcardToPattern(text);
}
std::u16string VbsRegexObject::escapeAll(std::u16string_view text) {
    return lcr::escapeAll(text);
}
std::u16string VbsRegexObject::escapeKeepAlternation(std::u16string_view text) {
    return lcr::escapeKeepAlternation(text);
}
std::u16string VbsRegexObject::escapeKeepGroups(std::u16string_view text) {
    return lcr::escapeKeepGroups(text);
}

bool VbsRegexObject::create(std::u16string_view pattern, bool ignoreCase, bool multiline,
                            bool global) {
    m_created = true;
    m_global = global;
    m_expression.compile(pattern, (ignoreCase ? kIgnoreCase : 0) | (multiline ? kMultiline : 0));
    return true;
}

std::int32_t VbsRegexObject::execute(std::u16string_view text) {
    m_matches.clear();
    m_lastText.assign(text);
    std::size_t from = 0;
    while (from <= m_lastText.size()) {
        MatchRecord record = m_expression.match(m_lastText, from);
        if (!record.matched) {
            break;
        }
        const auto start = static_cast<std::size_t>(record.start());
        const auto end = static_cast<std::size_t>(record.end());
        m_matches.push_back(std::move(record));
        if (!m_global) {
            break;
        }
        from = end > start ? end : end + 1;
    }
    return matchCount();
}

std::u16string VbsRegexObject::patternText() const {
    return m_created ? m_expression.pattern() : std::u16string();
}

std::u16string VbsRegexObject::replace(std::u16string_view text,
                                       std::u16string_view replacement) const {
    if (!m_expression.isCompiled()) {
        return std::u16string(text);
    }
    return m_expression.replace(text, replacement, m_global ? -1 : 1);
}

const MatchRecord* VbsRegexObject::recordAt(std::int32_t index) const {
    if (index < 1 || index > matchCount()) {
        return nullptr;
    }
    return &m_matches[static_cast<std::size_t>(index - 1)];
}

std::u16string VbsRegexObject::matchValue(std::int32_t index) const {
    return matchValueAt(index, nullptr);
}

std::u16string VbsRegexObject::subMatchValue(std::int32_t index, int group) const {
    return subMatchValueAt(index, group, nullptr);
}

std::int32_t VbsRegexObject::subMatchCount() const {
    return m_matches.empty() ? 0 : m_matches.front().groupCount;
}

std::u16string VbsRegexObject::matchValueAt(std::int32_t index, std::int32_t* outPosition) const {
    const MatchRecord* record = recordAt(index);
    if (!record) {
        return {};
    }
    if (outPosition) {
        *outPosition = record->start();
    }
    return std::u16string(record->groupText(m_lastText, 0));
}

std::u16string VbsRegexObject::subMatchValueAt(std::int32_t index, int group,
                                               std::int32_t* outPosition) const {
    const MatchRecord* record = recordAt(index);
    if (!record || group < 1) {
        return {};
    }
    if (outPosition) {
        *outPosition = record->start();
    }
    return std::u16string(record->groupText(m_lastText, group));
}

}  // namespace lcr
