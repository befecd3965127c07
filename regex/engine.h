// The regex engine: DEELX syntax and behaviour over PCRE2.
//
// This is the only place that calls PCRE2. A pattern is translated from the
// DEELX syntax (pattern_translator.h) and compiled by PCRE2's 16-bit library
// in UTF mode with invalid-UTF tolerance, JIT-compiled when possible:
//   - a surrogate pair (an emoji, a rare CJK character) is one character and
//     is never split; a lone surrogate never stops a search;
//   - positions count UTF-16 code units from 0;
//   - \w, \d, \s and \b are ASCII classes, as in DEELX;
//   - an empty text never matches, not even ^$.
//
// Usage:
//   EngineExpression e;
//   if (!e.compile(u"(\\d+)-(\\d+)", kIgnoreCase | kMultiline)) {
//       show(e.error()->message, e.error()->offset);
//   }
//   MatchList all = e.matchAll(text);      // the stop rule of matchAll below
//   std::u16string out = e.replace(text, u"$2-$1");
//
// Errors are values: compile() returns false and keeps a CompileError; a
// search that reaches the engine's limits keeps what it found and reports
// itself incomplete. Nothing throws.
//
// Copying an EngineExpression is cheap and gives an independent object with
// the same compiled state (the compiled code is immutable and shared).
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lcr {

// The engine's option bits, summed into one integer.
enum EngineOption : int {
    kSingleLine = 1,    // . also matches LF
    kMultiline = 2,     // ^ and $ also match after and before every line break
    kGlobal = 4,        // \G holds at the start of the current search
    kIgnoreCase = 8,    // letters compare without case (not inside [...])
    kRightToLeft = 16,  // not supported: the compile fails and says so
    kExtended = 32,     // white space ignored, # starts a comment to the line end
};

struct CompileError {
    // PCRE2's error number, or one of ours below for what PCRE2 cannot do.
    int code = 0;
    std::u16string message;        // what is wrong, in Chinese
    std::u16string engineMessage;  // PCRE2's own text (English); empty for ours
    std::size_t offset = 0;        // position in the pattern, UTF-16 code units
};

inline constexpr int kErrorEmptyPattern = -1001;  // an empty pattern compiles to nothing
inline constexpr int kErrorRightToLeft = -1002;   // right-to-left matching is not available
// A look-behind matched right to left holds a capturing group, whose text the
// reversed match cannot hand back.
inline constexpr int kErrorLookbehindCapture = -1003;
// A look-behind matched right to left holds what cannot be reversed: a
// back-reference, a look-ahead, a recursion, a condition, \G.
inline constexpr int kErrorLookbehindUnsupported = -1004;
inline constexpr int kErrorLoneSurrogate = -1005;        // \uD800 alone is no character
inline constexpr int kErrorBranchReset = -1006;          // (?|...) is not DEELX syntax
inline constexpr int kErrorUnknownInlineOption = -1007;  // (?n), (?U)...: not DEELX letters
inline constexpr int kErrorTooManyLookbehinds = -1008;   // more than 255 reversed look-behinds
inline constexpr int kErrorNoSuchGroup = -1009;          // a recursion into a missing group
inline constexpr int kErrorCallout = -1010;              // (?C...) is not DEELX syntax

// One match: the start and end of every group 0..groupCount, -1 for a group
// that did not take part. Group 0 is the whole match.
struct MatchRecord {
    bool matched = false;
    int groupCount = 0;               // the highest capture-group number of the expression
    std::vector<std::int32_t> spans;  // start, end of group 0, then group 1, ...

    std::int32_t start(int group = 0) const { return spanAt(group, 0); }
    std::int32_t end(int group = 0) const { return spanAt(group, 1); }
    bool took(int group) const { return start(group) >= 0; }
    // The group's text in `text` (the text it was found in); empty for a
    // group outside 0..groupCount or one that did not take part.
    std::u16string_view groupText(std::u16string_view text, int group) const;

private:
    std::int32_t spanAt(int group, int side) const {
        if (!matched || group < 0 || group > groupCount) {
            return -1;
        }
        return spans[static_cast<std::size_t>(group) * 2 + side];
    }
};

// The matches of one matchAll, kept flat: (groupCount + 1) * 2 positions per
// match, so a million matches cost a million small spans, not a million
// allocations.
class MatchList {
public:
    int groupCount() const { return m_groupCount; }
    std::size_t size() const { return m_stride == 0 ? 0 : m_spans.size() / m_stride; }
    bool empty() const { return size() == 0; }
    // Index from 0; group -1 or above groupCount gives -1.
    std::int32_t start(std::size_t index, int group = 0) const { return spanAt(index, group, 0); }
    std::int32_t end(std::size_t index, int group = 0) const { return spanAt(index, group, 1); }
    std::u16string_view groupText(std::u16string_view text, std::size_t index, int group) const;
    MatchRecord record(std::size_t index) const;

    // True when the search could not look everywhere ("结果不完整"): a start
    // position reached the engine's backtracking limits (the search went on
    // after it), or the time budget ran out (then the list holds what was
    // found up to there, and timedOut() says so).
    bool incomplete() const { return m_incomplete; }
    bool timedOut() const { return m_timedOut; }

private:
    friend class EngineExpression;
    std::int32_t spanAt(std::size_t index, int group, int side) const {
        if (group < 0 || group > m_groupCount || index >= size()) {
            return -1;
        }
        return m_spans[index * m_stride + static_cast<std::size_t>(group) * 2 + side];
    }

    int m_groupCount = 0;
    std::size_t m_stride = 0;
    std::vector<std::int32_t> m_spans;
    bool m_incomplete = false;
    bool m_timedOut = false;
};

// Where one replacement happened: the match's place in the searched text
// and its expansion's place in the result.
struct ReplacedSpan {
    std::int32_t sourceStart = 0;
    std::int32_t sourceEnd = 0;
    std::int32_t resultStart = 0;
    std::int32_t resultEnd = 0;
    bool operator==(const ReplacedSpan&) const = default;
};

// The time one search (a matchAll, a replace, a match) may take before it
// stops and reports itself incomplete. An expression starts with the
// process-wide default, which the window lowers to what keeps it responsive.
void setDefaultSearchTimeBudget(std::chrono::milliseconds budget);
std::chrono::milliseconds defaultSearchTimeBudget();

class EngineExpression {
public:
    EngineExpression();
    ~EngineExpression();
    EngineExpression(const EngineExpression& other);
    EngineExpression& operator=(const EngineExpression& other);
    EngineExpression(EngineExpression&&) noexcept;
    EngineExpression& operator=(EngineExpression&&) noexcept;

    // Compiles `pattern` with the option bits (EngineOption). Returns false,
    // with error() set, when it does not compile; an empty pattern leaves
    // nothing compiled and fails. A failed compile drops any earlier one.
    bool compile(std::u16string_view pattern, int optionBits);

    bool isCompiled() const;
    const std::optional<CompileError>& error() const { return m_error; }
    const std::u16string& pattern() const { return m_pattern; }
    int groupCount() const;
    // The number of the group called `name`, or -1.
    int groupNumber(std::u16string_view name) const;

    void setTimeBudget(std::chrono::milliseconds budget) { m_timeBudget = budget; }
    std::chrono::milliseconds timeBudget() const { return m_timeBudget; }

    // One search of `text` from `start`: the first match at or after it.
    // Not matched when nothing is found, when the text is empty or when
    // nothing is compiled. A start position that reaches the backtracking
    // limits is passed over and *limitHit, when given, set to true; so it is
    // when the time budget runs out.
    MatchRecord match(std::u16string_view text, std::size_t start = 0,
                      bool* limitHit = nullptr) const;

    // Every match from the start of the text: search from 0; stop when the
    // search fails or when the match found ends at or before the end of the
    // previous one (the first match's "previous end" is 0); otherwise keep it
    // and search again from its end. So an empty match at the very start
    // gives no matches at all, and an empty match further on is kept once and
    // ends the enumeration.
    MatchList matchAll(std::u16string_view text) const;

    // Replaces the first `count` matches (all when count is negative) by the
    // expansion of `replacement` (replacement.h). After an empty match the
    // next one may not be empty at the same place, so every position is
    // visited once. A text without a match comes back unchanged; an empty
    // text gives an empty text. *limitHit as for match(): a place where the
    // limits were reached is left as it was, and the replacement goes on
    // after it until the time budget runs out (the rest is then unchanged).
    // *replaced, when given, receives every replacement's place, in order.
    std::u16string replace(std::u16string_view text, std::u16string_view replacement,
                           int count = -1, bool* limitHit = nullptr,
                           std::vector<ReplacedSpan>* replaced = nullptr) const;

private:
    struct Compiled;
    struct Matcher;
    struct SearchProgress;
    std::shared_ptr<const Compiled> m_compiled;
    std::unique_ptr<Matcher> m_matcher;  // match data and JIT stack, per object
    std::u16string m_pattern;
    std::optional<CompileError> m_error;
    std::chrono::milliseconds m_timeBudget = defaultSearchTimeBudget();

    SearchProgress startSearch(std::u16string_view text) const;
    int search(std::u16string_view text, std::size_t from, SearchProgress& progress) const;
    int runMatch(std::u16string_view text, std::size_t start, std::uint32_t options) const;
    const std::size_t* ovector() const;
};

}  // namespace lcr
