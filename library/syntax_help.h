// The syntax help: the table of expression syntax on the " 语法帮助 " page
// (the list "语法") and the row of metacharacter buttons above the tab
// control that insert a construct into the expression box worked in last.
//
// Both come from one built-in table (builtin_texts.h, syntaxTableText()) of
// 63 "token::description" lines. The GUI fills the list with
// syntaxTableRows() and places one copy of the template button "超级按钮"
// per entry of layoutMetacharacterButtons():
//
//   const std::vector<SyntaxRow> rows = syntaxTableRows();
//   for (const SyntaxRow& row : rows) addListRow(row.token, row.description);
//   for (const MetacharacterButton& b : layoutMetacharacterButtons(rows)) {
//       addButton(b.left, kMetacharacterButtonTop, b.width, kMetacharacterButtonHeight,
//                 /*caption=*/rows[b.row].token, /*tooltip=*/rows[b.row].description);
//   }
//
// A click on a button quick-inserts metacharacterInsertText(caption); a right
// click on the list copies syntaxRowCopyText(rows, currentRow).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lcr {

// One line of the syntax table. Tokens are shown as they stand, including
// the spaces around the one-character tokens such as " ^ ".
struct SyntaxRow {
    std::u16string token;
    std::u16string description;

    friend bool operator==(const SyntaxRow&, const SyntaxRow&) = default;
};

// The column titles of the list "语法".
inline constexpr std::u16string_view kSyntaxTokenColumnTitle = u"表达式";
inline constexpr std::u16string_view kSyntaxDescriptionColumnTitle =
    u"注释（右键单击可以复制表达式）";

// The template button "超级按钮" (never shown) and its copies: every copy
// keeps the template's top and height.
inline constexpr int kMetacharacterButtonTemplateLeft = 0;
inline constexpr int kMetacharacterButtonTemplateWidth = 64;
inline constexpr int kMetacharacterButtonTop = 91;
inline constexpr int kMetacharacterButtonHeight = 16;
// A button is this many pixels wide per GBK byte of its token.
inline constexpr int kMetacharacterPixelsPerByte = 7;

// The rows of `table`: split at CR LF, then each line at "::" (splitText);
// the first piece is the token, the second the description, missing pieces
// are empty and further pieces are dropped.
std::vector<SyntaxRow> parseSyntaxTable(std::u16string_view table);

// parseSyntaxTable(syntaxTableText()): the 63 built-in rows.
std::vector<SyntaxRow> syntaxTableRows();

// One metacharacter button: the row it stands for (its token is the
// caption, its description the tooltip) and its horizontal place.
struct MetacharacterButton {
    std::size_t row = 0;
    int left = 0;
    int width = 0;

    friend bool operator==(const MetacharacterButton&, const MetacharacterButton&) = default;
};

// Whether a row gets a button: its token's first character is a single-byte
// (ASCII) character. Tokens that start with a Chinese character (the option
// names), with a CR LF pair (two bytes, taken as one character) or that are
// empty get none.
bool hasMetacharacterButton(std::u16string_view token);

// The buttons of `rows`, in row order, laid edge to edge from `firstLeft`:
// each is kMetacharacterPixelsPerByte times the GBK byte length of its token
// wide (gbkByteLength) and the next starts where it ends. The built-in table
// gives 56 buttons, from "<#lc#>" at 0 (width 42) to "(?(name)yes)" at 1932
// (width 84): a row 2016 pixels wide.
std::vector<MetacharacterButton> layoutMetacharacterButtons(
    const std::vector<SyntaxRow>& rows, int firstLeft = kMetacharacterButtonTemplateLeft);

// What a click on a button with this caption inserts: the caption without
// its leading and trailing half-width and full-width spaces (" \ " inserts
// a single backslash); tabs stay.
std::u16string metacharacterInsertText(std::u16string_view caption);

// What a right click on the list copies: the token of row `currentRow`
// (counting from 0) as it stands, spaces included; empty text when there is
// no current row (negative) or the index is past the last row.
std::u16string syntaxRowCopyText(const std::vector<SyntaxRow>& rows, int currentRow);

}  // namespace lcr
