#include "regex/pattern_translator.h"

#include <algorithm>
#include <set>

namespace lcr {

std::size_t TranslatedPattern::toSourceOffset(std::size_t pcreOffset) const {
    if (sourceOffset.empty()) {
        return 0;
    }
    return sourceOffset[std::min(pcreOffset, sourceOffset.size() - 1)];
}

namespace {

bool isHexDigit(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool isAsciiDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

bool isWordChar(char16_t c) {
    return isAsciiDigit(c) || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
}

bool isHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool allOf(std::u16string_view s, bool (*pred)(char16_t)) {
    return !s.empty() && std::all_of(s.begin(), s.end(), pred);
}

// A line break is CR LF, a lone CR or a lone LF. In multiline scope ^ holds
// at the start and after every line break, $ at the end and before every
// line break, and neither between the CR and the LF of a pair (PCRE2's
// ANYCRLF anchors would hold there, so "^.*$" would take "ab\r" of "ab\r\n").
constexpr std::u16string_view kLineStart = u"(?:\\A|(?<=\\n)|(?<=\\r)(?!\\n))";
constexpr std::u16string_view kLineEnd = u"(?:\\z|(?=\\r)|(?<!\\r)(?=\\n))";

// The options that change how a part of the pattern is translated.
struct Scope {
    bool ignoreCase;
    bool multiline;
    bool singleLine;
    bool extended;
};

class Translator {
public:
    Translator(std::u16string_view pattern, TranslationFlags flags,
               const std::set<std::u16string>& groupNames)
        : m_pattern(pattern), m_global(flags.global), m_groupNames(groupNames) {
        m_scopes.push_back({flags.ignoreCase, flags.multiline, flags.singleLine, flags.extended});
    }

    TranslatedPattern run() {
        while (m_pos < m_pattern.size()) {
            step();
        }
        m_out.sourceOffset.push_back(m_pattern.size());
        return std::move(m_out);
    }

    const std::set<std::u16string>& namesFound() const { return m_namesFound; }

private:
    char16_t at(std::size_t i) const { return i < m_pattern.size() ? m_pattern[i] : u'\0'; }
    bool startsWith(std::size_t i, std::u16string_view s) const {
        return m_pattern.substr(std::min(i, m_pattern.size())).starts_with(s);
    }

    void emit(std::u16string_view text, std::size_t source) {
        m_out.pcrePattern.append(text);
        m_out.sourceOffset.insert(m_out.sourceOffset.end(), text.size(), source);
    }
    // Copies the original characters [m_pos, end) and moves past them.
    void copyTo(std::size_t end) {
        end = std::min(end, m_pattern.size());
        for (; m_pos < end; ++m_pos) {
            m_out.pcrePattern.push_back(m_pattern[m_pos]);
            m_out.sourceOffset.push_back(m_pos);
        }
    }
    void copy(std::size_t count) { copyTo(m_pos + count); }

    Scope& scope() { return m_scopes.back(); }

    void step() {
        const char16_t c = m_pattern[m_pos];
        if (scope().extended && c == u'#') {
            // In extended mode # starts a comment to the end of the line.
            std::size_t end = m_pattern.find_first_of(u"\r\n", m_pos);
            copyTo(end == std::u16string_view::npos ? m_pattern.size() : end);
            return;
        }
        switch (c) {
            case u'\\':
                escape(false);
                return;
            case u'[':
                characterClass();
                return;
            case u'(':
                openGroup();
                return;
            case u')':
                copy(1);
                if (m_scopes.size() > 1) {
                    m_scopes.pop_back();
                }
                return;
            case u'^':
                if (scope().multiline) {
                    emit(kLineStart, m_pos);
                    ++m_pos;
                } else {
                    copy(1);
                }
                return;
            case u'$':
                if (scope().multiline) {
                    emit(kLineEnd, m_pos);
                    ++m_pos;
                } else {
                    copy(1);
                }
                return;
            case u'.':
                if (scope().singleLine) {
                    copy(1);
                } else {
                    emit(u"[^\\n]", m_pos);
                    ++m_pos;
                }
                return;
            default:
                copy(isHighSurrogate(c) ? 2 : 1);
                return;
        }
    }

    // A backslash sequence, outside or inside a character class.
    void escape(bool inClass) {
        const char16_t d = at(m_pos + 1);
        if (m_pos + 1 >= m_pattern.size()) {
            copy(1);  // a trailing backslash: PCRE2 reports it
            return;
        }
        if (d == u'u' && m_pos + 6 <= m_pattern.size() &&
            allOf(m_pattern.substr(m_pos + 2, 4), isHexDigit)) {
            std::u16string hex(m_pattern.substr(m_pos + 2, 4));
            emit(u"\\x{" + hex + u"}", m_pos);
            m_pos += 6;
            return;
        }
        if (d == u'v') {
            emit(u"\\x{0B}", m_pos);
            m_pos += 2;
            return;
        }
        if (d == u'G' && !inClass && !m_global) {
            emit(u"(?:)", m_pos);
            m_pos += 2;
            return;
        }
        if (d == u'Q') {
            // \Q...\E quotes literally; nothing inside is syntax.
            std::size_t end = m_pattern.find(u"\\E", m_pos + 2);
            copyTo(end == std::u16string_view::npos ? m_pattern.size() : end + 2);
            return;
        }
        copy(isHighSurrogate(d) ? 3 : 2);
    }

    void characterClass() {
        const std::size_t start = m_pos;
        const bool wrap = scope().ignoreCase;
        if (wrap) {
            emit(u"(?-i:", start);
        }
        copy(1);  // [
        if (at(m_pos) == u'^') {
            copy(1);
        }
        if (at(m_pos) == u']') {
            copy(1);  // a ] right after the opening bracket is literal
        }
        while (m_pos < m_pattern.size() && m_pattern[m_pos] != u']') {
            const char16_t c = m_pattern[m_pos];
            if (c == u'\\') {
                escape(true);
            } else if (c == u'[' &&
                       (at(m_pos + 1) == u':' || at(m_pos + 1) == u'.' || at(m_pos + 1) == u'=')) {
                // A POSIX class such as [:alpha:] inside the class.
                const char16_t kind[] = {at(m_pos + 1), u']', u'\0'};
                std::size_t end = m_pattern.find(kind, m_pos + 2);
                copyTo(end == std::u16string_view::npos ? m_pos + 1 : end + 2);
            } else {
                copy(isHighSurrogate(c) ? 2 : 1);
            }
        }
        copy(1);  // ] (nothing when the class is unterminated: PCRE2 reports it)
        if (wrap) {
            emit(u")", m_pos - 1);
        }
    }

    void openGroup() {
        if (at(m_pos + 1) == u'*') {
            // A verb such as (*SKIP) or (*UTF): no group, no scope.
            std::size_t end = m_pattern.find(u')', m_pos);
            copyTo(end == std::u16string_view::npos ? m_pattern.size() : end + 1);
            return;
        }
        if (at(m_pos + 1) != u'?') {
            m_scopes.push_back(scope());
            copy(1);
            return;
        }
        const char16_t kind = at(m_pos + 2);
        if (kind == u'#') {
            std::size_t end = m_pattern.find(u')', m_pos);
            copyTo(end == std::u16string_view::npos ? m_pattern.size() : end + 1);
            return;
        }
        if (kind == u'(') {
            conditional();
            return;
        }
        if (optionGroup()) {
            return;
        }
        collectGroupName();
        m_scopes.push_back(scope());
        copy(1);  // the rest of the group's opening is copied as ordinary characters
    }

    // (?imsx-imsx) changes the options of the enclosing group from here on;
    // (?imsx-imsx:...) opens a group with changed options.
    bool optionGroup() {
        std::size_t i = m_pos + 2;
        Scope changed = scope();
        bool on = true;
        if (at(i) == u'^') {
            changed = {false, false, false, false};
            ++i;
        }
        for (; i < m_pattern.size(); ++i) {
            const char16_t c = m_pattern[i];
            if (c == u'-') {
                on = false;
            } else if (c == u'i') {
                changed.ignoreCase = on;
            } else if (c == u's') {
                changed.singleLine = on;
            } else if (c == u'x') {
                changed.extended = on;
            } else if (c == u'm') {
                changed.multiline = on;
            } else if (c == u'n' || c == u'J' || c == u'U') {
                // followed by PCRE2 itself
            } else {
                break;
            }
        }
        if (at(i) == u')') {
            scope() = changed;
            copyTo(i + 1);
            return true;
        }
        if (at(i) == u':') {
            m_scopes.push_back(changed);
            copyTo(i + 1);
            return true;
        }
        return false;
    }

    void collectGroupName() {
        std::size_t i = m_pos + 2;
        char16_t close = u'>';
        if (at(i) == u'P' && at(i + 1) == u'<') {
            i += 2;
        } else if (at(i) == u'<' && at(i + 1) != u'=' && at(i + 1) != u'!') {
            i += 1;
        } else if (at(i) == u'\'') {
            i += 1;
            close = u'\'';
        } else {
            return;
        }
        std::size_t end = m_pattern.find(close, i);
        if (end != std::u16string_view::npos) {
            m_namesFound.emplace(m_pattern.substr(i, end - i));
        }
    }

    bool conditionNamesGroup(std::u16string_view cond) const {
        auto digits = [](std::u16string_view s) { return allOf(s, isAsciiDigit); };
        auto word = [](std::u16string_view s) { return allOf(s, isWordChar); };
        if (digits(cond)) {
            return true;
        }
        if ((cond.starts_with(u'+') || cond.starts_with(u'-')) && digits(cond.substr(1))) {
            return true;
        }
        if (cond.size() >= 2 && ((cond.front() == u'<' && cond.back() == u'>') ||
                                 (cond.front() == u'\'' && cond.back() == u'\''))) {
            return true;
        }
        if (cond == u"R" || cond == u"DEFINE" || cond.starts_with(u"VERSION")) {
            return true;
        }
        if (cond.starts_with(u'R') &&
            (digits(cond.substr(1)) || (cond.starts_with(u"R&") && word(cond.substr(2))))) {
            return true;
        }
        return m_groupNames.contains(std::u16string(cond));
    }

    // (?(cond)yes|no). A condition that is neither a group reference nor an
    // assertion is a look-ahead in DEELX: (?(\d)...) means (?(?=\d)...).
    void conditional() {
        const std::size_t condStart = m_pos + 3;
        const char16_t first = at(condStart);
        m_scopes.push_back(scope());
        if (first == u'?' || first == u'*') {
            copy(2);  // "(?" ; the assertion group follows as an ordinary group
            return;
        }
        std::size_t condEnd = m_pattern.find(u')', condStart);
        if (condEnd == std::u16string_view::npos) {
            copyTo(m_pattern.size());
            return;
        }
        if (conditionNamesGroup(m_pattern.substr(condStart, condEnd - condStart))) {
            copyTo(condEnd + 1);
            return;
        }
        emit(u"(?(?=", m_pos);
        m_pos = condStart;
        m_scopes.push_back(scope());  // the look-ahead, closed by the condition's ")"
    }

    std::u16string_view m_pattern;
    bool m_global;
    const std::set<std::u16string>& m_groupNames;
    std::size_t m_pos = 0;
    std::vector<Scope> m_scopes;
    TranslatedPattern m_out;
    std::set<std::u16string> m_namesFound;
};

}  // namespace

TranslatedPattern translateDeelxPattern(std::u16string_view pattern, TranslationFlags flags) {
    // A first pass collects the group names, so that a condition can be told
    // apart from a look-ahead even when its group is defined later on.
    const std::set<std::u16string> none;
    Translator namePass(pattern, flags, none);
    namePass.run();
    Translator translator(pattern, flags, namePass.namesFound());
    return translator.run();
}

}  // namespace lcr
