// The files of a batch run: a folder's files through the filter box
// (编辑框过滤), or files the user chose one by one.
//
//   FileList list = ListFilesByPattern(folder, u"*.txt|*.htm");      // a plain click
//   FileList list = ListFilesByExpression(folder, u"*.txt|*.htm");   // with Ctrl held
//
// Both listings take only the folder's own files (no sub-folders, no
// recursion; hidden files too, fswrap/folder_files.h says what counts as a
// file) in the order the file system gives them, and let pending window
// events run after each entry (yieldToUi). A folder that does not exist or
// cannot be read, and an empty folder path, give an empty list.
//
// A listed file's text is the folder as text, a "/" unless the folder ends
// with one already (as the root "/" does), and the name as text.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace lcr {

// One file of a list: the path to open it by, and the same path as text for
// the user. The two differ only when a name's bytes are not UTF-8.
struct ListedFile {
    std::filesystem::path path;
    std::u16string text;

    bool operator==(const ListedFile&) const = default;
};

// An ordered list of files, in the order they were found; duplicates stay.
using FileList = std::vector<ListedFile>;

// A file given by its path (a chosen file, a command-line argument), with
// its text as fswrap's pathToText gives it.
ListedFile listedFileOf(const std::filesystem::path& path);

// Puts the files in the order of their names (as text, character by
// character), files of the same name by their folders, so that a run takes
// them in an order the user can follow.
void sortByName(FileList& files);

// Whether `name` matches the file-name wildcard `pattern`: "*" stands for any
// run of characters, "?" for any one character, ASCII letters compare
// without regard to case. A pattern that ends in ".*" also matches a name
// that ends where that dot would stand, so "*.*" matches every name, also
// one without a dot, and "a.*" matches "a". An empty pattern matches nothing.
bool matchesWildcard(std::u16string_view name, std::u16string_view pattern);

// The listing of a plain click. The filter is split at "|" into wildcard
// patterns (an empty filter is "*.*"; an empty piece between two "|" matches
// nothing, a trailing "|" is dropped); the files matching the first pattern
// come first, then those matching the second, and so on, so a file matching
// two patterns is listed twice.
FileList ListFilesByPattern(const std::filesystem::path& folder, std::u16string_view filter);

// The listing with Ctrl held. The filter (empty: "*") is one rule, not split:
//   "*.*" or "*"                       every file;
//   "*." then no other "*" (as *.TXT)  the name ends with the filter without
//                                      its "*", ASCII letter case ignored,
//                                      "?" taken literally;
//   anything else                      an expression made by
//                                      VbsRegexObject::wildcardToPattern, case
//                                      ignored, found anywhere in the name: "a*"
//                                      finds every name holding an "a", and a
//                                      "|" separates alternatives. An
//                                      expression that does not compile
//                                      matches nothing.
FileList ListFilesByExpression(const std::filesystem::path& folder, std::u16string_view filter);

// The file chooser's filter list: pairs of a display name and its patterns,
// all joined by "|", the patterns of a pair joined by ";".
inline constexpr std::u16string_view kChooseFilesFilter =
    u"文本文件|*.txt;*.ini|静态网页文件|*.htm;*.html|动态网页文件|*.asp;*.php;*.jsp|全部文件|*.*";

// The folder chooser's title when none is given.
inline constexpr std::u16string_view kDefaultFolderChooserTitle = u"请选择一个文件夹";

struct ChooserFilter {
    std::u16string name;
    std::vector<std::u16string> patterns;

    bool operator==(const ChooserFilter&) const = default;
};

// A chooser filter list as its pairs, for the desktop's file dialog:
// "文本文件|*.txt;*.ini|全部文件|*.*" gives {"文本文件", {"*.txt", "*.ini"}},
// {"全部文件", {"*.*"}}. A name without patterns at the end is dropped.
std::vector<ChooserFilter> splitChooserFilter(std::u16string_view list);

}  // namespace lcr
