// The expression library: the ready-made expressions of the combo box
// "组合框经典正则".
//
// The entries come from two sources, in this order: the user's own file
// "自定义正则.txt" in the program directory, which the user edits with any
// text editor, and the built-in list (builtin_texts.h). The library is loaded
// once when the main window is created; choosing item k of the combo box
// quick-inserts the expression of entry k.
//
//   std::vector<LibraryEntry> library = loadExpressionLibrary(programDirectory);
//   for (const LibraryEntry& entry : library) {
//       comboBox->addItem(toQString(entry.name));
//   }
//
// The user file is GB18030 (GBK) text with CR LF line breaks (a lone LF or
// CR counts as one too), or UTF-8, with or without a byte-order mark, as
// editors on Linux save it. Its lines are
//   comment lines   beginning with "'"                          dropped
//   blank lines     only spaces, tabs and full-width spaces     dropped
//   entry lines     name::expression (text after a second "::" is ignored)
//   other lines     the whole line is the name, the expression is empty;
//                   this is how section headers such as "【网页】" work.
// A comment or blank line that is the very last line, with no CR LF after
// it, is kept as an entry: the cleaning only removes a line together with
// the CR LF that ends it.
//
// Nothing here fails loudly: a file that cannot be written or read simply
// gives an empty user part.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace lcr {

// One item of the combo box: what it shows and what choosing it inserts.
// Either may be empty (an empty line of the joined text, a section header).
struct LibraryEntry {
    std::u16string name;
    std::u16string expression;

    friend bool operator==(const LibraryEntry&, const LibraryEntry&) = default;
};

// The first item, the header of the user's part.
inline constexpr std::u16string_view kUserSectionHeader = u"【自定义正则】";

// Matches a blank line or a comment line together with the CR LF that ends
// it, compiled with DeelxRegexObject's default options (ignore case,
// multiline, replace all).
inline constexpr std::u16string_view kUserFileCleaningExpression =
    u"^[　 \\t]*$\\r\\n|^'[^\\r\\n]*$\\r\\n";

// "<programDirectory>/自定义正则.txt".
std::filesystem::path userExpressionFilePath(const std::filesystem::path& programDirectory);

// Loads the library:
//   1. when nothing exists at userExpressionFilePath, the file is created
//      with defaultUserFileText() in GB18030, without a byte-order mark; an
//      existing file is never rewritten; a failure to write is ignored
//      (and a half-written file removed, so the next start tries again);
//   2. the file is read as bytes up to the first zero byte and decoded as
//      UTF-8 when it starts with the UTF-8 byte-order mark or when its bytes
//      are well-formed UTF-8, else as GB18030; a file that cannot be read
//      gives an empty text (the file is only ever read, so its charset is
//      the user's to keep);
//   3. buildExpressionLibrary on that text.
std::vector<LibraryEntry> loadExpressionLibrary(const std::filesystem::path& programDirectory);

// The library for a given user file text: lone CRs and lone LFs become
// CR LF (so a file saved with LF line breaks reads the same), comment and
// blank lines are removed with kUserFileCleaningExpression, the rest joins as
//   kUserSectionHeader CR LF <cleaned text> <builtinExpressionListText()>
// and every line of that (split at CR LF by splitText) becomes one entry,
// split at "::": the first piece is the name, the second the expression,
// missing pieces are empty and further pieces are dropped. Every line is an
// entry, empty lines and section headers included.
// With the default user file this gives 54 entries: the header, the 16
// entries of the user file and the 37 lines of the built-in list.
std::vector<LibraryEntry> buildExpressionLibrary(std::u16string_view userFileText);

}  // namespace lcr
