#include "operations/copy_format.h"

#include <charconv>

namespace lcr {

namespace {

bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

void appendNumber(std::size_t number, std::u16string& out) {
    char digits[24];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, number);
    (void)ec;  // 24 characters hold every std::size_t
    out.append(digits, end);
}

}  // namespace

CopyFormat::CopyFormat(std::u16string_view format) : m_format(format) {
    // The format is read once, left to right. Each "#" either starts a token
    // or is a literal character; the group tokens ("#" and a digit run not
    // starting with 0) are resolved per row, because which prefix of the
    // digits names a group depends on how many groups the row has.
    const std::size_t size = m_format.size();
    std::size_t literalBegin = 0;
    auto flushLiteral = [&](std::size_t end) {
        if (end > literalBegin) {
            m_pieces.push_back({PieceKind::Literal, literalBegin, end - literalBegin});
        }
    };
    std::size_t i = 0;
    while (i < size) {
        if (m_format[i] != u'#' || i + 1 == size) {
            ++i;
            continue;
        }
        const char16_t next = m_format[i + 1];
        if (next == u'#') {
            flushLiteral(i);
            m_pieces.push_back({PieceKind::RowNumber});
            i += 2;
        } else if (next == u'-' && i + 2 < size && m_format[i + 2] == u'1') {
            flushLiteral(i);
            m_pieces.push_back({PieceKind::RowNumber});
            i += 3;
        } else if (next == u'0') {
            flushLiteral(i);
            m_pieces.push_back({PieceKind::MatchText});
            i += 2;
        } else if (isDigit(next)) {
            flushLiteral(i);
            std::size_t end = i + 1;
            while (end < size && isDigit(m_format[end])) {
                ++end;
            }
            m_pieces.push_back({PieceKind::Digits, i + 1, end - (i + 1)});
            i = end;
        } else {
            ++i;
            continue;
        }
        literalBegin = i;
    }
    flushLiteral(size);
}

void CopyFormat::appendDigits(const Piece& piece, const ResultRow& row, std::u16string& out) const {
    // The longest prefix of the digits that names one of the row's groups:
    // a longer prefix is always a higher number, so this is the highest
    // group whose token stands here.
    const std::size_t groupCount = row.groupTexts.size();
    std::size_t value = 0;
    std::size_t group = 0;
    std::size_t used = 0;
    for (std::size_t k = 0; k < piece.length; ++k) {
        value = value * 10 + static_cast<std::size_t>(m_format[piece.begin + k] - u'0');
        if (value > groupCount) {
            break;
        }
        group = value;
        used = k + 1;
    }
    if (group == 0) {
        out += u'#';
    } else {
        out += row.groupTexts[group - 1];
    }
    out.append(m_format, piece.begin + used, piece.length - used);
}

void CopyFormat::appendRow(const ResultRow& row, std::u16string& out) const {
    for (const Piece& piece : m_pieces) {
        switch (piece.kind) {
            case PieceKind::Literal:
                out.append(m_format, piece.begin, piece.length);
                break;
            case PieceKind::RowNumber:
                appendNumber(row.number, out);
                break;
            case PieceKind::MatchText:
                out += row.matchText;
                break;
            case PieceKind::Digits:
                appendDigits(piece, row, out);
                break;
        }
    }
}

std::u16string CopyFormat::formatRow(const ResultRow& row) const {
    std::u16string line;
    appendRow(row, line);
    return line;
}

std::u16string formatResultRow(const ResultRow& row, std::u16string_view format) {
    return CopyFormat(format).formatRow(row);
}

std::u16string copyResultRows(std::u16string_view format, std::size_t rowCount,
                              const std::function<ResultRow(std::size_t index)>& rowAt) {
    const CopyFormat prepared(format);
    std::u16string text;
    for (std::size_t index = 0; index < rowCount; ++index) {
        if (!text.empty()) {
            text += u"\r\n";
        }
        prepared.appendRow(rowAt(index), text);
    }
    return text;
}

}  // namespace lcr
