#include "regex/deelx_regex_object.h"

#include "regex/pattern_helpers.h"

namespace lcr {

namespace {

std::u16string decimal(std::int32_t n) {
    std::u16string out;
    for (char c : std::to_string(n)) {
        out.push_back(static_cast<char16_t>(c));
    }
    return out;
}

const std::shared_ptr<const std::u16string>& emptyText() {
    static const auto empty = std::make_shared<const std::u16string>();
    return empty;
}

}  // namespace

DeelxRegexObject::DeelxRegexObject() : m_searchedText(emptyText()), m_continueText(emptyText()) {}

std::u16string DeelxRegexObject::wildcardToPattern(std::u16string_view text) {
    return lcr::wildcardToPattern(text);
}
std::u16string DeelxRegexObject::escapeAll(std::u16string_view text) {
    return lcr::escapeAll(text);
}
std::u16string DeelxRegexObject::escapeKeepAlternation(std::u16string_view text) {
    return lcr::escapeKeepAlternation(text);
}
std::u16string DeelxRegexObject::escapeKeepGroups(std::u16string_view text) {
    return lcr::escapeKeepGroups(text);
}

bool DeelxRegexObject::create(std::u16string_view pattern, bool ignoreCase, bool multiline,
                              bool replaceAll, bool singleLine, bool global, bool extended,
                              bool rightToLeft) {
    m_replaceAll = replaceAll;
    const int bits = (ignoreCase ? kIgnoreCase : 0) | (multiline ? kMultiline : 0) |
                     (singleLine ? kSingleLine : 0) | (global ? kGlobal : 0) |
                     (extended ? kExtended : 0) | (rightToLeft ? kRightToLeft : 0);
    return m_expression.compile(pattern, bits);
}

std::int32_t DeelxRegexObject::searchAll(std::u16string_view text) {
    return searchAll(text.empty() ? emptyText() : std::make_shared<const std::u16string>(text));
}

std::int32_t DeelxRegexObject::searchAll(std::shared_ptr<const std::u16string> text) {
    m_searchedText = text ? std::move(text) : emptyText();
    m_matches = m_expression.matchAll(*m_searchedText);
    m_incomplete = m_matches.incomplete();
    m_matchCount = static_cast<std::int32_t>(m_matches.size());
    return m_matchCount;
}

std::u16string DeelxRegexObject::matchFirst(std::u16string_view text, int group,
                                            std::int32_t start) {
    m_continueText = std::make_shared<const std::u16string>(text);
    m_continueFrom = static_cast<std::size_t>(start < 0 ? 0 : start);
    return matchNext(group);
}

std::u16string DeelxRegexObject::matchNext(int group) {
    if (!m_continueFrom) {
        return {};
    }
    const MatchRecord record = m_expression.match(*m_continueText, *m_continueFrom);
    if (!record.matched) {
        m_continueFrom.reset();
        return {};
    }
    m_continueFrom = static_cast<std::size_t>(record.end());
    return std::u16string(record.groupText(*m_continueText, group < 0 ? 0 : group));
}

std::u16string DeelxRegexObject::patternText() const {
    return m_expression.pattern();
}

std::u16string DeelxRegexObject::replace(std::u16string_view text, std::u16string_view replacement,
                                         std::optional<int> count,
                                         std::vector<ReplacedSpan>* replaced) {
    m_incomplete = false;
    if (!m_expression.isCompiled()) {
        // Nothing compiled (no pattern, an empty one) gives an empty text. A
        // malformed pattern leaves the text as it was: a half-typed
        // expression in a replacement chain must not wipe out the text.
        const auto& error = m_expression.error();
        const bool malformed = error && error->code != kErrorEmptyPattern;
        return malformed ? std::u16string(text) : std::u16string();
    }
    const int n = count.value_or(m_replaceAll ? -1 : 1);
    return m_expression.replace(text, replacement, n, &m_incomplete, replaced);
}

std::u16string DeelxRegexObject::rangeMessage(std::int32_t count, std::int32_t index) {
    return u"匹配索引超出范围。匹配总数：" + decimal(count) + u"，当前匹配索引：" + decimal(index);
}

std::u16string DeelxRegexObject::matchText(std::int32_t index, std::int32_t* outStart,
                                           std::int32_t* outEnd) const {
    return subMatchText(index, 0, outStart, outEnd);
}

std::u16string DeelxRegexObject::subMatchText(std::int32_t index, int group, std::int32_t* outStart,
                                              std::int32_t* outEnd) const {
    if (!inRange(index)) {
        return rangeMessage(m_matchCount, index);
    }
    const auto k = static_cast<std::size_t>(index - 1);
    if (outStart) {
        *outStart = m_matches.start(k);
    }
    if (outEnd) {
        *outEnd = m_matches.end(k);
    }
    return std::u16string(m_matches.groupText(*m_searchedText, k, group));
}

std::int32_t DeelxRegexObject::subMatchCount() const {
    return m_matchCount <= 0 ? 0 : m_matches.groupCount();
}

}  // namespace lcr
