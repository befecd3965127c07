#include "app/batch_controls.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>
#include <filesystem>
#include <string>
#include <vector>

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
#include "config/config_store.h"
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

constexpr std::u16string_view kOutputCharsetSection = u"主界面.尺寸";
constexpr std::u16string_view kOutputCharsetKey = u"提取输出编码";

const QString kRunningCaption = QStringLiteral("立即停止..");
const QString kStoppingCaption = QStringLiteral("停止中..");

// Problems beyond this many are left out of the completion question and
// shown in full in a scrollable list beside it.
constexpr std::size_t kProblemLinesInQuestion = 10;

// The strip along the bottom of the window while a run goes on: a progress
// bar reading "i / n" and the name of the file being processed.
class ProgressStrip final : public QWidget {
public:
    explicit ProgressStrip(QWidget* window) : QWidget(window) {
        setObjectName(QStringLiteral("批处理进度"));
        setAutoFillBackground(true);
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(4, 2, 4, 2);
        m_bar = new QProgressBar(this);
        m_bar->setObjectName(QStringLiteral("批处理进度条"));
        m_bar->setFormat(QStringLiteral("%v / %m"));
        m_bar->setFixedWidth(200);
        m_name = new QLabel(this);
        m_name->setObjectName(QStringLiteral("批处理当前文件"));
        layout->addWidget(m_bar);
        layout->addWidget(m_name, 1);
        hide();
    }

    void show(std::size_t i, std::size_t n, const QString& name) {
        m_bar->setRange(0, static_cast<int>(n));
        m_bar->setValue(static_cast<int>(i));
        m_name->setText(name);
        place();
        QWidget::show();
        raise();
    }

    // Along the bottom edge of the window, its whole width.
    void place() {
        const int height = sizeHint().height();
        setGeometry(0, parentWidget()->height() - height, parentWidget()->width(), height);
    }

private:
    QProgressBar* m_bar;
    QLabel* m_name;
};

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
        m_extractLabel = label(kBatchLabels[0]);
        m_progress = new ProgressStrip(&m_window);
        m_window.installEventFilter(this);
        createOutputCharsetChoice();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &m_window) {
            // Widgets go before the window does: resizes while it is taken
            // down find them gone.
            if (event->type() == QEvent::Resize && m_progress) {
                m_progress->place();
            } else if (event->type() == QEvent::Close && m_runDepth > 0) {
                askToStopForClose();
                event->ignore();
                return true;
            }
            return false;
        }
        if (watched == m_extractLabel &&
            (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
            placeOutputCharsetChoice();
            return false;
        }
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
        if (m_closeWhenDone) {
            return false;  // the window closes once the runs going on have ended
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

    // Closing the window while a run goes on: the run stops at its next
    // check point when the user agrees, and the window closes once the run
    // (and any run it started inside) has ended and told what it did.
    void askToStopForClose() {
        if (m_closeWhenDone) {
            return;  // already asked and agreed
        }
        const MessageAnswer answer = m_services.showMessage(
            &m_window, QStringLiteral("信息："),
            QStringLiteral("批处理正在进行。是否停止它并关闭窗口？"), MessageButtons::YesNo);
        if (answer != MessageAnswer::Yes) {
            return;
        }
        m_closeWhenDone = true;
        m_stopRequested = true;
        for (const BatchLabel& kind : kBatchLabels) {
            if (label(kind)->text() == kRunningCaption) {
                label(kind)->setText(kStoppingCaption);
            }
        }
    }

    // BatchExtract or BatchReplace on `files`, in name order, with the
    // window's inputs as they stand now, then what the run did and the offer
    // to open the output folder.
    void run(const BatchLabel& kind, FileList files) {
        if (files.empty()) {
            return;
        }
        sortByName(files);
        BatchRunHooks hooks;
        hooks.fileStarted = [this](std::size_t i, std::size_t n, const ListedFile& file) {
            const std::u16string name = FileNameOfPath(file.text);
            m_progress->show(i, n, toQString(name));
            m_window.setWindowTitle(toQString(progressCaption(i, n, name)));
        };
        hooks.stopRequested = [this] { return m_stopRequested; };
        const MatchOptions options = m_window.readOptions();
        const TextCharset requested = requestedCharset(
            m_window.control<QComboBox>(QStringLiteral("组合框文件编码"))->currentIndex());
        auto text = [this](const char* box) { return toU16(m_window.editBox(box)->programText()); };

        ++m_runDepth;
        BatchRunResult result;
        if (kind.kind == BatchKind::Extract) {
            const QString format =
                m_window.control(QStringLiteral("标签19"))->property("tag").toString();
            result = BatchExtract(files,
                                  {text("编辑框提取表达式"), toU16(format), options, requested,
                                   extractOutputCharset()},
                                  hooks);
        } else {
            result = BatchReplace(
                files, {text("编辑框匹配表达式"), text("编辑框替换表达式"), options, requested},
                hooks);
        }
        --m_runDepth;
        if (m_runDepth == 0) {
            m_progress->hide();
            m_window.setWindowTitle(QString::fromUtf8(kMainWindowCaption));
        }
        report(result, files);
        if (m_runDepth == 0 && m_closeWhenDone) {
            m_closeWhenDone = false;
            // After the click handler has set its label back.
            QTimer::singleShot(0, &m_window, [this] { m_window.close(); });
        }
    }

    // The run's summary: its problems in a scrollable list when there are
    // more than the question holds, then the question (a plain message when
    // the window is about to close).
    void report(const BatchRunResult& result, const FileList& files) {
        const std::vector<std::u16string> lines = summaryProblemLines(result.summary, files);
        if (lines.size() > kProblemLinesInQuestion) {
            showProblemList(result.summary, lines);
        }
        if (m_closeWhenDone) {
            // The window is closing: what the run did and where, without
            // the offer to open the folder.
            m_services.showMessage(
                &m_window, QStringLiteral("信息："),
                toQString(completionReport(result.summary, files, result.outputFolderText,
                                           kProblemLinesInQuestion)),
                MessageButtons::Ok);
            return;
        }
        const QString message = toQString(completionQuestion(
            result.summary, files, result.outputFolderText, kProblemLinesInQuestion));
        const MessageAnswer answer = m_services.showMessage(&m_window, QStringLiteral("信息："),
                                                            message, MessageButtons::YesNo);
        if (answer == MessageAnswer::Yes) {
            m_services.showFolder(
                QFile::decodeName(QByteArray::fromStdString(result.outputFolder.native())));
        }
    }

    // A window of its own, not modal, so that the list can be read and
    // scrolled whatever is asked next.
    void showProblemList(const BatchRunSummary& summary, const std::vector<std::u16string>& lines) {
        auto* dialog = new QDialog(&m_window);
        dialog->setObjectName(QStringLiteral("批处理问题"));
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->setWindowTitle(toQString(summaryHeadline(summary)));
        auto* layout = new QVBoxLayout(dialog);
        auto* list = new QPlainTextEdit(dialog);
        list->setObjectName(QStringLiteral("批处理问题列表"));
        list->setReadOnly(true);
        list->setLineWrapMode(QPlainTextEdit::NoWrap);
        QStringList text;
        for (const std::u16string& line : lines) {
            text << toQString(line);
        }
        list->setPlainText(text.join('\n'));
        layout->addWidget(list);
        dialog->resize(640, 360);
        dialog->show();
    }

    ExtractOutputCharset extractOutputCharset() const {
        return extractOutputCharsetAt(m_outputCharset ? m_outputCharset->currentIndex() : 0);
    }

    // The choice of the batch extraction's output charset, in the extract
    // page's batch row, just left of 标签批量提取, which it follows wherever
    // the layout puts it. Its position is kept with the window's sizes
    // ([主界面.尺寸], "提取输出编码"), written whenever it changes.
    void createOutputCharsetChoice() {
        QWidget* row = label(kBatchLabels[0])->parentWidget();
        m_outputCharsetCaption = new QLabel(QStringLiteral("结果编码："), row);
        m_outputCharsetCaption->setObjectName(QStringLiteral("标签提取输出编码"));
        m_outputCharsetCaption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_outputCharset = new QComboBox(row);
        m_outputCharset->setObjectName(QStringLiteral("组合框提取输出编码"));
        m_outputCharset->setToolTip(QStringLiteral(
            "批量提取的结果文件的编码：GBK（旧版本读取的编码）、UTF-8 或与源文件相同"));
        for (const std::u16string_view item : kExtractOutputCharsetItems) {
            m_outputCharset->addItem(toQString(item));
        }
        const double stored = storedOutputCharset();
        m_outputCharset->setCurrentIndex(static_cast<int>(
            extractOutputCharsetAt(stored >= 0 && stored <= 2 ? static_cast<int>(stored) : 0)));
        QObject::connect(m_outputCharset, &QComboBox::currentIndexChanged, this,
                         [this](int index) { storeOutputCharset(index); });
        placeOutputCharsetChoice();
    }

    // The stored position, read and written in the setting's section; the
    // store keeps the section it had.
    double storedOutputCharset() {
        ConfigStore& store = m_state.configStore;
        const std::u16string section = store.currentSection();
        store.setSection(kOutputCharsetSection);
        const double stored = store.readNumber(kOutputCharsetKey, 0);
        store.setSection(section);
        return stored;
    }
    void storeOutputCharset(int position) {
        ConfigStore& store = m_state.configStore;
        const std::u16string section = store.currentSection();
        store.setSection(kOutputCharsetSection);
        store.writeNumber(kOutputCharsetKey, position);
        store.setSection(section);
    }

    void placeOutputCharsetChoice() {
        if (!m_extractLabel || !m_outputCharset || !m_outputCharsetCaption) {
            return;
        }
        const QRect at = m_extractLabel->geometry();
        constexpr int kComboWidth = 96;
        constexpr int kCaptionWidth = 76;
        const int comboLeft = at.left() - 8 - kComboWidth;
        m_outputCharset->setGeometry(comboLeft, at.top(), kComboWidth, at.height());
        m_outputCharsetCaption->setGeometry(comboLeft - kCaptionWidth, at.top(), kCaptionWidth,
                                            at.height());
    }

    MainWindow& m_window;
    ProgramState& m_state;
    PlatformServices& m_services;
    // batchStopRequested: set by a click on a running label, cleared when a
    // run starts; both labels share it.
    bool m_stopRequested = false;
    int m_runDepth = 0;            // runs going on, a run inside another counting twice
    bool m_closeWhenDone = false;  // the user closed the window during a run
    QPointer<QLabel> m_extractLabel;
    QPointer<ProgressStrip> m_progress;
    QPointer<QLabel> m_outputCharsetCaption;
    QPointer<QComboBox> m_outputCharset;
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
