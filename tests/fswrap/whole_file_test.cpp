#include "fswrap/whole_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "tests/batch/temp_folder.h"

namespace lcr {
namespace {

namespace fs = std::filesystem;
using testing::readBytes;
using testing::TempFolder;

std::size_t entriesIn(const fs::path& folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) {
        ++n;
    }
    return n;
}

TEST(WholeFile, ReadsRegularFilesWithinTheLimit) {
    TempFolder folder;
    const fs::path file = folder.write("a.txt", std::string("a\0b", 3));
    fs::create_directory(folder.path() / "sub");
    ASSERT_EQ(::mkfifo((folder.path() / "pipe").c_str(), 0600), 0);
    fs::create_symlink(file, folder.path() / "link");

    struct Case {
        fs::path path;
        std::size_t maxBytes;
        FileStatus status;
        std::string bytes;
    };
    const Case cases[] = {
        {file, 100, FileStatus::Ok, std::string("a\0b", 3)},
        {file, 3, FileStatus::Ok, std::string("a\0b", 3)},
        {file, 2, FileStatus::TooLarge, ""},
        {folder.path() / "link", 100, FileStatus::Ok, std::string("a\0b", 3)},
        {folder.write("empty", ""), 0, FileStatus::Ok, ""},
        {folder.path() / "missing", 100, FileStatus::CannotOpen, ""},
        {folder.path() / "sub", 100, FileStatus::NotAFile, ""},
        {folder.path() / "pipe", 100, FileStatus::NotAFile, ""},  // never waits for a writer
    };
    for (const Case& c : cases) {
        const WholeFile read = readWholeFile(c.path, c.maxBytes);
        EXPECT_EQ(read.status, c.status) << c.path << " " << c.maxBytes;
        EXPECT_EQ(read.bytes, c.bytes) << c.path;
    }
}

// Read in pieces, a file comes whole and in order, the bytes a piece leaves
// at the front of the next; what is not a regular file is refused as by
// readWholeFile.
TEST(WholeFile, ReadsInPiecesWithTheBytesEachPieceLeaves) {
    TempFolder folder;
    std::string content;
    for (int i = 0; i < 300000; ++i) {
        content.push_back(static_cast<char>('a' + i % 26));
    }
    const fs::path file = folder.write("big.txt", content);
    fs::create_directory(folder.path() / "sub");

    std::size_t announced = 0;
    std::string taken;
    int pieces = 0;
    const FileStatus status = readFileInPieces(
        file, [&](std::size_t size) { announced = size; },
        [&](std::string_view piece, bool last) {
            ++pieces;
            const std::size_t used = last ? piece.size() : piece.size() - 3;
            taken.append(piece.substr(0, used));
            return used;
        });
    EXPECT_EQ(status, FileStatus::Ok);
    EXPECT_EQ(announced, content.size());
    EXPECT_GT(pieces, 1);
    EXPECT_TRUE(taken == content);

    const auto never = [](std::string_view, bool) -> std::size_t {
        ADD_FAILURE() << "nothing to take";
        return 0;
    };
    EXPECT_EQ(readFileInPieces(
                  folder.path() / "sub", [](std::size_t) {}, never),
              FileStatus::NotAFile);
    EXPECT_EQ(readFileInPieces(
                  folder.path() / "missing", [](std::size_t) {}, never),
              FileStatus::CannotOpen);
}

TEST(WholeFile, AtomicWritesReplaceWholeAndKeepPermissions) {
    TempFolder folder;
    const fs::path target = folder.write("out.txt", "old content");
    ::chmod(target.c_str(), 0640);
    EXPECT_EQ(writeFileAtomically(target, "new"), FileStatus::Ok);
    EXPECT_EQ(readBytes(target), "new");
    struct stat info {};
    ::stat(target.c_str(), &info);
    EXPECT_EQ(info.st_mode & 07777, 0640u);

    // A link at the target is replaced, never written through.
    const fs::path other = folder.write("other.txt", "keep");
    fs::create_symlink(other, folder.path() / "link.txt");
    EXPECT_EQ(writeFileAtomically(folder.path() / "link.txt", "x"), FileStatus::Ok);
    EXPECT_EQ(readBytes(other), "keep");
    EXPECT_FALSE(fs::is_symlink(folder.path() / "link.txt"));

    // A failure just before the rename (as a crash or a full disk would
    // leave it): the old content stays, no temporary file stays.
    setBeforeRenameHook([](const fs::path&) { return false; });
    EXPECT_EQ(writeFileAtomically(target, "newer"), FileStatus::WriteFailed);
    setBeforeRenameHook({});
    EXPECT_EQ(readBytes(target), "new");
    EXPECT_EQ(entriesIn(folder.path()), 3u);

    EXPECT_EQ(writeFileAtomically(folder.path() / "no" / "a.txt", "x"), FileStatus::CannotOpen);
    fs::create_directory(folder.path() / "sub");
    EXPECT_EQ(writeFileAtomically(folder.path() / "sub", "x"), FileStatus::NotAFile);
}

TEST(WholeFile, CreatingNeverReplacesWhatIsThere) {
    TempFolder folder;
    const fs::path fresh = folder.path() / "new.txt";
    EXPECT_EQ(createFileAtomically(fresh, "default"), FileStatus::Ok);
    EXPECT_EQ(readBytes(fresh), "default");
    EXPECT_EQ(createFileAtomically(fresh, "other"), FileStatus::AlreadyThere);
    EXPECT_EQ(readBytes(fresh), "default");
    fs::create_symlink(folder.path() / "nowhere", folder.path() / "dangling");
    EXPECT_EQ(createFileAtomically(folder.path() / "dangling", "x"), FileStatus::AlreadyThere);
    EXPECT_FALSE(fs::exists(folder.path() / "nowhere"));

    setBeforeRenameHook([](const fs::path&) { return false; });
    EXPECT_EQ(createFileAtomically(folder.path() / "cut.txt", "x"), FileStatus::WriteFailed);
    setBeforeRenameHook({});
    EXPECT_FALSE(fs::exists(folder.path() / "cut.txt"));
    EXPECT_EQ(entriesIn(folder.path()), 2u);
}

// Outputs written as a group take their names at the commit (every
// `maxPending` writes, and at the end); each is told once.
TEST(WholeFile, AGroupOfWritesTakesItsNamesAtTheCommit) {
    TempFolder folder;
    fs::create_directory(folder.path() / "sub");
    const fs::path old = folder.write("old.txt", "previous");
    std::vector<std::pair<std::size_t, FileStatus>> told;
    {
        AtomicWriteBatch writes(
            [&told](std::size_t tag, FileStatus status) { told.emplace_back(tag, status); }, 3);
        writes.write(folder.path() / "a.txt", "A", 0);
        writes.write(folder.path() / "sub", "x", 1);  // a folder: told at once
        writes.write(old, "new", 2);
        EXPECT_FALSE(fs::exists(folder.path() / "a.txt"));
        EXPECT_EQ(readBytes(old), "previous");
        writes.write(folder.path() / "b.txt", "B", 3);  // the third pending: a commit
        EXPECT_EQ(readBytes(folder.path() / "a.txt"), "A");
        EXPECT_EQ(readBytes(old), "new");

        setBeforeRenameHook([](const fs::path& target) { return target.filename() != "c.txt"; });
        writes.write(folder.path() / "c.txt", "C", 4);
        writes.commit();
        setBeforeRenameHook({});
    }
    const std::vector<std::pair<std::size_t, FileStatus>> expected = {
        {1, FileStatus::NotAFile}, {0, FileStatus::Ok},          {2, FileStatus::Ok},
        {3, FileStatus::Ok},       {4, FileStatus::WriteFailed},
    };
    EXPECT_EQ(told, expected);
    EXPECT_FALSE(fs::exists(folder.path() / "c.txt"));
    EXPECT_EQ(entriesIn(folder.path()), 4u);  // sub, old.txt, a.txt, b.txt: no temporary file
}

}  // namespace
}  // namespace lcr
