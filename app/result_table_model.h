// The table model of the result list 提取结果: the kept matches of an
// extraction, one block of rows per expression of the chain, cells made when
// shown. A million rows cost the matches' positions, not a million items.
//
// Columns follow the list's design: "序号" and "提取文本" always, then one
// "子文本 (g)" column per capture group; an extraction that starts clears
// every column from the third on, and an expression's rows retitle or add
// the sub-text columns they need (an expression without matches adds none).
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QStringList>
#include <functional>
#include <vector>

#include "operations/extraction.h"

namespace lcr {

class ResultTableModel final : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ResultTableModel)
public:
    // `designTitles`: the list's designed columns ("序号", "提取文本", "子文本").
    explicit ResultTableModel(QStringList designTitles, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Deletes every column from the last down to the third, then every row.
    void clear();
    // Starts the rows of one expression; its rows appear with showRows.
    void beginExpression(ExpressionMatches matches);
    // Titles columns 2..groups+1 "子文本 (g)", appending those that are missing.
    void ensureGroupColumns(int groups);
    // Shows the next `count` rows of the current expression.
    void showRows(int count);

    // The expression a row belongs to (its index) and, in
    // *indexInExpression, the row's number within it from 1; -1 for none.
    int expressionOfRow(int row, int* indexInExpression) const;
    // The row of match k (from 1) of expression `expression`; -1 for none
    // or one not shown yet.
    int rowOf(int expression, int k) const;
    // The colour of capture group g (from 1), shown as a swatch in its
    // column's header; none without a function.
    void setGroupColors(std::function<QColor(int group)> colorOf);
    const ExpressionMatches& expression(int i) const {
        return m_blocks[static_cast<std::size_t>(i)].matches;
    }
    // Whether any cell of `column` is longer, in GBK bytes, than `bytes`
    // (fitColumns' test), without making the cells' texts.
    bool anyCellLongerThan(int column, std::size_t bytes) const;

private:
    struct Block {
        ExpressionMatches matches;
        int firstRow = 0;
        int shownRows = 0;
    };
    QString cellText(const Block& block, int k, int column) const;

    QStringList m_titles;
    std::function<QColor(int group)> m_groupColor;
    std::vector<Block> m_blocks;
    int m_rowCount = 0;
};

}  // namespace lcr
