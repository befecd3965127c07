#include "app/result_table_model.h"

#include <QIcon>
#include <QPixmap>

#include "app/qt_text.h"

#include <algorithm>
#include <string>

#include "text/program_text.h"

namespace lcr {

namespace {

QString groupTitle(int g) {
    return QStringLiteral("子文本 (%1)").arg(g);
}

// The number of decimal digits of k, which is also its GBK byte length.
std::size_t decimalLength(int k) {
    return std::to_string(k).size();
}

}  // namespace

ResultTableModel::ResultTableModel(QStringList designTitles, QObject* parent)
    : QAbstractTableModel(parent), m_titles(std::move(designTitles)) {}

int ResultTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rowCount;
}

int ResultTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_titles.size());
}

int ResultTableModel::expressionOfRow(int row, int* indexInExpression) const {
    // Blocks are few (one per expression of the chain) and ordered by row.
    auto it = std::upper_bound(m_blocks.begin(), m_blocks.end(), row,
                               [](int r, const Block& b) { return r < b.firstRow; });
    if (it == m_blocks.begin()) {
        return -1;
    }
    --it;
    if (indexInExpression) {
        *indexInExpression = row - it->firstRow + 1;
    }
    return static_cast<int>(it - m_blocks.begin());
}

QString ResultTableModel::cellText(const Block& block, int k, int column) const {
    if (column == 0) {
        return QString::number(k);
    }
    if (column - 1 > block.matches.groupCount()) {
        return {};
    }
    return toQString(block.matches.groupText(k, column - 1));
}

QVariant ResultTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) {
        return {};
    }
    int k = 0;
    const int b = expressionOfRow(index.row(), &k);
    if (b < 0) {
        return {};
    }
    return cellText(m_blocks[static_cast<std::size_t>(b)], k, index.column());
}

QVariant ResultTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_titles.size()) {
        return {};
    }
    if (role == Qt::DecorationRole && section >= 2 && m_groupColor) {
        QPixmap swatch(10, 10);
        swatch.fill(m_groupColor(section - 1));
        return QIcon(swatch);
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    return m_titles[section];
}

int ResultTableModel::rowOf(int expression, int k) const {
    if (expression < 0 || expression >= static_cast<int>(m_blocks.size())) {
        return -1;
    }
    const Block& block = m_blocks[static_cast<std::size_t>(expression)];
    return k >= 1 && k <= block.shownRows ? block.firstRow + k - 1 : -1;
}

void ResultTableModel::setGroupColors(std::function<QColor(int group)> colorOf) {
    m_groupColor = std::move(colorOf);
    if (m_titles.size() > 2) {
        emit headerDataChanged(Qt::Horizontal, 2, static_cast<int>(m_titles.size()) - 1);
    }
}

void ResultTableModel::clear() {
    // One reset, not a removal of every row: the view then drops a million
    // rows at once.
    beginResetModel();
    m_titles = m_titles.mid(0, 2);
    m_blocks.clear();
    m_rowCount = 0;
    endResetModel();
}

void ResultTableModel::beginExpression(ExpressionMatches matches) {
    m_blocks.push_back({std::move(matches), m_rowCount, 0});
}

void ResultTableModel::ensureGroupColumns(int groups) {
    for (int g = 1; g <= groups; ++g) {
        const int column = g + 1;
        if (column < m_titles.size()) {
            if (m_titles[column] != groupTitle(g)) {
                m_titles[column] = groupTitle(g);
                emit headerDataChanged(Qt::Horizontal, column, column);
            }
        } else {
            beginInsertColumns({}, column, column);
            m_titles.append(groupTitle(g));
            endInsertColumns();
        }
    }
}

void ResultTableModel::showRows(int count) {
    if (count <= 0 || m_blocks.empty()) {
        return;
    }
    Block& block = m_blocks.back();
    count = std::min(count, block.matches.matchCount() - block.shownRows);
    if (count <= 0) {
        return;
    }
    beginInsertRows({}, m_rowCount, m_rowCount + count - 1);
    block.shownRows += count;
    m_rowCount += count;
    endInsertRows();
}

bool ResultTableModel::anyCellLongerThan(int column, std::size_t bytes) const {
    for (const Block& block : m_blocks) {
        if (block.shownRows == 0) {
            continue;
        }
        if (column == 0) {
            if (decimalLength(block.shownRows) > bytes) {
                return true;
            }
            continue;
        }
        if (column - 1 > block.matches.groupCount()) {
            continue;
        }
        for (int k = 1; k <= block.shownRows; ++k) {
            const std::u16string_view cell = block.matches.groupText(k, column - 1);
            // A cell of more code units than bytes is longer whatever it holds.
            if (cell.size() > bytes || (cell.size() * 2 > bytes && gbkByteLength(cell) > bytes)) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace lcr
