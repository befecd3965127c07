#include "library/expression_library.h"

#include <cstdio>
#include <memory>
#include <system_error>

#include "library/builtin_texts.h"
#include "regex/deelx_regex_object.h"
#include "regex/newline_corrector.h"
#include "text/gb18030.h"
#include "text/program_text.h"

namespace lcr {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Writes the default user file unless something is already at `path`. The
// file is opened in exclusive mode ("x"), so an existing file, a directory
// or a symbolic link there is never touched, even when it appeared after
// the program started.
void writeDefaultUserFile(const std::filesystem::path& path) {
    const std::string bytes = encodeGb18030(defaultUserFileText());
    bool written = false;
    {
        std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wbx"));
        if (!file) {
            return;
        }
        written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size() &&
                  std::fclose(file.release()) == 0;
    }
    if (!written) {
        // A truncated default file would hide the missing entries for good;
        // without it the next start writes the file again.
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
}

// The file's text up to its first zero byte; empty when it cannot be read.
// (C stdio rather than a stream: a stream buffer throws on a read error,
// for example when the path is a directory.)
std::u16string readUserFile(const std::filesystem::path& path) {
    std::string bytes;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (file) {
        char buffer[16 * 1024];
        std::size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
            bytes.append(buffer, got);
        }
        if (std::ferror(file.get())) {
            bytes.clear();
        }
    }
    std::string_view text(bytes);
    text = text.substr(0, text.find('\0'));
    if (text.starts_with(kUtf8ByteOrderMark)) {
        text.remove_prefix(kUtf8ByteOrderMark.size());
        return fromUtf8(text);
    }
    // What editors on Linux write: UTF-8 without a mark. GB18030 text with
    // Chinese in it is practically never well-formed UTF-8 as well, and pure
    // ASCII reads the same either way.
    return isWellFormedUtf8(text) ? fromUtf8(text) : decodeGb18030(text);
}

}  // namespace

std::filesystem::path userExpressionFilePath(const std::filesystem::path& programDirectory) {
    return programDirectory / u8"自定义正则.txt";
}

std::vector<LibraryEntry> loadExpressionLibrary(const std::filesystem::path& programDirectory) {
    const std::filesystem::path path = userExpressionFilePath(programDirectory);
    writeDefaultUserFile(path);
    return buildExpressionLibrary(readUserFile(path));
}

std::vector<LibraryEntry> buildExpressionLibrary(std::u16string_view userFileText) {
    DeelxRegexObject cleaning;
    cleaning.create(kUserFileCleaningExpression);
    const std::u16string cleaned = cleaning.replace(correctNewlines(userFileText));

    std::u16string joined(kUserSectionHeader);
    joined += u"\r\n";
    joined += cleaned;
    joined += builtinExpressionListText();

    std::vector<LibraryEntry> library;
    for (const std::u16string& line : splitText(joined, u"\r\n")) {
        auto [name, expression] = splitFirstTwo(line, u"::");
        library.push_back({std::move(name), std::move(expression)});
    }
    return library;
}

}  // namespace lcr
