// What the extract and replace pages say about their last run: the heading
// over the result, the heading over the expression box, the mark on the
// character an expression breaks at, and the status line along the bottom.
//
// Each page has its own message. The status line shows the current page's;
// a page's message goes when its cause goes: a run without the fault, or an
// edit of the expression it was about.
#pragma once

#include <QObject>
#include <QString>
#include <cstddef>
#include <optional>

#include "regex/engine.h"

class QLabel;
class QTabWidget;

namespace lcr {

class MainWindow;
class ProgramTextEdit;

class RunStatus final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RunStatus)
public:
    enum Page { Extract = 0, Replace = 1 };

    struct Outcome {
        std::optional<CompileError> error;  // the first piece that did not compile
        std::size_t errorPiece = 0;         // its index in the expression chain
        bool incomplete = false;
        bool timedOut = false;  // the time budget ran out (else: backtracking limits)
        bool timeKnown = true;  // false: the run cannot tell the two apart
    };

    RunStatus(MainWindow& window, QLabel& statusLine, QTabWidget& tabs);

    // The extract page's result heading while rows come in: the count, or
    // why there is none.
    void showExtractionCount(int total, int groups, bool broken);
    // The end of a run of `page`.
    void showOutcome(Page page, const Outcome& outcome);
    // Forgets `page`'s message: its expression was emptied or edited.
    void clear(Page page);
    QString message(Page page) const { return m_pages[page].message; }
    // Shows `text` in the status line for `ms` milliseconds ("已复制"), then
    // the current page's message again.
    void showBriefly(const QString& text, int ms);

private:
    struct PageParts {
        ProgramTextEdit* expressionBox = nullptr;
        QLabel* expressionHeading = nullptr;
        QString expressionCaption;
        QLabel* resultHeading = nullptr;
        QString resultCaption;
        QString message;
        bool broken = false;
        quint64 brokenRevision = 0;  // the expression box's text the error is about
    };

    void setHeading(QLabel* heading, const QString& text, bool warning);
    void markError(PageParts& page, const CompileError& error, std::size_t pieceIndex);
    void showCurrentPageMessage();

    MainWindow& m_window;
    QLabel& m_statusLine;
    QTabWidget& m_tabs;
    PageParts m_pages[2];
    int m_briefGeneration = 0;
};

// Where piece `pieceIndex` of the chain `chain` starts, in UTF-16 code units.
std::size_t pieceStart(std::u16string_view chain, std::size_t pieceIndex);

}  // namespace lcr
