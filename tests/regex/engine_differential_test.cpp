// The translated engine against a bare PCRE2 compile: for patterns that mean
// the same in DEELX and in PCRE2, both must find the same matches, with the
// same group positions, over a generated corpus. A second table pairs
// look-behinds our engine matches right to left with PCRE2 patterns that say
// the same with fixed-length alternatives.
#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "regex/engine.h"
#include "text/gb18030.h"

namespace lcr {
namespace {

struct PcreDeleter {
    void operator()(pcre2_code* c) const { pcre2_code_free(c); }
    void operator()(pcre2_match_data* d) const { pcre2_match_data_free(d); }
};

// Every match by the engine's stop rule, as flat group spans.
std::vector<std::int32_t> bareMatches(std::u16string_view pattern, std::u16string_view text) {
    int error = 0;
    PCRE2_SIZE offset = 0;
    std::unique_ptr<pcre2_code, PcreDeleter> code(
        pcre2_compile(reinterpret_cast<PCRE2_SPTR16>(pattern.data()), pattern.size(),
                      PCRE2_UTF | PCRE2_MATCH_INVALID_UTF, &error, &offset, nullptr));
    EXPECT_TRUE(code) << toUtf8(pattern);
    if (!code) {
        return {};
    }
    std::unique_ptr<pcre2_match_data, PcreDeleter> data(
        pcre2_match_data_create_from_pattern(code.get(), nullptr));
    std::uint32_t groups = 0;
    pcre2_pattern_info(code.get(), PCRE2_INFO_CAPTURECOUNT, &groups);
    std::vector<std::int32_t> spans;
    std::size_t previousEnd = 0;
    std::size_t from = 0;
    while (!text.empty()) {
        const int rc = pcre2_match(code.get(), reinterpret_cast<PCRE2_SPTR16>(text.data()),
                                   text.size(), from, 0, data.get(), nullptr);
        if (rc < 0) {
            break;
        }
        const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(data.get());
        if (ov[1] <= previousEnd) {
            break;
        }
        for (std::size_t g = 0; g <= groups; ++g) {
            const bool set = static_cast<int>(g) < rc && ov[2 * g] != PCRE2_UNSET;
            spans.push_back(set ? static_cast<std::int32_t>(ov[2 * g]) : -1);
            spans.push_back(set ? static_cast<std::int32_t>(ov[2 * g + 1]) : -1);
        }
        previousEnd = from = ov[1];
    }
    return spans;
}

std::vector<std::int32_t> engineMatches(const EngineExpression& e, std::u16string_view text) {
    const MatchList list = e.matchAll(text);
    std::vector<std::int32_t> spans;
    for (std::size_t i = 0; i < list.size(); ++i) {
        for (int g = 0; g <= list.groupCount(); ++g) {
            spans.push_back(list.start(i, g));
            spans.push_back(list.end(i, g));
        }
    }
    return spans;
}

std::vector<std::u16string> corpus() {
    static const std::u16string kAlphabet[] = {u"a", u"b",  u"c",  u"x",  u"1", u"2", u" ",
                                               u"_", u"\r", u"\n", u"中", u"😀", u"@", u"ab"};
    std::mt19937 random(20261211);
    std::vector<std::u16string> texts;
    for (int i = 0; i < 400; ++i) {
        std::u16string t;
        const int length = static_cast<int>(random() % 24);
        for (int k = 0; k < length; ++k) {
            t += kAlphabet[random() % std::size(kAlphabet)];
        }
        texts.push_back(t);
    }
    return texts;
}

void expectSameMatches(std::u16string_view ours, std::u16string_view bare, int options = 0) {
    EngineExpression e;
    ASSERT_TRUE(e.compile(ours, options)) << toUtf8(ours);
    for (const std::u16string& text : corpus()) {
        EXPECT_EQ(engineMatches(e, text), bareMatches(bare, text))
            << toUtf8(ours) << " against " << toUtf8(bare) << " on \"" << toUtf8(text) << "\"";
    }
}

TEST(EngineDifferential, PatternsThatMeanTheSameFindTheSameMatches) {
    for (const char16_t* pattern : {
             u"a+",
             u"[abc]+x?",
             u"(a|b)*c",
             u"(a)(b)?",
             u"\\d+",
             u"\\w+@\\w+",
             u"(ab|a)(c|bc)",
             u"a{2,3}",
             u"(?:x|1)+?2",
             u"(?>a+)b",
             u"\\bab\\b",
             u"(a)\\1",
             u"(?<=a)b",
             u"(?<!1)2",
             u"a(?=b)",
             u"[^a\\s]+",
             u"(x)?(?(1)1|2)",
             u"\\s+",
             u"(a|(b))+",
             u"a*?b",
             u"😀+",
             u"[\\x{4e00}-\\x{9fff}]+",
             u"((a)|(b))+c?",
             u"(?<n>a)b\\k<n>?",
             u"\\r\\n|\\n",
             u"(a(?1)?b)",
         }) {
        expectSameMatches(pattern, pattern);
    }
}

TEST(EngineDifferential, LookBehindsMatchedRightToLeftAgreeWithFixedAlternatives) {
    struct Pair {
        const char16_t* ours;  // reversed by our engine
        const char16_t* bare;  // the same, fixed length per alternative
    };
    for (const Pair& p : {
             Pair{u"(?<=a{1,2})b", u"(?<=a|aa)b"},
             Pair{u"(?<=a\\d?)b", u"(?<=a|a\\d)b"},
             Pair{u"(?<!x\\s{0,2})1", u"(?<!x|x\\s|x\\s\\s)1"},
             Pair{u"(?<=(?:ab){1,2})c", u"(?<=ab|abab)c"},
             Pair{u"(?<=\\b[a-c]{1,3})x", u"(?<=\\b[a-c]|\\b[a-c]{2}|\\b[a-c]{3})x"},
             Pair{u"(?<=1(?:2|22)?)a", u"(?<=1|12|122)a"},
             Pair{u"(?<=😀\\s?)a", u"(?<=😀|😀\\s)a"},
             Pair{u"(?<=\\r?\\n)\\w", u"(?<=\\n|\\r\\n)\\w"},
             Pair{u"x(?<=[a-x]{1,2})", u"x(?<=[a-x]|[a-x]{2})"},
         }) {
        expectSameMatches(p.ours, p.bare);
    }
}

}  // namespace
}  // namespace lcr
