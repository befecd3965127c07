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

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

std::optional<std::string> readRegularFile(const std::filesystem::path& path,
                                           std::size_t maxBytes) {
    WholeFile file = readWholeFile(path, maxBytes);
    if (file.status != FileStatus::Ok) {
        return std::nullopt;
    }
    return std::move(file.bytes);
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
            return {nullptr, readAllFrom(fd.get(), kMaxDocumentBytes).value_or(std::string())};
        }
        struct stat named;
        if (::stat(path.c_str(), &named) != 0 || !sameFile(opened, named)) {
            continue;
        }
        std::optional<std::string> content = readAllFrom(fd.get(), kMaxDocumentBytes);
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
        writeTemporaryBeside(m_path, bytes, static_cast<mode_t>(ours.st_mode & 07777), true);
    if (!temp || !commitTemporary(*temp, m_path)) {
        return false;
    }
    // The new file is locked and has the name; only now let the old one go.
    ::close(m_fd);
    m_fd = temp->fd.release();
    return true;
}

}  // namespace lcr
