#include "text/gb18030.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

namespace lcr {
namespace {

std::string hex(std::string_view bytes) {
    std::string out;
    for (unsigned char b : bytes) {
        static const char digits[] = "0123456789ABCDEF";
        out += out.empty() ? "" : " ";
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

std::string hex(std::u16string_view text) {
    std::string out;
    for (char16_t u : text) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "%s%04X", out.empty() ? "" : " ", static_cast<unsigned>(u));
        out += buf;
    }
    return out;
}

std::u16string scalar(char32_t cp) {
    if (cp < 0x10000) {
        return std::u16string(1, static_cast<char16_t>(cp));
    }
    return {static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)),
            static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF))};
}

std::string fourByteCode(std::uint32_t linear) {
    return {static_cast<char>(0x81 + linear / 12600), static_cast<char>(0x30 + linear / 1260 % 10),
            static_cast<char>(0x81 + linear / 10 % 126), static_cast<char>(0x30 + linear % 10)};
}

constexpr std::uint32_t kFourByteBmpCount = 39420;
constexpr std::uint32_t kSupplementaryBase = 189000;  // linear index of 90 30 81 30

// Every two-byte code.
std::vector<std::string> allTwoByteCodes() {
    std::vector<std::string> codes;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail != 0x7F) {
                codes.push_back({static_cast<char>(lead), static_cast<char>(trail)});
            }
        }
    }
    return codes;
}

// Code points spread over the supplementary planes, with both ends, an emoji
// and the characters glibc gives two-byte codes.
std::vector<char32_t> supplementarySample() {
    std::vector<char32_t> sample = {0x10000, 0x10FFFF, 0x1F600, 0x20000, 0x20087,
                                    0x20089, 0x200CC,  0x215D7, 0x2298F, 0x241FE};
    for (char32_t cp = 0x10000; cp <= 0x10FFFF; cp += 89) {
        sample.push_back(cp);
    }
    return sample;
}

struct IconvCloser {
    void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};

// glibc's iconv, one whole conversion per call; nothing when it rejects
// any of the input.
class Iconv {
public:
    Iconv(const char* to, const char* from) {
        iconv_t cd = iconv_open(to, from);
        if (cd != reinterpret_cast<iconv_t>(-1)) {
            m_cd.reset(cd);
        }
    }
    bool isOpen() const { return m_cd != nullptr; }

    std::optional<std::string> convert(std::string_view input) const {
        iconv(m_cd.get(), nullptr, nullptr, nullptr, nullptr);
        std::string out(input.size() * 4 + 16, '\0');
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        char* dst = out.data();
        std::size_t outLeft = out.size();
        if (iconv(m_cd.get(), &in, &inLeft, &dst, &outLeft) == static_cast<std::size_t>(-1)) {
            return std::nullopt;
        }
        out.resize(out.size() - outLeft);
        return out;
    }

private:
    std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser> m_cd;
};

std::string utf16le(std::u16string_view text) {
    std::string out;
    for (char16_t u : text) {
        out.push_back(static_cast<char>(u & 0xFF));
        out.push_back(static_cast<char>(u >> 8));
    }
    return out;
}

std::u16string fromUtf16le(std::string_view bytes) {
    std::u16string out;
    for (std::size_t k = 0; k + 1 < bytes.size(); k += 2) {
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[k]) |
                                            static_cast<unsigned char>(bytes[k + 1]) << 8));
    }
    return out;
}

// Deterministic text mixing ASCII runs, Chinese, full-width punctuation,
// characters with four-byte codes (Latin-1, Hangul), emoji and line breaks
// in irregular lengths, so that runs start and end at every offset of the
// 16-unit blocks.
std::u16string mixedText(std::size_t units, std::uint32_t seed) {
    std::u16string text;
    std::uint32_t state = seed;
    auto next = [&state](std::uint32_t bound) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % bound;
    };
    static const std::u16string punctuation = u"，。：；！？“”（）、《》\u3000";
    while (text.size() < units) {
        std::uint32_t runLength = 1 + next(23);
        std::uint32_t kind = next(10);
        for (std::uint32_t k = 0; k < runLength; ++k) {
            switch (kind) {
                case 0:
                case 1:
                case 2:
                    text.push_back(static_cast<char16_t>(0x20 + next(0x5F)));
                    break;
                case 3:
                case 4:
                case 5:
                    text.push_back(static_cast<char16_t>(0x4E00 + next(0x51A6)));
                    break;
                case 6:
                    text.push_back(
                        punctuation[next(static_cast<std::uint32_t>(punctuation.size()))]);
                    break;
                case 7:
                    text.push_back(static_cast<char16_t>(next(2) ? 0x00A0 + next(0x60)
                                                                 : 0xAC00 + next(0x2BA4)));
                    break;
                case 8:
                    text += scalar(0x1F300 + next(0x300));
                    break;
                default:
                    text += next(2) ? u"\r\n" : u"\n";
                    break;
            }
        }
    }
    return text;
}

TEST(Gb18030, KnownCodes) {
    struct Case {
        std::u16string text;
        std::string bytes;
    };
    const Case cases[] = {
        {u"abc 123\r\n", "abc 123\r\n"},
        {u"中文", "\xD6\xD0\xCE\xC4"},
        {u"\u20AC", "\xA2\xE3"},
        {u"\u3000", "\xA1\xA1"},
        {u"\uE5E5", "\xA3\xA0"},
        {u"\u0080", "\x81\x30\x81\x30"},
        {u"\uFFFF", "\x84\x31\xA4\x39"},
        {u"\uFFFD", "\x84\x31\xA4\x37"},
        {u"\U00010000", "\x90\x30\x81\x30"},
        {u"\U0001F600", "\x94\x39\xFC\x36"},
        {u"\U0010FFFF", "\xE3\x32\x9A\x35"},
        // glibc gives U+FE10 the two-byte code A6D9; the private use character
        // that had A6D9 takes U+FE10's old four-byte code.
        {u"\uFE10", "\xA6\xD9"},
        {u"\uE78D", "\x84\x31\x82\x36"},
        // glibc gives U+20087 the two-byte code FE51; the private use character
        // that had FE51 takes U+20087's four-byte code.
        {u"\U00020087", "\xFE\x51"},
        {u"\uE816", "\x95\x32\x90\x31"},
        {u"GB18030编码：€100。",
         "GB18030\xB1\xE0\xC2\xEB\xA3\xBA\xA2\xE3"
         "100\xA1\xA3"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hex(encodeGb18030(c.text)), hex(c.bytes)) << toUtf8(c.text);
        EXPECT_EQ(hex(decodeGb18030(c.bytes)), hex(c.text)) << toUtf8(c.text);
    }
}

TEST(Gb18030, DecodingStopsAtTheFirstZeroByte) {
    const std::string longAscii(40, 'x');
    struct Case {
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {std::string("ab\0cd", 5), u"ab"},
        {std::string("\0abc", 4), u""},
        {std::string("\xD6\xD0\0\xCE\xC4", 5), u"中"},
        {std::string("\xD6\0\xD0", 3), u"\uFFFD"},  // the lead byte is cut off by the end
        {longAscii + std::string("\0\xD6\xD0", 3), std::u16string(40, u'x')},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hex(decodeGb18030(c.bytes)), hex(c.text)) << hex(c.bytes);
    }
}

TEST(Gb18030, InvalidSequencesReplaceTheirFirstByte) {
    struct Case {
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {"\x80", u"\uFFFD"},
        {"\xFF", u"\uFFFD"},
        {"a\x80"
         "b",
         u"a\uFFFDb"},
        {"\x81\x7F", u"\uFFFD\u007F"},
        {"\x81\xFF", u"\uFFFD\uFFFD"},
        {"\x81 ", u"\uFFFD "},
        {"\x81\x3A", u"\uFFFD:"},
        {"\x81\x30 0", u"\uFFFD0 0"},
        {"\x81\x30\x81 ", u"\uFFFD0\uFFFD "},
        {"\x81\x30\x81\x30", u"\u0080"},
        // Well formed but unassigned four-byte codes: after the BMP, between
        // the BMP and U+10000, after U+10FFFF.
        {"\x84\x31\xA5\x30!", u"\uFFFD1\uFFFD0!"},
        {"\x8F\x39\xFE\x39!", u"\uFFFD9\uFFFD9!"},
        {"\xE3\x32\x9A\x36!", u"\uFFFD2\uFFFD6!"},
        {"\xFE\x39\xFE\x39!", u"\uFFFD9\uFFFD9!"},
        {"\xD6\xD0\x80\xCE\xC4", u"中\uFFFD文"},
    };
    // Also inside longer text, where the fast paths run up to the error.
    const std::string prefix = "\xC7\xB0\xD7\xBA prefix text 0123456789 ";
    const std::string suffix = " suffix text 0123456789 \xBA\xF3\xD7\xBA";
    const std::u16string prefixText = u"前缀 prefix text 0123456789 ";
    const std::u16string suffixText = u" suffix text 0123456789 后缀";
    for (const Case& c : cases) {
        EXPECT_EQ(hex(decodeGb18030(c.bytes)), hex(c.text)) << hex(c.bytes);
        EXPECT_EQ(hex(decodeGb18030(prefix + c.bytes + suffix)),
                  hex(prefixText + c.text + suffixText))
            << hex(c.bytes);
    }
}

TEST(Gb18030, TruncatedSequenceAtTheEndIsOneReplacement) {
    struct Case {
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {"\x81", u"\uFFFD"},
        {"\x81\x30", u"\uFFFD"},
        {"\x81\x30\x81", u"\uFFFD"},
        {"\xD6\xD0\xCE", u"中\uFFFD"},
        {"abc\x90\x30\x81", u"abc\uFFFD"},
        {std::string(30, 'a') + "\x95\x32\x90", std::u16string(30, u'a') + u"\uFFFD"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hex(decodeGb18030(c.bytes)), hex(c.text)) << hex(c.bytes);
    }
}

TEST(Gb18030, LoneSurrogatesEncodeAsQuestionMark) {
    struct Case {
        std::u16string text;
        std::string bytes;
    };
    const Case cases[] = {
        {u"\xD800", "?"},
        {u"\xDC00", "?"},
        {std::u16string(u"a\xDC00") + u"\xD800" + u"b", "a??b"},
        {std::u16string(u"\xD800") + u"\xD800\xDC00", "?\x90\x30\x81\x30"},
        {std::u16string(20, u'x') + u"\xD83D", std::string(20, 'x') + "?"},
        {std::u16string(u"\xD83D") + std::u16string(20, u'y'), "?" + std::string(20, 'y')},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hex(encodeGb18030(c.text)), hex(c.bytes)) << hex(c.text);
    }
}

TEST(Gb18030, EveryBmpCharacterRoundTrips) {
    int failures = 0;
    std::u16string all;
    for (char32_t cp = 0; cp < 0x10000; ++cp) {
        if (cp >= 0xD800 && cp < 0xE000) {
            continue;
        }
        all += scalar(cp);
        if (cp == 0) {
            continue;  // decoding stops at the zero byte; covered by the whole text below
        }
        std::string bytes = encodeGb18030(scalar(cp));
        bool lengthOk = cp < 0x80 ? bytes.size() == 1 : bytes.size() == 2 || bytes.size() == 4;
        if (!lengthOk || decodeGb18030(bytes) != scalar(cp)) {
            ADD_FAILURE() << "U+" << hex(scalar(cp)) << " -> " << hex(bytes) << " -> "
                          << hex(decodeGb18030(bytes));
            if (++failures > 10) {
                return;
            }
        }
    }
    // All of them in one text, which must also map back and forth in one go
    // (the zero byte is at the start, so skip it).
    std::string bytes = encodeGb18030(all);
    EXPECT_TRUE(decodeGb18030(bytes.substr(1)) == all.substr(1));
}

TEST(Gb18030, EverySupplementaryCharacterSampledRoundTrips) {
    for (char32_t cp : supplementarySample()) {
        std::string bytes = encodeGb18030(scalar(cp));
        ASSERT_EQ(decodeGb18030(bytes), scalar(cp)) << hex(scalar(cp)) << " -> " << hex(bytes);
    }
}

TEST(Gb18030, EveryValidCodeRoundTrips) {
    std::vector<std::string> codes = allTwoByteCodes();
    for (std::uint32_t linear = 0; linear < kFourByteBmpCount; ++linear) {
        codes.push_back(fourByteCode(linear));
    }
    for (char32_t cp : supplementarySample()) {
        codes.push_back(fourByteCode(kSupplementaryBase + (cp - 0x10000)));
    }
    const std::string replacementCode = "\x84\x31\xA4\x37";
    int failures = 0;
    for (const std::string& code : codes) {
        std::u16string text = decodeGb18030(code);
        bool oneCharacter = text.size() == 1 || (text.size() == 2 && text[0] >= 0xD800 &&
                                                 text[0] < 0xDC00 && text[1] >= 0xDC00);
        if (!oneCharacter || (text == u"\uFFFD" && code != replacementCode) ||
            encodeGb18030(text) != code) {
            ADD_FAILURE() << hex(code) << " -> " << hex(text) << " -> " << hex(encodeGb18030(text));
            if (++failures > 10) {
                return;
            }
        }
    }
}

// Where iconv's mapping is one-to-one, it is ours.
TEST(Gb18030, AgreesWithIconvWhereItsMappingIsOneToOne) {
    Iconv toUtf16("UTF-16LE", "GB18030");
    Iconv toGb("GB18030", "UTF-16LE");
    ASSERT_TRUE(toUtf16.isOpen() && toGb.isOpen());
    std::vector<std::string> codes = allTwoByteCodes();
    for (std::uint32_t linear = 0; linear < kFourByteBmpCount; ++linear) {
        codes.push_back(fourByteCode(linear));
    }
    for (char32_t cp : supplementarySample()) {
        codes.push_back(fourByteCode(kSupplementaryBase + (cp - 0x10000)));
    }
    int compared = 0;
    for (const std::string& code : codes) {
        auto text = toUtf16.convert(code);
        if (!text) {
            continue;
        }
        auto back = toGb.convert(*text);
        if (!back || *back != code) {
            continue;
        }
        ASSERT_EQ(hex(decodeGb18030(code)), hex(fromUtf16le(*text))) << hex(code);
        ASSERT_EQ(hex(encodeGb18030(fromUtf16le(*text))), hex(code)) << hex(code);
        ++compared;
    }
    // All but the handful of codes glibc maps one-sidedly.
    EXPECT_GT(compared, static_cast<int>(codes.size()) - 100);
}

TEST(Gb18030, LongMixedTextMatchesIconvAndRoundTrips) {
    Iconv toUtf16("UTF-16LE", "GB18030");
    Iconv toGb("GB18030", "UTF-16LE");
    ASSERT_TRUE(toUtf16.isOpen() && toGb.isOpen());
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        std::u16string text = mixedText(200000 + seed * 37, seed);
        std::string bytes = encodeGb18030(text);
        auto iconvBytes = toGb.convert(utf16le(text));
        ASSERT_TRUE(iconvBytes.has_value());
        ASSERT_TRUE(bytes == *iconvBytes) << "seed " << seed;
        ASSERT_TRUE(decodeGb18030(bytes) == text) << "seed " << seed;
        auto iconvText = toUtf16.convert(bytes);
        ASSERT_TRUE(iconvText.has_value());
        ASSERT_TRUE(decodeGb18030(bytes) == fromUtf16le(*iconvText)) << "seed " << seed;
    }
}

// Four-byte codes only: the encoder's output grows beyond its first guess.
TEST(Gb18030, TextOfFourByteCodesRoundTrips) {
    std::u16string text;
    for (char32_t k = 0; k < 50000; ++k) {
        text += static_cast<char16_t>(0xAC00 + k % 11172);
        if (k % 7 == 0) {
            text += scalar(0x1F600 + k % 80);
        }
    }
    std::string bytes = encodeGb18030(text);
    EXPECT_EQ(bytes.size(), 4 * text.size() - 4 * (50000 / 7 + 1));
    EXPECT_TRUE(decodeGb18030(bytes) == text);
}

// Any bytes decode without reading or writing out of bounds, and the result
// survives encoding and decoding again.
TEST(Gb18030, ArbitraryBytesDecodeToStableText) {
    std::uint32_t state = 12345;
    for (int round = 0; round < 300; ++round) {
        std::string bytes;
        std::size_t length = static_cast<std::size_t>(round % 60);
        for (std::size_t k = 0; k < length; ++k) {
            state = state * 1664525u + 1013904223u;
            unsigned b = state >> 24;
            // Favour the bytes that start and continue multi-byte codes.
            if (state & 0x100) {
                b = (state & 0x200) ? 0x30 + (b % 10) : 0x81 + (b % 0x7E);
            }
            bytes.push_back(static_cast<char>(b == 0 ? 1 : b));
        }
        std::u16string text = decodeGb18030(bytes);
        EXPECT_LE(text.size(), bytes.size());
        EXPECT_EQ(hex(decodeGb18030(encodeGb18030(text))), hex(text)) << hex(bytes);
    }
}

TEST(Utf8, KnownAndInvalidSequences) {
    struct Case {
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {"abc", u"abc"},
        {"\xE4\xB8\xAD\xE6\x96\x87", u"中文"},
        {"\xC2\x80\xDF\xBF", u"\u0080\u07FF"},
        {"\xEF\xBF\xBF", u"\uFFFF"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
        {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
        {"\xFF", u"\uFFFD"},
        {"\x80x", u"\uFFFDx"},
        {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong
        {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},            // overlong
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
        {"\xE4\xB8", u"\uFFFD"},                            // truncated at the end
        {"\xE4\xB8x", u"\uFFFDx"},
        {"\xF0\x9F\x98", u"\uFFFD"},
        {"\xF0\x9F\x98\xE4\xB8\xAD", u"\uFFFD中"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hex(fromUtf8(c.bytes)), hex(c.text)) << hex(c.bytes);
        // The check agrees with the decoder: well-formed exactly when
        // nothing had to be replaced.
        EXPECT_EQ(isWellFormedUtf8(c.bytes), c.text.find(u'\uFFFD') == std::u16string::npos)
            << hex(c.bytes);
    }
    EXPECT_TRUE(isWellFormedUtf8(""));
    EXPECT_TRUE(isWellFormedUtf8("\xEF\xBF\xBD"));  // U+FFFD itself, encoded
    EXPECT_EQ(hex(toUtf8(u"\xD800")), "EF BF BD");
    EXPECT_EQ(hex(toUtf8(std::u16string(u"\xDE00") + u"a")), "EF BF BD 61");
}

// The decoder takes sixteen bytes at a time where it can and streams in
// pieces: a sequence at any place among ASCII and Chinese text, and a cut at
// any place, decode as the whole does byte by byte.
TEST(Utf8, LongTextsAndPiecesDecodeAsTheirParts) {
    const std::pair<std::string, std::u16string> sequences[] = {
        {"\xE4\xB8\xAD", u"中"},   {"\xF0\x9F\x98\x80", u"\U0001F600"},
        {"\xC3\xA9", u"\u00E9"},   {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"\xE4\xB8x", u"\uFFFDx"}, {"\xFF", u"\uFFFD"},
    };
    for (const auto& [bytes, text] : sequences) {
        for (std::size_t at = 0; at < 40; ++at) {
            const std::string before =
                std::string(at, 'a') + "\xE6\x96\x87" + std::string(at % 7, 'b');
            const std::u16string beforeText =
                std::u16string(at, u'a') + u"文" + std::u16string(at % 7, u'b');
            const std::string all = before + bytes + std::string(20, 'z') + "\xE4\xB8\xAD";
            const std::u16string expected = beforeText + text + std::u16string(20, u'z') + u"中";
            ASSERT_EQ(hex(fromUtf8(all)), hex(expected)) << hex(all);
            for (std::size_t cut = 0; cut <= all.size(); ++cut) {
                const std::size_t whole = completeUtf8Prefix(std::string_view(all).substr(0, cut));
                ASSERT_LE(whole, cut);
                std::u16string pieces(all.size(), u'\0');
                std::size_t n =
                    decodeUtf8Into(std::string_view(all).substr(0, whole), pieces.data());
                n += decodeUtf8Into(std::string_view(all).substr(whole), pieces.data() + n);
                pieces.resize(n);
                ASSERT_EQ(hex(pieces), hex(expected)) << hex(all) << " cut at " << cut;
            }
        }
    }
    std::string grown;
    appendUtf8(u"中", grown);
    appendUtf8(u"a\U0001F600", grown);
    EXPECT_EQ(hex(grown), "E4 B8 AD 61 F0 9F 98 80");
}

TEST(Utf8, EveryCharacterRoundTrips) {
    std::vector<char32_t> cps = supplementarySample();
    for (char32_t cp = 0; cp < 0x10000; ++cp) {
        if (cp < 0xD800 || cp >= 0xE000) {
            cps.push_back(cp);
        }
    }
    std::u16string all;
    for (char32_t cp : cps) {
        all += scalar(cp);
    }
    EXPECT_TRUE(fromUtf8(toUtf8(all)) == all);
    // Compare the UTF-8 with iconv's.
    Iconv toUtf8Iconv("UTF-8", "UTF-16LE");
    ASSERT_TRUE(toUtf8Iconv.isOpen());
    auto expected = toUtf8Iconv.convert(utf16le(all));
    ASSERT_TRUE(expected.has_value());
    EXPECT_TRUE(toUtf8(all) == *expected);
}

}  // namespace
}  // namespace lcr
