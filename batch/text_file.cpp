#include "batch/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>

#include "text/gb18030.h"

namespace lcr {

namespace {

// Owns a file descriptor; closes it unless the caller closes it itself to
// see the result.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return m_fd; }
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

// Regular files only: O_NONBLOCK keeps the open of a pipe from waiting for
// its other end, and the type is checked before anything is read or written.
constexpr int kOpenFlags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;

FileStatus readWholeFile(const std::filesystem::path& path, std::string& bytes) {
    FileDescriptor file(::open(path.c_str(), O_RDONLY | kOpenFlags));
    if (file.get() < 0) {
        return FileStatus::CannotOpen;
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        return FileStatus::ReadFailed;
    }
    if (!S_ISREG(info.st_mode)) {
        return FileStatus::NotAFile;
    }
    // One byte more than the size, so that the read which finds the end needs
    // no larger buffer; a file that grows meanwhile is read to its new end.
    bytes.resize(static_cast<std::size_t>(info.st_size) + 1);
    std::size_t used = 0;
    while (true) {
        if (used == bytes.size()) {
            bytes.resize(bytes.size() * 2);
        }
        const ssize_t got = ::read(file.get(), bytes.data() + used, bytes.size() - used);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return FileStatus::ReadFailed;
        }
        if (got == 0) {
            break;
        }
        used += static_cast<std::size_t>(got);
    }
    bytes.resize(used);
    return FileStatus::Ok;
}

bool isConverted(TextCharset charset) {
    return charset >= TextCharset::Utf8 && charset <= TextCharset::Big5Hkscs;
}

// Whether the bytes hold "<meta" in any letter case. Every ASCII character
// of the text decoded from the bytes comes from one ASCII byte, and
// neighbours from neighbours, so a text without this byte sequence holds no
// meta tag and need not be decoded to be sniffed.
bool mayHoldMetaTag(std::string_view bytes) {
    static constexpr char kMeta[] = "meta";
    std::size_t from = 0;
    while (true) {
        const std::size_t at = bytes.find('<', from);
        if (at == std::string_view::npos || bytes.size() - at < 5) {
            return false;
        }
        bool same = true;
        for (std::size_t k = 0; k < 4 && same; ++k) {
            const char c = bytes[at + 1 + k];
            same = (c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c) == kMeta[k];
        }
        if (same) {
            return true;
        }
        from = at + 1;
    }
}

// The charset an HTML meta tag of the file declares, Detect when none. The
// file is taken as text up to its first 00 or 1A byte.
TextCharset charsetDeclaredInHtml(std::string_view bytes) {
    const std::size_t end = std::min(bytes.find('\0'), bytes.find('\x1A'));
    const std::string_view text = bytes.substr(0, end);
    if (!mayHoldMetaTag(text)) {
        return TextCharset::Detect;
    }
    switch (SniffHtmlCharset(decodeGb18030(text))) {
        case HtmlCharset::Utf8:
            return TextCharset::Utf8;
        case HtmlCharset::Big5:
            return TextCharset::Big5;
        case HtmlCharset::Big5Hkscs:
            return TextCharset::Big5Hkscs;
        case HtmlCharset::None:
            break;
    }
    return TextCharset::Detect;
}

// A file's bytes as its mark and its body, so that writing them needs no
// copy of the body with the mark in front.
struct FileBytes {
    std::string_view mark;
    std::string body;
};

FileBytes fileBytesOf(std::u16string_view text, TextCharset charset) {
    if (isConverted(charset)) {
        std::string converted = convertFromText(text, charset);
        if (!converted.empty()) {
            return {byteOrderMark(charset), std::move(converted)};
        }
    }
    return {{}, encodeGb18030(text)};
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t put = ::write(fd, bytes.data(), bytes.size());
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(put));
    }
    return true;
}

}  // namespace

DecodedText decodeFileBytes(std::string_view bytes, TextCharset requested) {
    TextCharset charset = requested;
    std::size_t bodyStart = 0;
    switch (requested) {
        case TextCharset::Detect:
            if (bytes.starts_with(byteOrderMark(TextCharset::Utf8))) {
                charset = TextCharset::Utf8;
                bodyStart = 3;
            } else if (bytes.starts_with(byteOrderMark(TextCharset::Utf16Le))) {
                charset = TextCharset::Utf16Le;
                bodyStart = 2;
            } else if (bytes.starts_with(byteOrderMark(TextCharset::Utf16Be))) {
                charset = TextCharset::Utf16Be;
                bodyStart = 2;
            } else {
                charset = charsetDeclaredInHtml(bytes);
            }
            break;
        case TextCharset::Utf8:
            if (bytes.starts_with(byteOrderMark(TextCharset::Utf8))) {
                bodyStart = 3;
            }
            break;
        case TextCharset::Utf16Le:
        case TextCharset::Utf16Be:
            // Whatever the first two bytes are, they are taken for the mark.
            bodyStart = std::min<std::size_t>(2, bytes.size());
            break;
        case TextCharset::Gbk:
        case TextCharset::Big5:
        case TextCharset::Big5Hkscs:
            break;
        default:
            charset = TextCharset::Gbk;
            break;
    }
    const std::string_view body = bytes.substr(bodyStart);
    if (charset == TextCharset::Detect && LooksLikeUtf8(body)) {
        charset = TextCharset::Utf8;
    }
    // A file that holds nothing but its mark is an empty text in that
    // charset, not the mark's bytes taken for two Chinese characters.
    if (bodyStart > 0 && body.empty() && bytes == byteOrderMark(charset)) {
        return {std::u16string(), charset};
    }
    DecodedText decoded;
    if (isConverted(charset) && !body.empty()) {
        decoded.text = convertToText(body, charset);
        decoded.charset = charset;
    }
    if (decoded.text.empty()) {
        decoded.text = decodeGb18030(bytes);
        decoded.charset = TextCharset::Gbk;
    }
    return decoded;
}

std::string encodeFileBytes(std::u16string_view text, TextCharset charset) {
    FileBytes bytes = fileBytesOf(text, charset);
    bytes.body.insert(0, bytes.mark);
    return std::move(bytes.body);
}

TextFileContent ReadTextFile(const std::filesystem::path& path, TextCharset requested) {
    TextFileContent content;
    try {
        std::string bytes;
        content.status = readWholeFile(path, bytes);
        if (content.status == FileStatus::Ok) {
            DecodedText decoded = decodeFileBytes(bytes, requested);
            content.text = std::move(decoded.text);
            content.charset = decoded.charset;
        }
    } catch (const std::exception&) {  // std::bad_alloc, std::length_error
        return TextFileContent{FileStatus::TooLarge, {}, TextCharset::Detect};
    }
    return content;
}

FileStatus WriteTextFile(const std::filesystem::path& path, std::u16string_view text,
                         TextCharset charset) {
    FileBytes bytes;
    try {
        bytes = fileBytesOf(text, charset);
    } catch (const std::exception&) {
        return FileStatus::TooLarge;
    }
    FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | kOpenFlags, 0666));
    if (file.get() < 0) {
        return FileStatus::CannotOpen;
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return FileStatus::NotAFile;
    }
    if (!writeAll(file.get(), bytes.mark) || !writeAll(file.get(), bytes.body)) {
        return FileStatus::WriteFailed;
    }
    // Some file systems report a failed write only when the file is closed.
    return file.close() ? FileStatus::Ok : FileStatus::WriteFailed;
}

}  // namespace lcr
