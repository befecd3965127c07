// The copy format: the template that lays out one row of the extraction's
// result table as a line of text, for the copy of the table and for the
// lines of a batch extraction.
//
// Tokens of the format, replaced by the cells of a row:
//   "##" or "#-1"   the row number (column "序号")
//   "#0"            the match text (column "提取文本")
//   "#1", "#2", ... the text of capture group 1, 2, ... (columns "子文本 (g)")
// Every other character is copied unchanged, line breaks included. A group
// token beyond the row's groups stays in the line as it is ("#3" on a row
// with two groups gives "#3").
//
// Digits after "#" are read as the highest group number the row has: with
// twelve groups "#12" is group 12, with three groups "#12" is group 1
// followed by "2". "###" is the row number followed by "#".
//
// Cell texts are inserted as they are: a match text that itself contains
// "#0" or "#-1" appears in the line unchanged, never read as a token.
//
//   formatResultRow({2, u"k=v", groups}, u"##. #0 (#1)")  ->  u"2. k=v (v)"
//
// For many rows, prepare the format once with CopyFormat and append rows
// into one buffer; copyResultRows does that for a whole table.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lcr {

// One row of the result table as plain data. The views must stay valid
// while the row is being laid out.
struct ResultRow {
    std::size_t number = 0;                           // the row number, from 1
    std::u16string_view matchText;                    // the whole match
    std::span<const std::u16string_view> groupTexts;  // group 1 first; empty for a group
                                                      // that took no part
};

// A format text read once into its literal runs and tokens.
class CopyFormat {
public:
    explicit CopyFormat(std::u16string_view format);

    // Appends the row laid out by the format to `out`.
    void appendRow(const ResultRow& row, std::u16string& out) const;
    std::u16string formatRow(const ResultRow& row) const;

private:
    enum class PieceKind { Literal, RowNumber, MatchText, Digits };
    struct Piece {
        PieceKind kind;
        std::size_t begin = 0;  // Literal: the run in m_format; Digits: the digit run
        std::size_t length = 0;
    };
    void appendDigits(const Piece& piece, const ResultRow& row, std::u16string& out) const;

    std::u16string m_format;
    std::vector<Piece> m_pieces;
};

// One row laid out by `format`.
std::u16string formatResultRow(const ResultRow& row, std::u16string_view format);

// The copy of a whole table: the lines of rows 0 .. rowCount - 1, in order,
// separated by CR LF. A separator is written only once the text so far is
// not empty, so leading rows whose lines are empty leave no empty lines at
// the start (an empty format, or no rows, gives an empty text). `rowAt` is
// called once per row, in order; the row it returns needs to stay valid
// only until the next call.
std::u16string copyResultRows(std::u16string_view format, std::size_t rowCount,
                              const std::function<ResultRow(std::size_t index)>& rowAt);

}  // namespace lcr
