#include "batch/file_discovery.h"

#include <algorithm>

#include "fswrap/folder_files.h"
#include "operations/yield_to_ui.h"
#include "regex/vbs_regex_object.h"
#include "text/program_text.h"

namespace lcr {

namespace {

char16_t foldAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}

std::u16string lowerAscii(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out) {
        c = foldAscii(c);
    }
    return out;
}

// "*" and "?" over the whole name. A "*" that led to a dead end is retried
// one character further on; only the last "*" needs retrying, since an
// earlier one can never do better than the later one does.
bool globMatches(std::u16string_view name, std::u16string_view pattern) {
    constexpr std::size_t kNone = std::u16string_view::npos;
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starAt = kNone;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starAt = p++;
            starName = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == u'?' || foldAscii(pattern[p]) == foldAscii(name[n]))) {
            ++p;
            ++n;
        } else if (starAt != kNone) {
            p = starAt + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') {
        ++p;
    }
    return p == pattern.size();
}

// The folder as text, ending in "/".
std::u16string folderPrefix(const std::filesystem::path& folder) {
    std::u16string text = pathToText(folder);
    if (!text.ends_with(u'/')) {
        text += u'/';
    }
    return text;
}

ListedFile listedFileIn(const std::filesystem::path& folder, std::u16string_view prefix,
                        const FolderFile& file) {
    // "/" joins only where the folder has no separator at its end.
    return ListedFile{folder / file.name, std::u16string(prefix) + file.nameText};
}

}  // namespace

ListedFile listedFileOf(const std::filesystem::path& path) {
    return ListedFile{path, pathToText(path)};
}

bool matchesWildcard(std::u16string_view name, std::u16string_view pattern) {
    if (pattern.empty()) {
        return false;
    }
    if (globMatches(name, pattern)) {
        return true;
    }
    // As on the platform the filters come from, a final ".*" may also stand
    // for no extension at all.
    return pattern.ends_with(u".*") && pattern.size() > 2 &&
           globMatches(name, pattern.substr(0, pattern.size() - 2));
}

FileList ListFilesByPattern(const std::filesystem::path& folder, std::u16string_view filter) {
    FileList list;
    if (folder.empty()) {
        return list;
    }
    std::vector<FolderFile> files;
    forEachFile(folder, [&files](const FolderFile& file) {
        files.push_back(file);
        yieldToUi();
    });
    const std::u16string prefix = folderPrefix(folder);
    for (const std::u16string& pattern : splitText(filter.empty() ? u"*.*" : filter, u"|")) {
        for (const FolderFile& file : files) {
            if (matchesWildcard(file.nameText, pattern)) {
                list.push_back(listedFileIn(folder, prefix, file));
                yieldToUi();
            }
        }
    }
    return list;
}

FileList ListFilesByExpression(const std::filesystem::path& folder, std::u16string_view filter) {
    FileList list;
    if (folder.empty()) {
        return list;
    }
    const std::u16string_view rule = filter.empty() ? u"*" : filter;
    const bool everyFile = rule == u"*.*" || rule == u"*";
    const bool extensionTest =
        !everyFile && rule.starts_with(u"*.") && rule.find(u'*', 1) == std::u16string_view::npos;
    const std::u16string extension = extensionTest ? lowerAscii(rule.substr(1)) : std::u16string();
    VbsRegexObject expression;
    if (!everyFile && !extensionTest) {
        expression.create(VbsRegexObject::wildcardToPattern(rule));
    }
    const std::u16string prefix = folderPrefix(folder);
    forEachFile(folder, [&](const FolderFile& file) {
        bool matches = everyFile;
        if (extensionTest) {
            matches = lowerAscii(file.nameText).ends_with(extension);
        } else if (!everyFile) {
            matches = expression.execute(file.nameText) > 0;
        }
        if (matches) {
            list.push_back(listedFileIn(folder, prefix, file));
        }
        yieldToUi();
    });
    return list;
}

std::vector<ChooserFilter> splitChooserFilter(std::u16string_view list) {
    const std::vector<std::u16string> pieces = splitText(list, u"|");
    std::vector<ChooserFilter> filters;
    for (std::size_t i = 0; i + 1 < pieces.size(); i += 2) {
        filters.push_back(ChooserFilter{pieces[i], splitText(pieces[i + 1], u";")});
    }
    return filters;
}

void sortByName(FileList& files) {
    auto nameOf = [](const ListedFile& file) {
        const std::size_t slash = file.text.rfind(u'/');
        return std::u16string_view(file.text).substr(slash == std::u16string::npos ? 0 : slash + 1);
    };
    std::stable_sort(files.begin(), files.end(), [&](const ListedFile& a, const ListedFile& b) {
        const auto nameA = nameOf(a);
        const auto nameB = nameOf(b);
        return nameA != nameB ? nameA < nameB : a.text < b.text;
    });
}

}  // namespace lcr
