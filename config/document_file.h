// The files of the configuration store, written so that a crash or a power
// loss in the middle of a change never leaves a damaged file: new content
// goes to a temporary file in the same folder, is synced to the disk and
// then renamed over the old file, so the file is always either the old
// content or the new one (writeFileAtomically and its steps, in
// fswrap/whole_file.h, which also holds the test seam setBeforeRenameHook).
//
// The INI file is in addition held for the store's whole life under an
// exclusive advisory lock (flock), so that a second copy of the program on
// the same folder cannot take it over: it reads the file and works in
// memory. Every replacement locks the new file before it takes the name,
// and a store that gets a lock checks that the name still refers to the
// file it locked, so the lock passes from old to new file without a gap.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "fswrap/whole_file.h"

namespace lcr {

// INI files larger than this are not loaded and never written: they are not
// ours, and the store must not replace them by an empty document.
inline constexpr std::size_t kMaxDocumentBytes = 64u << 20;

// The whole content of a regular file; nothing when it is missing, not a
// regular file (a folder, a FIFO: reading one would block), unreadable or
// larger than `maxBytes` (fswrap/whole_file.h reads it).
std::optional<std::string> readRegularFile(const std::filesystem::path& path,
                                           std::size_t maxBytes = static_cast<std::size_t>(-1));

// True when another open file (another copy of the program) holds the lock
// of the INI file at `path`.
bool isLockedByAnother(const std::filesystem::path& path);

class DocumentFile {
public:
    struct OpenResult {
        // The file, when this store now holds it; nothing when it could not
        // be opened for writing, is locked by another copy, is not a regular
        // file or is too large.
        std::unique_ptr<DocumentFile> file;
        // What could be read of the file (empty when nothing could).
        std::string content;
    };

    // Opens the INI file at `path` for the store, creating it empty when it
    // does not exist; never truncates it.
    static OpenResult open(const std::filesystem::path& path);

    ~DocumentFile();
    DocumentFile(const DocumentFile&) = delete;
    DocumentFile& operator=(const DocumentFile&) = delete;

    // Makes `bytes` the file's whole content, atomically. False when the
    // write failed (the file keeps its last content) or when another copy
    // of the program has taken the file's name over.
    bool replaceContent(std::string_view bytes);

    const std::filesystem::path& path() const { return m_path; }
    // Whether `path` names the file this store holds.
    bool isSameFile(const std::filesystem::path& path) const;

private:
    DocumentFile(int fd, std::filesystem::path path);

    int m_fd;
    std::filesystem::path m_path;
};

}  // namespace lcr
