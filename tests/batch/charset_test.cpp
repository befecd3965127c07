#include "batch/charset.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/batch/hex.h"
#include "text/gb18030.h"

namespace lcr {
namespace {

using testing::hex;

TEST(RequestedCharset, ComboPositionIsTheCode) {
    EXPECT_EQ(kCharsetComboItems[3], u"Unicode");
    EXPECT_EQ(requestedCharset(0), TextCharset::Detect);
    EXPECT_EQ(requestedCharset(1), TextCharset::Gbk);
    EXPECT_EQ(requestedCharset(2), TextCharset::Utf8);
    EXPECT_EQ(requestedCharset(3), TextCharset::Utf16Le);
    EXPECT_EQ(requestedCharset(4), TextCharset::Utf16Be);
    // No entry selected: the bytes are read as they stand.
    EXPECT_EQ(requestedCharset(-1), TextCharset::Gbk);
    EXPECT_EQ(requestedCharset(5), TextCharset::Gbk);
}

TEST(LooksLikeUtf8, TwoAndThreeByteFormsOnly) {
    struct Case {
        std::string bytes;
        bool expected;
    };
    const Case cases[] = {
        // Empty and pure ASCII are not UTF-8.
        {"", false},
        {"plain ASCII text, long enough for the eight-byte steps", false},
        {"\xE4\xB8\xAD\xE6\x96\x87", true},  // 中文
        {"abc \xC3\xA9 def", true},          // é
        {"\xC0\xAF", true},                  // overlong forms pass
        {"\xE0\x80\xAF", true},
        {"\xED\xA0\x80", true},       // an encoded surrogate passes
        {"\xF0\x9F\x98\x80", false},  // any four-byte sequence fails
        {"\xE4\xB8\xAD\xF0\x9F\x98\x80", false},
        {"\xD6\xD0\xCE\xC4", false},  // 中文 in GBK
        {"\xE4\xB8", false},          // cut off at the end
        {"abcdefgh\xC3", false},
        {"\x80", false},  // a lone continuation byte
        {"\xC3\xA9\xC3", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LooksLikeUtf8(c.bytes), c.expected) << hex(c.bytes);
    }
    // A long ASCII run before the only non-ASCII byte, across many steps.
    EXPECT_TRUE(LooksLikeUtf8(std::string(1 << 20, 'a') + "\xC3\xA9"));
    EXPECT_FALSE(LooksLikeUtf8(std::string(1 << 20, 'a') + "\xC3"));
}

TEST(TextBetween, MarkersFoundWithoutCaseAndThePositionMoves) {
    struct Case {
        std::u16string text;
        std::u16string start;
        std::u16string end;
        long long position;
        std::u16string expected;
        long long positionAfter;
    };
    const Case cases[] = {
        {u"<head><meta a></head>", u"<META", u">", 1, u" a", 15},
        {u"x<b>1</b><b>2</b>", u"<b>", u"</b>", 1, u"1", 10},
        {u"x<b>1</b><b>2</b>", u"<b>", u"</b>", 10, u"2", 18},
        {u"x<b>1</b><b>2</b>", u"<b>", u"</b>", 0, u"1", 10},  // below 1 counts as 1
        {u"x<b>1</b><b>2</b>", u"<b>", u"</b>", 18, u"", 18},  // nothing after it
        {u"<b></b>", u"<b>", u"</b>", 1, u"", 8},              // found, nothing between
        {u"<b>中文</B>", u"<B>", u"</b>", 1, u"中文", 10},
        {u"abc", u"<", u">", 2, u"", 2},   // start missing
        {u"a<bc", u"<", u">", 1, u"", 1},  // end missing
        // The end marker is looked for behind the start marker.
        {u"<>>", u"<>", u">", 1, u"", 4},
        // '' stands for a double quote.
        {u"v=\"1\"", u"v=''", u"''", 1, u"1", 6},
        // Not found with the quotes: once more without them.
        {u"v=1;", u"v=''", u";", 1, u"1", 5},
        // Empty markers: the beginning and the end of the text.
        {u"ab>cd", u"", u">", 1, u"ab", 4},
        {u"ab>cd", u"", u">", 2, u"", 2},
        {u"ab>cd", u">", u"", 1, u"cd", 6},
    };
    for (const Case& c : cases) {
        long long position = c.position;
        EXPECT_EQ(toUtf8(TextBetween(c.text, c.start, c.end, position)), toUtf8(c.expected))
            << toUtf8(c.text) << " from " << c.position;
        EXPECT_EQ(position, c.positionAfter) << toUtf8(c.text) << " from " << c.position;
    }
}

TEST(ContainsAnyOf, VariantsWithQuotesAndWithoutCase) {
    EXPECT_TRUE(ContainsAnyOf(u" http-equiv=x content=\"text/html; CHARSET=utf-8\"",
                              kHtmlUtf8Declarations));
    EXPECT_TRUE(ContainsAnyOf(u" charset=\"Utf-8\"", kHtmlUtf8Declarations));
    EXPECT_TRUE(ContainsAnyOf(u" charset='utf-8'", kHtmlUtf8Declarations));
    EXPECT_FALSE(ContainsAnyOf(u" charset = utf-8", kHtmlUtf8Declarations));
    EXPECT_FALSE(ContainsAnyOf(u" charset=''utf-8''", kHtmlUtf8Declarations));
    EXPECT_FALSE(ContainsAnyOf(u"anything", u""));
    EXPECT_FALSE(ContainsAnyOf(u"anything", u"[fg][fg]"));
    EXPECT_TRUE(ContainsAnyOf(u"中文ABC", u"x[fg]abc"));
}

TEST(SniffHtmlCharset, MetaTagsInOrder) {
    struct Case {
        std::u16string text;
        HtmlCharset expected;
    };
    const Case cases[] = {
        {u"", HtmlCharset::None},
        {u"no html at all", HtmlCharset::None},
        {u"<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=utf-8\">"
         u"</HEAD></HTML>",
         HtmlCharset::Utf8},
        {u"<html><head><meta charset=\"big5\"></head>", HtmlCharset::Big5},
        {u"<head><meta charset='Big5'></head>", HtmlCharset::Big5},
        // Unquoted HKSCS contains "charset=Big5": tested first.
        {u"<head><meta charset=Big5-HKSCS></head>", HtmlCharset::Big5Hkscs},
        {u"<head><meta charset=\"big5-hkscs\"></head>", HtmlCharset::Big5Hkscs},
        // No head section: the whole text is searched.
        {u"<body><p>x</p><meta charset=utf-8></body>", HtmlCharset::Utf8},
        // With a head section, only the head counts.
        {u"<head><title>t</title></head><meta charset=utf-8>", HtmlCharset::None},
        // An empty head counts as none.
        {u"<head></head><meta charset=utf-8>", HtmlCharset::Utf8},
        // Later tags are looked at, in order.
        {u"<head><meta name=x><meta charset=big5><meta charset=utf-8></head>", HtmlCharset::Big5},
        // An empty tag ends the search, whatever follows.
        {u"<head><meta><meta charset=utf-8></head>", HtmlCharset::None},
        {u"<head><meta charset=gb2312></head>", HtmlCharset::None},
        {u"<head><meta charset=\"gbk\"><meta charset=utf-8></head>", HtmlCharset::Utf8},
        {u"<meta charset=utf-8", HtmlCharset::None},  // no closing ">"
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SniffHtmlCharset(c.text), c.expected) << toUtf8(c.text);
    }
}

TEST(ConvertCharset, StrictAndWithoutMarks) {
    const std::string zhongWenGb = "\xD6\xD0\xCE\xC4";
    EXPECT_EQ(hex(ConvertCharset(zhongWenGb, "GB18030", "UTF-8")),
              hex("\xE4\xB8\xAD\xE6\x96\x87"));  // no EF BB BF
    EXPECT_EQ(hex(ConvertCharset(zhongWenGb, "gb18030", "utf-16le")),
              hex("\x2D\x4E\x87\x65"));  // no FF FE; names without case
    EXPECT_EQ(hex(ConvertCharset(zhongWenGb, "GB18030", "UTF-16BE")), hex("\x4E\x2D\x65\x87"));
    EXPECT_EQ(hex(ConvertCharset(zhongWenGb, "GB18030", "BIG5")), hex("\xA4\xA4\xA4\xE5"));
    EXPECT_EQ(hex(ConvertCharset("\xA4\xA4\xA4\xE5", "BIG5-HKSCS", "GB18030")), hex(zhongWenGb));
    // A longer input than the first output buffer holds.
    const std::string many(100000, 'x');
    EXPECT_EQ(ConvertCharset(many, "UTF-8", "UTF-16LE").size(), 200000u);

    // Every failure gives empty output, never a part.
    EXPECT_EQ(ConvertCharset("", "GB18030", "UTF-8"), "");
    EXPECT_EQ(ConvertCharset("abc", "NO-SUCH-CHARSET", "UTF-8"), "");
    EXPECT_EQ(ConvertCharset("abc", "", "UTF-8"), "");
    EXPECT_EQ(ConvertCharset("ab\xC0\xAF", "UTF-8", "GB18030"), "");  // overlong
    EXPECT_EQ(ConvertCharset("ab\xE4\xB8", "UTF-8", "GB18030"), "");  // cut off
    EXPECT_EQ(ConvertCharset("\xB9\xFA", "GB18030", "BIG5"), "");     // 国 has no Big5 code
}

// The direct ways of convertToText and convertFromText for UTF-8 and UTF-16
// against the literal way through GB18030 and iconv, on cases picked for the
// edges and on many pseudo-random ones.
std::u16string literalToText(std::string_view bytes, TextCharset charset) {
    return decodeGb18030(ConvertCharset(bytes, converterName(charset), "GB18030"));
}

std::string literalFromText(std::u16string_view text, TextCharset charset) {
    return ConvertCharset(encodeGb18030(text), "GB18030", converterName(charset));
}

std::vector<std::string> byteSamples() {
    std::vector<std::string> samples = {"",
                                        "a",
                                        std::string("a\0b", 3),
                                        "\xE4\xB8\xAD\xE6\x96\x87",
                                        "\xEF\xBB\xBF"
                                        "a",
                                        "\xC0\x80",
                                        "\xC1\xBF",
                                        "\xE0\x9F\xBF",
                                        "\xE0\xA0\x80",
                                        "\xED\x9F\xBF",
                                        "\xED\xA0\x80",
                                        "\xEF\xBF\xBF",
                                        "\xF0\x8F\xBF\xBF",
                                        "\xF0\x90\x80\x80",
                                        "\xF4\x8F\xBF\xBF",
                                        "\xF4\x90\x80\x80",
                                        "\xF5\x80\x80\x80",
                                        "\xF8\x88\x80\x80\x80",
                                        "\xC3",
                                        "ab\xE4\xB8",
                                        "\x80",
                                        std::string("\x00\xD8\x00\xDC", 4),
                                        std::string("\x00\xDC\x00\xD8", 4),
                                        std::string("\x3D\xD8\x00\xDE", 4),
                                        std::string("\xD8\x3D\xDE\x00", 4),
                                        "abc",
                                        std::string("\xFF\xFE\x61\x00", 4),
                                        std::string("\x00\x00\x61\x00", 4),
                                        "0123456789abcdef\xC3\xA9"
                                        "0123456789abcdef"};
    // Pseudo-random bytes, weighted toward ASCII, lead and continuation bytes
    // and surrogate halves, so the random cases also hit valid sequences.
    static const unsigned char pool[] = {'a',  'Z',  '0',  ' ',  0x00, 0x80, 0x8F, 0xA0,
                                         0xBF, 0xC2, 0xC3, 0xDF, 0xE0, 0xE4, 0xED, 0xEF,
                                         0xF0, 0xF4, 0xD8, 0xDB, 0xDC, 0xDF, 0xFE, 0xFF};
    std::uint32_t state = 7;
    for (int i = 0; i < 4000; ++i) {
        std::string s;
        const int length = static_cast<int>(state % 12);
        for (int k = 0; k < length; ++k) {
            state = state * 1664525u + 1013904223u;
            s.push_back(static_cast<char>(pool[(state >> 8) % sizeof pool]));
        }
        state = state * 1664525u + 1013904223u;
        samples.push_back(s);
    }
    return samples;
}

TEST(ConvertToText, AgreesWithTheWayThroughGb18030) {
    const std::vector<std::string> samples = byteSamples();
    for (TextCharset charset : {TextCharset::Utf8, TextCharset::Utf16Le, TextCharset::Utf16Be}) {
        for (const std::string& bytes : samples) {
            ASSERT_EQ(toUtf8(convertToText(bytes, charset)), toUtf8(literalToText(bytes, charset)))
                << converterName(charset) << ": " << hex(bytes);
        }
    }
    // Detect and Gbk take the bytes as GB18030 text, up to the first zero.
    EXPECT_EQ(convertToText(std::string("\xD6\xD0\0\xCE\xC4", 5), TextCharset::Gbk), u"中");
    EXPECT_EQ(convertToText("\xD6\xD0", TextCharset::Detect), u"中");
}

TEST(ConvertFromText, AgreesWithTheWayThroughGb18030) {
    std::vector<std::u16string> samples = {u"",
                                           u"a",
                                           u"中文 abc",
                                           u"😀",
                                           std::u16string(u"a\0b", 3),
                                           u"\uFEFF",
                                           u"\uFFFF",
                                           u"繁體與简体",
                                           u"国",
                                           u"\u20AC",
                                           u"\u00E9\u0301"};
    // Lone surrogates: through GB18030 each becomes '?'.
    samples.push_back(std::u16string(1, u'\xD800'));
    samples.push_back(u"a" + std::u16string(1, u'\xDC00') + u"b");
    samples.push_back(std::u16string(1, u'\xDBFF') + u"x");
    // Pseudo-random texts over the edges of the UTF-8 lengths, pairs and
    // lone halves of surrogates.
    static const char16_t pool[] = {u'a',   u'\0',  0x7F,   0x80,   0x7FF,  0x800,  0x4E2D, 0xD7FF,
                                    0xD800, 0xDBFF, 0xDC00, 0xDFFF, 0xE000, 0xFFFD, 0xFFFF};
    std::uint32_t state = 11;
    for (int i = 0; i < 2000; ++i) {
        std::u16string text;
        for (int k = 0; k < i % 9; ++k) {
            state = state * 1664525u + 1013904223u;
            text.push_back(pool[(state >> 8) % std::size(pool)]);
        }
        samples.push_back(text);
    }
    for (TextCharset charset : {TextCharset::Utf8, TextCharset::Utf16Le, TextCharset::Utf16Be}) {
        for (const std::u16string& text : samples) {
            EXPECT_EQ(hex(convertFromText(text, charset)), hex(literalFromText(text, charset)))
                << converterName(charset) << ": " << toUtf8(text);
        }
    }
    EXPECT_EQ(hex(convertFromText(u"中", TextCharset::Gbk)), hex("\xD6\xD0"));
    EXPECT_EQ(hex(convertFromText(u"😀", TextCharset::Detect)), hex(encodeGb18030(u"😀")));
}

}  // namespace
}  // namespace lcr
