#include "batch/text_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "tests/batch/temp_folder.h"
#include "tests/batch/hex.h"
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
        {"text ends at a zero character",
         std::string("\xEF\xBB\xBF"
                     "a\0b",
                     6),
         detect, u"a", TextCharset::Utf8},

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
        {"GBK chosen for UTF-16: the bytes, up to the first zero",
         std::string("\xFF\xFE"
                     "a\0b\0",
                     6),
         TextCharset::Gbk,
         decodeGb18030("\xFF\xFE"
                       "a"),
         TextCharset::Gbk},
        {"UTF-8 chosen, with a mark", "\xEF\xBB\xBF" + kUtf8, TextCharset::Utf8, u"中文",
         TextCharset::Utf8},
        {"UTF-8 chosen, without a mark", kUtf8, TextCharset::Utf8, u"中文", TextCharset::Utf8},
        {"UTF-8 chosen for ASCII", "abc", TextCharset::Utf8, u"abc", TextCharset::Utf8},
        {"UTF-8 chosen for GBK falls back", kGbk, TextCharset::Utf8, u"中文", TextCharset::Gbk},
        // "Unicode" for a file without a mark: its first two bytes are dropped.
        {"Unicode chosen, no mark", kUtf16Le, TextCharset::Utf16Le, u"文", TextCharset::Utf16Le},
        {"Unicode chosen, with mark", "\xFF\xFE" + kUtf16Le, TextCharset::Utf16Le, u"中文",
         TextCharset::Utf16Le},
        {"Unicode be chosen", "\xFE\xFF" + kUtf16Be, TextCharset::Utf16Be, u"中文",
         TextCharset::Utf16Be},
        {"Unicode chosen for two bytes only", "ab", TextCharset::Utf16Le, u"ab", TextCharset::Gbk},
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

TEST(EncodeFileBytes, MarksInFrontAndTheGb18030FallBack) {
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
        // 国 has no Big5 code: the whole text goes out as GB18030, no mark.
        {u"中国", TextCharset::Big5, "\xD6\xD0\xB9\xFA"},
        {u"😀", TextCharset::Gbk, "\x94\x39\xFC\x36"},  // GB18030 loses nothing
        {u"", TextCharset::Utf8, ""},
        {u"", TextCharset::Utf16Le, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hex(encodeFileBytes(c.text, c.charset)), hex(c.bytes))
            << toUtf8(c.text) << " as " << nameOf(c.charset);
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
        ASSERT_EQ(WriteTextFile(path, c.text, c.charset), FileStatus::Ok);
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

TEST(TextFile, Utf8WithoutMarkIsWrittenBackWithOne) {
    TempFolder folder;
    const auto source = folder.write("source.txt", "no mark " + kUtf8);
    const TextFileContent read = ReadTextFile(source, TextCharset::Detect);
    ASSERT_EQ(read.charset, TextCharset::Utf8);
    const auto output = folder.path() / "output.txt";
    folder.write("output.txt", std::string(1000, 'x'));  // an older, longer output
    ASSERT_EQ(WriteTextFile(output, read.text, read.charset), FileStatus::Ok);
    EXPECT_EQ(hex(readBytes(output)), hex("\xEF\xBB\xBF"
                                          "no mark " +
                                          kUtf8));
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
        {folder.path() / "sub", FileStatus::CannotOpen},
        {folder.path() / "pipe", FileStatus::CannotOpen},  // no reader
    };
    for (const Case& c : writes) {
        EXPECT_EQ(WriteTextFile(c.path, u"x", TextCharset::Utf8), c.status) << c.path;
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
