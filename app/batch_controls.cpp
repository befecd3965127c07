#include "app/batch_controls.h"

#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <filesystem>
#include <string>

#include "app/main_window.h"
#include "app/main_window_inventory.h"
#include "app/plain_tooltip.h"
#include "app/platform_services.h"
#include "app/program_state.h"
#include "app/qt_text.h"
#include "app/window_widgets.h"
#include "batch/batch_run.h"
#include "batch/charset.h"
#include "batch/file_discovery.h"
#include "text/program_text.h"

namespace lcr {

namespace {

// A chooser's path as the file system takes it.
std::filesystem::path toPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// What tells the two kinds of run apart.
struct BatchLabel {
    BatchKind kind;
    const char* name;
    const char* idleCaption;
    const char* folderTitle;
    const char* filesTitle;
};

constexpr BatchLabel kBatchLabels[] = {
    {BatchKind::Extract, "标签批量提取", "批量提取..", "正则批量提取的文件夹：",
     "正则批量提取的文件："},
    {BatchKind::Replace, "标签批量替换", "批量替换..", "正则批量替换的文件夹：",
     "正则批量替换的文件："},
};

const QString kRunningCaption = QStringLiteral("立即停止..");
const QString kStoppingCaption = QStringLiteral("停止中..");

class BatchControls final : public QObject {
public:
    static constexpr const char* kObjectName = "batchControls";

    BatchControls(MainWindow& window, ProgramState& state, PlatformServices& services)
        : QObject(&window), m_window(window), m_state(state), m_services(services) {
        setObjectName(kObjectName);
        for (const BatchLabel& kind : kBatchLabels) {
            label(kind)->installEventFilter(this);
            label(kind)->setToolTip(plainToolTip(toolTipOf(kind)));
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // A double click is a second press, as on the desktop the labels
        // come from: a quick second click still asks for the stop.
        if (event->type() != QEvent::MouseButtonPress &&
            event->type() != QEvent::MouseButtonDblClick) {
            return false;
        }
        const auto* mouse = static_cast<QMouseEvent*>(event);
        for (const BatchLabel& kind : kBatchLabels) {
            if (watched != label(kind)) {
                continue;
            }
            const Qt::KeyboardModifiers keys =
                mouse->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
            if (mouse->button() == Qt::LeftButton) {
                leftClick(kind, keys == Qt::ControlModifier);
                return true;
            }
            if (mouse->button() == Qt::RightButton) {
                rightClick(kind);
                return true;
            }
        }
        return false;
    }

private:
    // What each click does, as the labels show nothing of it.
    static QString toolTipOf(const BatchLabel& kind) {
        const QString run = kind.kind == BatchKind::Extract ? QStringLiteral("批量提取")
                                                            : QStringLiteral("批量替换");
        return QStringLiteral(
                   "单击：选择文件夹，对其中符合「批处理文件过滤」的文件%1（键盘：空格键）\n"
                   "Ctrl+单击：同上，但把「批处理文件过滤」当作正则表达式来筛选文件名（键盘：Ctrl+"
                   "空格键）\n"
                   "右击：选择若干文件来%1（键盘：菜单键或 Shift+F10）\n"
                   "运行中再次单击：停止")
            .arg(run);
    }

    QLabel* label(const BatchLabel& kind) const {
        return m_window.control<QLabel>(QString::fromUtf8(kind.name));
    }

    // Steps shared by both clicks: a click on a running label asks for the
    // stop and ends there (false); otherwise the label starts running.
    bool start(const BatchLabel& kind) {
        QLabel* l = label(kind);
        if (l->text() != QString::fromUtf8(kind.idleCaption)) {
            l->setText(kStoppingCaption);
            m_stopRequested = true;
            return false;
        }
        l->setText(kRunningCaption);
        m_stopRequested = false;
        return true;
    }

    void finish(const BatchLabel& kind) {
        label(kind)->setText(QString::fromUtf8(kind.idleCaption));
    }

    void leftClick(const BatchLabel& kind, bool ctrlAlone) {
        if (!start(kind)) {
            return;
        }
        QLabel* l = label(kind);
        const QString remembered = l->property("tag").toString();
        m_state.folderChooserInitialFolder = remembered;
        const QString folder = toQString(trimSpaces(toU16(
            m_services.chooseFolder(&m_window, QString::fromUtf8(kind.folderTitle), remembered))));
        if (!folder.isEmpty()) {
            l->setProperty("tag", folder);
            const std::u16string filter =
                toU16(m_window.control<QLineEdit>(QStringLiteral("编辑框过滤"))->text());
            const std::filesystem::path path = toPath(folder);
            run(kind,
                ctrlAlone ? ListFilesByExpression(path, filter) : ListFilesByPattern(path, filter));
        }
        finish(kind);
    }

    void rightClick(const BatchLabel& kind) {
        if (!start(kind)) {
            return;
        }
        QLabel* l = label(kind);
        const QStringList chosen =
            m_services.chooseFiles(&m_window, QString::fromUtf8(kind.filesTitle),
                                   toQString(kChooseFilesFilter), l->property("tag").toString());
        FileList files;
        for (const QString& file : chosen) {
            files.push_back(listedFileOf(toPath(file)));
        }
        if (!files.empty()) {
            l->setProperty("tag", toQString(FolderOfPath(toU16(chosen.front()))));
        }
        run(kind, files);
        finish(kind);
    }

    // BatchExtract or BatchReplace on `files`, with the window's inputs as
    // they stand now, then the completion question.
    void run(const BatchLabel& kind, const FileList& files) {
        if (files.empty()) {
            return;
        }
        BatchRunHooks hooks;
        hooks.fileStarted = [this](std::size_t i, std::size_t n, const ListedFile& file) {
            m_window.setWindowTitle(toQString(progressCaption(i, n, FileNameOfPath(file.text))));
        };
        hooks.stopRequested = [this] { return m_stopRequested; };
        const MatchOptions options = m_window.readOptions();
        const TextCharset requested = requestedCharset(
            m_window.control<QComboBox>(QStringLiteral("组合框文件编码"))->currentIndex());
        auto text = [this](const char* box) { return toU16(m_window.editBox(box)->programText()); };

        BatchRunResult result;
        if (kind.kind == BatchKind::Extract) {
            const QString format =
                m_window.control(QStringLiteral("标签19"))->property("tag").toString();
            result = BatchExtract(
                files, {text("编辑框提取表达式"), toU16(format), options, requested}, hooks);
        } else {
            result = BatchReplace(
                files, {text("编辑框匹配表达式"), text("编辑框替换表达式"), options, requested},
                hooks);
        }

        m_window.setWindowTitle(QString::fromUtf8(kMainWindowCaption));
        const MessageAnswer answer = m_services.showMessage(
            &m_window, QStringLiteral("信息："),
            toQString(completionQuestion(kind.kind, result.outputFolderText)),
            MessageButtons::YesNo);
        if (answer == MessageAnswer::Yes) {
            m_services.showFolder(
                QFile::decodeName(QByteArray::fromStdString(result.outputFolder.native())));
        }
    }

    MainWindow& m_window;
    ProgramState& m_state;
    PlatformServices& m_services;
    // batchStopRequested: set by a click on a running label, cleared when a
    // run starts; both labels share it.
    bool m_stopRequested = false;
};

}  // namespace

void bindBatchRuns(MainWindow& window, ProgramState& state, PlatformServices& services) {
    // Bound once: a second binding would run every click twice.
    if (!window.findChild<QObject*>(QString::fromUtf8(BatchControls::kObjectName),
                                    Qt::FindDirectChildrenOnly)) {
        new BatchControls(window, state, services);
    }
}

}  // namespace lcr
