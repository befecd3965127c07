// The interactive extraction and replacement measured in the real window on
// the offscreen platform:
//
//   QT_QPA_PLATFORM=offscreen build/bench/window_timing
//
// For a 1 MB text with 10,000 matches and a 10 MB text with 100,000 matches
// of (\w+)@(\w+)\.com: the time from the last keystroke (the expression box's
// text change with 自动执行 on) to the first screen of rows and to the whole
// table, and to the first screen of the text with its matches highlighted
// (plus painting it); a scroll page by page through the whole 10 MB text,
// highlighted and not; then the replace chain of three expressions on the
// 10 MB text; the peak memory of the process at the end.
#include <sys/resource.h>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdio>

#include "app/main_window.h"
#include "app/match_highlighter.h"
#include "app/match_highlighting.h"
#include "app/platform_services.h"
#include "app/program_state.h"
#include "app/result_table_model.h"
#include "app/window_widgets.h"
#include "dialogs/program_text_edit.h"
#include "operations/process_memory.h"
#include "operations/replacement_chain.h"

namespace {

// `lines` lines of about 100 characters, each with one address.
QString mailText(int lines) {
    QString text;
    text.reserve(lines * 104);
    for (int i = 0; i < lines; ++i) {
        text += QStringLiteral(
                    "%1 联系人张三丰，部门：研发中心 电话 010-%2 邮箱 user%1@example%3.com "
                    "备注：请在周五前回复，谢谢 order-%4 status ok\r\n")
                    .arg(i)
                    .arg(10000000 + i)
                    .arg(i % 97)
                    .arg(i * 7);
    }
    return text;
}

void measureExtraction(lcr::MainWindow& window, const QString& text, const char* label) {
    window.editBox("编辑框提取表达式")->setProgramText(QString());
    window.editBox("编辑框提取文本")->setProgramText(text);
    // The keystrokes before the last one already ran extractions.
    window.editBox("编辑框提取表达式")->setProgramText(QStringLiteral("(\\w+)@(\\w+)\\.co"));
    auto* view = window.control<QTableView>(QStringLiteral("提取结果"));
    const int screenRows = view->viewport()->height() / 40 + 1;
    QElapsedTimer timer;
    qint64 firstScreen = -1;
    // The highlighted screen is made as soon as the search has ended, before
    // the first rows; the time is taken when the first rows arrive, so it
    // is an upper bound.
    qint64 highlighted = -1;
    const lcr::MatchHighlighter* highlighter = window.highlighting()->extractText();
    auto connection =
        QObject::connect(window.resultModel(), &QAbstractItemModel::rowsInserted, [&] {
            if (highlighted < 0 && !highlighter->shownSpans().empty()) {
                highlighted = timer.nsecsElapsed();
            }
            if (firstScreen < 0 && window.resultModel()->rowCount() >= screenRows) {
                firstScreen = timer.nsecsElapsed();
            }
        });
    timer.start();
    // The last keystroke: the expression becomes complete.
    window.editBox("编辑框提取表达式")->setProgramText(QStringLiteral("(\\w+)@(\\w+)\\.com"));
    const qint64 whole = timer.nsecsElapsed();
    QObject::disconnect(connection);
    std::printf("%-26s %8.1f MB text  %7d rows  first screen %7.1f ms  whole table %7.1f ms\n",
                label, text.size() / 1e6, window.resultModel()->rowCount(), firstScreen / 1e6,
                whole / 1e6);
    QWidget* viewport = window.editBox("编辑框提取文本")->viewport();
    timer.restart();
    viewport->repaint();
    std::printf("%-26s %zu spans on screen, highlighted %7.1f ms, painting them %5.1f ms\n", "",
                highlighter->shownSpans().size(), highlighted / 1e6, timer.nsecsElapsed() / 1e6);
}

// Page by page from the top of the text box to its end, each page painted.
void measureScroll(lcr::MainWindow& window, bool highlighting) {
    window.control<QCheckBox>(QStringLiteral("选择框高亮"))->setChecked(highlighting);
    lcr::ProgramTextEdit* box = window.editBox("编辑框提取文本");
    QScrollBar* bar = box->verticalScrollBar();
    bar->setValue(0);
    QElapsedTimer timer;
    timer.start();
    qint64 slowest = 0;
    int pages = 0;
    for (int value = 0; value <= bar->maximum(); value += bar->pageStep()) {
        const qint64 before = timer.nsecsElapsed();
        bar->setValue(value);
        box->viewport()->repaint();
        slowest = std::max(slowest, timer.nsecsElapsed() - before);
        ++pages;
    }
    const qint64 total = timer.nsecsElapsed();
    std::printf(
        "scroll, highlighting %-5s %7d pages  whole text %8.1f ms  per page %6.3f ms  "
        "slowest %6.2f ms\n",
        highlighting ? "on" : "off", pages, total / 1e6, total / 1e6 / pages, slowest / 1e6);
}

}  // namespace

int main(int argc, char** argv) {
    lcr::keepFreedMemoryForReuse();  // as the program does
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    lcr::ProgramState state;
    lcr::QtPlatformServices services;
    lcr::MainWindow window(state, services, dir.path());
    window.show();
    window.control<QCheckBox>(QStringLiteral("选择框自动执行"))->setChecked(true);
    QApplication::processEvents();

    measureExtraction(window, mailText(10'000), "extract, 10,000 matches");
    const QString big = mailText(100'000);
    measureExtraction(window, big, "extract, 100,000 matches");
    measureScroll(window, true);
    measureScroll(window, false);
    window.control<QCheckBox>(QStringLiteral("选择框高亮"))->setChecked(true);

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory after the extractions %.1f MB\n", usage.ru_maxrss / 1024.0);

    window.control<QCheckBox>(QStringLiteral("选择框替换全部"))->setChecked(true);
    window.editBox("编辑框替换文本")->setProgramText(big);
    window.editBox("编辑框替换表达式")->setProgramText(QStringLiteral("[$1]<#lc#>电话<#lc#>$2-$1"));
    QElapsedTimer timer;
    timer.start();
    window.editBox("编辑框匹配表达式")
        ->setProgramText(QStringLiteral("(\\w+)@<#lc#>电话<#lc#>(\\d{3})-(\\d{8})"));
    std::printf("%-26s %8.1f MB text  three expressions          whole chain %7.1f ms\n",
                "replace chain", big.size() / 1e6, timer.nsecsElapsed() / 1e6);
    // The same chain without the window: what the window adds is writing the
    // 10 MB result into its edit box.
    const std::u16string source(reinterpret_cast<const char16_t*>(big.utf16()),
                                static_cast<std::size_t>(big.size()));
    timer.restart();
    const lcr::ReplacementResult core =
        lcr::replaceChain(source, u"(\\w+)@<#lc#>电话<#lc#>(\\d{3})-(\\d{8})",
                          u"[$1]<#lc#>电话<#lc#>$2-$1", window.readOptions());
    std::printf("%-26s %8.1f MB text  three expressions          chain alone %7.1f ms\n",
                "replace chain, core", core.text.size() / 1e6, timer.nsecsElapsed() / 1e6);

    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory at the end %.1f MB\n", usage.ru_maxrss / 1024.0);
    return 0;
}
