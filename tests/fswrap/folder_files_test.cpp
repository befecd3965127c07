#include "fswrap/folder_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/batch/temp_folder.h"
#include "text/gb18030.h"

namespace lcr {
namespace {

using testing::TempFolder;

TEST(NameToText, Utf8WhenValidElseGb18030) {
    struct Case {
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {"", u""},
        {"notes.txt", u"notes.txt"},
        {"\xE4\xB8\xAD\xE6\x96\x87.txt", u"中文.txt"},  // UTF-8
        {"\xD6\xD0\xCE\xC4.txt", u"中文.txt"},          // GBK
        {"\xF0\x9F\x98\x80", u"😀"},                     // four-byte UTF-8
        {"\xEF\xBF\xBD", u"\uFFFD"},                    // a real U+FFFD is valid UTF-8
        {"a\xFF", u"a\uFFFD"},                          // neither charset
    };
    for (const Case& c : cases) {
        EXPECT_EQ(nameToText(c.bytes), c.text) << c.bytes;
    }
}

TEST(PathToText, EachPartDecodedOnItsOwn) {
    EXPECT_EQ(pathToText("/tmp/\xE4\xB8\xAD\xE6\x96\x87/\xD6\xD0\xCE\xC4.txt"),
              u"/tmp/中文/中文.txt");
    EXPECT_EQ(pathToText("/"), u"/");
    EXPECT_EQ(pathToText("rel/dir/"), u"rel/dir/");
    EXPECT_EQ(pathToText(""), u"");
}

// The names forEachFile gives for a folder, sorted (the file system's
// order is its own).
std::vector<std::u16string> namesIn(const std::filesystem::path& folder, bool* opened = nullptr) {
    std::vector<std::u16string> names;
    const bool ok = forEachFile(folder, [&names](const FolderFile& file) {
        EXPECT_EQ(file.nameText, nameToText(file.name));
        names.push_back(file.nameText);
    });
    if (opened) {
        *opened = ok;
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(ForEachFile, OnlyTheFolderOwnFilesHiddenOnesIncluded) {
    TempFolder folder;
    folder.write("a.txt", "a");
    folder.write(".hidden", "h");
    folder.write("\xD6\xD0\xCE\xC4", "gbk name");
    std::filesystem::create_directory(folder.path() / "sub");
    folder.write("sub/inner.txt", "not listed");
    std::filesystem::create_symlink("a.txt", folder.path() / "link-to-file");
    std::filesystem::create_symlink("sub", folder.path() / "link-to-folder");
    std::filesystem::create_symlink("missing", folder.path() / "link-to-nothing");
    ASSERT_EQ(::mkfifo((folder.path() / "pipe").c_str(), 0600), 0);

    bool opened = false;
    const std::vector<std::u16string> expected = {u".hidden", u"a.txt", u"link-to-file", u"中文"};
    EXPECT_EQ(namesIn(folder.path(), &opened), expected);
    EXPECT_TRUE(opened);
}

TEST(ForEachFile, WhatIsNoFolderListsNothing) {
    TempFolder folder;
    const auto file = folder.write("plain.txt", "x");
    for (const std::filesystem::path& path :
         {folder.path() / "missing", std::filesystem::path(file), std::filesystem::path()}) {
        bool opened = true;
        EXPECT_TRUE(namesIn(path, &opened).empty()) << path;
        EXPECT_FALSE(opened) << path;
    }
    bool opened = false;
    std::filesystem::create_directory(folder.path() / "empty");
    EXPECT_TRUE(namesIn(folder.path() / "empty", &opened).empty());
    EXPECT_TRUE(opened);
}

}  // namespace
}  // namespace lcr
