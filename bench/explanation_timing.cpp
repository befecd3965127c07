// 表达式解释 in the real window on the offscreen platform:
//
//   QT_QPA_PLATFORM=offscreen build/bench/explanation_timing
//
// With the explanation window open on a 2,000-character expression, the time
// a keystroke in the expression box costs (the tree rebuilt for the new text,
// 自动执行 off so only the explanation runs), the time a cursor move costs
// (the node under it selected), and for comparison a keystroke with the
// explanation closed. Medians of 50, in wall time and in the thread's CPU
// time (which a busy machine does not inflate).
#include <time.h>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/main_window.h"
#include "app/platform_services.h"
#include "app/program_state.h"
#include "app/window_widgets.h"

namespace {

// About 2,000 characters of everyday constructs (as bench/explain_bench).
QString longPattern() {
    QString pattern;
    while (pattern.size() < 2000) {
        pattern += QStringLiteral(
            "(?<y>\\d{4})-(\\d{1,2})[-/](\\d\\d)\\s*(?:上午|下午)?[\\u4e00-\\u9fa5]+?"
            "(?=\\b)\\w+@\\w+\\.(?:com|cn)\\1|");
    }
    return pattern + QStringLiteral("x");
}

double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct Figures {
    double wall;
    double cpu;
};

template <class Step>
Figures medianMs(Step step) {
    std::vector<double> wall;
    std::vector<double> cpu;
    for (int i = 0; i < 50; ++i) {
        QElapsedTimer timer;
        const double cpuStart = cpuMs();
        timer.start();
        step(i);
        wall.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        cpu.push_back(cpuMs() - cpuStart);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir dir;
    lcr::ProgramState state;
    lcr::QtPlatformServices services;
    lcr::MainWindow window(state, services, dir.path());
    window.show();
    window.control<QCheckBox>(QStringLiteral("选择框自动执行"))->setChecked(false);
    lcr::ProgramTextEdit* box = window.editBox("编辑框提取表达式");
    box->setProgramText(longPattern());
    box->moveCursor(QTextCursor::End);

    const Figures closed = medianMs([&](int) { QTest::keyClick(box, Qt::Key_A); });
    QTest::mouseClick(window.control<QWidget>(QStringLiteral("标签解释提取")), Qt::LeftButton);
    const Figures typing = medianMs([&](int) { QTest::keyClick(box, Qt::Key_A); });
    const Figures cursor = medianMs([&](int i) {
        QTextCursor c = box->textCursor();
        c.setPosition((i * 37) % 2000);
        box->setTextCursor(c);
    });
    std::printf("expression of %lld characters\n",
                static_cast<long long>(box->programText().size()));
    std::printf("keystroke, explanation closed: %.2f ms (CPU %.2f ms)\n", closed.wall, closed.cpu);
    std::printf("keystroke, explanation open:   %.2f ms (CPU %.2f ms)\n", typing.wall, typing.cpu);
    std::printf("cursor move, explanation open: %.2f ms (CPU %.2f ms)\n", cursor.wall, cursor.cpu);
    return 0;
}
