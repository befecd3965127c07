#include "regex/pattern_translator.h"

#include <algorithm>
#include <map>

#include "regex/engine.h"

namespace lcr {

std::size_t TranslatedPattern::toSourceOffset(std::size_t pcreOffset) const {
    if (sourceOffset.empty()) {
        return 0;
    }
    return sourceOffset[std::min(pcreOffset, sourceOffset.size() - 1)];
}

int GroupNumbering::numberOf(std::u16string_view name) const {
    for (const auto& [known, number] : names) {
        if (known == name) {
            return number;
        }
    }
    return -1;
}

namespace {

bool isHexDigit(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool isAsciiDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

bool isHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool isLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

bool allOf(std::u16string_view s, bool (*pred)(char16_t)) {
    return !s.empty() && std::all_of(s.begin(), s.end(), pred);
}

int parseNumber(std::u16string_view digits) {
    int n = 0;
    for (char16_t c : digits) {
        n = std::min(n * 10 + (c - u'0'), 1'000'000);
    }
    return n;
}

std::u16string decimal(int n) {
    std::u16string out;
    do {
        out.insert(out.begin(), static_cast<char16_t>(u'0' + n % 10));
        n /= 10;
    } while (n > 0);
    return out;
}

std::u16string hexEscape(char32_t c) {
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    std::u16string digits;
    do {
        digits.insert(digits.begin(), kHex[c & 0xF]);
        c >>= 4;
    } while (c != 0);
    return u"\\x{" + digits + u"}";
}

// The value of the four hex digits at `s` (which holds at least four).
char16_t hexValue(std::u16string_view s) {
    char16_t v = 0;
    for (char16_t c : s.substr(0, 4)) {
        v = static_cast<char16_t>(v * 16 + (c <= u'9' ? c - u'0' : (c | 0x20) - u'a' + 10));
    }
    return v;
}

// A line break is CR LF, a lone CR or a lone LF. In multiline scope ^ holds
// at the start and after every line break, $ at the end and before every
// line break, and neither between the CR and the LF of a pair (PCRE2's
// ANYCRLF anchors would hold there, so "^.*$" would take "ab\r" of "ab\r\n").
constexpr std::u16string_view kLineStart = u"(?:\\A|(?<=\\n)|(?<=\\r)(?!\\n))";
constexpr std::u16string_view kLineEnd = u"(?:\\z|(?=\\r)|(?<!\\r)(?=\\n))";
// The same two anchors seen on the reversed text, where a CR LF pair reads
// LF CR: what was before a position is after it.
constexpr std::u16string_view kReversedLineStart = u"(?:\\z|(?=\\n)|(?=\\r)(?<!\\n))";
constexpr std::u16string_view kReversedLineEnd = u"(?:\\A|(?<=\\r)|(?<=\\n)(?!\\r))";

// The options that change how a part of the pattern is translated.
struct Scope {
    bool ignoreCase;
    bool multiline;
    bool singleLine;
    bool extended;
    bool global;
    bool explicitCapture = false;  // n: only named groups capture
};

// Applies the letters of an inline option group such as "i-sx" to `scope`
// (n, .NET's explicit capture, is taken too: our syntax help offers it);
// returns the position after the letters. `known` is false when a letter is
// not one of DEELX's.
std::size_t applyOptionLetters(std::u16string_view pattern, std::size_t i, Scope& scope,
                               bool& known) {
    bool on = true;
    known = true;
    for (; i < pattern.size(); ++i) {
        switch (pattern[i]) {
            case u'-':
                on = false;
                break;
            case u'i':
                scope.ignoreCase = on;
                break;
            case u's':
                scope.singleLine = on;
                break;
            case u'x':
                scope.extended = on;
                break;
            case u'm':
                scope.multiline = on;
                break;
            case u'g':
                scope.global = on;
                break;
            case u'n':
                scope.explicitCapture = on;
                break;
            case u')':
            case u':':
                return i;
            default:
                known = false;
                return i;
        }
    }
    return i;
}

// The end of the character class starting at `start` ("["): the position of
// its closing "]", or the pattern's size when it has none.
std::size_t findClassEnd(std::u16string_view pattern, std::size_t start) {
    std::size_t i = start + 1;
    if (i < pattern.size() && pattern[i] == u'^') {
        ++i;
    }
    if (i < pattern.size() && pattern[i] == u']') {
        ++i;  // a ] right after the opening bracket is literal
    }
    while (i < pattern.size() && pattern[i] != u']') {
        const char16_t c = pattern[i];
        if (c == u'\\') {
            i += 2;
        } else if (c == u'[' && i + 1 < pattern.size() &&
                   (pattern[i + 1] == u':' || pattern[i + 1] == u'.' || pattern[i + 1] == u'=')) {
            const char16_t kind[] = {pattern[i + 1], u']', u'\0'};
            const std::size_t end = pattern.find(kind, i + 2);
            i = end == std::u16string_view::npos ? i + 1 : end + 2;
        } else {
            ++i;
        }
    }
    return std::min(i, pattern.size());
}

// The end of the escape starting at `pos` (a backslash) as PCRE2 reads it:
// \x41, \x{4e2d}, \cM, \p{Han}, \pL, or a backslash and one character
// (a surrogate pair whole).
std::size_t escapeEnd(std::u16string_view pattern, std::size_t pos) {
    const auto at = [&](std::size_t i) { return i < pattern.size() ? pattern[i] : u'\0'; };
    const char16_t d = at(pos + 1);
    std::size_t end = pos + (isHighSurrogate(d) ? 3 : 2);
    if ((d == u'x' || d == u'p' || d == u'P') && at(pos + 2) == u'{') {
        const std::size_t close = pattern.find(u'}', pos + 2);
        end = close == std::u16string_view::npos ? end : close + 1;
    } else if (d == u'x') {
        while (end < pos + 4 && isHexDigit(at(end))) {
            ++end;
        }
    } else if (d == u'c' || d == u'p' || d == u'P') {
        end = pos + 3;
    }
    return std::min(end, pattern.size());
}

// A quantifier at `i`: *, +, ?, {n}, {n,}, {n,m}, each optionally followed
// by ? (lazy) or + (possessive). Returns its length, 0 when there is none.
std::size_t quantifierLength(std::u16string_view pattern, std::size_t i) {
    if (i >= pattern.size()) {
        return 0;
    }
    std::size_t n = 0;
    const char16_t c = pattern[i];
    if (c == u'*' || c == u'+' || c == u'?') {
        n = 1;
    } else if (c == u'{') {
        std::size_t j = i + 1;
        const std::size_t firstDigits = j;
        while (j < pattern.size() && isAsciiDigit(pattern[j])) {
            ++j;
        }
        if (j == firstDigits) {
            return 0;  // "{" not followed by a count is a literal brace
        }
        if (j < pattern.size() && pattern[j] == u',') {
            ++j;
            while (j < pattern.size() && isAsciiDigit(pattern[j])) {
                ++j;
            }
        }
        if (j >= pattern.size() || pattern[j] != u'}') {
            return 0;
        }
        n = j + 1 - i;
    } else {
        return 0;
    }
    if (i + n < pattern.size() && (pattern[i + n] == u'?' || pattern[i + n] == u'+')) {
        ++n;
    }
    return n;
}

// One capturing group as the first pass finds it.
struct GroupSeen {
    std::u16string name;  // empty for an unnamed group
};

// DEELX's numbering over the groups in pattern order: unnamed groups first,
// then each distinct name once.
GroupNumbering numberGroups(const std::vector<GroupSeen>& groups) {
    GroupNumbering numbering;
    std::vector<std::vector<int>> pcre(1);
    bool identical = true;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        if (groups[i].name.empty()) {
            pcre.push_back({static_cast<int>(i + 1)});
        }
    }
    std::map<std::u16string, std::size_t> slotOfName;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const std::u16string& name = groups[i].name;
        if (name.empty()) {
            continue;
        }
        auto [it, added] = slotOfName.emplace(name, pcre.size());
        if (added) {
            pcre.emplace_back();
            numbering.names.emplace_back(name, static_cast<int>(it->second));
        }
        pcre[it->second].push_back(static_cast<int>(i + 1));
    }
    for (std::size_t d = 1; d < pcre.size(); ++d) {
        identical = identical && pcre[d].size() == 1 && pcre[d][0] == static_cast<int>(d);
    }
    numbering.groupCount = static_cast<int>(pcre.size()) - 1;
    if (!identical) {
        numbering.pcreGroups = std::move(pcre);
    }
    return numbering;
}

// The reference to DEELX group `d` in PCRE2's terms: a back-reference, a
// recursion or a condition. Named groups are referred to by name, which
// covers every group a repeated name stands for.
struct GroupReference {
    const GroupNumbering& numbering;
    const std::vector<GroupSeen>& groups;

    bool exists(int d) const { return d >= 1 && d <= numbering.groupCount; }
    const std::u16string* nameOf(int d) const {
        for (const auto& [name, number] : numbering.names) {
            if (number == d) {
                return &name;
            }
        }
        return nullptr;
    }
    int pcreNumber(int d) const { return numbering.identical() ? d : numbering.pcreGroups[d][0]; }

    std::u16string backReference(int d) const {
        if (!exists(d)) {
            return u"(?!)";  // a group that never captured: the reference fails
        }
        if (const std::u16string* name = nameOf(d)) {
            return u"\\k<" + *name + u">";
        }
        return u"\\g{" + decimal(pcreNumber(d)) + u"}";
    }
    std::u16string recursion(int d) const {
        if (d == 0) {
            return u"(?R)";
        }
        if (const std::u16string* name = nameOf(d)) {
            return u"(?&" + *name + u")";
        }
        return u"(?" + decimal(pcreNumber(d)) + u")";
    }
    std::u16string condition(int d) const {
        if (const std::u16string* name = nameOf(d)) {
            return u"(?(<" + *name + u">)";
        }
        return u"(?(" + decimal(pcreNumber(d)) + u")";
    }
};

class Translator;

// Reverses the body of a look-behind into a pattern that, anchored on the
// reversed text, matches exactly where the body matches text ending at the
// look-behind's place. Options are baked into each piece, so the reversed
// pattern holds no option settings whose scope would move.
class LookbehindReverser {
public:
    LookbehindReverser(std::u16string_view pattern, Scope scope)
        : m_pattern(pattern), m_start(scope) {}

    // Reverses the body starting at `pos` (after "(?<=" or "(?<!"); on
    // success `pos` is at the closing ")".
    std::optional<std::u16string> reverse(std::size_t& pos) {
        m_pos = pos;
        Scope scope = m_start;
        std::u16string out = alternation(scope);
        pos = m_pos;
        if (m_error) {
            return std::nullopt;
        }
        return out;
    }
    const std::optional<TranslationError>& error() const { return m_error; }

private:
    char16_t at(std::size_t i) const { return i < m_pattern.size() ? m_pattern[i] : u'\0'; }
    void fail(int code, std::size_t offset) {
        if (!m_error) {
            m_error = TranslationError{code, offset};
        }
        m_pos = m_pattern.size();
    }

    std::u16string alternation(Scope& scope) {
        std::u16string out = sequence(scope);
        while (!m_error && at(m_pos) == u'|') {
            ++m_pos;
            out += u"|" + sequence(scope);
        }
        return out;
    }

    void skipExtendedSpace(const Scope& scope) {
        while (scope.extended && m_pos < m_pattern.size()) {
            const char16_t c = m_pattern[m_pos];
            if (c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f' || c == u'\v') {
                ++m_pos;
            } else if (c == u'#') {
                const std::size_t end = m_pattern.find_first_of(u"\r\n", m_pos);
                m_pos = end == std::u16string_view::npos ? m_pattern.size() : end;
            } else {
                break;
            }
        }
    }

    // The items of one branch, each with its quantifier, in reverse order.
    std::u16string sequence(Scope& scope) {
        std::vector<std::u16string> items;
        for (;;) {
            skipExtendedSpace(scope);
            if (m_error || m_pos >= m_pattern.size() || at(m_pos) == u'|' || at(m_pos) == u')') {
                break;
            }
            std::vector<std::u16string> atoms = atom(scope);
            skipExtendedSpace(scope);
            const std::size_t q = quantifierLength(m_pattern, m_pos);
            if (q > 0 && !atoms.empty()) {
                atoms.back() = u"(?:" + atoms.back() + u")";
                atoms.back().append(m_pattern.substr(m_pos, q));
                m_pos += q;
            } else if (q > 0) {
                fail(kErrorLookbehindUnsupported, m_pos);
            }
            items.insert(items.end(), atoms.begin(), atoms.end());
        }
        std::u16string out;
        for (auto it = items.rbegin(); it != items.rend(); ++it) {
            out += *it;
        }
        return out;
    }

    // The opening of a group that sets the two options a piece depends on.
    static std::u16string optionGroup(const Scope& scope) {
        std::u16string on;
        std::u16string off;
        (scope.ignoreCase ? on : off) += u'i';
        (scope.singleLine ? on : off) += u's';
        return u"(?" + on + (off.empty() ? u"" : u"-" + off) + u":";
    }

    // A piece of the pattern translated on its own under `scope`; literal
    // letters and dots carry their options with them.
    std::u16string leaf(std::size_t start, std::size_t end, const Scope& scope) {
        const TranslatedPattern t = translateDeelxPattern(
            m_pattern.substr(start, end - start),
            {scope.ignoreCase, scope.multiline, scope.singleLine, false, scope.global});
        if (t.error) {
            fail(t.error->code, start + t.error->offset);
        }
        return optionGroup(scope) + t.pcrePattern + u")";
    }

    // The next atom; several when a \Q...\E quote stands for several
    // characters (each reverses on its own). Empty for an option setting.
    std::vector<std::u16string> atom(Scope& scope) {
        const std::size_t start = m_pos;
        const char16_t c = m_pattern[m_pos];
        switch (c) {
            case u'(':
                return group(scope);
            case u'[': {
                const std::size_t end = findClassEnd(m_pattern, m_pos);
                m_pos = std::min(end + 1, m_pattern.size());
                return {leaf(start, m_pos, scope)};
            }
            case u'^':
                ++m_pos;
                return {std::u16string(scope.multiline ? kReversedLineStart : u"\\z")};
            case u'$':
                ++m_pos;
                return {std::u16string(scope.multiline ? kReversedLineEnd : u"\\A")};
            case u'\\':
                return escape(scope);
            default:
                m_pos += (isHighSurrogate(c) && isLowSurrogate(at(m_pos + 1))) ? 2 : 1;
                return {leaf(start, m_pos, scope)};
        }
    }

    std::vector<std::u16string> escape(Scope& scope) {
        const std::size_t start = m_pos;
        const char16_t d = at(m_pos + 1);
        switch (d) {
            case u'A':
                m_pos += 2;
                return {u"\\z"};
            case u'z':
            case u'Z':
                m_pos += 2;
                return {u"\\A"};
            case u'Q': {
                std::size_t end = m_pattern.find(u"\\E", m_pos + 2);
                const std::size_t stop = end == std::u16string_view::npos ? m_pattern.size() : end;
                std::vector<std::u16string> chars;
                for (std::size_t i = m_pos + 2; i < stop; ++i) {
                    char32_t ch = m_pattern[i];
                    if (isHighSurrogate(m_pattern[i]) && i + 1 < stop &&
                        isLowSurrogate(m_pattern[i + 1])) {
                        ch = 0x10000 + ((ch - 0xD800) << 10) + (m_pattern[i + 1] - 0xDC00);
                        ++i;
                    }
                    chars.push_back(optionGroup(scope) + hexEscape(ch) + u")");
                }
                m_pos = end == std::u16string_view::npos ? m_pattern.size() : end + 2;
                return chars;
            }
            case u'G':
            case u'R':
            case u'X':
            case u'K':
            case u'k':
            case u'g':
                fail(kErrorLookbehindUnsupported, start);
                return {};
            default:
                break;
        }
        if (isAsciiDigit(d)) {
            fail(kErrorLookbehindUnsupported, start);  // a back-reference
            return {};
        }
        std::size_t end = m_pos + 2;
        if (d == u'u' && allOf(m_pattern.substr(m_pos + 2, 4), isHexDigit) &&
            m_pos + 6 <= m_pattern.size()) {
            end = m_pos + 6;
            if (isHighSurrogate(hexValue(m_pattern.substr(m_pos + 2))) && at(end) == u'\\' &&
                at(end + 1) == u'u' && end + 6 <= m_pattern.size() &&
                allOf(m_pattern.substr(end + 2, 4), isHexDigit) &&
                isLowSurrogate(hexValue(m_pattern.substr(end + 2)))) {
                end += 6;
            }
        } else {
            end = escapeEnd(m_pattern, m_pos);
        }
        end = std::min(end, m_pattern.size());
        m_pos = end;
        return {leaf(start, end, scope)};
    }

    std::vector<std::u16string> group(Scope& scope) {
        const std::size_t start = m_pos;
        std::u16string open;
        Scope inner = scope;
        if (at(m_pos + 1) != u'?' && at(m_pos + 1) != u'*' && scope.explicitCapture) {
            open = u"(?:";  // with n a plain group does not capture
            m_pos += 1;
        } else if (at(m_pos + 1) != u'?') {
            fail(at(m_pos + 1) == u'*' ? kErrorLookbehindUnsupported : kErrorLookbehindCapture,
                 start);
            return {};
        }
        const char16_t kind = open.empty() ? at(m_pos + 2) : u'\0';
        if (!open.empty()) {
            // the plain group opened above
        } else if (kind == u'#') {
            const std::size_t end = m_pattern.find(u')', m_pos);
            m_pos = end == std::u16string_view::npos ? m_pattern.size() : end + 1;
            return {};
        } else if (kind == u':' || kind == u'>') {
            open = kind == u':' ? u"(?:" : u"(?>";
            m_pos += 3;
        } else if (kind == u'<' && (at(m_pos + 3) == u'=' || at(m_pos + 3) == u'!')) {
            // A look-behind inside: on the reversed text it looks ahead.
            open = at(m_pos + 3) == u'=' ? u"(?=" : u"(?!";
            m_pos += 4;
        } else if (kind == u'<' || kind == u'\'' || kind == u'P') {
            fail(kErrorLookbehindCapture, start);
            return {};
        } else if (kind == u'=' || kind == u'!' || kind == u'(' || kind == u'R' || kind == u'&' ||
                   kind == u'|' || isAsciiDigit(kind) || kind == u'+' || kind == u'-' ||
                   kind == u'C') {
            if (kind != u'-' || !(at(m_pos + 3) >= u'a' && at(m_pos + 3) <= u'z')) {
                fail(kErrorLookbehindUnsupported, start);
                return {};
            }
        }
        if (open.empty()) {
            // (?imsxg-imsxg) or (?imsxg-imsxg:...)
            bool known = true;
            const std::size_t end = applyOptionLetters(m_pattern, m_pos + 2, inner, known);
            if (!known || end >= m_pattern.size()) {
                fail(kErrorUnknownInlineOption, start);
                return {};
            }
            m_pos = end + 1;
            if (m_pattern[end] == u')') {
                scope = inner;  // to the end of the enclosing group
                return {};
            }
            open = u"(?:";
        }
        std::u16string body = alternation(inner);
        if (m_error) {
            return {};
        }
        if (at(m_pos) != u')') {
            fail(kErrorLookbehindUnsupported, start);  // PCRE2 names the missing ")"
            return {};
        }
        ++m_pos;
        return {open + body + u")"};
    }

    std::u16string_view m_pattern;
    Scope m_start;
    std::size_t m_pos = 0;
    std::optional<TranslationError> m_error;
};

class Translator {
public:
    // `groups` is the first pass's list of capturing groups; empty in the
    // first pass itself.
    Translator(std::u16string_view pattern, TranslationFlags flags,
               const std::vector<GroupSeen>& groups, const GroupNumbering& numbering,
               const std::vector<std::size_t>& reversedLookbehinds)
        : m_pattern(pattern),
          m_reference{numbering, groups},
          m_reversedLookbehinds(reversedLookbehinds) {
        // The DEELX number of each PCRE2 group, for the tokens.
        m_deelxOfPcre.assign(groups.size() + 1, 0);
        for (int d = 1; d <= numbering.groupCount; ++d) {
            if (numbering.identical()) {
                m_deelxOfPcre[static_cast<std::size_t>(d)] = d;
            } else {
                for (const int g : numbering.pcreGroups[static_cast<std::size_t>(d)]) {
                    m_deelxOfPcre[static_cast<std::size_t>(g)] = d;
                }
            }
        }
        m_frames.push_back(
            {{flags.ignoreCase, flags.multiline, flags.singleLine, flags.extended, flags.global}});
    }

    TranslatedPattern run() {
        while (m_pos < m_pattern.size()) {
            step();
        }
        m_out.sourceOffset.push_back(m_pattern.size());
        return std::move(m_out);
    }

    void setListener(PatternListener* listener) { m_listener = listener; }

    const std::vector<GroupSeen>& groupsFound() const { return m_groupsFound; }
    const std::vector<std::pair<std::size_t, std::size_t>>& lookbehindsFound() const {
        return m_lookbehindSpans;
    }

private:
    // A group as the tokenizer is inside it: its options and what its ")"
    // must close besides the group itself.
    struct Frame {
        Scope scope;
        bool conditional = false;   // a (?(...)yes|no) group
        bool noBranchOpen = false;  // its no branch was wrapped in (?:
        int lookbehind = -1;        // index into m_lookbehindSpans
    };

    char16_t at(std::size_t i) const { return i < m_pattern.size() ? m_pattern[i] : u'\0'; }

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
    void refuse(int code, std::size_t offset) {
        if (!m_out.error) {
            m_out.error = TranslationError{code, offset};
        }
    }

    // Reports a token when someone listens; translation alone pays nothing.
    PatternToken token(PatternToken::Kind kind, std::size_t start, std::size_t end) {
        PatternToken t;
        t.kind = kind;
        t.start = start;
        t.end = end;
        const Scope& now = scope();
        t.ignoreCase = now.ignoreCase;
        t.multiline = now.multiline;
        t.singleLine = now.singleLine;
        t.extended = now.extended;
        t.global = now.global;
        return t;
    }
    void note(const PatternToken& t) {
        if (m_listener) {
            m_listener->token(t);
        }
    }
    void note(PatternToken::Kind kind, std::size_t start, std::size_t end,
              std::u16string_view text = {}) {
        if (m_listener) {
            PatternToken t = token(kind, start, end);
            t.text = text;
            m_listener->token(t);
        }
    }
    void noteGroup(PatternToken::GroupKind kind, std::size_t start, std::size_t end,
                   int number = -1, std::u16string_view name = {}, std::u16string_view text = {}) {
        if (m_listener) {
            PatternToken t = token(PatternToken::Kind::GroupOpen, start, end);
            t.group = kind;
            t.number = number;
            t.name = name;
            t.text = text;
            m_listener->token(t);
        }
    }
    // The DEELX number of the next capturing group in pattern order.
    int nextCaptureNumber() {
        const auto k = static_cast<std::size_t>(++m_capturesSeen);
        return k < m_deelxOfPcre.size() ? m_deelxOfPcre[k] : m_capturesSeen;
    }

    Scope& scope() { return m_frames.back().scope; }
    Frame& pushFrame(Scope s) {
        m_frames.push_back({s});
        return m_frames.back();
    }

    void step() {
        const char16_t c = m_pattern[m_pos];
        if (scope().extended && c == u'#') {
            // In extended mode # starts a comment to the end of the line.
            std::size_t end = m_pattern.find_first_of(u"\r\n", m_pos);
            end = end == std::u16string_view::npos ? m_pattern.size() : end;
            note(PatternToken::Kind::Comment, m_pos, end,
                 m_pattern.substr(m_pos + 1, end - m_pos - 1));
            copyTo(end);
            return;
        }
        if (const std::size_t q = quantifierLength(m_pattern, m_pos); q > 0) {
            quantifier(q);
            return;
        }
        switch (c) {
            case u'\\':
                escape(false);
                return;
            case u'[':
                if (!standalonePosixClass()) {
                    characterClass();
                }
                return;
            case u'(':
                openGroup();
                return;
            case u')':
                closeGroup();
                return;
            case u'|':
                note(PatternToken::Kind::Alternation, m_pos, m_pos + 1);
                if (m_frames.back().conditional && !m_frames.back().noBranchOpen) {
                    // Only the first "|" separates yes from no; the others
                    // are alternatives of the no branch.
                    emit(u"|(?:", m_pos);
                    ++m_pos;
                    m_frames.back().noBranchOpen = true;
                } else {
                    copy(1);
                }
                return;
            case u'^':
                note(PatternToken::Kind::Anchor, m_pos, m_pos + 1, u"^");
                if (scope().multiline) {
                    emit(kLineStart, m_pos);
                    ++m_pos;
                } else {
                    copy(1);
                }
                return;
            case u'$':
                note(PatternToken::Kind::Anchor, m_pos, m_pos + 1, u"$");
                if (scope().multiline) {
                    emit(kLineEnd, m_pos);
                    ++m_pos;
                } else {
                    copy(1);
                }
                return;
            case u'.':
                note(PatternToken::Kind::Dot, m_pos, m_pos + 1);
                copy(1);
                return;
            default:
                literal();
                return;
        }
    }

    void literal() {
        const char16_t c = m_pattern[m_pos];
        const std::size_t length = isHighSurrogate(c) && isLowSurrogate(at(m_pos + 1)) ? 2 : 1;
        const bool space =
            c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f' || c == u'\v';
        if (m_listener && !(space && scope().extended)) {
            PatternToken t = token(PatternToken::Kind::Literal, m_pos, m_pos + length);
            t.text = m_pattern.substr(m_pos, length);
            m_listener->token(t);
        }
        copy(length);
    }

    // *, +, ?, {n}, {n,}, {n,m}, with ? (lazy) or + (possessive) after it.
    void quantifier(std::size_t length) {
        if (m_listener) {
            PatternToken t = token(PatternToken::Kind::Quantifier, m_pos, m_pos + length);
            const std::u16string_view q = m_pattern.substr(m_pos, length);
            const char16_t last = q.back();
            std::u16string_view counts = q;
            if (q.size() > 1 && (last == u'?' || last == u'+')) {
                t.mode = last == u'?' ? PatternToken::Mode::Lazy : PatternToken::Mode::Possessive;
                counts = q.substr(0, q.size() - 1);
            }
            if (counts == u"*") {
                t.min = 0, t.max = -1;
            } else if (counts == u"+") {
                t.min = 1, t.max = -1;
            } else if (counts == u"?") {
                t.min = 0, t.max = 1;
            } else {
                const std::u16string_view inner = counts.substr(1, counts.size() - 2);
                const std::size_t comma = inner.find(u',');
                t.min = parseNumber(inner.substr(0, comma));
                t.max = comma == std::u16string_view::npos ? t.min
                        : comma + 1 == inner.size()        ? -1
                                                           : parseNumber(inner.substr(comma + 1));
            }
            m_listener->token(t);
        }
        copy(length);
    }

    void closeGroup() {
        note(PatternToken::Kind::GroupClose, m_pos, m_pos + 1);
        if (m_frames.size() > 1) {
            const Frame& frame = m_frames.back();
            if (frame.noBranchOpen) {
                emit(u")", m_pos);
            }
            if (frame.lookbehind >= 0) {
                m_lookbehindSpans[static_cast<std::size_t>(frame.lookbehind)].second = m_pos;
            }
            m_frames.pop_back();
        }
        copy(1);
    }

    // \uXXXX, and a pair of them that encodes one character beyond the BMP.
    bool unicodeEscape(std::size_t& end, char32_t& value) const {
        if (m_pos + 6 > m_pattern.size() || !allOf(m_pattern.substr(m_pos + 2, 4), isHexDigit)) {
            return false;
        }
        end = m_pos + 6;
        value = hexValue(m_pattern.substr(m_pos + 2));
        if (isHighSurrogate(static_cast<char16_t>(value)) && at(end) == u'\\' &&
            at(end + 1) == u'u' && end + 6 <= m_pattern.size() &&
            allOf(m_pattern.substr(end + 2, 4), isHexDigit)) {
            const char16_t low = hexValue(m_pattern.substr(end + 2));
            if (isLowSurrogate(low)) {
                value = 0x10000 + ((value - 0xD800) << 10) + (low - 0xDC00);
                end += 6;
            }
        }
        return true;
    }

    // A group name closed by `close` at `i`; empty when there is none.
    std::u16string_view nameAt(std::size_t i, char16_t close) const {
        const std::size_t end = m_pattern.find(close, i);
        if (end == std::u16string_view::npos || end == i) {
            return {};
        }
        return m_pattern.substr(i, end - i);
    }

    void emitBackReferenceByName(std::u16string_view name, std::size_t end) {
        const int d = m_reference.numbering.numberOf(name);
        emit(d < 0 ? u"(?!)" : m_reference.backReference(d), m_pos);
        m_pos = end;
    }

    // A backslash sequence, outside or inside a character class.
    void escape(bool inClass) {
        const char16_t d = at(m_pos + 1);
        if (m_pos + 1 >= m_pattern.size()) {
            copy(1);  // a trailing backslash: PCRE2 reports it
            return;
        }
        std::size_t end = 0;
        char32_t value = 0;
        if (d == u'u' && unicodeEscape(end, value)) {
            if (value >= 0xD800 && value <= 0xDFFF) {
                // A lone surrogate cannot match: text holds surrogates only
                // in pairs, and a lone one in the text is never a character.
                refuse(kErrorLoneSurrogate, m_pos);
            }
            if (!inClass && m_listener) {
                PatternToken t = token(PatternToken::Kind::EscapedChar, m_pos, end);
                t.character = value;
                note(t);
            }
            emit(hexEscape(value), m_pos);
            m_pos = end;
            return;
        }
        if (d == u'v') {
            if (!inClass) {
                noteCharacter(m_pos, m_pos + 2, 0x0B);
            }
            emit(u"\\x{0B}", m_pos);
            m_pos += 2;
            return;
        }
        if (d == u'Q') {
            // \Q...\E quotes literally; nothing inside is syntax.
            std::size_t close = m_pattern.find(u"\\E", m_pos + 2);
            const std::size_t stop = close == std::u16string_view::npos ? m_pattern.size() : close;
            if (!inClass) {
                note(PatternToken::Kind::Literal, m_pos,
                     close == std::u16string_view::npos ? stop : close + 2,
                     m_pattern.substr(m_pos + 2, stop - m_pos - 2));
            }
            copyTo(close == std::u16string_view::npos ? m_pattern.size() : close + 2);
            return;
        }
        if (inClass) {
            copy(isHighSurrogate(d) ? 3 : 2);
            return;
        }
        if (d == u'G' || d == u'Z') {
            note(PatternToken::Kind::Anchor, m_pos, m_pos + 2, m_pattern.substr(m_pos, 2));
        }
        if (d == u'G' && !scope().global) {
            emit(u"(?:)", m_pos);
            m_pos += 2;
            return;
        }
        if (d == u'G') {
            m_out.usesSearchStart = true;
            copy(2);
            return;
        }
        if (d == u'Z') {
            emit(u"\\z", m_pos);
            m_pos += 2;
            return;
        }
        if (isAsciiDigit(d)) {
            // A back-reference of up to three digits, never an octal escape:
            // \0012 is group 1 followed by "2".
            std::size_t digitsEnd = m_pos + 1;
            while (digitsEnd < m_pattern.size() && digitsEnd < m_pos + 4 &&
                   isAsciiDigit(m_pattern[digitsEnd])) {
                ++digitsEnd;
            }
            const int number = parseNumber(m_pattern.substr(m_pos + 1, digitsEnd - m_pos - 1));
            noteBackReference(m_pos, digitsEnd, number, {});
            emit(number == 0 ? u"(?!)" : m_reference.backReference(number), m_pos);
            m_pos = digitsEnd;
            return;
        }
        if ((d == u'k' || d == u'g') &&
            (at(m_pos + 2) == u'<' || at(m_pos + 2) == u'\'' || at(m_pos + 2) == u'{')) {
            const char16_t open = at(m_pos + 2);
            const char16_t close = open == u'<' ? u'>' : open == u'{' ? u'}' : u'\'';
            const std::u16string_view name = nameAt(m_pos + 3, close);
            if (!name.empty()) {
                const std::size_t end = m_pos + 3 + name.size() + 1;
                if (allOf(name, isAsciiDigit)) {
                    noteBackReference(m_pos, end, parseNumber(name), {});
                    emit(m_reference.backReference(parseNumber(name)), m_pos);
                    m_pos = end;
                } else if (d == u'g' && (name[0] == u'-' || name[0] == u'+')) {
                    copyTo(end);  // a relative reference, left to PCRE2
                } else {
                    noteBackReference(m_pos, end, -1, name);
                    emitBackReferenceByName(name, end);
                }
                return;
            }
        }
        if (d == u'g' && isAsciiDigit(at(m_pos + 2))) {
            std::size_t digitsEnd = m_pos + 2;
            while (isAsciiDigit(at(digitsEnd))) {
                ++digitsEnd;
            }
            noteBackReference(m_pos, digitsEnd,
                              parseNumber(m_pattern.substr(m_pos + 2, digitsEnd - m_pos - 2)), {});
            emit(m_reference.backReference(
                     parseNumber(m_pattern.substr(m_pos + 2, digitsEnd - m_pos - 2))),
                 m_pos);
            m_pos = digitsEnd;
            return;
        }
        simpleEscape();
    }

    // An escape that PCRE2 reads as we do, copied whole: \d, \b, \t,
    // \x41, \x{4e2d}, \cM, \p{Han}, \. ...
    void simpleEscape() {
        const char16_t d = at(m_pos + 1);
        const std::size_t end = escapeEnd(m_pattern, m_pos);
        if (m_listener) {
            const std::u16string_view text = m_pattern.substr(m_pos, end - m_pos);
            static constexpr std::u16string_view kClasses = u"dDwWsShHNRpPX";
            static constexpr std::u16string_view kAnchors = u"bBAzK";
            if (kClasses.find(d) != std::u16string_view::npos) {
                note(PatternToken::Kind::ClassEscape, m_pos, end, text);
            } else if (kAnchors.find(d) != std::u16string_view::npos) {
                note(PatternToken::Kind::Anchor, m_pos, end, text);
            } else {
                noteCharacter(m_pos, end, escapedCharacter(text));
            }
        }
        copyTo(end);
    }

    // The character an escape such as \t, \x41, \x{4e2d}, \cM or \. stands for.
    static char32_t escapedCharacter(std::u16string_view text) {
        const char16_t d = text.size() > 1 ? text[1] : u'\\';
        switch (d) {
            case u't':
                return 0x09;
            case u'n':
                return 0x0A;
            case u'r':
                return 0x0D;
            case u'f':
                return 0x0C;
            case u'a':
                return 0x07;
            case u'e':
                return 0x1B;
            case u'c':
                return text.size() > 2 ? (text[2] & 0x1F) : 0;
            case u'x': {
                char32_t v = 0;
                for (char16_t c : text.substr(2)) {
                    if (isHexDigit(c)) {
                        v = v * 16 + (c <= u'9' ? c - u'0' : (c | 0x20) - u'a' + 10);
                    }
                }
                return v;
            }
            default:
                if (isHighSurrogate(d) && text.size() > 2) {
                    return 0x10000 + ((d - 0xD800) << 10) + (text[2] - 0xDC00);
                }
                return d;
        }
    }

    void noteCharacter(std::size_t start, std::size_t end, char32_t c) {
        if (m_listener) {
            PatternToken t = token(PatternToken::Kind::EscapedChar, start, end);
            t.character = c;
            t.text = m_pattern.substr(start, end - start);
            m_listener->token(t);
        }
    }

    void noteBackReference(std::size_t start, std::size_t end, int number,
                           std::u16string_view name) {
        if (m_listener) {
            PatternToken t = token(PatternToken::Kind::BackReference, start, end);
            if (!name.empty()) {
                t.name = name;
                t.number = std::max(0, m_reference.numbering.numberOf(name));
            } else {
                t.number = m_reference.exists(number) ? number : 0;
                t.text = decimal(number);
            }
            m_listener->token(t);
        }
    }

    // [:alpha:] or [:^alpha:] on its own is a set of its own in DEELX;
    // PCRE2 takes POSIX classes only inside brackets.
    bool standalonePosixClass() {
        if (at(m_pos + 1) != u':') {
            return false;
        }
        std::size_t i = m_pos + 2;
        if (at(i) == u'^') {
            ++i;
        }
        const std::size_t nameStart = i;
        while (at(i) >= u'a' && at(i) <= u'z') {
            ++i;
        }
        if (i == nameStart || at(i) != u':' || at(i + 1) != u']') {
            return false;
        }
        static constexpr std::u16string_view kNames[] = {
            u"alnum", u"alpha", u"ascii", u"blank", u"cntrl", u"digit", u"graph",
            u"lower", u"print", u"punct", u"space", u"upper", u"word",  u"xdigit"};
        const std::u16string_view name = m_pattern.substr(nameStart, i - nameStart);
        if (std::find(std::begin(kNames), std::end(kNames), name) == std::end(kNames)) {
            return false;
        }
        const std::size_t start = m_pos;
        note(PatternToken::Kind::PosixSet, start, i + 2, m_pattern.substr(start, i + 2 - start));
        emit(scope().ignoreCase ? u"(?-i:[" : u"[", start);
        copyTo(i + 2);
        emit(scope().ignoreCase ? u"])" : u"]", start);
        return true;
    }

    void characterClass() {
        const std::size_t start = m_pos;
        if (m_listener) {
            const std::size_t end = std::min(findClassEnd(m_pattern, start) + 1, m_pattern.size());
            note(PatternToken::Kind::CharacterClass, start, end,
                 m_pattern.substr(start, end - start));
        }
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
        const std::size_t start = m_pos;
        if (at(m_pos + 1) == u'*') {
            // A verb such as (*SKIP) or (*UTF): no group, no scope.
            std::size_t end = m_pattern.find(u')', m_pos);
            end = end == std::u16string_view::npos ? m_pattern.size() : end + 1;
            note(PatternToken::Kind::Verb, m_pos, end, m_pattern.substr(m_pos, end - m_pos));
            copyTo(end);
            return;
        }
        if (at(m_pos + 1) != u'?') {
            if (scope().explicitCapture) {
                noteGroup(PatternToken::GroupKind::NonCapturing, m_pos, m_pos + 1);
                pushFrame(scope());
                emit(u"(?:", m_pos);  // with n only named groups capture
                ++m_pos;
                return;
            }
            noteGroup(PatternToken::GroupKind::Capturing, m_pos, m_pos + 1, nextCaptureNumber());
            pushFrame(scope());
            m_groupsFound.push_back({});
            copy(1);
            return;
        }
        const char16_t kind = at(m_pos + 2);
        switch (kind) {
            case u'#': {
                std::size_t end = m_pattern.find(u')', m_pos);
                end = end == std::u16string_view::npos ? m_pattern.size() : end + 1;
                note(PatternToken::Kind::Comment, m_pos, end,
                     m_pattern.substr(
                         m_pos + 3,
                         end - m_pos - 3 - (end <= m_pattern.size() && at(end - 1) == u')')));
                copyTo(end);
                return;
            }
            case u'(':
                conditional();
                return;
            case u'|':
                // Branch reset would give groups numbers DEELX never gives.
                refuse(kErrorBranchReset, start);
                break;
            case u'C':
                refuse(kErrorCallout, start);
                break;
            case u'R':
                if (recursion()) {
                    return;
                }
                break;
            case u'<':
                if (at(m_pos + 3) == u'=' || at(m_pos + 3) == u'!') {
                    lookbehind();
                    return;
                }
                namedGroup(m_pos + 3, u'>');
                return;
            case u'\'':
                namedGroup(m_pos + 3, u'\'');
                return;
            case u'P':
                if (at(m_pos + 3) == u'<') {
                    namedGroup(m_pos + 4, u'>');
                    return;
                }
                break;
            default:
                if (isAsciiDigit(kind)) {
                    numberedRecursion(m_pos + 2);
                    return;
                }
                if (optionGroup()) {
                    return;
                }
                break;
        }
        std::optional<PatternToken::GroupKind> opened;
        switch (kind) {
            case u':':
                opened = PatternToken::GroupKind::NonCapturing;
                break;
            case u'>':
                opened = PatternToken::GroupKind::Atomic;
                break;
            case u'=':
                opened = PatternToken::GroupKind::LookAhead;
                break;
            case u'!':
                opened = PatternToken::GroupKind::NegativeLookAhead;
                break;
            default:
                break;
        }
        pushFrame(scope());
        if (opened) {
            noteGroup(*opened, m_pos, m_pos + 3);
            copy(3);
            return;
        }
        copy(1);  // the rest of the group's opening is copied as ordinary characters
    }

    void namedGroup(std::size_t nameStart, char16_t close) {
        const std::u16string_view name = nameAt(nameStart, close);
        m_groupsFound.push_back({std::u16string(name)});
        const std::size_t start = m_pos;
        const int number = nextCaptureNumber();
        pushFrame(scope());
        if (name.empty()) {
            copy(1);  // PCRE2 says what is wrong
            return;
        }
        const std::size_t end = nameStart + name.size() + 1;
        noteGroup(PatternToken::GroupKind::Capturing, start, end, number, name);
        copyTo(end);
    }

    // (?<=...) and (?<!...): copied for PCRE2, or reversed when PCRE2 cannot
    // take it.
    void lookbehind() {
        const std::size_t start = m_pos;
        const auto index = static_cast<int>(m_lookbehindSpans.size());
        m_lookbehindSpans.emplace_back(start, m_pattern.size());
        if (std::find(m_reversedLookbehinds.begin(), m_reversedLookbehinds.end(), start) ==
            m_reversedLookbehinds.end()) {
            noteGroup(at(m_pos + 3) == u'=' ? PatternToken::GroupKind::LookBehind
                                            : PatternToken::GroupKind::NegativeLookBehind,
                      start, start + 4);
            pushFrame(scope()).lookbehind = index;
            copy(4);
            return;
        }
        LookbehindReverser reverser(m_pattern, scope());
        std::size_t pos = m_pos + 4;
        std::optional<std::u16string> reversed = reverser.reverse(pos);
        if (!reversed) {
            refuse(reverser.error()->code, reverser.error()->offset);
            m_pos = m_pattern.size();
            return;
        }
        if (m_out.lookbehinds.size() >= 255) {
            refuse(kErrorTooManyLookbehinds, start);
        }
        m_out.lookbehinds.push_back({std::move(*reversed), at(m_pos + 3) == u'!'});
        emit(u"(?:(?C" + decimal(static_cast<int>(m_out.lookbehinds.size())) + u"))", start);
        m_lookbehindSpans.back().second = pos;
        m_pos = pos + 1;
    }

    // (?R), (?R1), (?R<name>), (?R'name'): recursion into the whole pattern
    // or into a group.
    bool recursion() {
        const std::size_t start = m_pos;
        const char16_t next = at(m_pos + 3);
        if (next == u')') {
            noteRecursion(m_pos, m_pos + 4, 0, {});
            copyTo(m_pos + 4);
            return true;
        }
        if (isAsciiDigit(next)) {
            numberedRecursion(m_pos + 3);
            return true;
        }
        if (next == u'<' || next == u'\'') {
            const std::u16string_view name = nameAt(m_pos + 4, next == u'<' ? u'>' : u'\'');
            const std::size_t end = m_pos + 4 + name.size() + 1;
            if (!name.empty() && at(end) == u')') {
                const int d = m_reference.numbering.numberOf(name);
                if (d < 0) {
                    refuse(kErrorNoSuchGroup, start);
                }
                noteRecursion(start, end + 1, d, name);
                emit(m_reference.recursion(std::max(d, 1)), start);
                m_pos = end + 1;
                return true;
            }
        }
        return false;
    }

    void noteRecursion(std::size_t start, std::size_t end, int number, std::u16string_view name) {
        if (m_listener) {
            PatternToken t = token(PatternToken::Kind::Recursion, start, end);
            t.number = number;
            t.name = name;
            m_listener->token(t);
        }
    }

    // (?1) or (?R1) from the digits at `digits`.
    void numberedRecursion(std::size_t digits) {
        const std::size_t start = m_pos;
        std::size_t end = digits;
        while (isAsciiDigit(at(end))) {
            ++end;
        }
        if (at(end) != u')') {
            pushFrame(scope());
            copy(1);  // not a recursion; PCRE2 reports what is wrong
            return;
        }
        const int d = parseNumber(m_pattern.substr(digits, end - digits));
        if (d != 0 && !m_reference.exists(d)) {
            refuse(kErrorNoSuchGroup, start);
        }
        noteRecursion(start, end + 1, d, {});
        emit(m_reference.exists(d) || d == 0 ? m_reference.recursion(d) : u"(?R)", start);
        m_pos = end + 1;
    }

    // (?imsxg-imsxg) changes the options of the enclosing group from here
    // on; (?imsxg-imsxg:...) opens a group with changed options. PCRE2 knows
    // no g, so the letters are rewritten without it.
    bool optionGroup() {
        const std::size_t start = m_pos;
        Scope changed = scope();
        std::size_t i = m_pos + 2;
        bool known = true;
        if (at(i) == u'^') {
            changed = {false, false, false, false, false, false};
            ++i;
        }
        const std::size_t end = applyOptionLetters(m_pattern, i, changed, known);
        if (!known || (at(end) != u')' && at(end) != u':')) {
            const char16_t first = at(m_pos + 2);
            if (!known && ((first >= u'a' && first <= u'z') || (first >= u'A' && first <= u'Z') ||
                           first == u'-' || first == u'^')) {
                refuse(kErrorUnknownInlineOption, start);
            }
            return false;
        }
        std::u16string letters;
        for (std::size_t k = m_pos + 2; k < end; ++k) {
            if (m_pattern[k] != u'g' && m_pattern[k] != u'n') {
                letters.push_back(m_pattern[k]);
            }
        }
        if (letters == u"-" || letters == u"^") {
            letters.clear();
        }
        const std::u16string_view written = m_pattern.substr(m_pos + 2, end - m_pos - 2);
        if (at(end) == u')') {
            scope() = changed;
            note(PatternToken::Kind::InlineOptions, start, end + 1, written);
            emit(letters.empty() ? u"" : u"(?" + letters + u")", start);
        } else {
            noteGroup(PatternToken::GroupKind::Options, start, end + 1, -1, {}, written);
            pushFrame(changed);
            emit(u"(?" + letters + u":", start);
        }
        m_pos = end + 1;
        return true;
    }

    // The condition of (?(cond)...) names a group: a DEELX group number, a
    // name, or one of PCRE2's own conditions.
    std::optional<std::u16string> groupCondition(std::u16string_view cond) const {
        if (allOf(cond, isAsciiDigit)) {
            const int d = parseNumber(cond);
            if (!m_reference.exists(d)) {
                return std::nullopt;  // no such group: a look-ahead
            }
            return m_reference.condition(d);
        }
        if (cond.size() >= 2 && ((cond.front() == u'<' && cond.back() == u'>') ||
                                 (cond.front() == u'\'' && cond.back() == u'\''))) {
            const std::u16string_view name = cond.substr(1, cond.size() - 2);
            if (m_reference.numbering.numberOf(name) >= 0) {
                return u"(?(" + std::u16string(cond) + u")";
            }
            return std::nullopt;
        }
        if (cond == u"R" || cond == u"DEFINE") {
            return u"(?(" + std::u16string(cond) + u")";
        }
        if (m_reference.numbering.numberOf(cond) >= 0) {
            return u"(?(<" + std::u16string(cond) + u">)";
        }
        return std::nullopt;
    }

    // (?(cond)yes|no). A condition that is neither a group reference nor an
    // assertion is a look-ahead in DEELX: (?(\d)...) means (?(?=\d)...).
    void conditional() {
        const std::size_t start = m_pos;
        const std::size_t condStart = m_pos + 3;
        const char16_t first = at(condStart);
        if (first == u'?' || first == u'*') {
            noteGroup(PatternToken::GroupKind::Conditional, start, start + 2);
            pushFrame(scope()).conditional = true;
            copy(2);  // "(?" ; the assertion group follows as an ordinary group
            return;
        }
        std::size_t condEnd = m_pattern.find(u')', condStart);
        if (condEnd == std::u16string_view::npos) {
            pushFrame(scope()).conditional = true;
            copyTo(m_pattern.size());
            return;
        }
        const std::u16string_view condition = m_pattern.substr(condStart, condEnd - condStart);
        if (auto reference = groupCondition(condition)) {
            if (m_listener) {
                PatternToken t = token(PatternToken::Kind::GroupOpen, start, condEnd + 1);
                t.group = PatternToken::GroupKind::Conditional;
                t.text = condition;
                std::u16string_view name = condition;
                if (name.size() >= 2 && (name.front() == u'<' || name.front() == u'\'')) {
                    name = name.substr(1, name.size() - 2);
                }
                t.number = allOf(condition, isAsciiDigit) ? parseNumber(condition)
                                                          : m_reference.numbering.numberOf(name);
                if (!allOf(condition, isAsciiDigit) && t.number > 0) {
                    t.name = name;
                }
                m_listener->token(t);
            }
            pushFrame(scope()).conditional = true;
            emit(*reference, start);
            m_pos = condEnd + 1;
            return;
        }
        if (m_listener) {
            PatternToken t = token(PatternToken::Kind::GroupOpen, start, condStart);
            t.group = PatternToken::GroupKind::Conditional;
            t.text = condition;
            t.conditionIsLookAhead = true;
            m_listener->token(t);
            noteGroup(PatternToken::GroupKind::LookAhead, condStart - 1, condStart);
        }
        pushFrame(scope()).conditional = true;
        emit(u"(?(?=", m_pos);
        m_pos = condStart;
        pushFrame(scope());  // the look-ahead, closed by the condition's ")"
    }

    std::u16string_view m_pattern;
    GroupReference m_reference;
    const std::vector<std::size_t>& m_reversedLookbehinds;
    std::size_t m_pos = 0;
    std::vector<Frame> m_frames;
    TranslatedPattern m_out;
    std::vector<GroupSeen> m_groupsFound;
    std::vector<std::pair<std::size_t, std::size_t>> m_lookbehindSpans;
    PatternListener* m_listener = nullptr;
    std::vector<int> m_deelxOfPcre;
    int m_capturesSeen = 0;
};

}  // namespace

namespace {

// A first pass finds the groups, so that references can be numbered the
// DEELX way and a condition told apart from a look-ahead even when its group
// is defined later on; the second translates (and reports to `listener`).
TranslatedPattern translateInTwoPasses(std::u16string_view pattern, TranslationFlags flags,
                                       const std::vector<std::size_t>& reversedLookbehinds,
                                       PatternListener* listener) {
    const std::vector<GroupSeen> noGroups;
    const GroupNumbering noNumbering;
    const std::vector<std::size_t> noReversal;
    Translator groupPass(pattern, flags, noGroups, noNumbering, noReversal);
    groupPass.run();
    const std::vector<GroupSeen> groups = groupPass.groupsFound();
    const GroupNumbering numbering = numberGroups(groups);
    Translator translator(pattern, flags, groups, numbering, reversedLookbehinds);
    translator.setListener(listener);
    TranslatedPattern out = translator.run();
    out.groups = numbering;
    return out;
}

}  // namespace

TranslatedPattern translateDeelxPattern(std::u16string_view pattern, TranslationFlags flags,
                                        const std::vector<std::size_t>& reversedLookbehinds) {
    return translateInTwoPasses(pattern, flags, reversedLookbehinds, nullptr);
}

void tokenizeDeelxPattern(std::u16string_view pattern, TranslationFlags flags,
                          PatternListener& listener) {
    translateInTwoPasses(pattern, flags, {}, &listener);
}

std::vector<std::pair<std::size_t, std::size_t>> lookbehindSpans(std::u16string_view pattern,
                                                                 TranslationFlags flags) {
    const std::vector<GroupSeen> noGroups;
    const GroupNumbering noNumbering;
    const std::vector<std::size_t> noReversal;
    Translator pass(pattern, flags, noGroups, noNumbering, noReversal);
    pass.run();
    return pass.lookbehindsFound();
}

}  // namespace lcr
