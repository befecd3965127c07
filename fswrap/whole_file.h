// Whole-file reading and writing: the one place where the program opens a
// file to take in or put out all of its content.
//
//   WholeFile source = readWholeFile(path);            // regular files only
//   if (source.status == FileStatus::Ok) use(source.bytes);
//   FileStatus written = writeFileAtomically(output, bytes);
//
// Reading takes regular files only (a link to one counts): a folder, device,
// pipe or socket is never read, since reading one could block or never end.
// The file is opened for reading alone, so a read never changes it and a
// read-only file reads like any other.
//
// Writing is atomic: the bytes go to a new temporary file beside the target
// (same folder, so the rename cannot cross file systems), are synced to the
// disk, and the temporary file is then renamed over the target; the folder
// is synced last. A crash, a full disk or any other failure at any point
// leaves the target as it was (or absent) and removes the temporary file. A
// target that exists keeps its permission bits. A target that is a folder,
// device, pipe or socket is left alone. A symbolic link at the target is
// replaced by the new file, never written through.
//
// Failures are values; nothing here throws.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lcr {

enum class FileStatus {
    Ok,
    CannotOpen,    // missing, no permission, or the path leads through no folder
    NotAFile,      // a folder, device, pipe or socket
    ReadFailed,    // opened, but reading broke off
    WriteFailed,   // the new content could not be written or synced, or not renamed into place
    TooLarge,      // larger than the caller allows, or than memory holds
    AlreadyThere,  // createFileAtomically: something is at the path already
};

// A short, user-facing description of a status (Chinese, as the window
// shows it): "无法打开", "不是普通文件", ...; empty for Ok.
std::u16string_view fileStatusText(FileStatus status);

struct WholeFile {
    FileStatus status = FileStatus::CannotOpen;
    std::string bytes;  // empty unless status is Ok
};

// The whole content of the regular file at `path`. A file larger than
// `maxBytes` is TooLarge and is not read.
WholeFile readWholeFile(const std::filesystem::path& path,
                        std::size_t maxBytes = static_cast<std::size_t>(-1));

// The content of the regular file at `path` (the same checks as
// readWholeFile), handed to `take` piece by piece as it is read, with no
// copy of the whole. `sizeKnown` is told the file's size first, so that the
// caller can reserve room for what it makes of the bytes. `take` returns how
// many bytes of the piece it used; the rest (a few bytes, such as a
// character cut at the piece's end) comes again at the front of the next
// piece (at most 64 bytes, else the read fails rather than lose them); at
// the end of the file `last` is true and every byte must be used.
// Ok, CannotOpen, NotAFile or ReadFailed (some pieces may be taken by then).
using TakePiece = std::function<std::size_t(std::string_view piece, bool last)>;
FileStatus readFileInPieces(const std::filesystem::path& path,
                            const std::function<void(std::size_t size)>& sizeKnown,
                            const TakePiece& take);
// The same for an open stream (standard input): to its end.
FileStatus readStreamInPieces(int fd, const TakePiece& take);

// Replaces the file at `path` by `bytes`, atomically as described above.
FileStatus writeFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// Creates the file at `path` holding `bytes`, atomically, unless something
// (a file, a folder, a link, even one leading nowhere) is already there:
// then nothing is written and the result is AlreadyThere. The file appears
// whole or not at all, so a crash never leaves a part of it.
FileStatus createFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// Many files written atomically, synced together. Each write puts its bytes
// into a temporary file beside its target at once; a commit (every
// `maxPending` writes, and at the end) syncs the file systems of the
// pending files (syncfs: one disk flush for the whole group), renames each
// over its target, then syncs their folders once. Every file is as safe as
// with writeFileAtomically: its target is its previous state or the whole
// new content, never a part; a crash leaves at most the pending temporary
// files beside their targets. A run over a thousand small files takes about
// twice as long as without syncing, instead of fifty times (bench/
// batch_run_bench --run).
//
//   AtomicWriteBatch writes([](std::size_t tag, FileStatus status) { ... });
//   writes.write(outputPath, bytes, fileIndex);   // outcome now or at a commit
//   writes.commit();                              // also done by the destructor
class AtomicWriteBatch {
public:
    // Told once for every write, with the write's tag, when its outcome is
    // known: at once for a target that cannot be written, else at the
    // commit that renames it into place.
    using Outcome = std::function<void(std::size_t tag, FileStatus status)>;

    explicit AtomicWriteBatch(Outcome outcome, std::size_t maxPending = 64);
    ~AtomicWriteBatch();
    AtomicWriteBatch(const AtomicWriteBatch&) = delete;
    AtomicWriteBatch& operator=(const AtomicWriteBatch&) = delete;

    void write(const std::filesystem::path& target, std::string_view bytes, std::size_t tag);
    void commit();

private:
    struct Pending;
    Outcome m_outcome;
    std::size_t m_maxPending;
    std::vector<Pending> m_pending;
};

// A file descriptor closed when it goes out of scope.
class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : m_fd(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    UniqueFd(UniqueFd&& other) noexcept : m_fd(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        reset(other.release());
        return *this;
    }
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    int release() { return std::exchange(m_fd, -1); }
    void reset(int fd = -1);

private:
    int m_fd;
};

// open(2) with O_CLOEXEC and O_NOCTTY added, retried on EINTR.
int openFile(const std::filesystem::path& path, int flags, mode_t mode = 0);

// Reads from `fd` (from offset 0) to the end; nothing when reading fails or
// the content passes `maxBytes`.
std::optional<std::string> readAllFrom(int fd, std::size_t maxBytes);

// The steps of an atomic replacement, for callers that must hold the new
// file (the settings store keeps it locked): a fresh temporary file beside
// `target` holding `bytes`, synced; `mode` (when given) becomes its
// permission bits, `lock` takes an exclusive flock before anything is
// written. Nothing on failure (no temporary file is left).
struct TemporaryFile {
    UniqueFd fd;
    std::filesystem::path path;
};
std::optional<TemporaryFile> writeTemporaryBeside(const std::filesystem::path& target,
                                                  std::string_view bytes,
                                                  std::optional<mode_t> mode, bool lock);
// Renames the temporary file over `target` and syncs the folder; on failure
// the temporary file is removed and `target` is unchanged.
bool commitTemporary(TemporaryFile& temp, const std::filesystem::path& target);

// Test seam: called when the new content of a file has been written and
// synced, just before it is renamed over the target. Returning false
// abandons the replacement there, as a crash at that point would. Empty (the
// default): nothing happens.
void setBeforeRenameHook(std::function<bool(const std::filesystem::path& target)> hook);

}  // namespace lcr
