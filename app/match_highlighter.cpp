#include "app/match_highlighter.h"

#include <QEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QToolTip>
#include <algorithm>

#include "app/qt_text.h"
#include "dialogs/program_text_edit.h"

namespace lcr {

namespace {

// More spans than a screen can hold would only come from a pathological
// screen (a few thousand one-character matches on it); they are cut there.
constexpr std::size_t kMaxShownSpans = 20000;
// A group's text in the tooltip is cut after this many characters.
constexpr int kTooltipTextLength = 60;

QString shortened(std::u16string_view text) {
    QString s = toQString(text.substr(0, kTooltipTextLength));
    s.replace(QStringLiteral("\r\n"), QStringLiteral("⏎"));
    return text.size() > kTooltipTextLength ? s + QStringLiteral("…") : s;
}

// Where a block starts in program positions: each line break before it is
// one character of the document and two (CR LF) of the program's text.
int programStart(const QTextBlock& block) {
    return block.position() + block.blockNumber();
}

}  // namespace

// The matches of one expression, or plain spans.
struct MatchHighlighter::Layer {
    ExpressionMatches matches;        // regex null for plain spans
    std::vector<std::int32_t> plain;  // start, end pairs
    int index = 0;

    std::size_t size() const {
        return matches.regex ? matches.regex->matches().size() : plain.size() / 2;
    }
    int groupCount() const { return matches.regex ? matches.regex->matches().groupCount() : 0; }
    std::int32_t start(std::size_t i, int group = 0) const {
        return matches.regex ? matches.regex->matches().start(i, group) : plain[i * 2];
    }
    std::int32_t end(std::size_t i, int group = 0) const {
        return matches.regex ? matches.regex->matches().end(i, group) : plain[i * 2 + 1];
    }
    // The first match that ends at or after `position`: the matches of one
    // search follow each other, so their ends only grow.
    std::size_t firstEndingFrom(int position) const {
        std::size_t lo = 0;
        std::size_t hi = size();
        while (lo < hi) {
            const std::size_t mid = lo + (hi - lo) / 2;
            if (end(mid) < position) {
                lo = mid + 1;
            } else {
                hi = mid;
            }
        }
        return lo;
    }
};

// Thin marks for the zero-length matches and groups on screen, painted over
// the box's viewport; clicks go through to the box.
class MatchHighlighter::MarkLayer final : public QWidget {
public:
    struct Mark {
        int documentPosition;
        QColor color;
    };
    // A child of the box, not of its viewport, which moves its children
    // when it scrolls; it lies exactly over the viewport.
    explicit MarkLayer(ProgramTextEdit* box) : QWidget(box), m_box(box) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setGeometry(box->viewport()->geometry());
        show();
    }
    void setMarks(std::vector<Mark> marks) {
        if (marks.empty() && m_marks.empty()) {
            return;
        }
        m_marks = std::move(marks);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QTextCursor cursor(m_box->document());
        for (const Mark& mark : m_marks) {
            cursor.setPosition(mark.documentPosition);
            const QRect r = m_box->cursorRect(cursor);
            painter.fillRect(QRect(r.left() - 1, r.top(), 2, r.height()), mark.color);
        }
    }

private:
    ProgramTextEdit* m_box;
    std::vector<Mark> m_marks;
};

MatchHighlighter::MatchHighlighter(ProgramTextEdit* box, QObject* parent)
    : QObject(parent), m_box(box), m_marks(new MarkLayer(box)) {
    box->viewport()->installEventFilter(this);
    connect(box, &ProgramTextEdit::textChanged, this, &MatchHighlighter::textChanged);
    connect(box->verticalScrollBar(), &QScrollBar::valueChanged, this, &MatchHighlighter::refresh);
    connect(box->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            &MatchHighlighter::refresh);
}

MatchHighlighter::~MatchHighlighter() = default;

void MatchHighlighter::setEnabled(bool on) {
    if (m_enabled != on) {
        m_enabled = on;
        refresh();
    }
}

void MatchHighlighter::clear() {
    if (m_layers.empty() && m_shown.empty()) {
        return;
    }
    m_layers.clear();
    refresh();
}

void MatchHighlighter::textChanged() {
    if (m_box && m_box->revision() != m_revision) {
        clear();
    }
}

void MatchHighlighter::addExpression(const ExpressionMatches& matches, quint64 revision) {
    if (!m_box || revision != m_box->revision() || !matches.regex) {
        return;
    }
    if (m_layers.empty()) {
        m_revision = revision;
    }
    Layer layer;
    layer.matches = matches;
    layer.index = static_cast<int>(m_layers.size());
    m_layers.push_back(std::move(layer));
    refresh();
}

void MatchHighlighter::setPlainSpans(std::vector<std::int32_t> startEndPairs, quint64 revision) {
    m_layers.clear();
    if (m_box && revision == m_box->revision()) {
        m_revision = revision;
        Layer layer;
        layer.plain = std::move(startEndPairs);
        m_layers.push_back(std::move(layer));
    }
    refresh();
}

int MatchHighlighter::toProgramPosition(int documentPosition) const {
    const QTextBlock block = m_box->document()->findBlock(documentPosition);
    return block.isValid() ? documentPosition + block.blockNumber() : documentPosition;
}

int MatchHighlighter::toDocumentPosition(int programPosition, bool afterBreak) const {
    const QTextDocument* document = m_box->document();
    // The last block that starts at or before the position.
    int lo = 0;
    int hi = document->blockCount() - 1;
    while (lo < hi) {
        const int mid = lo + (hi - lo + 1) / 2;
        if (programStart(document->findBlockByNumber(mid)) <= programPosition) {
            lo = mid;
        } else {
            hi = mid - 1;
        }
    }
    const QTextBlock block = document->findBlockByNumber(lo);
    const int offset = programPosition - programStart(block);
    const int length = block.length() - 1;  // without the line break
    if (offset <= length) {
        return block.position() + offset;
    }
    // Between the CR and the LF, or past the end of the text.
    return block.position() + length + (afterBreak && block.next().isValid() ? 1 : 0);
}

std::vector<std::pair<int, int>> MatchHighlighter::visibleRanges() const {
    std::vector<std::pair<int, int>> ranges;
    QWidget* viewport = m_box->viewport();
    const int width = viewport->width();
    const int height = viewport->height();
    int y = 0;
    int lastEnd = -1;
    // Line by line: from the left edge to the right edge of each line on
    // screen, so a long line contributes only its visible part.
    while (y < height) {
        // Across the middle of the line at y (its top may be the margin).
        const QRect line = m_box->cursorRect(m_box->cursorForPosition(QPoint(0, y)));
        const int middle = std::max(y, line.center().y());
        const QTextCursor left = m_box->cursorForPosition(QPoint(0, middle));
        const QTextCursor right = m_box->cursorForPosition(QPoint(width, middle));
        const int from = toProgramPosition(left.position());
        const int to = toProgramPosition(right.position());
        if (to <= lastEnd && from <= lastEnd) {
            if (right.atEnd()) {
                break;
            }
        } else if (!ranges.empty() && from <= ranges.back().second + 2) {
            ranges.back().second = std::max(ranges.back().second, to);
        } else {
            ranges.emplace_back(from, to);
        }
        lastEnd = std::max(lastEnd, to);
        y = std::max(y + 1, m_box->cursorRect(left).bottom() + 1);
    }
    // A line's break (CR LF) belongs to it.
    for (auto& range : ranges) {
        range.second += 2;
    }
    return ranges;
}

void MatchHighlighter::refresh() {
    if (!m_box || !m_marks) {
        return;
    }
    m_shown.clear();
    if (m_enabled && !m_layers.empty()) {
        const std::vector<std::pair<int, int>> ranges = visibleRanges();
        for (const Layer& layer : m_layers) {
            std::size_t next = 0;  // matches before this one are taken
            for (const auto& [from, to] : ranges) {
                for (std::size_t i = std::max(next, layer.firstEndingFrom(from));
                     i < layer.size() && layer.start(i) <= to && m_shown.size() < kMaxShownSpans;
                     ++i) {
                    m_shown.push_back({layer.start(i), layer.end(i), layer.index, 0});
                    for (int g = 1; g <= layer.groupCount(); ++g) {
                        if (layer.start(i, g) >= 0) {
                            m_shown.push_back({layer.start(i, g), layer.end(i, g), layer.index, g});
                        }
                    }
                    next = i + 1;
                }
            }
        }
    }

    const MatchColors colors(m_box->palette());
    QList<QTextEdit::ExtraSelection> selections;
    std::vector<MarkLayer::Mark> marks;
    for (const Span& span : m_shown) {
        const int start = toDocumentPosition(span.start, false);
        if (span.start == span.end) {
            marks.push_back({start, span.group == 0 ? colors.emptyMatchMark(span.expression)
                                                    : colors.groupUnderline(span.group)});
            continue;
        }
        QTextEdit::ExtraSelection selection;
        selection.cursor = QTextCursor(m_box->document());
        selection.cursor.setPosition(start);
        selection.cursor.setPosition(toDocumentPosition(span.end, true), QTextCursor::KeepAnchor);
        if (span.group == 0) {
            selection.format.setBackground(colors.matchBackground(span.expression));
        } else {
            selection.format.setBackground(colors.groupBackground(span.group));
            selection.format.setUnderlineStyle(QTextCharFormat::SingleUnderline);
            selection.format.setUnderlineColor(colors.groupUnderline(span.group));
        }
        selections.append(selection);
    }
    m_box->setExtraSelections(selections);
    m_marks->setMarks(std::move(marks));
}

void MatchHighlighter::selectMatch(int expression, int match) {
    if (!m_box || expression < 0 || expression >= static_cast<int>(m_layers.size()) || match < 1 ||
        static_cast<std::size_t>(match) > m_layers[expression].size()) {
        return;
    }
    const Layer& layer = m_layers[static_cast<std::size_t>(expression)];
    const auto i = static_cast<std::size_t>(match - 1);
    // The caret at the start, so that is what scrolls into view.
    QTextCursor cursor(m_box->document());
    cursor.setPosition(toDocumentPosition(layer.end(i), true));
    cursor.setPosition(toDocumentPosition(layer.start(i), false), QTextCursor::KeepAnchor);
    m_box->setTextCursor(cursor);
    m_box->ensureCursorVisible();
}

MatchHighlighter::Hit MatchHighlighter::matchAt(int programPosition) const {
    for (const Layer& layer : m_layers) {
        const std::size_t i = layer.firstEndingFrom(programPosition);
        if (i < layer.size() && layer.start(i) <= programPosition) {
            return {layer.index, static_cast<int>(i) + 1};
        }
    }
    return {};
}

QString MatchHighlighter::describe(Hit hit) const {
    if (hit.expression < 0 || hit.expression >= static_cast<int>(m_layers.size())) {
        return {};
    }
    const Layer& layer = m_layers[static_cast<std::size_t>(hit.expression)];
    const auto i = static_cast<std::size_t>(hit.match - 1);
    const int start = layer.start(i);
    const QTextBlock block = m_box->document()->findBlock(toDocumentPosition(start, false));
    // The column counts characters: a surrogate pair is one.
    const QString line = block.text().left(start - programStart(block));
    int column = 1;
    for (QChar c : line) {
        column += c.isLowSurrogate() ? 0 : 1;
    }
    QString text;
    if (layer.matches.regex) {
        text = QStringLiteral("第 %1 个匹配（第 %2 个表达式：%3）")
                   .arg(hit.match)
                   .arg(layer.matches.pieceIndex + 1)
                   .arg(shortened(layer.matches.expression));
    } else {
        text = QStringLiteral("第 %1 处替换").arg(hit.match);
    }
    text += QStringLiteral("\n第 %1 行，第 %2 列").arg(block.blockNumber() + 1).arg(column);
    if (layer.matches.regex) {
        text += QStringLiteral("\n提取文本：%1").arg(shortened(layer.matches.matchText(hit.match)));
        for (int g = 1; g <= layer.groupCount(); ++g) {
            text +=
                QStringLiteral("\n子文本 (%1)：%2")
                    .arg(g)
                    .arg(layer.start(i, g) < 0 ? QStringLiteral("（未参与匹配）")
                                               : shortened(layer.matches.groupText(hit.match, g)));
        }
    }
    return text;
}

bool MatchHighlighter::eventFilter(QObject* watched, QEvent* event) {
    if (!m_box || watched != m_box->viewport()) {
        return false;
    }
    switch (event->type()) {
        case QEvent::Resize:
            if (m_marks) {
                m_marks->setGeometry(m_box->viewport()->geometry());
            }
            refresh();
            break;
        case QEvent::ToolTip: {
            auto* help = static_cast<QHelpEvent*>(event);
            const Hit hit =
                m_enabled
                    ? matchAt(toProgramPosition(m_box->cursorForPosition(help->pos()).position()))
                    : Hit{};
            if (hit.expression >= 0) {
                QToolTip::showText(help->globalPos(), describe(hit), m_box->viewport());
                return true;
            }
            break;
        }
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (m_enabled && mouse->button() == Qt::LeftButton &&
                !m_box->textCursor().hasSelection()) {
                const Hit hit = matchAt(toProgramPosition(
                    m_box->cursorForPosition(mouse->position().toPoint()).position()));
                if (hit.expression >= 0) {
                    emit matchClicked(hit.expression, hit.match);
                }
            }
            break;
        }
        default:
            break;
    }
    return false;
}

}  // namespace lcr
