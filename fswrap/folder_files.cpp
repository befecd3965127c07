#include "fswrap/folder_files.h"

#include <system_error>

#include "text/gb18030.h"

namespace lcr {

bool forEachFile(const std::filesystem::path& folder,
                 const std::function<void(const FolderFile&)>& visit) {
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error);
    if (error) {
        return false;
    }
    const std::filesystem::directory_iterator end;
    while (it != end) {
        // is_regular_file follows links: a link to a file counts as a file, a
        // link to a folder or to nothing does not.
        std::error_code statusError;
        if (it->is_regular_file(statusError)) {
            FolderFile file;
            file.name = it->path().filename().native();
            file.nameText = nameToText(file.name);
            visit(file);
        }
        it.increment(error);
        if (error) {
            return false;
        }
    }
    return true;
}

std::u16string nameToText(std::string_view bytes) {
    // Valid UTF-8, and only valid UTF-8, survives the way to UTF-16 and back
    // unchanged: every invalid byte comes back as the three bytes of U+FFFD.
    std::u16string text = fromUtf8(bytes);
    if (toUtf8(text) == bytes) {
        return text;
    }
    return decodeGb18030(bytes);
}

std::u16string pathToText(const std::filesystem::path& path) {
    // "/" is never part of a multi-byte character in UTF-8 or GB18030, so the
    // parts can be decoded one by one.
    const std::string& bytes = path.native();
    std::u16string text;
    std::size_t start = 0;
    while (true) {
        const std::size_t slash = bytes.find('/', start);
        const std::size_t end = slash == std::string::npos ? bytes.size() : slash;
        text += nameToText(std::string_view(bytes).substr(start, end - start));
        if (slash == std::string::npos) {
            return text;
        }
        text += u'/';
        start = slash + 1;
    }
}

}  // namespace lcr
