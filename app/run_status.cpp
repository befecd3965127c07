#include "app/run_status.h"

#include <QLabel>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <algorithm>

#include "app/main_window.h"
#include "app/palette_colors.h"
#include "app/plain_tooltip.h"
#include "app/qt_text.h"
#include "dialogs/program_text_edit.h"
#include "operations/expression_chain.h"

namespace lcr {

namespace {

// The box's error mark is one extra selection among others (the group under
// the caret has its own): only the mark is replaced.
constexpr auto kErrorMarkTag = "expression-error";

void setErrorMark(QPlainTextEdit& box, const QTextEdit::ExtraSelection* mark) {
    QList<QTextEdit::ExtraSelection> selections = box.extraSelections();
    selections.erase(std::remove_if(selections.begin(), selections.end(),
                                    [](const QTextEdit::ExtraSelection& s) {
                                        return s.format.property(QTextFormat::UserProperty) ==
                                               QString::fromLatin1(kErrorMarkTag);
                                    }),
                     selections.end());
    if (mark) {
        selections.append(*mark);
    }
    box.setExtraSelections(selections);
}

const QColor kHeadingRed(0xFF, 0, 0);
const QColor kStatusRed(0xB0, 0, 0);

// The document position of program-text position `pos`: the box holds each
// CR LF as one line break.
int documentPosition(const QString& programText, std::size_t pos) {
    const int end = static_cast<int>(std::min<std::size_t>(pos, programText.size()));
    int breaks = 0;
    for (int i = 0; i + 1 < end; ++i) {
        if (programText[i] == u'\r' && programText[i + 1] == u'\n') {
            ++breaks;
        }
    }
    return end - breaks;
}

// The box's tooltip: the message, if any, over the box's own hint (the
// dynamic property "baseToolTip").
void showToolTip(ProgramTextEdit& box, const QString& message) {
    const QString hint = box.property("baseToolTip").toString();
    box.setToolTip(plainToolTip(message.isEmpty() || hint.isEmpty()
                                    ? message + hint
                                    : message + QStringLiteral("\n\n") + hint));
}

}  // namespace

std::size_t pieceStart(std::u16string_view chain, std::size_t pieceIndex) {
    std::size_t start = 0;
    const std::vector<std::u16string> pieces = splitChain(chain);
    for (std::size_t i = 0; i < pieceIndex && i < pieces.size(); ++i) {
        start += pieces[i].size() + kChainSeparator.size();
    }
    return start;
}

RunStatus::RunStatus(MainWindow& window, QLabel& statusLine, QTabWidget& tabs)
    : QObject(&window), m_window(window), m_statusLine(statusLine), m_tabs(tabs) {
    auto parts = [&window](const char* box, const char* expressionHeading,
                           const char* resultHeading) {
        PageParts p;
        p.expressionBox = window.editBox(box);
        p.expressionHeading = window.control<QLabel>(QString::fromUtf8(expressionHeading));
        p.expressionCaption = p.expressionHeading->text();
        p.resultHeading = window.control<QLabel>(QString::fromUtf8(resultHeading));
        p.resultCaption = p.resultHeading->text();
        return p;
    };
    m_pages[Extract] = parts("编辑框提取表达式", "标签1", "标签3");
    m_pages[Replace] = parts("编辑框匹配表达式", "标签6", "标签7");
    for (Page page : {Extract, Replace}) {
        // An edit of the expression takes away what the error was about; a
        // run the edit starts (自动执行) shows its own result after this.
        connect(m_pages[page].expressionBox, &ProgramTextEdit::textChanged, this, [this, page] {
            const PageParts& p = m_pages[page];
            if (p.broken && p.expressionBox->revision() != p.brokenRevision) {
                clear(page);
            }
        });
    }
    connect(&m_tabs, &QTabWidget::currentChanged, this, [this] { showCurrentPageMessage(); });
}

void RunStatus::setHeading(QLabel* heading, const QString& text, bool warning) {
    heading->setStyleSheet(warning ? warningTextStyle(m_window.palette(), kHeadingRed) : QString());
    heading->setText(text);
}

void RunStatus::showExtractionCount(int total, int groups, bool broken) {
    const PageParts& p = m_pages[Extract];
    if (total > 0) {
        QString text = QStringLiteral("%1 - 提取数量:%2,子文本数量:%3")
                           .arg(p.resultCaption.trimmed())
                           .arg(total)
                           .arg(groups);
        if (broken) {
            text += QStringLiteral(" - 表达式有误");
        }
        setHeading(p.resultHeading, text, broken);
    } else if (broken) {
        setHeading(p.resultHeading, p.resultCaption.trimmed() + QStringLiteral(" - 表达式有误"),
                   true);
    } else {
        setHeading(p.resultHeading,
                   p.resultCaption.trimmed() + QStringLiteral(" - 完全没有匹配项目"), true);
    }
}

void RunStatus::showOutcome(Page page, const Outcome& outcome) {
    PageParts& p = m_pages[page];
    setErrorMark(*p.expressionBox, nullptr);
    p.broken = outcome.error.has_value();
    p.message.clear();
    if (outcome.error) {
        const CompileError& e = *outcome.error;
        p.brokenRevision = p.expressionBox->revision();
        p.message = QStringLiteral("第 %1 个表达式有误（第 %2 个字符处）：%3")
                        .arg(outcome.errorPiece + 1)
                        .arg(e.offset + 1)
                        .arg(toQString(e.message));
        // The piece is named when the chain has more than one.
        const bool chain = splitChain(toU16(p.expressionBox->programText())).size() > 1;
        const QString piece =
            chain ? QStringLiteral("第 %1 个表达式").arg(outcome.errorPiece + 1) : QString();
        setHeading(p.expressionHeading,
                   QStringLiteral("%1 - %2第 %3 个字符处有误：%4")
                       .arg(p.expressionCaption, piece, QString::number(e.offset + 1),
                            toQString(e.message)),
                   true);
        markError(p, e, outcome.errorPiece);
        if (page == Replace) {
            setHeading(p.resultHeading, p.resultCaption + QStringLiteral(" - 表达式有误"), true);
        }
    } else {
        setHeading(p.expressionHeading, p.expressionCaption, false);
        if (page == Replace) {
            setHeading(p.resultHeading, p.resultCaption, false);
        }
    }
    if (outcome.incomplete && p.message.isEmpty()) {
        if (!outcome.timeKnown) {
            p.message = QStringLiteral(
                "结果不完整：替换达到了引擎的回溯限制或时间限制，未能处理之处保持原样。请简化"
                "表达式（例如避免嵌套的重复）。");
        } else if (outcome.timedOut) {
            p.message = QStringLiteral(
                "结果不完整：搜索用完了时间限制，只列出了此前找到的匹配。请简化表达式或缩短文本。");
        } else {
            p.message = QStringLiteral(
                "结果不完整：搜索超出了引擎的回溯限制，只列出了此前找到的匹配。请简化表达式（例如"
                "避免嵌套的重复）。");
        }
    }
    showToolTip(*p.expressionBox, p.message);
    showCurrentPageMessage();
}

void RunStatus::markError(PageParts& p, const CompileError& error, std::size_t pieceIndex) {
    const QString chain = p.expressionBox->programText();
    const std::u16string chain16 = toU16(chain);
    const std::size_t start = pieceStart(chain16, pieceIndex);
    std::size_t pos = start + error.offset;
    // An error at the piece's end (a missing ")") marks its last character.
    const std::vector<std::u16string> pieces = splitChain(chain16);
    const std::size_t pieceEnd =
        start + (pieceIndex < pieces.size() ? pieces[pieceIndex].size() : 0);
    if (pos >= pieceEnd && pieceEnd > start) {
        pos = pieceEnd - 1;
    }
    QTextEdit::ExtraSelection mark;
    mark.cursor = QTextCursor(p.expressionBox->document());
    const int at = documentPosition(chain, pos);
    mark.cursor.setPosition(at);
    mark.cursor.setPosition(std::min(at + 1, p.expressionBox->document()->characterCount() - 1),
                            QTextCursor::KeepAnchor);
    mark.format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    mark.format.setUnderlineColor(kHeadingRed);
    mark.format.setBackground(QColor(0xFF, 0, 0, 0x50));
    mark.format.setProperty(QTextFormat::UserProperty, QString::fromLatin1(kErrorMarkTag));
    setErrorMark(*p.expressionBox, &mark);
}

void RunStatus::clear(Page page) {
    PageParts& p = m_pages[page];
    setErrorMark(*p.expressionBox, nullptr);
    showToolTip(*p.expressionBox, QString());
    setHeading(p.expressionHeading, p.expressionCaption, false);
    if (p.broken) {
        setHeading(p.resultHeading, p.resultCaption, false);
    }
    p.broken = false;
    p.message.clear();
    showCurrentPageMessage();
}

void RunStatus::showBriefly(const QString& text, int ms) {
    m_statusLine.setStyleSheet(QString());
    m_statusLine.setText(text);
    // Only the last of quick repeats brings the message back.
    const int generation = ++m_briefGeneration;
    QTimer::singleShot(ms, this, [this, generation] {
        if (generation == m_briefGeneration) {
            showCurrentPageMessage();
        }
    });
}

void RunStatus::showCurrentPageMessage() {
    ++m_briefGeneration;  // a new message ends a brief text early
    const int page = m_tabs.currentIndex();
    const QString message = page == Extract || page == Replace ? m_pages[page].message : QString();
    m_statusLine.setText(message);
    m_statusLine.setStyleSheet(
        message.isEmpty() ? QString() : warningTextStyle(m_window.palette(), kStatusRed));
}

}  // namespace lcr
