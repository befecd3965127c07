#include "regex/engine.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <time.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <limits>
#include <mutex>

#include "regex/compile_error_text.h"
#include "regex/pattern_translator.h"
#include "regex/replacement.h"

namespace lcr {

namespace {

// Limits that bound the work at one start position to about 20 ms on a
// current desktop core; PCRE2 counts them afresh at every start position and
// ends the call at the first position that reaches them. Measured here: the
// JIT spends about 2 ms per million units of match_limit, the interpreter
// about 11 ms. The interpreter serves patterns the JIT cannot compile and the
// anchored retry after an empty match in replace; it is also bound by depth
// and heap.
constexpr std::uint32_t kJitMatchLimit = 10'000'000;
constexpr std::uint32_t kInterpreterMatchLimit = 2'000'000;
constexpr std::uint32_t kDepthLimit = 1'000'000;
constexpr std::uint32_t kHeapLimitKiB = 256 * 1024;
constexpr std::size_t kJitStackStart = 64 * 1024;
constexpr std::size_t kJitStackMax = 16 * 1024 * 1024;
// After a start position has met the limits, a search call may try at most
// this many start positions (PCRE2's offset limit), so that the time budget
// is looked at between calls even where nothing matches. It starts at one
// and doubles while calls are quick; beyond this the search is free again.
constexpr std::size_t kMaxStartPositionsPerCall = std::size_t{1} << 16;

std::atomic<std::int64_t> g_defaultBudgetMs{10'000};

// Milliseconds of a coarse monotonic clock: a few nanoseconds to read, a few
// milliseconds of resolution, which is all a budget of seconds needs.
std::int64_t coarseNowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

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

void setDefaultSearchTimeBudget(std::chrono::milliseconds budget) {
    g_defaultBudgetMs = budget.count();
}

std::chrono::milliseconds defaultSearchTimeBudget() {
    return std::chrono::milliseconds(g_defaultBudgetMs.load());
}

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

// A look-behind matched right to left: its reversed body, compiled anchored.
struct ReversedBody {
    std::unique_ptr<pcre2_code, CodeDeleter> code;
    bool jit = false;
    bool negative = false;
};

struct EngineExpression::Compiled {
    std::unique_ptr<pcre2_code, CodeDeleter> code;
    int groupCount = 0;  // DEELX's count
    bool jit = false;
    GroupNumbering numbering;
    std::vector<ReversedBody> lookbehinds;
    bool usesSearchStart = false;  // \G: every call must start where the search is
    // PCRE2 tries this pattern only at line starts (it opens with .* or ^):
    // a start position passed over moves on to the next line.
    bool startsLines = false;
    // The same pattern compiled to take PCRE2's offset limit, which bounds
    // the start positions one call may try. It costs PCRE2 some of its start
    // optimizations, so it is made, and used, only once a search has met the
    // backtracking limits.
    std::u16string pcrePattern;
    std::uint32_t pcreOptions = 0;
    mutable std::once_flag boundedOnce;
    mutable std::unique_ptr<pcre2_code, CodeDeleter> bounded;
    mutable bool boundedJit = false;

    const pcre2_code* boundedCode() const;
};

namespace {

// What the look-behind callout needs during one search: the subject read
// backwards, and match state of its own (a callout may not reuse the outer
// match's data or JIT stack).
struct LookbehindState {
    const std::vector<ReversedBody>* bodies = nullptr;
    std::u16string reversed;
    std::unique_ptr<pcre2_match_data, MatchDataDeleter> data;
    std::unique_ptr<pcre2_match_context, MatchContextDeleter> jitContext;
    std::unique_ptr<pcre2_match_context, MatchContextDeleter> interpreterContext;
    std::unique_ptr<pcre2_jit_stack, JitStackDeleter> jitStack;

    // The text read character by character from its end; a surrogate pair
    // stays a pair, so position p of the text is position size - p here.
    // Done on the first callout of a search, so a search whose candidates
    // never reach a look-behind does not pay for it.
    void reverse() {
        const std::u16string_view text = source;
        const std::size_t n = text.size();
        reversed.resize(n);
        char16_t* out = reversed.data();
        std::size_t o = 0;
        for (std::size_t i = n; i > 0;) {
            const char16_t c = text[--i];
            if (isLowSurrogate(c) && i > 0 && isHighSurrogate(text[i - 1])) {
                out[o++] = text[--i];
            }
            out[o++] = c;
        }
        reversedReady = true;
    }
    std::u16string_view source;  // the subject of the current search
    bool reversedReady = false;
};

// Called by PCRE2 at the place of a reversed look-behind: 0 lets the match go
// on, 1 makes it backtrack, a negative value ends the search.
int lookbehindCallout(pcre2_callout_block* block, void* data) {
    auto* state = static_cast<LookbehindState*>(data);
    const std::uint32_t number = block->callout_number;
    if (number == 0 || number > state->bodies->size()) {
        return 0;
    }
    const ReversedBody& body = (*state->bodies)[number - 1];
    if (!state->reversedReady) {
        state->reverse();
    }
    const std::u16string_view reversed = state->reversed;
    // Checked at the callout's own place: PCRE2's start-of-match shortcuts
    // assume a pattern's items do not look at where the match started, so a
    // look-behind cannot be moved to the end and checked at the match start.
    const std::size_t at = reversed.size() - block->current_position;
    const int rc = body.jit ? pcre2_jit_match(body.code.get(), sptr(reversed), reversed.size(), at,
                                              0, state->data.get(), state->jitContext.get())
                            : pcre2_match(body.code.get(), sptr(reversed), reversed.size(), at, 0,
                                          state->data.get(), state->interpreterContext.get());
    if (rc < 0 && rc != PCRE2_ERROR_NOMATCH) {
        return isLimitError(rc) ? rc : PCRE2_ERROR_MATCHLIMIT;
    }
    const bool matched = rc >= 0;
    return matched != body.negative ? 0 : 1;
}

}  // namespace

// Per-object match state: PCRE2's match data and JIT stack are not shared
// between copies, so each copy can match on its own.
struct EngineExpression::Matcher {
    std::unique_ptr<pcre2_match_data, MatchDataDeleter> data;
    std::unique_ptr<pcre2_match_context, MatchContextDeleter> jitContext;
    std::unique_ptr<pcre2_match_context, MatchContextDeleter> interpreterContext;
    std::unique_ptr<pcre2_jit_stack, JitStackDeleter> jitStack;

    std::unique_ptr<LookbehindState> lookbehinds;  // only for patterns that have them

    explicit Matcher(const Compiled& compiled) {
        const pcre2_code* code = compiled.code.get();
        data.reset(pcre2_match_data_create_from_pattern(code, nullptr));
        jitStack.reset(pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr));
        setLimits(jitContext, interpreterContext, jitStack.get());
        if (!compiled.lookbehinds.empty()) {
            lookbehinds = std::make_unique<LookbehindState>();
            LookbehindState& state = *lookbehinds;
            state.bodies = &compiled.lookbehinds;
            state.data.reset(pcre2_match_data_create(1, nullptr));
            state.jitStack.reset(pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr));
            setLimits(state.jitContext, state.interpreterContext, state.jitStack.get());
            pcre2_set_callout(jitContext.get(), lookbehindCallout, &state);
            pcre2_set_callout(interpreterContext.get(), lookbehindCallout, &state);
        }
    }

    // Reads the subject backwards for the look-behind callouts, once per search.
    void prepare(std::u16string_view text) {
        if (lookbehinds) {
            lookbehinds->source = text;
            lookbehinds->reversedReady = false;
        }
    }

private:
    using Context = std::unique_ptr<pcre2_match_context, MatchContextDeleter>;
    static void setLimits(Context& jit, Context& interpreter, pcre2_jit_stack* stack) {
        jit.reset(pcre2_match_context_create(nullptr));
        pcre2_set_match_limit(jit.get(), kJitMatchLimit);
        pcre2_jit_stack_assign(jit.get(), nullptr, stack);
        interpreter.reset(pcre2_match_context_create(nullptr));
        pcre2_set_match_limit(interpreter.get(), kInterpreterMatchLimit);
        pcre2_set_depth_limit(interpreter.get(), kDepthLimit);
        pcre2_set_heap_limit(interpreter.get(), kHeapLimitKiB);
    }
};

namespace {

// Copies the positions of one match from PCRE2's ovector into `spans` in
// DEELX's group order: groups 0..groupCount, -1 for a group that did not
// take part. Of the PCRE2 groups that share a DEELX number (a repeated
// name), the last that took part counts.
void collectSpans(const GroupNumbering& numbering, int groupCount, const std::size_t* ov, int rc,
                  std::int32_t* spans) {
    const auto set = static_cast<std::size_t>(rc);
    auto pcreSpan = [&](std::size_t g, std::size_t side) -> std::int32_t {
        return g < set && ov[2 * g] != PCRE2_UNSET ? static_cast<std::int32_t>(ov[2 * g + side])
                                                   : -1;
    };
    if (numbering.identical()) {
        for (std::size_t g = 0; g <= static_cast<std::size_t>(groupCount); ++g) {
            spans[2 * g] = pcreSpan(g, 0);
            spans[2 * g + 1] = pcreSpan(g, 1);
        }
        return;
    }
    spans[0] = pcreSpan(0, 0);
    spans[1] = pcreSpan(0, 1);
    for (std::size_t d = 1; d <= static_cast<std::size_t>(groupCount); ++d) {
        spans[2 * d] = -1;
        spans[2 * d + 1] = -1;
        for (const int g : numbering.pcreGroups[d]) {
            if (pcreSpan(static_cast<std::size_t>(g), 0) >= 0) {
                spans[2 * d] = pcreSpan(static_cast<std::size_t>(g), 0);
                spans[2 * d + 1] = pcreSpan(static_cast<std::size_t>(g), 1);
            }
        }
    }
}

}  // namespace

EngineExpression::EngineExpression() = default;
EngineExpression::~EngineExpression() = default;
EngineExpression::EngineExpression(EngineExpression&&) noexcept = default;
EngineExpression& EngineExpression::operator=(EngineExpression&&) noexcept = default;

EngineExpression::EngineExpression(const EngineExpression& other)
    : m_compiled(other.m_compiled), m_pattern(other.m_pattern), m_error(other.m_error) {
    if (m_compiled) {
        m_matcher = std::make_unique<Matcher>(*m_compiled);
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
    return m_compiled->numbering.numberOf(name);
}

namespace {

using CodePtr = std::unique_ptr<pcre2_code, CodeDeleter>;

struct PcreCompileResult {
    CodePtr code;
    int errorCode = 0;
    std::size_t errorOffset = 0;  // in the PCRE2 pattern
};

PcreCompileResult compilePcre(std::u16string_view pattern, std::uint32_t options) {
    std::unique_ptr<pcre2_compile_context, CompileContextDeleter> context(
        pcre2_compile_context_create(nullptr));
    // LF is the only newline PCRE2 knows of: its dot then excludes LF alone,
    // as DEELX's does. Line breaks for ^ and $ are written out by the
    // translator, which knows CR LF and lone CR too.
    pcre2_set_newline(context.get(), PCRE2_NEWLINE_LF);
    PcreCompileResult result;
    PCRE2_SIZE offset = 0;
    result.code.reset(pcre2_compile(sptr(pattern), pattern.size(), options, &result.errorCode,
                                    &offset, context.get()));
    result.errorOffset = offset;
    return result;
}

bool isLookbehindLengthError(int code) {
    return code == PCRE2_ERROR_LOOKBEHIND_NOT_FIXED_LENGTH ||
           code == PCRE2_ERROR_LOOKBEHIND_TOO_COMPLICATED ||
           code == PCRE2_ERROR_LOOKBEHIND_TOO_LONG;
}

// The look-behind PCRE2 names in an error at `offset` of the user's pattern:
// the innermost one around it, else the last one before it.
std::optional<std::size_t> lookbehindAt(
    const std::vector<std::pair<std::size_t, std::size_t>>& spans, std::size_t offset) {
    std::optional<std::size_t> found;
    for (const auto& [start, end] : spans) {
        if (start <= offset && offset <= end + 1) {
            found = start;  // spans are in order of their start: the last is innermost
        }
    }
    if (!found) {
        for (const auto& [start, end] : spans) {
            if (start < offset) {
                found = start;
            }
        }
    }
    return found;
}

std::u16string engineMessageOf(int errorCode) {
    std::array<PCRE2_UCHAR16, 256> buffer{};
    const int length = pcre2_get_error_message(errorCode, buffer.data(), buffer.size());
    if (length <= 0) {
        return {};
    }
    return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()),
                          static_cast<std::size_t>(length));
}

}  // namespace

bool EngineExpression::compile(std::u16string_view pattern, int optionBits) {
    m_compiled.reset();
    m_matcher.reset();
    m_error.reset();
    m_pattern.assign(pattern);

    if (pattern.empty()) {
        m_error = CompileError{kErrorEmptyPattern, compileErrorText(kErrorEmptyPattern), {}, 0};
        return false;
    }
    if (optionBits & kRightToLeft) {
        m_error = CompileError{kErrorRightToLeft, compileErrorText(kErrorRightToLeft), {}, 0};
        return false;
    }

    const TranslationFlags flags{(optionBits & kIgnoreCase) != 0, (optionBits & kMultiline) != 0,
                                 (optionBits & kSingleLine) != 0, (optionBits & kExtended) != 0,
                                 (optionBits & kGlobal) != 0};

    std::uint32_t options =
        PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_DOLLAR_ENDONLY | PCRE2_DUPNAMES;
    if (optionBits & kIgnoreCase) {
        options |= PCRE2_CASELESS;
    }
    if (optionBits & kExtended) {
        options |= PCRE2_EXTENDED;
    }
    if (optionBits & kSingleLine) {
        options |= PCRE2_DOTALL;
    }
    // Multiline needs no PCRE2 option: ^ and $ in multiline scope are written
    // out as the look-arounds they mean.

    // PCRE2 10.42 takes only look-behinds of a fixed length (per
    // alternative). DEELX matches look-behinds right to left, so any length
    // works there: each look-behind PCRE2 refuses is reversed and the pattern
    // compiled again. Patterns without such a look-behind compile once.
    std::vector<std::size_t> reversed;
    std::vector<std::pair<std::size_t, std::size_t>> spans;
    TranslatedPattern translated;
    PcreCompileResult main;
    for (;;) {
        translated = translateDeelxPattern(pattern, flags, reversed);
        if (translated.error) {
            m_error = CompileError{translated.error->code,
                                   compileErrorText(translated.error->code),
                                   {},
                                   translated.error->offset};
            return false;
        }
        main = compilePcre(translated.pcrePattern, options);
        if (main.code || !isLookbehindLengthError(main.errorCode)) {
            break;
        }
        if (spans.empty()) {
            spans = lookbehindSpans(pattern, flags);
        }
        const std::optional<std::size_t> culprit =
            lookbehindAt(spans, translated.toSourceOffset(main.errorOffset));
        if (!culprit || std::find(reversed.begin(), reversed.end(), *culprit) != reversed.end()) {
            break;
        }
        reversed.push_back(*culprit);
    }
    if (!main.code) {
        const std::u16string engineMessage = engineMessageOf(main.errorCode);
        m_error = CompileError{main.errorCode, compileErrorText(main.errorCode, engineMessage),
                               engineMessage, translated.toSourceOffset(main.errorOffset)};
        return false;
    }

    auto compiled = std::make_shared<Compiled>();
    for (const ReversedLookbehind& lookbehind : translated.lookbehinds) {
        PcreCompileResult body =
            compilePcre(lookbehind.pcrePattern, PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_DOTALL |
                                                    PCRE2_DOLLAR_ENDONLY | PCRE2_ANCHORED);
        if (!body.code) {
            const std::u16string engineMessage = engineMessageOf(body.errorCode);
            m_error = CompileError{body.errorCode, compileErrorText(body.errorCode, engineMessage),
                                   engineMessage, reversed.empty() ? 0 : reversed.front()};
            return false;
        }
        ReversedBody entry;
        entry.jit = pcre2_jit_compile(body.code.get(), PCRE2_JIT_COMPLETE) == 0;
        entry.negative = lookbehind.negative;
        entry.code = std::move(body.code);
        compiled->lookbehinds.push_back(std::move(entry));
    }
    compiled->jit = pcre2_jit_compile(main.code.get(), PCRE2_JIT_COMPLETE) == 0;
    compiled->numbering = translated.groups;
    compiled->usesSearchStart = translated.usesSearchStart;
    compiled->pcrePattern = translated.pcrePattern;
    compiled->pcreOptions = options;
    std::uint32_t firstCodeType = 0;
    pcre2_pattern_info(main.code.get(), PCRE2_INFO_FIRSTCODETYPE, &firstCodeType);
    compiled->startsLines = firstCodeType == 2;
    compiled->groupCount = translated.groups.groupCount;
    compiled->code = std::move(main.code);
    m_matcher = std::make_unique<Matcher>(*compiled);
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

const pcre2_code* EngineExpression::Compiled::boundedCode() const {
    std::call_once(boundedOnce, [this] {
        bounded = compilePcre(pcrePattern, pcreOptions | PCRE2_USE_OFFSET_LIMIT).code;
        boundedJit = bounded && pcre2_jit_compile(bounded.get(), PCRE2_JIT_COMPLETE) == 0;
    });
    return bounded.get();
}

struct EngineExpression::SearchProgress {
    std::int64_t deadline = 0;
    std::int64_t lastLook = 0;  // when the clock was last read
    // Once a start position has met the limits, calls try a bounded number
    // of start positions (the bounded code), growing while calls are quick;
    // when they have grown large the search is free again.
    bool stepping = false;
    std::size_t positionsPerCall = 1;
    unsigned matchesSinceLook = 0;
    bool limitHit = false;
    bool timedOut = false;

    void lookAtClock() {
        lastLook = coarseNowMs();
        timedOut = timedOut || lastLook >= deadline;
    }
};

EngineExpression::SearchProgress EngineExpression::startSearch(std::u16string_view text) const {
    m_matcher->prepare(text);
    SearchProgress progress;
    progress.lastLook = coarseNowMs();
    progress.deadline = progress.lastLook + m_timeBudget.count();
    return progress;
}

// The first match at or after `from`. Each PCRE2 call tries a bounded number
// of start positions, so the budget is looked at between calls; a position
// that reaches the backtracking limits ends a call without saying where, so
// the positions of that call are tried again one by one, and the one that
// reached them is passed over. Returns a PCRE2 result code; NOMATCH also when
// the budget has run out.
int EngineExpression::search(std::u16string_view text, std::size_t from,
                             SearchProgress& progress) const {
    pcre2_match_data* data = m_matcher->data.get();
    while (!progress.timedOut && from <= text.size()) {
        if (!progress.stepping) {
            const int rc = runMatch(text, from, 0);
            if (rc >= 0 && ++progress.matchesSinceLook >= 64) {
                progress.matchesSinceLook = 0;
                progress.lookAtClock();
            }
            if (!isLimitError(rc)) {
                return rc;
            }
            progress.limitHit = true;
            progress.lookAtClock();
            if (m_compiled->usesSearchStart || !m_compiled->boundedCode()) {
                return rc;  // \G holds where a call starts: no position can be passed over
            }
            progress.stepping = true;  // find the position, one at a time
            progress.positionsPerCall = 1;
            continue;
        }
        const pcre2_code* code = m_compiled->boundedCode();
        const bool jit = m_compiled->boundedJit;
        pcre2_match_context* context =
            jit ? m_matcher->jitContext.get() : m_matcher->interpreterContext.get();
        const std::size_t remaining = text.size() - from;
        const bool toTheEnd = progress.positionsPerCall > remaining;
        const std::size_t lastStart = toTheEnd ? PCRE2_UNSET : from + progress.positionsPerCall - 1;
        pcre2_set_offset_limit(context, lastStart);
        const int rc = jit ? pcre2_jit_match(code, sptr(text), text.size(), from, 0, data, context)
                           : pcre2_match(code, sptr(text), text.size(), from, 0, data, context);
        pcre2_set_offset_limit(context, PCRE2_UNSET);
        if (rc >= 0) {
            progress.lookAtClock();
            return rc;
        }
        if (rc == PCRE2_ERROR_NOMATCH) {
            if (toTheEnd) {
                return rc;
            }
            const std::int64_t before = progress.lastLook;
            progress.lookAtClock();
            const std::int64_t spent = progress.lastLook - before;
            if (spent <= 2) {
                progress.positionsPerCall *= 2;
                progress.stepping = progress.positionsPerCall < kMaxStartPositionsPerCall;
            } else if (spent > 20) {
                progress.positionsPerCall = std::max<std::size_t>(1, progress.positionsPerCall / 8);
            }
            from = lastStart + charLength(text, lastStart);
            continue;
        }
        if (!isLimitError(rc)) {
            return rc;
        }
        progress.limitHit = true;
        progress.lookAtClock();
        if (progress.positionsPerCall == 1 && m_compiled->startsLines) {
            const std::size_t lineEnd = text.find(u'\n', from);
            from = lineEnd == std::u16string_view::npos ? text.size() + 1 : lineEnd + 1;
        } else if (progress.positionsPerCall == 1) {
            from += from < text.size() ? charLength(text, from) : 1;  // pass this position over
        } else {
            progress.positionsPerCall = 1;  // find the position, one at a time
        }
    }
    return PCRE2_ERROR_NOMATCH;
}

MatchRecord EngineExpression::match(std::u16string_view text, std::size_t start,
                                    bool* limitHit) const {
    MatchRecord record;
    record.groupCount = groupCount();
    if (!m_compiled || text.empty() || start > text.size()) {
        return record;
    }
    SearchProgress progress = startSearch(text);
    const int rc = search(text, start, progress);
    if (limitHit && (progress.limitHit || progress.timedOut)) {
        *limitHit = true;
    }
    if (rc < 0) {
        return record;
    }
    record.matched = true;
    record.spans.resize(static_cast<std::size_t>(record.groupCount + 1) * 2);
    collectSpans(m_compiled->numbering, record.groupCount, ovector(), rc, record.spans.data());
    return record;
}

MatchList EngineExpression::matchAll(std::u16string_view text) const {
    MatchList list;
    list.m_groupCount = groupCount();
    list.m_stride = static_cast<std::size_t>(list.m_groupCount + 1) * 2;
    if (!m_compiled || text.empty()) {
        return list;
    }
    SearchProgress progress = startSearch(text);
    // The hot loop of every extraction: the spans appended without
    // zero-filling first.
    const bool renumber = !m_compiled->numbering.identical();
    const std::size_t* ov = pcre2_get_ovector_pointer(m_matcher->data.get());
    const std::size_t pairs = static_cast<std::size_t>(list.m_groupCount) + 1;
    std::vector<std::int32_t>& spans = list.m_spans;
    const pcre2_code* code = m_compiled->code.get();
    pcre2_match_data* data = m_matcher->data.get();
    pcre2_match_context* context = m_matcher->jitContext.get();
    const bool jit = m_compiled->jit;
    std::size_t previousEnd = 0;
    std::size_t from = 0;
    std::size_t used = 0;
    while (!progress.timedOut) {
        // The JIT entry called directly while the search is free; search()
        // takes over at the first start position that meets the limits.
        int rc = 0;
        if (jit && !progress.stepping) {
            rc = pcre2_jit_match(code, sptr(text), text.size(), from, 0, data, context);
            if (rc < 0) {
                if (isLimitError(rc)) {
                    rc = search(text, from, progress);
                }
            } else if (++progress.matchesSinceLook >= 64) {
                progress.matchesSinceLook = 0;
                progress.lookAtClock();
            }
        } else {
            rc = search(text, from, progress);
        }
        if (rc < 0) {
            break;
        }
        const std::size_t end = ov[1];
        if (end <= previousEnd) {
            break;  // an empty match at the start, or right where the last one ended
        }
        // The list grows in large steps and is written through a pointer;
        // `used` says how much of it holds matches.
        if (spans.size() - used < list.m_stride) {
            spans.resize(std::max<std::size_t>(spans.size() * 2, 64 * list.m_stride));
        }
        std::int32_t* out = spans.data() + used;
        used += list.m_stride;
        if (renumber) {
            collectSpans(m_compiled->numbering, list.m_groupCount, ov, rc, out);
        } else {
            const std::size_t setPairs = static_cast<std::size_t>(rc);
            for (std::size_t g = 0; g < pairs; ++g) {
                const bool set = g < setPairs && ov[2 * g] != PCRE2_UNSET;
                out[2 * g] = set ? static_cast<std::int32_t>(ov[2 * g]) : -1;
                out[2 * g + 1] = set ? static_cast<std::int32_t>(ov[2 * g + 1]) : -1;
            }
        }
        previousEnd = end;
        from = end;
    }
    spans.resize(used);
    list.m_incomplete = progress.limitHit || progress.timedOut;
    list.m_timedOut = progress.timedOut;
    return list;
}

std::u16string EngineExpression::replace(std::u16string_view text, std::u16string_view replacement,
                                         int count, bool* limitHit,
                                         std::vector<ReplacedSpan>* replaced) const {
    if (!m_compiled || text.empty()) {
        return std::u16string(text);
    }
    const ReplacementTemplate expansion(
        replacement, groupCount(), [this](std::u16string_view name) { return groupNumber(name); });
    std::vector<std::int32_t> spans(static_cast<std::size_t>(groupCount() + 1) * 2);
    SearchProgress progress = startSearch(text);

    std::u16string out;
    out.reserve(text.size());
    std::size_t copied = 0;  // text before this position is already in `out`
    std::size_t from = 0;
    bool afterEmptyMatch = false;
    int replacedCount = 0;
    while (count < 0 || replacedCount < count) {
        // After an empty match, first try a non-empty match at the same
        // place; only when there is none does the search move on by one
        // character (a whole surrogate pair).
        int rc = PCRE2_ERROR_NOMATCH;
        if (from > text.size()) {
            rc = PCRE2_ERROR_NOMATCH;
        } else if (afterEmptyMatch) {
            rc = runMatch(text, from, PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED);
            if (isLimitError(rc)) {
                progress.limitHit = true;  // no non-empty match known here: move on
                rc = PCRE2_ERROR_NOMATCH;
            }
        } else {
            rc = search(text, from, progress);
        }
        if (rc < 0) {
            if (!afterEmptyMatch || from >= text.size()) {
                break;
            }
            afterEmptyMatch = false;
            from += charLength(text, from);
            continue;
        }
        const std::size_t* ov = ovector();
        collectSpans(m_compiled->numbering, groupCount(), ov, rc, spans.data());
        const std::size_t start = ov[0];
        const std::size_t end = ov[1];
        out.append(text.substr(copied, start - copied));
        const std::size_t resultStart = out.size();
        expansion.appendExpansion(out, text, spans.data());
        if (replaced) {
            replaced->push_back({static_cast<std::int32_t>(start), static_cast<std::int32_t>(end),
                                 static_cast<std::int32_t>(resultStart),
                                 static_cast<std::int32_t>(out.size())});
        }
        copied = end;
        ++replacedCount;
        afterEmptyMatch = start == end;
        from = end;
    }
    out.append(text.substr(copied));
    if (limitHit && (progress.limitHit || progress.timedOut)) {
        *limitHit = true;
    }
    return out;
}

}  // namespace lcr
