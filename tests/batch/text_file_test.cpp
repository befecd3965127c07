#include "batch/text_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "tests/batch/hex.h"
#include "tests/batch/temp_folder.h"
#include "text/gb18030.h"

namespace lcr {
namespace {

using testing::readBytes;
using testing::TempFolder;

const char* nameOf(TextCharset charset) {
    static const char* const names[] = {"Detect",  "Gbk",  "Utf8",     "Utf16Le",
                                        "Utf16Be", "Big5", "Big5Hkscs"};
    return names[static_cast<int>(charset)];
}

using testing::hex;

// 中文 in each charset.
const std::string kGbk = "\xD6\xD0\xCE\xC4";
const std::string kUtf8 = "\xE4\xB8\xAD\xE6\x96\x87";
const std::string kUtf16Le("\x2D\x4E\x87\x65", 4);
const std::string kUtf16Be("\x4E\x2D\x65\x87", 4);
const std::string kBig5 = "\xA4\xA4\xA4\xE5";

TEST(DecodeFileBytes, DetectionOrderAndRequestedCharsets) {
    struct Case {
        const char* what;
        std::string bytes;
        TextCharset requested;
        std::u16string text;
        TextCharset charset;
    };
    const TextCharset detect = TextCharset::Detect;
    const Case cases[] = {
        {"empty file", "", detect, u"", TextCharset::Gbk},
        {"pure ASCII is GBK", "abc\r\n", detect, u"abc\r\n", TextCharset::Gbk},
        {"GBK", kGbk + "abc", detect, u"中文abc", TextCharset::Gbk},
        {"UTF-8 without a mark", "abc" + kUtf8, detect, u"abc中文", TextCharset::Utf8},
        // GBK bytes that form valid UTF-8 (涓枃 in GBK) are read as UTF-8.
        {"GBK that looks like UTF-8", kUtf8, detect, u"中文", TextCharset::Utf8},
        {"four-byte UTF-8 is not UTF-8", "\xF0\x9F\x98\x80" + kUtf8, detect,
         decodeGb18030("\xF0\x9F\x98\x80" + kUtf8), TextCharset::Gbk},
        {"overlong UTF-8 passes the test, fails the conversion", "a\xC0\xAF", detect,
         decodeGb18030("a\xC0\xAF"), TextCharset::Gbk},
        {"UTF-8 mark", "\xEF\xBB\xBF" + kUtf8, detect, u"中文", TextCharset::Utf8},
        {"UTF-16LE mark", "\xFF\xFE" + kUtf16Le, detect, u"中文", TextCharset::Utf16Le},
        {"UTF-16BE mark", "\xFE\xFF" + kUtf16Be, detect, u"中文", TextCharset::Utf16Be},
        {"a mark and nothing else", "\xEF\xBB\xBF", detect, u"", TextCharset::Utf8},
        {"a UTF-16 mark and nothing else", "\xFE\xFF", detect, u"", TextCharset::Utf16Be},
        {"the mark wins over a meta tag", "\xEF\xBB\xBF<meta charset=big5>", detect,
         u"<meta charset=big5>", TextCharset::Utf8},
        {"odd UTF-16 falls back to the bytes",
         "\xFF\xFE"
         "a",
         detect,
         decodeGb18030("\xFF\xFE"
                       "a"),
         TextCharset::Gbk},

        // HTML meta tags, before the UTF-8 test.
        {"meta Big5", "<html><head><meta charset=big5></head>" + kBig5, detect,
         u"<html><head><meta charset=big5></head>中文", TextCharset::Big5},
        {"meta in capitals, lower-case charset",
         "<HEAD><META CONTENT=\"text/html; charset=utf-8\">"
         "</HEAD>" +
             kUtf8,
         detect, u"<HEAD><META CONTENT=\"text/html; charset=utf-8\"></HEAD>中文",
         TextCharset::Utf8},
        {"meta in the body, no head", "<body><meta charset='Big5-HKSCS'>" + kBig5, detect,
         u"<body><meta charset='Big5-HKSCS'>中文", TextCharset::Big5Hkscs},
        {"an empty meta ends the sniffing", "<head><meta><meta charset=big5></head>" + kBig5,
         detect, decodeGb18030("<head><meta><meta charset=big5></head>" + kBig5), TextCharset::Gbk},
        {"GB2312 is not recognised", "<head><meta charset=gb2312></head>" + kGbk, detect,
         u"<head><meta charset=gb2312></head>中文", TextCharset::Gbk},
        {"meta behind a 1A byte is not seen", "x\x1A<meta charset=big5>" + kBig5, detect,
         decodeGb18030("x\x1A<meta charset=big5>" + kBig5), TextCharset::Gbk},
        {"a declared charset that does not decode", "<meta charset=utf-8>" + kGbk, detect,
         u"<meta charset=utf-8>中文", TextCharset::Gbk},

        // Requested charsets.
        {"UTF-8 chosen, with a mark", "\xEF\xBB\xBF" + kUtf8, TextCharset::Utf8, u"中文",
         TextCharset::Utf8},
        {"UTF-8 chosen, without a mark", kUtf8, TextCharset::Utf8, u"中文", TextCharset::Utf8},
        {"UTF-8 chosen for ASCII", "abc", TextCharset::Utf8, u"abc", TextCharset::Utf8},
        {"UTF-8 chosen for GBK falls back", kGbk, TextCharset::Utf8, u"中文", TextCharset::Gbk},
        // "Unicode" for a file without a mark: no byte is taken for a mark.
        {"Unicode chosen, no mark", kUtf16Le, TextCharset::Utf16Le, u"中文", TextCharset::Utf16Le},
        {"Unicode chosen, with mark", "\xFF\xFE" + kUtf16Le, TextCharset::Utf16Le, u"中文",
         TextCharset::Utf16Le},
        {"Unicode be chosen", "\xFE\xFF" + kUtf16Be, TextCharset::Utf16Be, u"中文",
         TextCharset::Utf16Be},
        {"Unicode chosen for two bytes only", "ab", TextCharset::Utf16Le, u"\u6261",
         TextCharset::Utf16Le},
        {"Unicode chosen for an odd size falls back", "abc", TextCharset::Utf16Le, u"abc",
         TextCharset::Gbk},
        {"no entry selected", "\xFF\xFE" + kUtf16Le, requestedCharset(-1),
         decodeGb18030("\xFF\xFE" + kUtf16Le), TextCharset::Gbk},
        {"Big5 asked for directly", kBig5, TextCharset::Big5, u"中文", TextCharset::Big5},
    };
    for (const Case& c : cases) {
        const DecodedText decoded = decodeFileBytes(c.bytes, c.requested);
        EXPECT_EQ(toUtf8(decoded.text), toUtf8(c.text)) << c.what;
        EXPECT_STREQ(nameOf(decoded.charset), nameOf(c.charset)) << c.what;
    }
}

// A zero byte never cuts a text short: the file is UTF-16 by the pattern of
// its zero bytes, or it is binary and has no text. (Former bug: a UTF-16BE
// file without a mark was read as GBK up to its first zero byte, and batch
// replace wrote 20 bytes for a 666-byte source.)
TEST(DecodeFileBytes, ZeroBytesMakeUtf16OrBinary) {
    struct Case {
        const char* what;
        std::string bytes;
        TextCharset requested;
        std::u16string text;  // for a binary file: empty
        TextCharset charset;
        bool binary;
    };
    const TextCharset detect = TextCharset::Detect;
    const std::string le("a\0:\0", 4);
    const std::string be("\0a\0:", 4);
    const Case cases[] = {
        {"UTF-16LE without a mark", le + kUtf16Le, detect, u"a:中文", TextCharset::Utf16Le, false},
        {"UTF-16BE without a mark", be + kUtf16Be, detect, u"a:中文", TextCharset::Utf16Be, false},
        {"zeros at both parities", std::string("a\0\0b", 4), detect, u"", TextCharset::Gbk, true},
        {"a zero character in UTF-16", le + std::string("\0\0", 2), detect, u"", TextCharset::Gbk,
         true},
        {"an odd size", std::string("a\0b", 3), detect, u"", TextCharset::Gbk, true},
        {"a lone surrogate is no UTF-16", std::string("a\0\x00\xD8", 4), detect, u"",
         TextCharset::Gbk, true},
        {"a zero after a UTF-8 mark",
         std::string("\xEF\xBB\xBF"
                     "a\0b",
                     6),
         detect, u"", TextCharset::Gbk, true},
        {"a zero in a GBK file", kGbk + std::string("\0", 1), detect, u"", TextCharset::Gbk, true},
        {"GBK chosen for UTF-16", "\xFF\xFE" + le, TextCharset::Gbk, u"", TextCharset::Gbk, true},
        {"UTF-8 chosen for a zero", std::string("ab\0", 3), TextCharset::Utf8, u"",
         TextCharset::Gbk, true},
        {"Unicode chosen for a zero character", std::string("a\0\0\0", 4), TextCharset::Utf16Le,
         u"", TextCharset::Gbk, true},
        {"a UTF-16 mark keeps its zero bytes", "\xFF\xFE" + le, detect, u"a:", TextCharset::Utf16Le,
         false},
    };
    for (const Case& c : cases) {
        const DecodedText decoded = decodeFileBytes(c.bytes, c.requested);
        EXPECT_EQ(decoded.binary, c.binary) << c.what;
        EXPECT_EQ(toUtf8(decoded.text), toUtf8(c.text)) << c.what;
        EXPECT_STREQ(nameOf(decoded.charset), nameOf(c.charset)) << c.what;
    }
}

// Writing a decoded text back with the mark as it was gives the file's bytes
// again, or `exact` says it would not.
TEST(DecodeFileBytes, MarksAsFoundAndExactRoundTrips) {
    struct Case {
        const char* what;
        std::string bytes;
        TextCharset requested;
        bool hasMark;
        bool exact;
    };
    const TextCharset detect = TextCharset::Detect;
    const Case cases[] = {
        {"UTF-8 without a mark", "x" + kUtf8, detect, false, true},
        {"UTF-8 with a mark", "\xEF\xBB\xBF" + kUtf8, detect, true, true},
        {"UTF-16LE with a mark", "\xFF\xFE" + kUtf16Le, detect, true, true},
        {"UTF-16LE chosen, no mark", kUtf16Le, TextCharset::Utf16Le, false, true},
        {"UTF-8 chosen, no mark", kUtf8, TextCharset::Utf8, false, true},
        {"GBK", kGbk, detect, false, true},
        {"a byte GB18030 does not decode", "a\x80" + kGbk, detect, false, false},
        {"Big5", "<meta charset=big5>" + kBig5, detect, false, true},
        {"a mark and nothing else", "\xFE\xFF", detect, true, true},
    };
    for (const Case& c : cases) {
        const DecodedText decoded = decodeFileBytes(c.bytes, c.requested);
        EXPECT_EQ(decoded.hasMark, c.hasMark) << c.what;
        EXPECT_EQ(decoded.exact, c.exact) << c.what;
        if (c.exact) {
            EXPECT_EQ(hex(encodeFileBytes(decoded.text, decoded.charset, decoded.hasMark).bytes),
                      hex(c.bytes))
                << c.what;
        }
    }
}

TEST(EncodeFileBytes, MarksOnRequestAndNothingForAnUnrepresentableCharacter) {
    struct Case {
        std::u16string text;
        TextCharset charset;
        std::string bytes;
    };
    const Case cases[] = {
        {u"中文", TextCharset::Gbk, kGbk},
        {u"中文", TextCharset::Detect, kGbk},  // after a failed read
        {u"中文", TextCharset::Utf8, "\xEF\xBB\xBF" + kUtf8},
        {u"中文", TextCharset::Utf16Le, "\xFF\xFE" + kUtf16Le},
        {u"中文", TextCharset::Utf16Be, "\xFE\xFF" + kUtf16Be},
        {u"中文", TextCharset::Big5, kBig5},
        {u"中文", TextCharset::Big5Hkscs, kBig5},
        {u"😀", TextCharset::Gbk, "\x94\x39\xFC\x36"},  // GB18030 loses nothing
        {u"", TextCharset::Utf8, "\xEF\xBB\xBF"},      // as a file holding only its mark
        {u"", TextCharset::Gbk, ""},
    };
    for (const Case& c : cases) {
        const EncodedText encoded = encodeFileBytes(c.text, c.charset);
        EXPECT_EQ(hex(encoded.bytes), hex(c.bytes))
            << toUtf8(c.text) << " as " << nameOf(c.charset);
        EXPECT_FALSE(encoded.unrepresentable);
    }
    EXPECT_EQ(hex(encodeFileBytes(u"中文", TextCharset::Utf8, false).bytes), hex(kUtf8));
    EXPECT_EQ(hex(encodeFileBytes(u"中文", TextCharset::Utf16Be, false).bytes), hex(kUtf16Be));

    // The first character the charset lacks, and its line: 国 has no Big5
    // code; lines end at CR LF, LF or a lone CR.
    struct Lacking {
        std::u16string text;
        TextCharset charset;
        char32_t character;
        std::size_t line;
    };
    const Lacking lacking[] = {
        {u"中国", TextCharset::Big5, U'国', 1},
        {u"中\r\n文\n\r国国", TextCharset::Big5, U'国', 4},
        {u"中\n😀", TextCharset::Big5Hkscs, U'😀', 2},
        {u"a\r\n😀", TextCharset::Big5, U'😀', 2},
        {std::u16string(u"ab") + char16_t(0xD800) + u"c", TextCharset::Utf8, 0xD800, 1},
    };
    for (const Lacking& c : lacking) {
        const EncodedText encoded = encodeFileBytes(c.text, c.charset);
        EXPECT_TRUE(encoded.bytes.empty()) << toUtf8(c.text);
        ASSERT_TRUE(encoded.unrepresentable) << toUtf8(c.text);
        EXPECT_EQ(encoded.unrepresentable->character, c.character) << toUtf8(c.text);
        EXPECT_EQ(encoded.unrepresentable->line, c.line) << toUtf8(c.text);
    }
}

TEST(TextFile, EveryCharsetRoundTripsAndReadingLeavesTheFileAlone) {
    TempFolder folder;
    const std::u16string body = u"第一行 line 1\r\n第二行：2024-01-01\r\n";
    struct Case {
        TextCharset charset;
        std::u16string text;
    };
    const Case cases[] = {
        {TextCharset::Gbk, body + u"😀"},
        {TextCharset::Utf8, body + u"😀"},
        {TextCharset::Utf16Le, body + u"😀"},
        {TextCharset::Utf16Be, body + u"😀"},
        // Big5 is found only through a meta tag; 中文 exists in both charsets.
        {TextCharset::Big5, u"<html><head><meta charset=\"Big5\"></head>中文 abc"},
        {TextCharset::Big5Hkscs, u"<html><head><meta charset=Big5-HKSCS></head>中文 abc"},
    };
    for (const Case& c : cases) {
        const auto path = folder.path() / (std::string(nameOf(c.charset)) + ".txt");
        ASSERT_TRUE(WriteTextFile(path, c.text, c.charset).ok());
        const std::string written = readBytes(path);
        EXPECT_TRUE(written.starts_with(byteOrderMark(c.charset))) << nameOf(c.charset);
        const struct stat before = [&] {
            struct stat info {};
            ::stat(path.c_str(), &info);
            return info;
        }();

        const TextFileContent read = ReadTextFile(path, TextCharset::Detect);
        EXPECT_EQ(read.status, FileStatus::Ok);
        EXPECT_EQ(toUtf8(read.text), toUtf8(c.text)) << nameOf(c.charset);
        EXPECT_STREQ(nameOf(read.charset), nameOf(c.charset));

        struct stat after {};
        ::stat(path.c_str(), &after);
        EXPECT_EQ(readBytes(path), written) << nameOf(c.charset);
        EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
        EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    }
}

TEST(TextFile, Utf8WithoutMarkIsWrittenBackWithout) {
    TempFolder folder;
    const auto source = folder.write("source.txt", "no mark " + kUtf8);
    const TextFileContent read = ReadTextFile(source, TextCharset::Detect);
    ASSERT_EQ(read.charset, TextCharset::Utf8);
    const auto output = folder.path() / "output.txt";
    folder.write("output.txt", std::string(1000, 'x'));  // an older, longer output
    ASSERT_TRUE(WriteTextFile(output, read.text, read.charset, read.hasMark).ok());
    EXPECT_EQ(hex(readBytes(output)), hex("no mark " + kUtf8));
}

TEST(TextFile, AnUnrepresentableCharacterLeavesTheOldOutputAlone) {
    TempFolder folder;
    const auto output = folder.write("out.htm", "old");
    const TextWriteResult written = WriteTextFile(output, u"a\r\n中国", TextCharset::Big5);
    EXPECT_FALSE(written.ok());
    ASSERT_TRUE(written.unrepresentable);
    EXPECT_EQ(written.unrepresentable->line, 2u);
    EXPECT_EQ(readBytes(output), "old");
}

TEST(TextFile, WhatCannotBeReadOrWrittenIsAResult) {
    TempFolder folder;
    std::filesystem::create_directory(folder.path() / "sub");
    ASSERT_EQ(::mkfifo((folder.path() / "pipe").c_str(), 0600), 0);

    struct Case {
        std::filesystem::path path;
        FileStatus status;
    };
    const Case reads[] = {
        {folder.path() / "missing.txt", FileStatus::CannotOpen},
        {folder.path() / "missing" / "a.txt", FileStatus::CannotOpen},
        {folder.path() / "sub", FileStatus::NotAFile},
        {folder.path() / "pipe", FileStatus::NotAFile},  // no writer: must not wait for one
    };
    for (const Case& c : reads) {
        const TextFileContent read = ReadTextFile(c.path, TextCharset::Detect);
        EXPECT_EQ(read.status, c.status) << c.path;
        EXPECT_TRUE(read.text.empty());
        EXPECT_EQ(read.charset, TextCharset::Detect);
    }
    const Case writes[] = {
        {folder.path() / "missing" / "a.txt", FileStatus::CannotOpen},
        {folder.path() / "sub", FileStatus::NotAFile},
        {folder.path() / "pipe", FileStatus::NotAFile},  // no reader
    };
    for (const Case& c : writes) {
        EXPECT_EQ(WriteTextFile(c.path, u"x", TextCharset::Utf8).status, c.status) << c.path;
    }
    EXPECT_TRUE(std::filesystem::is_directory(folder.path() / "sub"));

    // A read-only file reads like any other.
    const auto readOnly = folder.write("read-only.txt", kGbk);
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read);
    const TextFileContent read = ReadTextFile(readOnly, TextCharset::Detect);
    EXPECT_EQ(read.status, FileStatus::Ok);
    EXPECT_EQ(read.text, u"中文");
}

}  // namespace
}  // namespace lcr
