// The main window's operations and their bindings: extraction, replacement,
// the option check boxes, auto-execution, the clear/paste/copy labels, quick
// insertion and the tab rule. The rules themselves live in operations/; this
// file reads the controls, calls them and shows their results.
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

#include "app/batch_controls.h"
#include "app/main_window.h"
#include "app/match_highlighting.h"
#include "app/palette_colors.h"
#include "app/platform_services.h"
#include "app/program_state.h"
#include "app/qt_text.h"
#include "app/result_table_model.h"
#include "app/window_widgets.h"
#include "operations/copy_format.h"
#include "operations/extraction.h"
#include "operations/replacement_chain.h"
#include "operations/yield_to_ui.h"
#include "text/program_text.h"

namespace lcr {

namespace {

constexpr int kCopyFeedbackMs = 1000;

struct ActionBinding {
    const char* label;
    enum Kind { Clear, Paste, Copy } kind;
    const char* box;
};

// The sixteen clear, paste and copy labels and the box each acts on.
constexpr ActionBinding kActions[] = {
    {"标签23", ActionBinding::Clear, "编辑框提取文本"},
    {"标签10", ActionBinding::Paste, "编辑框提取文本"},
    {"标签11", ActionBinding::Copy, "编辑框提取文本"},
    {"标签22", ActionBinding::Clear, "编辑框提取表达式"},
    {"标签8", ActionBinding::Paste, "编辑框提取表达式"},
    {"标签9", ActionBinding::Copy, "编辑框提取表达式"},
    {"标签27", ActionBinding::Clear, "编辑框替换文本"},
    {"标签20", ActionBinding::Paste, "编辑框替换文本"},
    {"标签21", ActionBinding::Copy, "编辑框替换文本"},
    {"标签25", ActionBinding::Clear, "编辑框匹配表达式"},
    {"标签14", ActionBinding::Paste, "编辑框匹配表达式"},
    {"标签15", ActionBinding::Copy, "编辑框匹配表达式"},
    {"标签24", ActionBinding::Clear, "编辑框替换表达式"},
    {"标签16", ActionBinding::Paste, "编辑框替换表达式"},
    {"标签17", ActionBinding::Copy, "编辑框替换表达式"},
    {"标签18", ActionBinding::Copy, "编辑框替换结果"},
};

constexpr const char* kOptionBoxes[] = {"选择框忽略大小写", "选择框多行模式", "选择框单行模式",
                                        "选择框扩展模式",   "选择框替换全部", "选择框矫正换行",
                                        "选择框自动执行"};

}  // namespace

ProgramTextEdit* MainWindow::editBox(const char* name) const {
    return control<ProgramTextEdit>(QString::fromUtf8(name));
}

QString MainWindow::statusText() const {
    return m_statusLine->text();
}

MatchOptions MainWindow::readOptions() const {
    auto checked = [this](const char* name) {
        return control<QCheckBox>(QString::fromUtf8(name))->isChecked();
    };
    MatchOptions o;
    o.ignoreCase = checked("选择框忽略大小写");
    o.multiline = checked("选择框多行模式");
    o.singleLine = checked("选择框单行模式");
    o.extended = checked("选择框扩展模式");
    o.replaceAll = checked("选择框替换全部");
    o.correctNewlines = checked("选择框矫正换行");
    return o;
}

void MainWindow::bindOperations() {
    auto* autoRun = control<QCheckBox>(QStringLiteral("选择框自动执行"));
    for (const char* name : kOptionBoxes) {
        connect(control<QCheckBox>(QString::fromUtf8(name)), &QCheckBox::clicked, this,
                &MainWindow::runCurrentOperation);
    }
    for (const char* name : {"编辑框提取文本", "编辑框提取表达式"}) {
        connect(editBox(name), &ProgramTextEdit::textChanged, this, [this, autoRun] {
            if (autoRun->isChecked()) {
                extract();
            }
        });
    }
    for (const char* name : {"编辑框替换文本", "编辑框匹配表达式", "编辑框替换表达式"}) {
        connect(editBox(name), &ProgramTextEdit::textChanged, this, [this, autoRun] {
            if (autoRun->isChecked()) {
                replaceChain();
            }
        });
    }
    for (const char* name : {"编辑框提取表达式", "编辑框匹配表达式", "编辑框替换表达式"}) {
        ProgramTextEdit* box = editBox(name);
        connect(box, &ProgramTextEdit::focusReceived, this,
                [this, box] { m_state.insertTarget = box; });
    }
    for (const ActionBinding& action : kActions) {
        auto* label = control<ActionLabel>(QString::fromUtf8(action.label));
        ProgramTextEdit* box = editBox(action.box);
        connect(label, &ActionLabel::pressed, this, [this, action, label, box] {
            switch (action.kind) {
                case ActionBinding::Clear:
                    box->setProgramText({});
                    break;
                case ActionBinding::Paste:
                    // The box's own rule turns the clipboard's line breaks,
                    // whatever they are, into its own.
                    box->setProgramText(m_services.clipboardText());
                    break;
                case ActionBinding::Copy:
                    copyWithFeedback(label, box->programText());
                    break;
            }
        });
    }
    connect(control<ActionLabel>(QStringLiteral("标签提取")), &ActionLabel::pressed, this,
            &MainWindow::extract);
    connect(control<ActionLabel>(QStringLiteral("标签替换")), &ActionLabel::pressed, this,
            &MainWindow::replaceChain);
    connect(control<ActionLabel>(QStringLiteral("标签13")), &ActionLabel::pressed, this,
            &MainWindow::copyResultTable);
    connect(control<ActionLabel>(QStringLiteral("标签19")), &ActionLabel::pressed, this,
            &MainWindow::editCopyFormat);
    connect(m_tabs, &QTabWidget::currentChanged, this, &MainWindow::applyTabRule);
    bindBatchRuns(*this, m_state, m_services);
}

void MainWindow::copyResultTable() {
    auto* formatLabel = control<QLabel>(QStringLiteral("标签19"));
    const std::u16string format = toU16(formatLabel->property("tag").toString());
    const int groupColumns = std::max(0, m_resultModel->columnCount() - 2);
    // Every row offers as many groups as the table has group columns: a
    // row of an expression with fewer groups has empty cells there.
    std::vector<std::u16string_view> groups(static_cast<std::size_t>(groupColumns));
    const std::u16string text = copyResultRows(
        format, static_cast<std::size_t>(m_resultModel->rowCount()), [&](std::size_t row) {
            int k = 0;
            const int e = m_resultModel->expressionOfRow(static_cast<int>(row), &k);
            const ExpressionMatches& matches = m_resultModel->expression(e);
            for (int g = 1; g <= groupColumns; ++g) {
                groups[static_cast<std::size_t>(g - 1)] =
                    g <= matches.groupCount() ? matches.groupText(k, g) : std::u16string_view();
            }
            return ResultRow{static_cast<std::size_t>(k), matches.matchText(k), groups};
        });
    copyWithFeedback(control<QLabel>(QStringLiteral("标签13")), toQString(text));
}

void MainWindow::editCopyFormat() {
    auto* formatLabel = control<QLabel>(QStringLiteral("标签19"));
    QString format = formatLabel->property("tag").toString();
    const QString prompt = QStringLiteral(
        "请输入要复制的列：## 序号列，#0 提取文本列，子文本列按顺序引用 #1 #2 #3 ...\r\n"
        "可以多列组合引用（批量提取时使用这里的设置格式输出保存）：");
    if (m_dialogs.showInputDialog(format, prompt, QString(), this, &format, 0, false, 0, 50)) {
        formatLabel->setProperty("tag", format);
    }
}

void MainWindow::applyTabRule(int page) {
    control<QWidget>(QStringLiteral("框4"))->setVisible(page < 2);
    control<QCheckBox>(QStringLiteral("选择框替换全部"))->setEnabled(page != 0);
}

void MainWindow::runCurrentOperation() {
    if (!control<QCheckBox>(QStringLiteral("选择框自动执行"))->isChecked()) {
        return;
    }
    if (m_tabs->currentIndex() == 0) {
        extract();
    } else {
        replaceChain();
    }
}

void MainWindow::quickInsert(const QString& text) {
    ProgramTextEdit* target = m_state.insertTarget;
    if (!target) {
        return;
    }
    target->replaceSelection(text);
    target->setFocus(Qt::OtherFocusReason);
}

void MainWindow::copyWithFeedback(QLabel* label, const QString& text) {
    m_services.setClipboardText(toDesktopLineBreaks(text));
    label->setText(QStringLiteral("已复制"));
    // A press during the second starts it over; only the last one's end
    // brings the caption back.
    const int generation = ++m_copyFeedbackGeneration[label];
    QTimer::singleShot(kCopyFeedbackMs, label, [this, label, generation] {
        if (m_copyFeedbackGeneration.value(label) == generation) {
            label->setText(QStringLiteral("复制"));
        }
    });
}

void MainWindow::extract() {
    ProgramTextEdit* expressionBox = editBox("编辑框提取表达式");
    if (m_state.mainWindowReady && expressionBox->programText().isEmpty()) {
        m_runStatus->clear(RunStatus::Extract);  // no expression, nothing wrong with it
    }
    if (!m_state.mainWindowReady || expressionBox->programText().isEmpty()) {
        return;
    }
    if (m_state.extractRunning) {
        // The running extraction sees this before its next row and starts
        // over with the current input.
        m_state.extractRestartRequested = true;
        return;
    }
    m_state.extractRunning = true;
    for (;;) {
        m_state.extractRestartRequested = false;
        const bool finished = runExtractionOnce();
        if (finished && !m_state.extractRestartRequested) {
            break;
        }
        // Restarted: the new run reads texts and options afresh, and does
        // nothing when the expression box has been emptied meanwhile.
        if (expressionBox->programText().isEmpty()) {
            break;
        }
    }
    m_state.extractRestartRequested = false;
    m_state.extractRunning = false;
}

bool MainWindow::runExtractionOnce() {
    auto* view = control<QTableView>(QStringLiteral("提取结果"));
    ProgramTextEdit* expressionBox = editBox("编辑框提取表达式");
    m_resultModel->clear();
    m_highlighting->extractionStarted();

    const std::vector<ExtractionPiece> pieces =
        extractionPieces(toU16(expressionBox->programText()));
    ProgramTextEdit* textBox = editBox("编辑框提取文本");
    const MatchOptions startOptions = readOptions();
    if (!m_extractSource.text || m_extractSource.revision != textBox->revision() ||
        m_extractSource.corrected != startOptions.correctNewlines) {
        const QString text = textBox->programText();
        m_extractSource = {
            textBox->revision(), startOptions.correctNewlines,
            std::make_shared<const std::u16string>(prepareSource(viewOf(text), startOptions))};
    }
    const std::shared_ptr<const std::u16string> source = m_extractSource.text;

    std::optional<CompileError> firstError;
    std::size_t errorPiece = 0;
    bool incomplete = false;
    bool timedOut = false;
    int total = 0;
    for (const ExtractionPiece& piece : pieces) {
        // The options are read before each expression, so a box changed
        // during a run counts from the next expression on.
        ExpressionMatches matches = extractOne(piece, source, readOptions());
        const int n = matches.matchCount();
        const int groups = matches.groupCount();
        if (matches.compileError() && !firstError) {
            firstError = matches.compileError();
            errorPiece = piece.pieceIndex;
        }
        incomplete = incomplete || matches.incomplete();
        total += n;
        timedOut = timedOut || matches.regex->matches().timedOut();
        m_runStatus->showExtractionCount(total, groups, firstError.has_value());

        m_highlighting->expressionExtracted(matches, m_extractSource.revision);
        m_resultModel->beginExpression(std::move(matches));
        if (n > 0) {
            m_resultModel->ensureGroupColumns(groups);
        }
        int pending = 0;
        auto flush = [this, &pending] {
            m_resultModel->showRows(pending);
            pending = 0;
        };
        for (int k = 1; k <= n; ++k) {
            // Rows appear in chunks each time the window's events run; a
            // request that arrived meanwhile is seen before the next row.
            yieldToUi(flush);
            if (m_state.extractRestartRequested) {
                flush();
                return false;
            }
            ++pending;
        }
        flush();
    }
    m_runStatus->showOutcome(RunStatus::Extract, {firstError, errorPiece, incomplete, timedOut});
    fitColumns(view);
    return true;
}

void MainWindow::fitColumns(QTableView* view) {
    QAbstractItemModel* model = view->model();
    if (model->rowCount() == 0) {
        return;
    }
    auto* results = qobject_cast<ResultTableModel*>(model);
    for (int c = 0; c < model->columnCount(); ++c) {
        const std::size_t titleBytes =
            gbkByteLength(toU16(model->headerData(c, Qt::Horizontal).toString()));
        bool longer = false;
        if (results) {
            longer = results->anyCellLongerThan(c, titleBytes);
        } else {
            for (int r = 0; r < model->rowCount() && !longer; ++r) {
                longer = gbkByteLength(toU16(model->index(r, c).data().toString())) > titleBytes;
            }
        }
        if (longer) {
            view->resizeColumnToContents(c);
        } else {
            view->horizontalHeader()->resizeSection(c,
                                                    view->horizontalHeader()->sectionSizeHint(c));
        }
    }
}

void MainWindow::replaceChain() {
    ProgramTextEdit* matchBox = editBox("编辑框匹配表达式");
    if (m_state.mainWindowReady && matchBox->programText().isEmpty()) {
        m_runStatus->clear(RunStatus::Replace);
    }
    if (!m_state.mainWindowReady || matchBox->programText().isEmpty()) {
        return;
    }
    // A replacement started from the events of this one (a keystroke with
    // 自动执行 on) computes from newer input: its result must not be
    // overwritten by this one's when this one finishes.
    const int generation = ++m_replaceGeneration;
    const std::vector<ReplacementStep> steps = replacementSteps(
        toU16(matchBox->programText()), toU16(editBox("编辑框替换表达式")->programText()));
    const quint64 sourceRevision = editBox("编辑框替换文本")->revision();
    std::u16string text =
        prepareSource(viewOf(editBox("编辑框替换文本")->programText()), readOptions());
    std::vector<ReplacedSpan> replaced;
    std::vector<std::int32_t> sourceSpans;
    std::vector<std::int32_t> resultSpans;
    std::optional<CompileError> firstError;
    std::size_t errorPiece = 0;
    bool incomplete = false;
    for (const ReplacementStep& step : steps) {
        replaced.clear();
        const StepOutcome outcome = applyReplacementStep(text, step, readOptions(), &replaced);
        if (&step == &steps.front()) {
            for (const ReplacedSpan& r : replaced) {
                sourceSpans.insert(sourceSpans.end(), {r.sourceStart, r.sourceEnd});
            }
        }
        resultSpans = carryReplacedSpans(resultSpans, replaced);
        if (outcome.compileError && !firstError) {
            firstError = outcome.compileError;
            errorPiece = step.pieceIndex;
        }
        incomplete = incomplete || outcome.incomplete;
        yieldToUi();
        if (generation != m_replaceGeneration) {
            return;
        }
    }
    editBox("编辑框替换结果")->setProgramText(toQString(text));
    m_highlighting->replaced(std::move(sourceSpans), sourceRevision, text, std::move(resultSpans));
    // The replacement cannot tell the engine's limits from the time budget.
    m_runStatus->showOutcome(RunStatus::Replace,
                             {firstError, errorPiece, incomplete, false, /*timeKnown=*/false});
}

}  // namespace lcr
