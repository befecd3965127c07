// Saving while the user works, and undo, in the real window on the
// offscreen platform, on a 10 M-character text in 编辑框提取文本:
//
//   QT_QPA_PLATFORM=offscreen build/bench/edit_box_timing
//
// The time of one autosave after a keystroke in the large text (the text is
// written) and after a click on a check box (only the settings are), with
// the INI file and the byte blocks in a temporary folder on the disk the
// program's own folder would be on.
// The time of 清空, of its undo (Ctrl+Z) and redo (Ctrl+Shift+Z), and of 粘贴
// and its undo, each with the window's events run afterwards (the repaint
// included), as wall time and as the process's CPU time; then the resident memory of the process
// after each of eight rounds of 粘贴 and 清空 of a fresh 10 M-character text, which stays level
// once the box's history holds its last few whole-text steps.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <ctime>

#include "app/main_window.h"
#include "app/main_window_autosave.h"
#include "app/main_window_settings.h"
#include "app/platform_services.h"
#include "app/program_state.h"
#include "app/window_widgets.h"
#include "operations/process_memory.h"

namespace {

// About `size` characters in lines of about 70, different for each `seed`.
QString bigText(qsizetype size, int seed) {
    QString text;
    text.reserve(size + 100);
    for (int i = 0; text.size() < size; ++i) {
        text += QStringLiteral("%1 第%2行 联系人 user%1@example.com 备注：请回复 order-%3\r\n")
                    .arg(seed)
                    .arg(i)
                    .arg(i * 7);
    }
    return text;
}

double residentMegabytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * 4096 / 1e6 : 0;
}

double cpuMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Wall time and the process's CPU time of one action with the window's
// events run after it: on a machine shared with other work the wall time
// also counts the time the process waited for a core.
struct Timing {
    double wall = 0;
    double cpu = 0;
};

template <class Action>
Timing timed(Action action) {
    QElapsedTimer timer;
    const double cpuStart = cpuMilliseconds();
    timer.start();
    action();
    QApplication::processEvents();
    return {timer.nsecsElapsed() / 1e6, cpuMilliseconds() - cpuStart};
}

}  // namespace

int main(int argc, char** argv) {
    lcr::keepFreedMemoryForReuse();  // as the program does
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    lcr::ProgramState state;
    lcr::QtPlatformServices services;
    lcr::openConfigStore(state.configStore, services, dir.path());
    lcr::MainWindow window(state, services, dir.path());
    window.show();
    QApplication::processEvents();
    lcr::ProgramTextEdit* box = window.editBox("编辑框提取文本");
    auto* clearLabel = window.control<QWidget>(QStringLiteral("标签23"));
    auto* pasteLabel = window.control<QWidget>(QStringLiteral("标签10"));
    box->setFocus();

    const QString text = bigText(10'000'000, 0);
    box->resetProgramText(text);
    QApplication::processEvents();
    std::printf("text of %.1f M characters, %.1f MB resident\n", text.size() / 1e6,
                residentMegabytes());

    lcr::MainWindowAutosave* autosave = window.autosave();
    for (int round = 1; round <= 3; ++round) {
        QTest::keyClick(box, Qt::Key_X);
        const Timing withText = timed([&] { autosave->saveChanges(); });
        window.control<QCheckBox>(QStringLiteral("选择框单行模式"))->click();
        const Timing settingsOnly = timed([&] { autosave->saveChanges(); });
        std::printf(
            "autosave after a keystroke %6.1f ms (cpu %6.1f)   after a check box %6.1f ms "
            "(cpu %6.1f)\n",
            withText.wall, withText.cpu, settingsOnly.wall, settingsOnly.cpu);
    }
    // The undo figures without saves in between.
    autosave->stop();
    box->resetProgramText(text);
    QApplication::processEvents();
    for (int round = 1; round <= 5; ++round) {
        const Timing clear = timed([&] { QTest::mouseClick(clearLabel, Qt::LeftButton); });
        const Timing undo = timed([&] { QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier); });
        const bool back = box->programText() == text;
        const Timing redo = timed(
            [&] { QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); });
        const bool cleared = box->programText().isEmpty();
        timed([&] { QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier); });
        std::printf(
            "清空 %6.1f ms (cpu %6.1f)   undo %6.1f ms (cpu %6.1f)%s   redo %6.1f ms (cpu "
            "%6.1f)%s\n",
            clear.wall, clear.cpu, undo.wall, undo.cpu, back ? "" : " WRONG TEXT", redo.wall,
            redo.cpu, cleared ? "" : " WRONG TEXT");
    }

    QGuiApplication::clipboard()->setText(bigText(10'000'000, 1));
    const Timing paste = timed([&] { QTest::mouseClick(pasteLabel, Qt::LeftButton); });
    const Timing undoPaste = timed([&] { QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier); });
    std::printf("粘贴 %6.1f ms (cpu %6.1f)   undo %6.1f ms (cpu %6.1f)%s\n", paste.wall, paste.cpu,
                undoPaste.wall, undoPaste.cpu, box->programText() == text ? "" : " WRONG TEXT");

    for (int round = 1; round <= 8; ++round) {
        QGuiApplication::clipboard()->setText(bigText(10'000'000, round + 1));
        QTest::mouseClick(pasteLabel, Qt::LeftButton);
        QTest::mouseClick(clearLabel, Qt::LeftButton);
        QApplication::processEvents();
        std::printf("round %d of 粘贴 and 清空: %.1f MB resident\n", round, residentMegabytes());
    }
    return 0;
}
