#include "text/program_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/gb18030.h"

namespace lcr {
namespace {

// Readable failure messages: UTF-16 shown as UTF-8.
std::vector<std::string> utf8(const std::vector<std::u16string>& pieces) {
    std::vector<std::string> out;
    for (const auto& piece : pieces) {
        out.push_back(toUtf8(piece));
    }
    return out;
}

TEST(SplitText, SeparatorsEndPieces) {
    struct Case {
        std::u16string text;
        std::u16string separator;
        std::vector<std::u16string> pieces;
    };
    const Case cases[] = {
        {u"a<#lc#>b", u"<#lc#>", {u"a", u"b"}},
        {u"a<#lc#><#lc#>b", u"<#lc#>", {u"a", u"", u"b"}},
        {u"<#lc#>a", u"<#lc#>", {u"", u"a"}},
        {u"a<#lc#>", u"<#lc#>", {u"a"}},
        {u"<#lc#>", u"<#lc#>", {u""}},
        {u"<#lc#><#lc#>", u"<#lc#>", {u"", u""}},
        {u"abc", u"<#lc#>", {u"abc"}},
        {u"第一行\r\n第二行\r\n", u"\r\n", {u"第一行", u"第二行"}},
        {u"a\r\n\r\nb\rc\nd", u"\r\n", {u"a", u"", u"b\rc\nd"}},
        {u"名字::值::", u"::", {u"名字", u"值"}},
        // Left to right, so ":::" is one separator and a ':' of the next piece.
        {u"a:::b", u"::", {u"a", u":b"}},
        {u"a::::b", u"::", {u"a", u"", u"b"}},
        {u"|x||y|", u"|", {u"", u"x", u"", u"y"}},
        {u"", u"|", {}},
        {u"abc", u"", {u"abc"}},
        {u"", u"", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(utf8(splitText(c.text, c.separator)), utf8(c.pieces))
            << "text \"" << toUtf8(c.text) << "\" separator \"" << toUtf8(c.separator) << "\"";
    }
}

TEST(FindText, PositionsAndCaseFolding) {
    struct Case {
        std::u16string haystack;
        std::u16string needle;
        long long start;
        bool ignoreCase;
        long long expected;
    };
    const Case cases[] = {
        {u"abcabc", u"bc", 1, false, 2},
        {u"abcabc", u"bc", 2, false, 2},
        {u"abcabc", u"bc", 3, false, 5},
        {u"abcabc", u"bc", 6, false, -1},
        {u"abcabc", u"bc", 0, false, 2},
        {u"abcabc", u"bc", -7, false, 2},
        {u"abcabc", u"d", 1, false, -1},
        {u"中文和中文", u"中文", 2, false, 4},
        // Needle longer than the text, or than what is left of it after start.
        {u"ab", u"abc", 1, false, -1},
        {u"abcdef", u"ef", 6, false, -1},
        {u"abc", u"a", 1LL << 62, false, -1},
        // Empty needle: found at start within the text or right after it.
        {u"abc", u"", 1, false, 1},
        {u"abc", u"", 4, true, 4},
        {u"abc", u"", 5, false, -1},
        {u"", u"", 1, false, 1},
        {u"", u"", 2, false, -1},
        // Only A-Z/a-z fold, and only when asked to.
        {u"Hello World", u"WORLD", 1, true, 7},
        {u"Hello World", u"WORLD", 1, false, -1},
        {u"中文ABC", u"abc", 1, true, 3},
        {u"xaBcAbC", u"ABC", 3, true, 5},
        {u"ＡＢＣ", u"ａｂｃ", 1, true, -1},
        {u"ＡＢＣ", u"ＡＢＣ", 1, true, 1},
        {u"\u00C0", u"\u00E0", 1, true, -1},  // À / à, 0x20 apart but not ASCII
        {u"@[", u"`{", 1, true, -1},          // 0x40/0x60 and 0x5B/0x7B are not letters
    };
    for (const Case& c : cases) {
        EXPECT_EQ(findText(c.haystack, c.needle, c.start, c.ignoreCase), c.expected)
            << "\"" << toUtf8(c.needle) << "\" in \"" << toUtf8(c.haystack) << "\" from " << c.start
            << (c.ignoreCase ? " ignoring case" : "");
    }
}

TEST(TrimSpaces, OnlyHalfAndFullWidthSpaces) {
    struct Case {
        std::u16string text;
        std::u16string expected;
    };
    const Case cases[] = {
        {u"  a b  ", u"a b"},
        {u"\u3000 中文 \u3000", u"中文"},
        {u"\u3000中\u3000文\u3000", u"中\u3000文"},
        {u"\ta\t", u"\ta\t"},
        {u" \r\nx\n ", u"\r\nx\n"},
        {u" \t ", u"\t"},
        {u"\u00A0a\u00A0", u"\u00A0a\u00A0"},  // no-break space stays
        {u"   ", u""},
        {u"\u3000 \u3000", u""},
        {u"", u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(toUtf8(trimSpaces(c.text)), toUtf8(c.expected)) << "\"" << toUtf8(c.text) << "\"";
    }
}

TEST(GbkByteLength, CountsPerCodeUnitAndPair) {
    struct Case {
        std::u16string text;
        std::size_t expected;
    };
    const Case cases[] = {
        {u"", 0},
        {u"abc\u007F", 4},
        {u"\u0080", 2},
        {u"中文", 4},
        {u"a中b", 4},
        {u"\U0001F600", 4},
        {u"x\U0001F600\U00020087", 9},
        {u"\xD800", 2},
        {u"\xDC00", 2},
        {std::u16string(u"\xDC00") + u"\xD800", 4},  // reversed pair: two lone surrogates
        {std::u16string(u"\xD800") + u"\xD800\xDC00", 6},
        {std::u16string(u"\xD83D") + u"a", 3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(gbkByteLength(c.text), c.expected) << "\"" << toUtf8(c.text) << "\"";
    }
}

}  // namespace
}  // namespace lcr
