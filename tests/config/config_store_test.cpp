#include "config/config_store.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/config/config_test_support.h"
#include "text/gb18030.h"

namespace lcr {
namespace {

using testing::gb;
using testing::readFile;
using testing::show;
using testing::TempDir;
using testing::writeFile;

struct Write {
    std::string section, key, value;
};
struct Read {
    std::string section, key, expected;
};

constexpr const char* kDefault = "<default>";

// The document after a series of writes, byte for byte, and what reads give.
TEST(ConfigDocument, WritesAndReadsByteForByte) {
    struct Case {
        const char* what;
        std::string initial;
        std::vector<Write> writes;
        std::string expected;
        std::vector<Read> reads;
    };
    const std::string b05d = "\xB0\x5D";  // a character whose second byte is "]"
    const std::string fourByte = "\x81\x30\x81\x30";
    const Case cases[] = {
        {"a key into an empty store: no CR LF before the header nor at the end",
         "",
         {{"S", "k", "v"}},
         "[S]\r\nk=v",
         {{"S", "k", "v"}}},
        {"the example: new keys at the top, new sections at the end",
         "",
         {{"S", "a", "1"}, {"S", "b", "2"}, {"T", "c", "3"}},
         "[S]\r\nb=2\r\na=1\r\n[T]\r\nc=3",
         {{"S", "a", "1"}, {"S", "b", "2"}, {"T", "c", "3"}, {"T", "a", kDefault}}},
        {"[S] inside a value is no header",
         "[A]\r\nx=[S]",
         {{"S", "k", "v"}},
         "[A]\r\nx=[S]\r\n[S]\r\nk=v",
         {{"A", "x", "[S]"}, {"S", "k", "v"}}},
        {"a key under a later section is not the earlier section's",
         "[S]\r\na=1\r\n[T]\r\nk=2",
         {{"S", "k", "3"}},
         "[S]\r\nk=3\r\na=1\r\n[T]\r\nk=2",
         {{"S", "k", "3"}, {"T", "k", "2"}}},
        {"of two [S] headers the first is used, the second never touched",
         "[S]\r\na=1\r\n[S]\r\na=2",
         {{"S", "a", "9"}, {"S", "b", "5"}},
         "[S]\r\nb=5\r\na=9\r\n[S]\r\na=2",
         {{"S", "a", "9"}}},
        {"Name and name are two keys; blanks belong to key and value",
         "[S]\r\na = 1",
         {{"S", "Name", "1"}, {"S", "name", "2"}},
         "[S]\r\nname=2\r\nName=1\r\na = 1",
         {{"S", "Name", "1"}, {"S", "name", "2"}, {"S", "a ", " 1"}, {"S", "a", kDefault}}},
        {"a lone CR or LF is part of the value",
         "",
         {{"S", "k", "x\ry\nz\r"}, {"S", "j", "\n"}},
         "[S]\r\nj=\n\r\nk=x\ry\nz\r",
         {{"S", "k", "x\ry\nz\r"}, {"S", "j", "\n"}}},
        {"a header with any byte before it on its line is no header",
         "x[S]\r\nk=1",
         {{"S", "k", "2"}},
         "x[S]\r\nk=1\r\n[S]\r\nk=2",
         {{"S", "k", "2"}}},
        {"comments are keys",
         "[S]\r\n;x=1",
         {},
         "[S]\r\n;x=1",
         {{"S", ";x", "1"}, {"S", "x", kDefault}}},
        {"the empty section name is the header []",
         "",
         {{"", "k", "v"}},
         "[]\r\nk=v",
         {{"", "k", "v"}}},
        {"a \"]\" that ends a character does not end a section header",
         "[S]\r\n[T" + b05d + "\r\nk=1",
         {{"S", "j", "2"}},
         "[S]\r\nj=2\r\n[T" + b05d + "\r\nk=1",
         {{"S", "k", "1"}}},
        {"a \"]\" after a four-byte character does",
         "[S]\r\n[T" + fourByte + "]\r\nk=1",
         {},
         "[S]\r\n[T" + fourByte + "]\r\nk=1",
         {{"S", "k", kDefault}, {"T" + fourByte, "k", "1"}}},
        {"Chinese names and values",
         "",
         {{gb(u"主界面"), gb(u"编辑框过滤"), gb(u"*.txt")}},
         gb(u"[主界面]\r\n编辑框过滤=*.txt"),
         {{gb(u"主界面"), gb(u"编辑框过滤"), "*.txt"}}},
        // Bytes after the "]" on the header's line stay where they are.
        {"a new key goes after the rest of its header's line",
         "[S] junk\r\na=1",
         {{"S", "b", "2"}},
         "[S] junk\r\nb=2\r\na=1",
         {{"S", "a", "1"}}},
        {"bare LF line breaks are not line breaks",
         "[S]\nk=1\n[T]\nk=2",
         {{"S", "k", "4"}, {"T", "k", "3"}},
         "[S]\nk=1\n[T]\nk=2\r\nk=4\r\n[T]\r\nk=3",
         {{"S", "k", "4"}, {"T", "k", "3"}}},
        {"a byte-order mark hides the first header",
         "\xEF\xBB\xBF[S]\r\nk=1",
         {{"S", "k", "2"}},
         "\xEF\xBB\xBF[S]\r\nk=1\r\n[S]\r\nk=2",
         {{"S", "k", "2"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ConfigStore store;
        store.putText(c.initial);
        for (const Write& w : c.writes) {
            EXPECT_EQ(store.writeValue(w.section, w.key, w.value), ChangeResult::Done);
        }
        EXPECT_EQ(show(store.wholeText()), show(c.expected));
        for (const Read& r : c.reads) {
            EXPECT_EQ(show(store.readValue(r.section, r.key, kDefault)), show(r.expected))
                << r.section << " / " << r.key;
        }
    }
}

TEST(ConfigDocument, EmptyValueIsNotMissingUnlessAsked) {
    ConfigStore store;
    store.putText("[S]\r\nk=\r\nj=1");
    EXPECT_EQ(store.readValue("S", "k", "d"), "");
    EXPECT_EQ(store.readValue("S", "k", "d", true), "d");
    EXPECT_EQ(store.readValue("S", "j", "d", true), "1");
    EXPECT_EQ(store.readValue("S", "missing", "d"), "d");
    EXPECT_EQ(store.readValue("X", "k", "d"), "d");
}

// The file holds the whole document after every change; a changed value
// leaves every other byte as it was.
TEST(ConfigDocument, FileMirrorsEveryChange) {
    TempDir dir;
    const auto ini = dir / "store.ini";
    ConfigStore store;
    ASSERT_TRUE(store.load(ini));
    EXPECT_EQ(readFile(ini), "");  // created empty
    EXPECT_TRUE(std::filesystem::exists(ini));
    store.writeValue("S", "a", "1");
    EXPECT_EQ(readFile(ini), "[S]\r\na=1");
    store.writeValue("S", "b", "2");
    store.writeValue("T", "c", "3");
    const std::string before = readFile(ini);
    EXPECT_EQ(show(before), show("[S]\r\nb=2\r\na=1\r\n[T]\r\nc=3"));
    store.writeValue("S", "a", "9");
    const std::string after = readFile(ini);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
        EXPECT_EQ(after[i] != before[i], i == before.find("a=1") + 2) << "byte " << i;
    }
    store.close();
    EXPECT_EQ(store.wholeText(), "");

    ConfigStore again;
    ASSERT_TRUE(again.load(ini));
    EXPECT_EQ(again.wholeText(), after);
    EXPECT_EQ(again.readValue("S", "a"), "9");
}

TEST(ConfigDocument, MemoryKindChangesOnlyTheDocumentUntilSaveAs) {
    TempDir dir;
    const auto ini = dir / "store.ini";
    writeFile(ini, "[S]\r\na=1");
    ConfigStore store;
    ASSERT_TRUE(store.load(ini, StorageKind::Memory));
    store.writeValue("S", "a", "2");
    EXPECT_EQ(readFile(ini), "[S]\r\na=1");
    EXPECT_TRUE(store.saveAs());
    EXPECT_EQ(readFile(ini), "[S]\r\na=2");
    EXPECT_TRUE(store.saveAs(dir / "copy.ini"));
    EXPECT_EQ(readFile(dir / "copy.ini"), "[S]\r\na=2");
    writeFile(ini, "[S]\r\na=3");
    store.reloadText();
    EXPECT_EQ(store.readValue("S", "a"), "3");
}

TEST(ConfigDocument, FindNextSection) {
    ConfigStore store;
    // Positions from 1: [S] 1-3, CR LF 4-5, a=1 6-8, CR LF 9-10, [T] 11-13, CR LF 14-15.
    store.putText("[S]\r\na=1\r\n[T]\r\nc=3");
    EXPECT_EQ(store.findNextSection(1, 18), 11);
    EXPECT_EQ(store.findNextSection(1, 13), 11);
    EXPECT_EQ(store.findNextSection(1, 12), -1);  // its "]" lies after the range
    EXPECT_EQ(store.findNextSection(1, 9), -1);   // its CR LF "[" starts at the end
    EXPECT_EQ(store.findNextSection(12, 18), -1);
    store.putText("[S]\r\n[T]");  // no CR LF after the "]"
    EXPECT_EQ(store.findNextSection(1, 8), -1);
    store.putText("[S]\r\n[T\r\n]\r\n[U]\r\n");  // a boundary lies on one line
    EXPECT_EQ(store.findNextSection(1, 16), 13);
}

TEST(ConfigDocument, DeleteAndRename) {
    struct Case {
        const char* what;
        std::function<ChangeResult(ConfigStore&)> change;
        ChangeResult result;
        std::string expected;
    };
    const std::string doc = "[S]\r\nb=2\r\na=1\r\n[T]\r\nc=3";
    const Case cases[] = {
        {"a key with the CR LF before it", [](ConfigStore& s) { return s.deleteEntry("S", "a"); },
         ChangeResult::Done, "[S]\r\nb=2\r\n[T]\r\nc=3"},
        {"a section up to the next one", [](ConfigStore& s) { return s.deleteEntry("S"); },
         ChangeResult::Done, "[T]\r\nc=3"},
        {"the last section", [](ConfigStore& s) { return s.deleteEntry("T"); }, ChangeResult::Done,
         "[S]\r\nb=2\r\na=1\r\n"},
        {"a key of another section", [](ConfigStore& s) { return s.deleteEntry("S", "c"); },
         ChangeResult::NoSuchKey, doc},
        {"a missing section", [](ConfigStore& s) { return s.deleteEntry("X", "a"); },
         ChangeResult::NoSuchSection, doc},
        {"rename a section", [](ConfigStore& s) { return s.renameSection("S", "SS"); },
         ChangeResult::Done, "[SS]\r\nb=2\r\na=1\r\n[T]\r\nc=3"},
        {"rename a missing section", [](ConfigStore& s) { return s.renameSection("X", "Y"); },
         ChangeResult::NoSuchSection, doc},
        {"rename a key", [](ConfigStore& s) { return s.renameKey("T", "c", "cc"); },
         ChangeResult::Done, "[S]\r\nb=2\r\na=1\r\n[T]\r\ncc=3"},
        {"rename a missing key", [](ConfigStore& s) { return s.renameKey("T", "a", "x"); },
         ChangeResult::NoSuchKey, doc},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ConfigStore store;
        store.putText(doc);
        EXPECT_EQ(c.change(store), c.result);
        EXPECT_EQ(show(store.wholeText()), show(c.expected));
    }
}

TEST(ConfigDocument, Listings) {
    TempDir dir;
    writeFile(dir / "s.ini", "[S]\r\nk=1\r\nj=\r\n[T]\r\nk=x1\r\nm=x2\r\n[U]");
    ConfigStore store;
    ASSERT_TRUE(store.load(dir / "s.ini"));
    using Names = std::vector<std::string>;
    EXPECT_EQ(store.listSections(), (Names{"S", "T", "U"}));
    EXPECT_EQ(store.listSections("T"), (Names{"T"}));
    EXPECT_EQ(store.listSections({}, "T"), (Names{"S", "U"}));
    EXPECT_EQ(store.listSectionsWithKey("k"), (Names{"S", "T"}));
    EXPECT_EQ(store.listKeysWithValue("x"), (Names{"k", "m"}));
    EXPECT_EQ(store.listKeysWithValue(""), (Names{"j"}));
    EXPECT_EQ(store.listKeysWithValue("1", "S"), (Names{"k"}));
    EXPECT_EQ(store.listKeys(), (Names{"k", "j", "m"}));
    EXPECT_EQ(store.listKeys({}, {}, "T"), (Names{"k", "m"}));
    store.close();
    EXPECT_TRUE(store.listSections().empty());  // nothing mirrored
}

// Window events run inside a change; what they ask for is queued.
TEST(ConfigQueue, ChangeRequestedDuringAChangeIsQueued) {
    ConfigStore store;
    int pumps = 0;
    ChangeResult nested = ChangeResult::Done;
    std::string seenDuringChange;
    store.setEventPump([&] {
        // The third pass of the first write: its key exists with an empty value.
        if (++pumps == 3) {
            nested = store.writeValue("S", "b", "2");
            seenDuringChange = store.readValue("S", "a", "d");
            EXPECT_FALSE(store.writeText(u"x", u"y"));  // typed writes say false
        }
    });
    EXPECT_EQ(store.writeValue("S", "a", "1"), ChangeResult::Done);
    EXPECT_EQ(nested, ChangeResult::Queued);
    EXPECT_EQ(seenDuringChange, "");
    EXPECT_EQ(show(store.wholeText()), show("[S]\r\nb=2\r\na=1\r\n[]\r\nx=y"));
    EXPECT_EQ(store.runPendingChanges(), ChangeResult::Failed);  // the queue is empty
}

TEST(ConfigQueue, DeleteAndRenameAreQueuedToo) {
    ConfigStore store;
    store.putText("[S]\r\na=1");
    std::vector<ChangeResult> nested;
    bool once = true;
    store.setEventPump([&] {
        if (once) {
            once = false;
            nested.push_back(store.renameKey("S", "b", "c"));
            nested.push_back(store.deleteEntry("S", "a"));
            nested.push_back(store.renameSection("S", "R"));
        }
    });
    EXPECT_EQ(store.writeValue("S", "b", "2"), ChangeResult::Done);
    EXPECT_EQ(nested, (std::vector<ChangeResult>(3, ChangeResult::Queued)));
    EXPECT_EQ(show(store.wholeText()), show("[R]\r\nc=2"));
}

// A header that cannot be found again after it was appended (here a
// handler empties the document every time) ends in the warning.
TEST(ConfigQueue, WarningAfterTheEleventhAppend) {
    ConfigStore store;
    std::vector<StoreMessage> messages;
    store.setMessageHandler([&](const StoreMessage& m) { messages.push_back(m); });
    int pumps = 0;
    store.setEventPump([&] {
        ++pumps;
        store.putText("");
    });
    EXPECT_EQ(store.writeValue("S", "k", "v"), ChangeResult::Failed);
    EXPECT_EQ(pumps, 11);
    EXPECT_EQ(store.wholeText(), "[S]");  // the appended header stays
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(toUtf8(messages[0].title), "岚川：");
    EXPECT_EQ(toUtf8(messages[0].text), "配置模块出现意外，可能导致无法正常保存！详情请咨询岚川。");
    EXPECT_TRUE(messages[0].warning);
    EXPECT_EQ(toUtf8(messages[1].title), "信息：");
    EXPECT_EQ(toUtf8(messages[1].text), "[S]");
    EXPECT_FALSE(messages[1].warning);
}

}  // namespace
}  // namespace lcr
