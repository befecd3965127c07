// The INI file under crashes, failures, a second copy of the program and
// files the store did not write.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <random>
#include <string>

#include "config/config_store.h"
#include "config/document_file.h"
#include "tests/config/config_test_support.h"

namespace lcr {
namespace {

using testing::gb;
using testing::readFile;
using testing::show;
using testing::TempDir;
using testing::writeFile;

// Clears the rename hook however the test ends.
struct RenameHookGuard {
    ~RenameHookGuard() { setBeforeRenameHook({}); }
};

bool isSubsequence(std::string_view part, std::string_view whole) {
    std::size_t i = 0;
    for (char c : whole) {
        if (i < part.size() && part[i] == c) {
            ++i;
        }
    }
    return i == part.size();
}

TEST(StoreFileDeathTest, CrashBetweenWritingAndRenamingKeepsTheOldDocument) {
    TempDir dir;
    const auto ini = dir / "store.ini";
    {
        ConfigStore store;
        ASSERT_TRUE(store.load(ini));
        store.writeValue("S", "a", "1");
    }
    EXPECT_EXIT(
        {
            ConfigStore store;
            store.load(ini);
            setBeforeRenameHook([](const std::filesystem::path&) -> bool { std::_Exit(7); });
            store.writeValue("S", "a", "2");
        },
        ::testing::ExitedWithCode(7), "");
    EXPECT_EQ(readFile(ini), "[S]\r\na=1");

    // The next start gets the file (the lock died with the process), reads
    // the old document and goes on; the crash's temporary file is ignored.
    ConfigStore store;
    ASSERT_TRUE(store.load(ini));
    EXPECT_EQ(store.readValue("S", "a"), "1");
    store.writeValue("S", "a", "3");
    EXPECT_EQ(readFile(ini), "[S]\r\na=3");
}

TEST(StoreFile, FailedReplacementKeepsTheLastFileAndCatchesUp) {
    RenameHookGuard guard;
    TempDir dir;
    const auto ini = dir / "store.ini";
    ConfigStore store;
    ASSERT_TRUE(store.load(ini));
    store.writeValue("S", "a", "1");
    setBeforeRenameHook([](const std::filesystem::path&) { return false; });
    EXPECT_EQ(store.writeValue("S", "a", "2"), ChangeResult::Done);  // silent, as designed
    EXPECT_EQ(store.readValue("S", "a"), "2");
    EXPECT_EQ(readFile(ini), "[S]\r\na=1");
    setBeforeRenameHook({});
    store.writeValue("S", "b", "3");
    EXPECT_EQ(readFile(ini), "[S]\r\nb=3\r\na=2");
    // No temporary file is left behind by the failed replacement.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST(StoreFile, FileDeletedWhileRunningIsWrittenAgain) {
    TempDir dir;
    const auto ini = dir / "store.ini";
    ConfigStore store;
    ASSERT_TRUE(store.load(ini));
    store.writeValue("S", "a", "1");
    std::filesystem::remove(ini);
    store.writeValue("S", "b", "2");
    EXPECT_EQ(readFile(ini), "[S]\r\nb=2\r\na=1");
}

TEST(StoreFileDeathTest, SecondCopyWorksInMemoryAndLeavesTheFirstOnesFilesAlone) {
    TempDir dir;
    const auto ini = dir / "岚川·正则表达式助手.ini";
    ConfigStore first;
    ASSERT_TRUE(first.load(ini));
    first.setSection(u"主界面");
    first.writeText(u"k", u"1");
    first.writeBytes(u"b", "first");

    ConfigStore second;
    EXPECT_FALSE(second.load(ini));
    EXPECT_FALSE(second.persistsDocument());
    second.setSection(u"主界面");
    EXPECT_EQ(second.readText(u"k"), u"1");  // what the file held
    EXPECT_TRUE(second.writeText(u"k", u"2"));
    EXPECT_EQ(second.readText(u"k"), u"2");
    EXPECT_FALSE(second.writeBytes(u"b", "second"));
    EXPECT_EQ(second.readBytes(u"b"), "second");
    EXPECT_EQ(readFile(dir / "inibin" / "主界面-b.ibn"), "first");
    EXPECT_FALSE(second.saveAs());

    // The first copy goes on; its file has been replaced, and the lock went
    // with it, so a later copy and another process are shut out as well.
    first.writeText(u"j", u"3");
    EXPECT_EQ(show(readFile(ini)), show(first.wholeText()));
    ConfigStore third;
    EXPECT_FALSE(third.load(ini));
    EXPECT_EXIT(
        {
            ConfigStore other;
            std::_Exit(other.load(ini) ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
    second.writeText(u"x", u"y");
    EXPECT_EQ(show(readFile(ini)), show(first.wholeText()));

    first.close();
    ConfigStore fourth;
    ASSERT_TRUE(fourth.load(ini));
    fourth.setSection(u"主界面");
    EXPECT_EQ(fourth.readText(u"k"), u"1");
    EXPECT_EQ(fourth.readText(u"j"), u"3");
    EXPECT_EQ(fourth.readText(u"x", u"none"), u"none");
}

// Files the store did not write load without crash or hang, keep every
// byte, and take new values as the document rules say.
TEST(StoreFile, ForeignFilesLoadAndKeepTheirBytes) {
    std::mt19937 random(20240611);
    std::string noise(200000, '\0');
    for (char& c : noise) {
        c = static_cast<char>(random() & 0xFF);
    }
    std::string manyOpenLines = gb(u"[主界面]");
    for (int i = 0; i < 1000000; ++i) {
        manyOpenLines += "\r\n[";
    }
    manyOpenLines += gb(u"\r\n其他=旧");
    std::string oneLongLine;
    for (int i = 0; i < 400000; ++i) {
        oneLongLine += gb(u"x[主界面]");
    }
    struct Case {
        const char* what;
        std::string content;
        std::u16string other = u"无";  // what the key 其他 of [主界面] reads as
    };
    const Case cases[] = {
        {"bare LF line breaks", gb(u"[主界面]\n新键=旧\n")},
        {"a byte-order mark", "\xEF\xBB\xBF" + gb(u"[主界面]\r\n新键=旧")},
        {"random bytes", noise},
        {"a million section lines that never close", manyOpenLines, u"旧"},
        {"one long line full of headers", oneLongLine},
        {"zero bytes", std::string("\0\0[\0]\r\n\0=\0", 10) + gb(u"\r\n[主界面]")},
        {"cut-off characters", "\x81\r\n\x81\x30\r\n\xFF[\x81" + gb(u"[主界面]\r\n\x81")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const auto ini = dir / "store.ini";
        writeFile(ini, c.content);
        {
            ConfigStore store;
            ASSERT_TRUE(store.load(ini));
            EXPECT_TRUE(store.wholeText() == c.content);
            store.setSection(u"主界面");
            EXPECT_EQ(store.readText(u"其他", u"无"), c.other);
            EXPECT_TRUE(store.writeText(u"新键", u"值"));
            EXPECT_EQ(store.readText(u"新键"), u"值");
            EXPECT_TRUE(store.wholeText() == readFile(ini));
            EXPECT_TRUE(isSubsequence(c.content, store.wholeText()));
        }
        ConfigStore again;
        ASSERT_TRUE(again.load(ini));
        again.setSection(u"主界面");
        EXPECT_EQ(again.readText(u"新键"), u"值");
    }
}

TEST(StoreFile, PathsThatAreNoRegularFile) {
    TempDir dir;
    const auto folder = dir / "folder.ini";
    std::filesystem::create_directory(folder);
    const auto fifo = dir / "fifo.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto huge = dir / "huge.ini";
    writeFile(huge, "[S]\r\na=1");
    std::filesystem::resize_file(huge, kMaxDocumentBytes + 1);

    for (const auto& path : {folder, fifo, huge}) {
        SCOPED_TRACE(path.filename().string());
        ConfigStore store;
        EXPECT_FALSE(store.load(path));
        EXPECT_EQ(store.wholeText(), "");
        store.writeValue("S", "a", "2");  // in memory
        EXPECT_EQ(store.readValue("S", "a"), "2");
    }
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(std::filesystem::file_size(huge), kMaxDocumentBytes + 1);
    EXPECT_EQ(readFile(huge).substr(0, 8), "[S]\r\na=1");
}

TEST(StoreFile, ReplacementKeepsThePermissions) {
    TempDir dir;
    const auto ini = dir / "store.ini";
    writeFile(ini, "");
    ::chmod(ini.c_str(), 0640);
    ConfigStore store;
    ASSERT_TRUE(store.load(ini));
    store.writeValue("S", "a", "1");
    struct stat st;
    ASSERT_EQ(::stat(ini.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

}  // namespace
}  // namespace lcr
