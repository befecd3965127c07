#include "fswrap/whole_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>  // renameat2

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <exception>
#include <memory>

namespace lcr {

namespace {

std::function<bool(const std::filesystem::path&)>& beforeRenameHook() {
    static std::function<bool(const std::filesystem::path&)> hook;
    return hook;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::filesystem::path folderOf(const std::filesystem::path& path) {
    const std::filesystem::path folder = path.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

// Makes a rename in `folder` durable. A failure only weakens durability
// (the rename may be lost on power loss; either file is complete).
void syncFolder(const std::filesystem::path& folder) {
    UniqueFd fd(openFile(folder, O_RDONLY | O_DIRECTORY));
    if (fd.valid()) {
        ::fsync(fd.get());
    }
}

std::optional<TemporaryFile> writeTemporary(const std::filesystem::path& target,
                                            std::string_view bytes, std::optional<mode_t> mode,
                                            bool lock, bool sync);

}  // namespace

void UniqueFd::reset(int fd) {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
    m_fd = fd;
}

int openFile(const std::filesystem::path& path, int flags, mode_t mode) {
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

std::optional<std::string> readAllFrom(int fd, std::size_t maxBytes) {
    std::string content;
    struct stat info {};
    // One byte more than the size, so that the read which finds the end
    // needs no larger buffer; a file that grows meanwhile is read on.
    if (::fstat(fd, &info) == 0 && info.st_size >= 0 &&
        static_cast<std::size_t>(info.st_size) < maxBytes) {
        content.resize(static_cast<std::size_t>(info.st_size) + 1);
    }
    std::size_t used = 0;
    while (true) {
        if (used == content.size()) {
            if (used >= maxBytes) {
                // Full to the limit: one more byte would pass it.
                char probe;
                const ssize_t more = ::pread(fd, &probe, 1, static_cast<off_t>(used));
                if (more < 0 && errno == EINTR) {
                    continue;
                }
                if (more != 0) {
                    return std::nullopt;
                }
                break;
            }
            content.resize(std::min(std::max<std::size_t>(used * 2, 65536), maxBytes));
        }
        const ssize_t got =
            ::pread(fd, content.data() + used, content.size() - used, static_cast<off_t>(used));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        used += static_cast<std::size_t>(got);
    }
    content.resize(used);
    return content;
}

std::u16string_view fileStatusText(FileStatus status) {
    switch (status) {
        case FileStatus::Ok:
            return {};
        case FileStatus::CannotOpen:
            return u"无法打开";
        case FileStatus::NotAFile:
            return u"不是普通文件";
        case FileStatus::ReadFailed:
            return u"读取出错";
        case FileStatus::WriteFailed:
            return u"写入失败";
        case FileStatus::TooLarge:
            return u"文件太大";
        case FileStatus::AlreadyThere:
            return u"已经存在";
    }
    return {};
}

WholeFile readWholeFile(const std::filesystem::path& path, std::size_t maxBytes) {
    WholeFile file;
    // O_NONBLOCK keeps the open of a pipe from waiting for its other end;
    // the type is checked before anything is read.
    UniqueFd fd(openFile(path, O_RDONLY | O_NONBLOCK));
    if (!fd.valid()) {
        file.status = FileStatus::CannotOpen;
        return file;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        file.status = FileStatus::ReadFailed;
        return file;
    }
    if (!S_ISREG(info.st_mode)) {
        file.status = FileStatus::NotAFile;
        return file;
    }
    if (static_cast<std::size_t>(info.st_size) > maxBytes) {
        file.status = FileStatus::TooLarge;
        return file;
    }
    try {
        std::optional<std::string> bytes = readAllFrom(fd.get(), maxBytes);
        if (!bytes) {
            file.status = FileStatus::ReadFailed;
            return file;
        }
        file.bytes = std::move(*bytes);
    } catch (const std::exception&) {  // std::bad_alloc, std::length_error
        file.status = FileStatus::TooLarge;
        return file;
    }
    file.status = FileStatus::Ok;
    return file;
}

FileStatus readFileInPieces(const std::filesystem::path& path,
                            const std::function<void(std::size_t size)>& sizeKnown,
                            const TakePiece& take) {
    UniqueFd fd(openFile(path, O_RDONLY | O_NONBLOCK));
    if (!fd.valid()) {
        return FileStatus::CannotOpen;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        return FileStatus::ReadFailed;
    }
    if (!S_ISREG(info.st_mode)) {
        return FileStatus::NotAFile;
    }
    sizeKnown(static_cast<std::size_t>(info.st_size));
    return readStreamInPieces(fd.get(), take);
}

FileStatus readStreamInPieces(int fd, const TakePiece& take) {
    // Large enough that a read costs little beside the work on its bytes,
    // small enough to stay in the cache while that work is done.
    constexpr std::size_t kPiece = std::size_t{1} << 18;
    constexpr std::size_t kMaxKept = 64;  // what `take` may leave, at most
    const std::unique_ptr<char[]> buffer(new char[kPiece + kMaxKept]);
    std::size_t kept = 0;
    while (true) {
        const ssize_t got = ::read(fd, buffer.get() + kept, kPiece);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return FileStatus::ReadFailed;
        }
        const std::size_t size = kept + static_cast<std::size_t>(got);
        if (got == 0) {
            if (kept > 0) {
                take(std::string_view(buffer.get(), kept), true);
            }
            return FileStatus::Ok;
        }
        const std::size_t used = std::min(take(std::string_view(buffer.get(), size), false), size);
        kept = size - used;
        if (kept > kMaxKept) {
            return FileStatus::ReadFailed;  // rather than lose bytes
        }
        std::memmove(buffer.get(), buffer.get() + size - kept, kept);
    }
}

std::optional<TemporaryFile> writeTemporaryBeside(const std::filesystem::path& target,
                                                  std::string_view bytes,
                                                  std::optional<mode_t> mode, bool lock) {
    return writeTemporary(target, bytes, mode, lock, true);
}

namespace {

// writeTemporaryBeside; without `sync` the caller syncs the data before
// the rename.
std::optional<TemporaryFile> writeTemporary(const std::filesystem::path& target,
                                            std::string_view bytes, std::optional<mode_t> mode,
                                            bool lock, bool sync) {
    static std::atomic<unsigned> counter{0};
    TemporaryFile temp;
    for (int attempt = 0; attempt < 100 && !temp.fd.valid(); ++attempt) {
        temp.path =
            folderOf(target) / (target.filename().string() + "." + std::to_string(::getpid()) +
                                "-" + std::to_string(counter++) + ".tmp");
        temp.fd.reset(openFile(temp.path, O_RDWR | O_CREAT | O_EXCL, 0666));
        if (!temp.fd.valid() && errno != EEXIST) {
            return std::nullopt;
        }
    }
    if (!temp.fd.valid()) {
        return std::nullopt;
    }
    const bool written =
        (!mode || ::fchmod(temp.fd.get(), *mode) == 0) &&
        (!lock || ::flock(temp.fd.get(), LOCK_EX | LOCK_NB) == 0) &&
        writeAll(temp.fd.get(), bytes) &&
        (sync ? ::fdatasync(temp.fd.get()) == 0
              : (::sync_file_range(temp.fd.get(), 0, 0, SYNC_FILE_RANGE_WRITE), true));
    if (!written) {
        ::unlink(temp.path.c_str());
        return std::nullopt;
    }
    return temp;
}

// What is at `target` for a write that replaces it: NotAFile for a folder,
// device, pipe or socket; else Ok, with the permission bits of a regular
// file there.
FileStatus replaceableTarget(const std::filesystem::path& target, std::optional<mode_t>& mode) {
    struct stat info {};
    if (::lstat(target.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode) || S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode) ||
            S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) {
            return FileStatus::NotAFile;
        }
        if (S_ISREG(info.st_mode)) {
            mode = info.st_mode & 07777;
        }
    }
    return FileStatus::Ok;
}

// Why no temporary file could be made beside `target`: a folder we may not
// write in is "cannot open"; anything else (a full disk, an I/O error)
// broke off the write itself.
FileStatus temporaryFailure(const std::filesystem::path& target) {
    return ::access(folderOf(target).c_str(), W_OK | X_OK) == 0 ? FileStatus::WriteFailed
                                                                : FileStatus::CannotOpen;
}

}  // namespace

bool commitTemporary(TemporaryFile& temp, const std::filesystem::path& target) {
    const auto& hook = beforeRenameHook();
    if ((hook && !hook(target)) || ::rename(temp.path.c_str(), target.c_str()) != 0) {
        ::unlink(temp.path.c_str());
        return false;
    }
    syncFolder(folderOf(target));
    return true;
}

FileStatus writeFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    std::optional<mode_t> mode;
    if (const FileStatus target = replaceableTarget(path, mode); target != FileStatus::Ok) {
        return target;
    }
    std::optional<TemporaryFile> temp = writeTemporaryBeside(path, bytes, mode, false);
    if (!temp) {
        return temporaryFailure(path);
    }
    return commitTemporary(*temp, path) ? FileStatus::Ok : FileStatus::WriteFailed;
}

struct AtomicWriteBatch::Pending {
    TemporaryFile temp;
    std::filesystem::path target;
    std::size_t tag;
};

AtomicWriteBatch::AtomicWriteBatch(Outcome outcome, std::size_t maxPending)
    : m_outcome(std::move(outcome)), m_maxPending(std::max<std::size_t>(maxPending, 1)) {}

AtomicWriteBatch::~AtomicWriteBatch() {
    commit();
}

void AtomicWriteBatch::write(const std::filesystem::path& target, std::string_view bytes,
                             std::size_t tag) {
    std::optional<mode_t> mode;
    if (const FileStatus status = replaceableTarget(target, mode); status != FileStatus::Ok) {
        m_outcome(tag, status);
        return;
    }
    std::optional<TemporaryFile> temp = writeTemporary(target, bytes, mode, false, false);
    if (!temp) {
        m_outcome(tag, temporaryFailure(target));
        return;
    }
    m_pending.push_back({std::move(*temp), target, tag});
    if (m_pending.size() >= m_maxPending) {
        commit();
    }
}

void AtomicWriteBatch::commit() {
    // One syncfs per file system puts the data of every pending file on the
    // disk at once; an fdatasync per file costs a disk cache flush each,
    // which on thousands of small files takes many times longer than the
    // run itself. A file system that reports a failed sync fails every
    // pending file on it: none of them takes its name.
    std::vector<std::pair<dev_t, bool>> synced;  // file system, sync succeeded
    auto syncedOk = [&synced](const Pending& p) {
        struct stat info {};
        if (::fstat(p.temp.fd.get(), &info) != 0) {
            return false;
        }
        for (const auto& [device, ok] : synced) {
            if (device == info.st_dev) {
                return ok;
            }
        }
        const bool ok = ::syncfs(p.temp.fd.get()) == 0;
        synced.emplace_back(info.st_dev, ok);
        return ok;
    };
    std::vector<std::filesystem::path> folders;
    for (Pending& p : m_pending) {
        const auto& hook = beforeRenameHook();
        if (!syncedOk(p) || (hook && !hook(p.target)) ||
            ::rename(p.temp.path.c_str(), p.target.c_str()) != 0) {
            ::unlink(p.temp.path.c_str());
            m_outcome(p.tag, FileStatus::WriteFailed);
            continue;
        }
        const std::filesystem::path folder = folderOf(p.target);
        if (std::find(folders.begin(), folders.end(), folder) == folders.end()) {
            folders.push_back(folder);
        }
        m_outcome(p.tag, FileStatus::Ok);
    }
    m_pending.clear();
    for (const std::filesystem::path& folder : folders) {
        syncFolder(folder);
    }
}

FileStatus createFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    std::optional<TemporaryFile> temp = writeTemporaryBeside(path, bytes, std::nullopt, false);
    if (!temp) {
        return ::access(folderOf(path).c_str(), W_OK | X_OK) == 0 ? FileStatus::WriteFailed
                                                                  : FileStatus::CannotOpen;
    }
    const auto& hook = beforeRenameHook();
    if (hook && !hook(path)) {
        ::unlink(temp->path.c_str());
        return FileStatus::WriteFailed;
    }
    // The complete file takes the name only while the name is free: a hard
    // link where the file system has them, else a rename that refuses to
    // replace (file systems without hard links, such as FAT, have it).
    int result = ::link(temp->path.c_str(), path.c_str());
    if (result == 0) {
        ::unlink(temp->path.c_str());
    } else if (errno == EPERM || errno == EOPNOTSUPP || errno == EMLINK) {
        result =
            ::renameat2(AT_FDCWD, temp->path.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE);
    }
    if (result != 0) {
        const int error = errno;
        ::unlink(temp->path.c_str());
        return error == EEXIST ? FileStatus::AlreadyThere : FileStatus::WriteFailed;
    }
    syncFolder(folderOf(path));
    return FileStatus::Ok;
}

void setBeforeRenameHook(std::function<bool(const std::filesystem::path& target)> hook) {
    beforeRenameHook() = std::move(hook);
}

}  // namespace lcr
