#include "regex/engine.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <algorithm>
#include <array>

#include "regex/compile_error_text.h"
#include "regex/pattern_translator.h"
#include "regex/replacement.h"

namespace lcr {

namespace {

// Limits that bound every match call to about 150 ms on a current desktop
// core, so a runaway pattern ends the search as "incomplete" instead of
// freezing the window. Measured here: the JIT spends about 2 ms per million
// units of match_limit, the interpreter about 11 ms. The interpreter serves
// patterns the JIT cannot compile and the anchored retry after an empty match
// in replace; it is also bound by depth and heap.
constexpr std::uint32_t kJitMatchLimit = 70'000'000;
constexpr std::uint32_t kInterpreterMatchLimit = 13'000'000;
constexpr std::uint32_t kDepthLimit = 1'000'000;
constexpr std::uint32_t kHeapLimitKiB = 256 * 1024;
constexpr std::size_t kJitStackStart = 64 * 1024;
constexpr std::size_t kJitStackMax = 16 * 1024 * 1024;

struct CodeDeleter {
    void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct MatchDataDeleter {
    void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};
struct MatchContextDeleter {
    void operator()(pcre2_match_context* context) const { pcre2_match_context_free(context); }
};
struct CompileContextDeleter {
    void operator()(pcre2_compile_context* context) const { pcre2_compile_context_free(context); }
};
struct JitStackDeleter {
    void operator()(pcre2_jit_stack* stack) const { pcre2_jit_stack_free(stack); }
};

PCRE2_SPTR16 sptr(std::u16string_view s) {
    return reinterpret_cast<PCRE2_SPTR16>(s.data());
}

bool isLimitError(int rc) {
    return rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_DEPTHLIMIT ||
           rc == PCRE2_ERROR_HEAPLIMIT || rc == PCRE2_ERROR_JIT_STACKLIMIT ||
           rc == PCRE2_ERROR_NOMEMORY;
}

bool isLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}
bool isHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

// The length of the character at `pos`: a surrogate pair is one character.
std::size_t charLength(std::u16string_view text, std::size_t pos) {
    if (pos + 1 < text.size() && isHighSurrogate(text[pos]) && isLowSurrogate(text[pos + 1])) {
        return 2;
    }
    return 1;
}

}  // namespace

std::u16string_view MatchRecord::groupText(std::u16string_view text, int group) const {
    const std::int32_t s = start(group);
    const std::int32_t e = end(group);
    if (s < 0 || e < s || static_cast<std::size_t>(e) > text.size()) {
        return {};
    }
    return text.substr(static_cast<std::size_t>(s), static_cast<std::size_t>(e - s));
}

std::u16string_view MatchList::groupText(std::u16string_view text, std::size_t index,
                                         int group) const {
    const std::int32_t s = start(index, group);
    const std::int32_t e = end(index, group);
    if (s < 0 || e < s || static_cast<std::size_t>(e) > text.size()) {
        return {};
    }
    return text.substr(static_cast<std::size_t>(s), static_cast<std::size_t>(e - s));
}

MatchRecord MatchList::record(std::size_t index) const {
    MatchRecord r;
    r.groupCount = m_groupCount;
    if (index < size()) {
        r.matched = true;
        r.spans.assign(m_spans.begin() + static_cast<std::ptrdiff_t>(index * m_stride),
                       m_spans.begin() + static_cast<std::ptrdiff_t>((index + 1) * m_stride));
    }
    return r;
}

struct EngineExpression::Compiled {
    std::unique_ptr<pcre2_code, CodeDeleter> code;
    int groupCount = 0;
    bool jit = false;
};

// Per-object match state: PCRE2's match data and JIT stack are not shared
// between copies, so each copy can match on its own.
struct EngineExpression::Matcher {
    std::unique_ptr<pcre2_match_data, MatchDataDeleter> data;
    std::unique_ptr<pcre2_match_context, MatchContextDeleter> jitContext;
    std::unique_ptr<pcre2_match_context, MatchContextDeleter> interpreterContext;
    std::unique_ptr<pcre2_jit_stack, JitStackDeleter> jitStack;

    explicit Matcher(const pcre2_code* code) {
        data.reset(pcre2_match_data_create_from_pattern(code, nullptr));
        jitContext.reset(pcre2_match_context_create(nullptr));
        pcre2_set_match_limit(jitContext.get(), kJitMatchLimit);
        jitStack.reset(pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr));
        pcre2_jit_stack_assign(jitContext.get(), nullptr, jitStack.get());
        interpreterContext.reset(pcre2_match_context_create(nullptr));
        pcre2_set_match_limit(interpreterContext.get(), kInterpreterMatchLimit);
        pcre2_set_depth_limit(interpreterContext.get(), kDepthLimit);
        pcre2_set_heap_limit(interpreterContext.get(), kHeapLimitKiB);
    }
};

EngineExpression::EngineExpression() = default;
EngineExpression::~EngineExpression() = default;
EngineExpression::EngineExpression(EngineExpression&&) noexcept = default;
EngineExpression& EngineExpression::operator=(EngineExpression&&) noexcept = default;

EngineExpression::EngineExpression(const EngineExpression& other)
    : m_compiled(other.m_compiled), m_pattern(other.m_pattern), m_error(other.m_error) {
    if (m_compiled) {
        m_matcher = std::make_unique<Matcher>(m_compiled->code.get());
    }
}

EngineExpression& EngineExpression::operator=(const EngineExpression& other) {
    if (this != &other) {
        EngineExpression copy(other);
        *this = std::move(copy);
    }
    return *this;
}

bool EngineExpression::isCompiled() const {
    return m_compiled != nullptr;
}

int EngineExpression::groupCount() const {
    return m_compiled ? m_compiled->groupCount : 0;
}

int EngineExpression::groupNumber(std::u16string_view name) const {
    if (!m_compiled) {
        return -1;
    }
    const std::u16string zeroTerminated(name);
    const int number =
        pcre2_substring_number_from_name(m_compiled->code.get(), sptr(zeroTerminated));
    return number > 0 ? number : -1;
}

bool EngineExpression::compile(std::u16string_view pattern, int optionBits) {
    m_compiled.reset();
    m_matcher.reset();
    m_error.reset();
    m_pattern.assign(pattern);

    if (pattern.empty()) {
        m_error = CompileError{kErrorEmptyPattern, u"表达式为空", {}, 0};
        return false;
    }
    if (optionBits & kRightToLeft) {
        m_error = CompileError{kErrorRightToLeft, compileErrorText(kErrorRightToLeft), {}, 0};
        return false;
    }

    const TranslatedPattern translated = translateDeelxPattern(
        pattern, {(optionBits & kIgnoreCase) != 0, (optionBits & kMultiline) != 0,
                  (optionBits & kSingleLine) != 0, (optionBits & kExtended) != 0,
                  (optionBits & kGlobal) != 0});

    std::uint32_t options = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_DOLLAR_ENDONLY;
    if (optionBits & kIgnoreCase) {
        options |= PCRE2_CASELESS;
    }
    if (optionBits & kMultiline) {
        options |= PCRE2_MULTILINE;
    }
    if (optionBits & kExtended) {
        options |= PCRE2_EXTENDED;
    }
    // Single line needs no PCRE2 option: the translator writes every dot
    // outside single-line scope as [^\n], and leaves the others as dots,
    // which must then match everything.
    options |= PCRE2_DOTALL;

    std::unique_ptr<pcre2_compile_context, CompileContextDeleter> context(
        pcre2_compile_context_create(nullptr));
    pcre2_set_newline(context.get(), PCRE2_NEWLINE_ANYCRLF);

    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    std::unique_ptr<pcre2_code, CodeDeleter> code(
        pcre2_compile(sptr(translated.pcrePattern), translated.pcrePattern.size(), options,
                      &errorCode, &errorOffset, context.get()));
    if (!code) {
        std::array<PCRE2_UCHAR16, 256> buffer{};
        const int length = pcre2_get_error_message(errorCode, buffer.data(), buffer.size());
        std::u16string engineMessage;
        if (length > 0) {
            engineMessage.assign(reinterpret_cast<const char16_t*>(buffer.data()),
                                 static_cast<std::size_t>(length));
        }
        m_error = CompileError{errorCode, compileErrorText(errorCode, engineMessage), engineMessage,
                               translated.toSourceOffset(errorOffset)};
        return false;
    }

    auto compiled = std::make_shared<Compiled>();
    compiled->jit = pcre2_jit_compile(code.get(), PCRE2_JIT_COMPLETE) == 0;
    std::uint32_t captureCount = 0;
    pcre2_pattern_info(code.get(), PCRE2_INFO_CAPTURECOUNT, &captureCount);
    compiled->groupCount = static_cast<int>(captureCount);
    compiled->code = std::move(code);
    m_matcher = std::make_unique<Matcher>(compiled->code.get());
    m_compiled = std::move(compiled);
    return true;
}

int EngineExpression::runMatch(std::u16string_view text, std::size_t start,
                               std::uint32_t options) const {
    // PCRE2 runs the JIT code unless the pattern has none or the call asks
    // for an anchored match, which only the interpreter does.
    if (m_compiled->jit && (options & PCRE2_ANCHORED) == 0) {
        // The JIT entry itself: the same result as pcre2_match without its
        // checks of the arguments, which a search of many matches repeats
        // for every match.
        return pcre2_jit_match(m_compiled->code.get(), sptr(text), text.size(), start, options,
                               m_matcher->data.get(), m_matcher->jitContext.get());
    }
    return pcre2_match(m_compiled->code.get(), sptr(text), text.size(), start, options,
                       m_matcher->data.get(), m_matcher->interpreterContext.get());
}

const std::size_t* EngineExpression::ovector() const {
    return pcre2_get_ovector_pointer(m_matcher->data.get());
}

MatchRecord EngineExpression::match(std::u16string_view text, std::size_t start,
                                    bool* limitHit) const {
    MatchRecord record;
    record.groupCount = groupCount();
    if (!m_compiled || text.empty() || start > text.size()) {
        return record;
    }
    const int rc = runMatch(text, start, 0);
    if (rc < 0) {
        if (limitHit && isLimitError(rc)) {
            *limitHit = true;
        }
        return record;
    }
    record.matched = true;
    const std::size_t* ov = ovector();
    record.spans.resize(static_cast<std::size_t>(record.groupCount + 1) * 2);
    for (std::size_t i = 0; i < record.spans.size(); ++i) {
        // Groups above the highest one that took part are left unset by PCRE2.
        const bool set = i < static_cast<std::size_t>(rc) * 2 && ov[i] != PCRE2_UNSET;
        record.spans[i] = set ? static_cast<std::int32_t>(ov[i]) : -1;
    }
    return record;
}

MatchList EngineExpression::matchAll(std::u16string_view text) const {
    MatchList list;
    list.m_groupCount = groupCount();
    list.m_stride = static_cast<std::size_t>(list.m_groupCount + 1) * 2;
    if (!m_compiled || text.empty()) {
        return list;
    }
    // The hot loop of every extraction: the JIT entry called directly, the
    // spans appended without zero-filling first.
    const pcre2_code* code = m_compiled->code.get();
    pcre2_match_data* data = m_matcher->data.get();
    const bool jit = m_compiled->jit;
    pcre2_match_context* context =
        jit ? m_matcher->jitContext.get() : m_matcher->interpreterContext.get();
    const std::size_t pairs = static_cast<std::size_t>(list.m_groupCount) + 1;
    const std::size_t* ov = pcre2_get_ovector_pointer(data);
    std::vector<std::int32_t>& spans = list.m_spans;
    std::size_t previousEnd = 0;
    std::size_t from = 0;
    for (;;) {
        const int rc = jit ? pcre2_jit_match(code, sptr(text), text.size(), from, 0, data, context)
                           : pcre2_match(code, sptr(text), text.size(), from, 0, data, context);
        if (rc < 0) {
            list.m_incomplete = isLimitError(rc);
            break;
        }
        const std::size_t end = ov[1];
        if (end <= previousEnd) {
            break;  // an empty match at the start, or right where the last one ended
        }
        if (spans.capacity() - spans.size() < list.m_stride) {
            spans.reserve(std::max<std::size_t>(spans.capacity() * 2, 64 * list.m_stride));
        }
        const std::size_t setPairs = static_cast<std::size_t>(rc);
        for (std::size_t g = 0; g < pairs; ++g) {
            const bool set = g < setPairs && ov[2 * g] != PCRE2_UNSET;
            spans.push_back(set ? static_cast<std::int32_t>(ov[2 * g]) : -1);
            spans.push_back(set ? static_cast<std::int32_t>(ov[2 * g + 1]) : -1);
        }
        previousEnd = end;
        from = end;
    }
    return list;
}

std::u16string EngineExpression::replace(std::u16string_view text, std::u16string_view replacement,
                                         int count, bool* limitHit) const {
    if (!m_compiled || text.empty()) {
        return std::u16string(text);
    }
    const ReplacementTemplate expansion(
        replacement, groupCount(), [this](std::u16string_view name) { return groupNumber(name); });
    std::vector<std::int32_t> spans(static_cast<std::size_t>(groupCount() + 1) * 2);

    std::u16string out;
    out.reserve(text.size());
    std::size_t copied = 0;  // text before this position is already in `out`
    std::size_t from = 0;
    bool afterEmptyMatch = false;
    int replaced = 0;
    while (count < 0 || replaced < count) {
        // After an empty match, first try a non-empty match at the same
        // place; only when there is none does the search move on by one
        // character (a whole surrogate pair).
        const std::uint32_t options =
            afterEmptyMatch ? (PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED) : 0;
        const int rc = from <= text.size() ? runMatch(text, from, options) : PCRE2_ERROR_NOMATCH;
        if (rc < 0) {
            if (isLimitError(rc)) {
                if (limitHit) {
                    *limitHit = true;
                }
                break;
            }
            if (!afterEmptyMatch || from >= text.size()) {
                break;
            }
            afterEmptyMatch = false;
            from += charLength(text, from);
            continue;
        }
        const std::size_t* ov = ovector();
        for (std::size_t i = 0; i < spans.size(); ++i) {
            const bool set = i < static_cast<std::size_t>(rc) * 2 && ov[i] != PCRE2_UNSET;
            spans[i] = set ? static_cast<std::int32_t>(ov[i]) : -1;
        }
        const std::size_t start = ov[0];
        const std::size_t end = ov[1];
        out.append(text.substr(copied, start - copied));
        expansion.appendExpansion(out, text, spans.data());
        copied = end;
        ++replaced;
        afterEmptyMatch = start == end;
        from = end;
    }
    out.append(text.substr(copied));
    return out;
}

}  // namespace lcr
