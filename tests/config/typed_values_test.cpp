#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "config/config_store.h"
#include "config/stored_forms.h"
#include "tests/config/config_test_support.h"
#include "text/gb18030.h"

namespace lcr {
namespace {

using testing::gb;
using testing::readFile;
using testing::show;
using testing::TempDir;
using testing::writeFile;

TEST(StoredForms, Numbers) {
    struct Format {
        double value;
        const char* text;
    };
    const Format formats[] = {
        {136, "136"},       {2.5, "2.5"},
        {-4, "-4"},         {1e20, "1e+20"},
        {0.1, "0.1"},       {1.0 / 3, "0.3333333333333"},
        {1e13, "1e+13"},    {9999999999999, "9999999999999"},
        {0.0001, "0.0001"}, {0.00001, "1e-05"},
        {0, "0"},
    };
    for (const Format& f : formats) {
        EXPECT_EQ(toUtf8(formatStoredNumber(f.value)), f.text);
    }
    struct Parse {
        std::u16string text;
        double value;
    };
    const Parse parses[] = {
        {u"12abc", 12},      {u"abc", 0},   {u"", 0},   {u" 7", 7},   {u"\t-3.5e2x", -350},
        {u"１２．５", 12.5}, {u"－３", -3}, {u"+4", 4}, {u".5", 0.5}, {u"5.", 5},
        {u"1e", 1},          {u"1e+", 1},   {u"e5", 0}, {u"-", 0},    {u"　8", 8},
        {u"1e-999", 0},      {u"真", 0},
    };
    for (const Parse& p : parses) {
        EXPECT_EQ(parseStoredNumber(p.text), p.value) << toUtf8(p.text);
    }
    EXPECT_EQ(parseStoredNumber(u"1e999"), std::numeric_limits<double>::infinity());
}

TEST(StoredForms, TextsBoolsAndTruncation) {
    EXPECT_EQ(toUtf8(toStoredText(u"a\r\nb\r\n")), "a┊*┊b┊*┊");
    EXPECT_EQ(toUtf8(toStoredText(u"a\rb\nc\n\r")), "a\rb\nc\n\r");
    EXPECT_EQ(toUtf8(fromStoredText(u"┊*┊x┊*┊┊*")), "\r\nx\r\n┊*");

    EXPECT_TRUE(parseStoredBool(u"真"));
    EXPECT_FALSE(parseStoredBool(u"1"));
    EXPECT_FALSE(parseStoredBool(u"TRUE"));
    EXPECT_FALSE(parseStoredBool(u""));
    EXPECT_TRUE(parseStoredBoolLenient(u"1"));
    EXPECT_TRUE(parseStoredBoolLenient(u""));
    EXPECT_FALSE(parseStoredBoolLenient(u"假"));

    EXPECT_EQ(truncateToInt(2.9), 2);
    EXPECT_EQ(truncateToInt(-2.9), -2);
    EXPECT_EQ(truncateToInt(1e300), std::numeric_limits<int>::max());
    EXPECT_EQ(truncateToInt(-std::numeric_limits<double>::infinity()),
              std::numeric_limits<int>::min());
    EXPECT_EQ(truncateToInt(std::nan("")), 0);

    const DateTime moment = std::chrono::sys_days(std::chrono::year(2024) / 2 / 29) +
                            std::chrono::hours(23) + std::chrono::seconds(59);
    EXPECT_EQ(toUtf8(formatStoredDateTime(moment)), "2024-02-29 23:00:59");
    EXPECT_EQ(parseStoredDateTime(formatStoredDateTime(moment)), moment);
    EXPECT_FALSE(parseStoredDateTime(u"2023-02-29 00:00:00"));
    EXPECT_FALSE(parseStoredDateTime(u"yesterday"));
}

// What the typed operations put into the document and read back from it.
TEST(TypedValues, StoredFormsInTheDocument) {
    ConfigStore store;
    store.setSection(u"主界面");
    EXPECT_TRUE(store.writeText(u"文本", u"a\r\nb"));
    EXPECT_TRUE(store.writeNumber(u"数", 2.5));
    EXPECT_TRUE(store.writeBool(u"真值", true));
    EXPECT_TRUE(store.writeBool(u"假值", false));
    EXPECT_EQ(show(store.wholeText()),
              show(gb(u"[主界面]\r\n假值=假\r\n真值=真\r\n数=2.5\r\n文本=a┊*┊b")));
    EXPECT_EQ(toUtf8(store.readText(u"文本")), "a\r\nb");
    EXPECT_EQ(store.readNumber(u"数"), 2.5);
    EXPECT_TRUE(store.readBool(u"真值"));
    EXPECT_FALSE(store.readBool(u"假值", true));

    // Stored texts that the store did not write.
    store.putText(gb(u"[主界面]\r\nt=x┊*┊y\r\nn=12abc\r\nm=abc\r\ne=\r\nb1=1\r\nb2=TRUE"));
    EXPECT_EQ(toUtf8(store.readText(u"t")), "x\r\ny");
    EXPECT_EQ(store.readNumber(u"n", 5), 12);
    EXPECT_EQ(store.readNumber(u"m", 5), 0);
    EXPECT_EQ(store.readNumber(u"e", 5), 0);  // empty is not missing
    EXPECT_EQ(store.readNumber(u"missing", 5), 5);
    EXPECT_EQ(store.readText(u"e", u"d"), u"");
    EXPECT_EQ(store.readText(u"missing", u"d\r\ne"), u"d\r\ne");
    EXPECT_FALSE(store.readBool(u"b1", true));
    EXPECT_FALSE(store.readBool(u"b2", true));
    EXPECT_TRUE(store.readBoolLenient(u"b1"));
    EXPECT_TRUE(store.readBoolLenient(u"e"));
    EXPECT_FALSE(store.readBool(u"e", true));
    EXPECT_TRUE(store.readBool(u"missing", true));
    EXPECT_FALSE(store.readBoolLenient(u"missing"));

    const DateTime moment = std::chrono::sys_days(std::chrono::year(2001) / 9 / 1);
    EXPECT_TRUE(store.writeDateTime(u"日", moment));
    EXPECT_EQ(store.readDateTime(u"日"), moment);
    EXPECT_EQ(store.readDateTime(u"t", moment), moment);  // not a date: the default
}

TEST(TypedValues, BeforeAnySectionTheEmptyNameIsUsed) {
    ConfigStore store;
    EXPECT_EQ(store.currentSection(), u"");
    store.writeText(u"k", u"v");
    EXPECT_EQ(store.wholeText(), "[]\r\nk=v");
}

// Characters that GBK lacks survive the GB18030 document.
TEST(TypedValues, EveryCharacterRoundTrips) {
    ConfigStore store;
    store.setSection(u"节");
    const std::u16string text = u"€ 😀 ﬀ \u00A0 [x] = ┊ 𠀀";
    store.writeText(u"k", text);
    EXPECT_EQ(store.readText(u"k"), text);
}

TEST(ByteBlocks, FilesBesideTheStore) {
    TempDir dir;
    ConfigStore store;
    ASSERT_TRUE(store.load(dir / "岚川·正则表达式助手.ini"));
    store.setSection(u"主界面");
    const auto file = dir / "inibin" / "主界面-编辑框提取文本.ibn";
    EXPECT_EQ(store.byteBlockPath(u"编辑框提取文本"), file);

    const std::string block = gb(u"第一行\r\n第二行");
    EXPECT_TRUE(store.writeBytes(u"编辑框提取文本", block));
    EXPECT_EQ(readFile(file), block);
    EXPECT_EQ(store.readBytes(u"编辑框提取文本", "d"), block);
    EXPECT_EQ(store.wholeText(), "");  // the document holds nothing of it

    // Zero bytes read as the default; a missing file too.
    EXPECT_TRUE(store.writeBytes(u"空", ""));
    EXPECT_TRUE(std::filesystem::exists(dir / "inibin" / "主界面-空.ibn"));
    EXPECT_EQ(store.readBytes(u"空", "d"), "d");
    EXPECT_EQ(store.readBytes(u"无", "d"), "d");

    // The section is part of the name.
    store.setSection(u"其他");
    EXPECT_EQ(store.readBytes(u"编辑框提取文本", "d"), "d");
    EXPECT_TRUE(store.writeBytes(u"编辑框提取文本", "other"));
    EXPECT_EQ(readFile(file), block);
    EXPECT_EQ(readFile(dir / "inibin" / "其他-编辑框提取文本.ibn"), "other");

    // Names that would leave the folder inibin are refused.
    EXPECT_FALSE(store.byteBlockPath(u"../../escape"));
    EXPECT_FALSE(store.writeBytes(u"../../escape", "x"));
    EXPECT_EQ(store.readBytes(u"../../escape", "d"), "d");
    store.setSection(u"a/b");
    EXPECT_FALSE(store.writeBytes(u"k", "x"));
}

TEST(ByteBlocks, OnlyTheLastFolderLevelIsCreated) {
    TempDir dir;
    ConfigStore store;
    store.load(dir / "missing" / "x.ini");  // the folder does not exist
    EXPECT_FALSE(store.writeBytes(u"k", "x"));
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));

    ConfigStore bare;
    bare.load("x.ini", StorageKind::Registry);  // no folder: the current one
    bare.setSection(u"S");
    EXPECT_EQ(bare.byteBlockPath(u"k"), std::filesystem::path("inibin/S-k.ibn"));
}

TEST(RegistryKind, ValuesGoToTheStandInUnderTheKeyLayout) {
    TempDir dir;
    const auto ini = dir / "岚川·正则表达式助手.ini";
    ConfigStore store;
    EXPECT_TRUE(store.load(ini, StorageKind::Registry));  // nothing exists yet
    EXPECT_FALSE(std::filesystem::exists(ini));
    EXPECT_EQ(toUtf8(store.setSection(u"主界面")), "岚川软件\\岚川·正则表达式助手\\主界面\\");
    EXPECT_EQ(store.readText(u"k", u"d"), u"d");
    EXPECT_TRUE(store.writeText(u"k", u"a\r\nb=c%"));
    EXPECT_TRUE(store.writeNumber(u"n", 7));
    EXPECT_EQ(store.readText(u"k"), u"a\r\nb=c%");
    EXPECT_EQ(store.readNumber(u"n"), 7);
    EXPECT_EQ(store.wholeText(), "");
    EXPECT_FALSE(std::filesystem::exists(ini));

    const std::string standIn = readFile(dir / "岚川软件.registry");
    EXPECT_NE(standIn.find(gb(u"岚川软件\\岚川·正则表达式助手\\主界面\\k=a┊*┊b%3Dc%25\n")),
              std::string::npos)
        << show(standIn);
    // Another section of the same store is another key.
    store.setSection(u"其他");
    EXPECT_EQ(store.readNumber(u"n", 3), 3);

    ConfigStore again;
    again.load(ini, StorageKind::Registry);
    again.setSection(u"主界面");
    EXPECT_EQ(again.readText(u"k"), u"a\r\nb=c%");
}

}  // namespace
}  // namespace lcr
