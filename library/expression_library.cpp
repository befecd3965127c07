#include "library/expression_library.h"

#include "fswrap/whole_file.h"
#include "library/builtin_texts.h"
#include "regex/deelx_regex_object.h"
#include "regex/newline_corrector.h"
#include "text/gb18030.h"
#include "text/program_text.h"

namespace lcr {

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Writes the default user file unless something is already at `path`: an
// existing file, a directory or a symbolic link there is never touched,
// even when it appeared after the program started. The file appears whole
// or not at all, so a truncated default file never hides the missing
// entries; without it the next start writes the file again.
void writeDefaultUserFile(const std::filesystem::path& path) {
    createFileAtomically(path, encodeGb18030(defaultUserFileText()));
}

// The file's text up to its first zero byte; empty when it cannot be read.
std::u16string readUserFile(const std::filesystem::path& path) {
    const std::string bytes = readWholeFile(path).bytes;
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
