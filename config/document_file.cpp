#include "config/document_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <utility>

namespace lcr {

namespace {

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
    void reset(int fd = -1) {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        m_fd = fd;
    }

private:
    int m_fd;
};

std::function<bool(const std::filesystem::path&)>& beforeRenameHook() {
    static std::function<bool(const std::filesystem::path&)> hook;
    return hook;
}

int openFile(const std::filesystem::path& path, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

std::optional<std::string> readAll(int fd, std::size_t maxBytes) {
    std::string content;
    char buffer[65536];
    off_t offset = 0;
    while (true) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, offset);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        if (n == 0) {
            return content;
        }
        if (content.size() + static_cast<std::size_t>(n) > maxBytes) {
            return std::nullopt;
        }
        content.append(buffer, static_cast<std::size_t>(n));
        offset += n;
    }
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

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
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

// A fresh temporary file beside `target`, its content written and synced.
// `mode` (when given) becomes its permission bits; `lock` takes the
// exclusive lock before anything is written.
struct TemporaryFile {
    UniqueFd fd;
    std::filesystem::path path;
};

std::optional<TemporaryFile> writeTemporary(const std::filesystem::path& target,
                                            std::string_view bytes, std::optional<mode_t> mode,
                                            bool lock) {
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
    const bool written = (!mode || ::fchmod(temp.fd.get(), *mode) == 0) &&
                         (!lock || ::flock(temp.fd.get(), LOCK_EX | LOCK_NB) == 0) &&
                         writeAll(temp.fd.get(), bytes) && ::fdatasync(temp.fd.get()) == 0;
    if (!written) {
        ::unlink(temp.path.c_str());
        return std::nullopt;
    }
    return temp;
}

// Renames the temporary file over `target`; on failure it is removed.
bool commitTemporary(TemporaryFile& temp, const std::filesystem::path& target) {
    const auto& hook = beforeRenameHook();
    if ((hook && !hook(target)) || ::rename(temp.path.c_str(), target.c_str()) != 0) {
        ::unlink(temp.path.c_str());
        return false;
    }
    syncFolder(folderOf(target));
    return true;
}

}  // namespace

std::optional<std::string> readRegularFile(const std::filesystem::path& path,
                                           std::size_t maxBytes) {
    UniqueFd fd(openFile(path, O_RDONLY | O_NONBLOCK));
    struct stat st;
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::size_t>(st.st_size) > maxBytes) {
        return std::nullopt;
    }
    return readAll(fd.get(), maxBytes);
}

bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    std::optional<mode_t> mode;
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            return false;
        }
        mode = st.st_mode & 07777;
    }
    std::optional<TemporaryFile> temp = writeTemporary(path, bytes, mode, false);
    return temp && commitTemporary(*temp, path);
}

bool isLockedByAnother(const std::filesystem::path& path) {
    UniqueFd fd(openFile(path, O_RDONLY | O_NONBLOCK));
    if (!fd.valid()) {
        return false;
    }
    return ::flock(fd.get(), LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
}

DocumentFile::OpenResult DocumentFile::open(const std::filesystem::path& path) {
    // A few attempts: the file we locked may have been renamed over by its
    // previous holder between our open and our lock.
    for (int attempt = 0; attempt < 4; ++attempt) {
        UniqueFd fd(openFile(path, O_RDWR | O_CREAT | O_NONBLOCK, 0666));
        if (!fd.valid()) {
            // A read-only folder or file: read what we can, keep nothing open.
            return {nullptr, readRegularFile(path, kMaxDocumentBytes).value_or(std::string())};
        }
        struct stat opened;
        if (::fstat(fd.get(), &opened) != 0 || !S_ISREG(opened.st_mode) ||
            static_cast<std::size_t>(opened.st_size) > kMaxDocumentBytes) {
            return {};
        }
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
            // Another copy of the program holds the file.
            return {nullptr, readAll(fd.get(), kMaxDocumentBytes).value_or(std::string())};
        }
        struct stat named;
        if (::stat(path.c_str(), &named) != 0 || !sameFile(opened, named)) {
            continue;
        }
        std::optional<std::string> content = readAll(fd.get(), kMaxDocumentBytes);
        if (!content) {
            // Holding a file we could not read would replace it by a
            // document that lacks its content.
            return {};
        }
        ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
        return {std::unique_ptr<DocumentFile>(new DocumentFile(fd.release(), path)),
                std::move(*content)};
    }
    return {nullptr, readRegularFile(path, kMaxDocumentBytes).value_or(std::string())};
}

DocumentFile::DocumentFile(int fd, std::filesystem::path path)
    : m_fd(fd), m_path(std::move(path)) {}

DocumentFile::~DocumentFile() {
    ::close(m_fd);
}

bool DocumentFile::isSameFile(const std::filesystem::path& path) const {
    struct stat ours;
    struct stat named;
    return ::fstat(m_fd, &ours) == 0 && ::stat(path.c_str(), &named) == 0 && sameFile(ours, named);
}

bool DocumentFile::replaceContent(std::string_view bytes) {
    struct stat ours;
    if (::fstat(m_fd, &ours) != 0) {
        return false;
    }
    // The name normally still refers to our file. When it does not (the
    // file was deleted or replaced while we ran), a file under the name that
    // another copy holds is that copy's now and is left alone.
    struct stat named;
    if (::stat(m_path.c_str(), &named) == 0 && !sameFile(ours, named) &&
        isLockedByAnother(m_path)) {
        return false;
    }
    std::optional<TemporaryFile> temp =
        writeTemporary(m_path, bytes, static_cast<mode_t>(ours.st_mode & 07777), true);
    if (!temp || !commitTemporary(*temp, m_path)) {
        return false;
    }
    // The new file is locked and has the name; only now let the old one go.
    ::close(m_fd);
    m_fd = temp->fd.release();
    return true;
}

void setBeforeRenameHook(std::function<bool(const std::filesystem::path& target)> hook) {
    beforeRenameHook() = std::move(hook);
}

}  // namespace lcr
