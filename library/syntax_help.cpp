#include "library/syntax_help.h"

#include "library/builtin_texts.h"
#include "text/program_text.h"

namespace lcr {

std::vector<SyntaxRow> parseSyntaxTable(std::u16string_view table) {
    std::vector<SyntaxRow> rows;
    for (const std::u16string& line : splitText(table, u"\r\n")) {
        auto [token, description] = splitFirstTwo(line, u"::");
        rows.push_back({std::move(token), std::move(description)});
    }
    return rows;
}

std::vector<SyntaxRow> syntaxTableRows() {
    return parseSyntaxTable(syntaxTableText());
}

bool hasMetacharacterButton(std::u16string_view token) {
    // A CR LF pair counts as one two-byte character.
    return !token.empty() && token.front() < 0x80 && !token.starts_with(u"\r\n");
}

std::vector<MetacharacterButton> layoutMetacharacterButtons(const std::vector<SyntaxRow>& rows,
                                                            int firstLeft) {
    std::vector<MetacharacterButton> buttons;
    int left = firstLeft;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!hasMetacharacterButton(rows[i].token)) {
            continue;
        }
        const int width =
            kMetacharacterPixelsPerByte * static_cast<int>(gbkByteLength(rows[i].token));
        buttons.push_back({i, left, width});
        left += width;
    }
    return buttons;
}

std::u16string metacharacterInsertText(std::u16string_view caption) {
    return trimSpaces(caption);
}

std::u16string syntaxRowCopyText(const std::vector<SyntaxRow>& rows, int currentRow) {
    if (currentRow < 0 || static_cast<std::size_t>(currentRow) >= rows.size()) {
        return {};
    }
    return rows[static_cast<std::size_t>(currentRow)].token;
}

}  // namespace lcr
