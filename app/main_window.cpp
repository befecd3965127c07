#include "app/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

#include "app/explanation_panel.h"
#include "app/help_links.h"
#include "app/main_window_autosave.h"
#include "app/main_window_inventory.h"
#include "app/main_window_keys.h"
#include "app/main_window_settings.h"
#include "app/match_highlighting.h"
#include "app/metacharacter_strip.h"
#include "app/platform_services.h"
#include "app/program_state.h"
#include "app/result_table_model.h"
#include "app/splitter_limits.h"
#include "app/window_widgets.h"
#include "operations/yield_to_ui.h"

namespace lcr {

namespace {

// Row height of the two report lists: the result list's design sets it
// through an image 40 pixels high, and the syntax list is given the same.
constexpr int kListRowHeight = 40;

QString qs(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// The headings of the page rows carry their caption in the middle, clear of
// the small action labels that lie over their left end and the batch label
// at their right end.
bool isRowHeading(const std::string& name) {
    static const char* const headings[] = {"标签1", "标签2", "标签3", "标签4",
                                           "标签5", "标签6", "标签7"};
    for (const char* h : headings) {
        if (name == h) {
            return true;
        }
    }
    return false;
}

// The check boxes that start checked: the options most work needs. 矫正换行
// starts unchecked: the boxes already hand the program CR LF, and in a batch
// replace it would turn every LF of every file into CR LF.
bool checkedAtDesign(const std::string& name) {
    return name == "选择框多行模式" || name == "选择框替换全部" || name == "选择框自动执行" ||
           name == "选择框高亮";
}

// A report-style list: a header of column titles over rows of equal height,
// whole rows selected, no grid. A table view, because it handles a million
// rows by their positions alone.
QTableView* createReportList(const DesignedControl& designed, QWidget* parent) {
    auto* view = new QTableView(parent);
    QStringList titles;
    for (const std::string& title : designed.items) {
        titles << qs(title);
    }
    if (designed.name == "提取结果") {
        view->setModel(new ResultTableModel(titles, view));
    } else {
        auto* model = new QStandardItemModel(0, static_cast<int>(titles.size()), view);
        model->setHorizontalHeaderLabels(titles);
        view->setModel(model);
    }
    view->setShowGrid(false);
    view->setWordWrap(false);
    view->setAlternatingRowColors(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setMinimumSectionSize(1);
    view->verticalHeader()->setDefaultSectionSize(kListRowHeight);
    view->horizontalHeader()->setStretchLastSection(false);
    view->horizontalHeader()->setDefaultSectionSize(100);
    view->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    view->horizontalHeader()->setHighlightSections(false);
    if (designed.name == "提取结果") {
        // The designed widths of 序号, 提取文本 and 子文本.
        view->horizontalHeader()->resizeSection(0, 50);
        view->horizontalHeader()->resizeSection(1, 100);
        view->horizontalHeader()->resizeSection(2, 150);
    }
    return view;
}

// The least height of a box between splitters: two lines of the edit boxes'
// text with the box's frame and margins.
int twoLineBoxHeight(const QPlainTextEdit& box) {
    return 2 * box.fontMetrics().lineSpacing() + 2 * box.frameWidth() +
           2 * static_cast<int>(box.document()->documentMargin()) + 2;
}

}  // namespace

MainWindow::MainWindow(ProgramState& state, PlatformServices& services, QString programDirectory,
                       QWidget* parent)
    : QWidget(parent),
      m_state(state),
      m_services(services),
      m_programDirectory(std::move(programDirectory)),
      m_dialogServices(services),
      m_dialogs(m_dialogServices) {
    setObjectName(QStringLiteral("主窗口"));
    // Long loops let the window's events run through the one pump.
    setYieldToUiHook([] { QCoreApplication::processEvents(); });
    buildControls();
    bindOperations();
    m_highlighting = new MatchHighlighting(*this);
    // Action labels read as links; the row headings stand out a little.
    setStyleSheet(QStringLiteral(
        "QLabel[role=\"action\"] { color: palette(link); }"
        "QLabel[role=\"action\"]:hover { text-decoration: underline; }"
        "QLabel[role=\"heading\"] { font-weight: bold; }"
        // Drop-down lists scroll instead of covering the screen.
        "QComboBox { combobox-popup: 0; }"
        // The metacharacter buttons are 7 pixels a byte wide and 16 high.
        "QPushButton[role=\"metacharacter\"] { font-family: monospace; font-size: 10px;"
        " padding: 0px; border: 1px solid palette(mid); border-radius: 2px;"
        " background: palette(button); }"
        "QPushButton[role=\"metacharacter\"]:hover { background: palette(light);"
        " border-color: palette(highlight); }"
        "QPushButton[role=\"metacharacter\"]:pressed { background: palette(midlight); }"));
    setGeometry(kDesignWindowLeft, kDesignWindowTop, kDesignWindowWidth, kDesignWindowHeight);
    // The window has been created: finish its set-up before the start
    // routine goes on.
    onCreated();
}

MainWindow::~MainWindow() {
    setYieldToUiHook({});
}

void MainWindow::buildControls() {
    for (const DesignedControl& designed : mainWindowControls()) {
        QWidget* parent = this;
        if (!designed.parent.empty()) {
            parent = qobject_cast<QWidget*>(m_controls.value(qs(designed.parent)));
        }
        QObject* object = createControl(designed, parent);
        object->setObjectName(qs(designed.name));
        object->setProperty("tag", qs(designed.tag));
        m_controls.insert(qs(designed.name), object);
        m_order.append(object);
        if (auto* widget = qobject_cast<QWidget*>(object); widget && designed.page < 0) {
            widget->setGeometry(designed.design.left, designed.design.top, designed.design.width,
                                designed.design.height);
        }
    }
    // The options frame lies over the tab header, so it stays on top.
    control<QWidget>(QStringLiteral("框4"))->raise();
    m_resultModel =
        qobject_cast<ResultTableModel*>(control<QTableView>(QStringLiteral("提取结果"))->model());

    // Beyond the design: a status line along the bottom that says why an
    // expression does not compile or that a search stopped at the limits.
    m_statusLine = new QLabel(this);
    m_statusLine->setObjectName(QStringLiteral("状态行"));
    m_statusLine->setIndent(8);
    m_statusLine->setAutoFillBackground(true);
    m_statusLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_statusLine->raise();
    m_runStatus = new RunStatus(*this, *m_statusLine, *m_tabs);

    // The metacharacter buttons' row along the template's top.
    m_strip = new MetacharacterStrip(this);
    m_strip->setObjectName(QStringLiteral("超级按钮行"));
    const ControlRect& templateButton = findDesignedControl("超级按钮")->design;
    m_strip->setGeometry(0, templateButton.top, kDesignWindowWidth, templateButton.height);
}

QObject* MainWindow::createControl(const DesignedControl& designed, QWidget* parent) {
    const QString caption = qs(designed.caption);
    switch (designed.kind) {
        case ControlKind::Label: {
            auto* label = new QLabel(caption, parent);
            if (isRowHeading(designed.name)) {
                label->setAlignment(Qt::AlignCenter);
                label->setProperty("role", QStringLiteral("heading"));
            }
            return label;
        }
        case ControlKind::ActionLabel: {
            auto* label = new ActionLabel(caption, parent);
            label->setAlignment(Qt::AlignCenter);
            label->setProperty("role", QStringLiteral("action"));
            return label;
        }
        case ControlKind::EditBox:
            return new QLineEdit(caption, parent);
        case ControlKind::MultiLineEdit: {
            auto* box = new ProgramTextEdit(parent);
            // The replace result is the program's output, written anew at
            // every run: its writes are no steps to undo.
            box->setRecordsProgramWrites(designed.name != "编辑框替换结果");
            return box;
        }
        case ControlKind::ListView:
            return createReportList(designed, parent);
        case ControlKind::CheckBox: {
            auto* box = new QCheckBox(caption, parent);
            box->setChecked(checkedAtDesign(designed.name));
            return box;
        }
        case ControlKind::ComboBox: {
            auto* combo = new QComboBox(parent);
            combo->setMaxVisibleItems(20);
            for (const std::string& item : designed.items) {
                combo->addItem(qs(item));
            }
            if (designed.items.empty()) {
                combo->setPlaceholderText(caption);
            }
            return combo;
        }
        case ControlKind::Splitter:
            return new SplitterBar(parent);
        case ControlKind::Frame:
            if (designed.page >= 0) {
                // A page frame is the page itself.
                auto* frame = new QFrame;
                m_tabs->addTab(
                    frame, m_tabs->property("pageCaptions").toStringList().value(designed.page));
                return frame;
            }
            return new QFrame(parent);
        case ControlKind::PictureBox: {
            auto* box = new QFrame(parent);
            box->setAutoFillBackground(true);
            return box;
        }
        case ControlKind::Hyperlink:
            return new HyperlinkLabel(caption, parent);
        case ControlKind::PictureButton: {
            auto* button = new QToolButton(parent);
            button->setAutoRaise(true);
            button->setCursor(Qt::PointingHandCursor);
            const QString picture = designed.name == "图片软件主页"
                                        ? QStringLiteral(":/pictures/home.png")
                                        : QStringLiteral(":/pictures/banner.png");
            button->setIcon(QIcon(picture));
            button->setIconSize(QSize(designed.design.width, designed.design.height));
            return button;
        }
        case ControlKind::Button: {
            auto* button = new QPushButton(caption, parent);
            button->setVisible(false);  // the template of the metacharacter buttons
            return button;
        }
        case ControlKind::TabControl: {
            m_tabs = new QTabWidget(parent);
            QStringList captions;
            for (const std::string& page : designed.items) {
                captions << qs(page);
            }
            m_tabs->setProperty("pageCaptions", captions);
            return m_tabs;
        }
        case ControlKind::Timer:
            return new QTimer(this);
    }
    return new QWidget(parent);
}

void MainWindow::applyLayout() {
    m_strip->resize(width(), m_strip->height());
    const int statusHeight = m_statusLine->sizeHint().height() + 4;
    m_statusLine->setGeometry(0, height() - statusHeight, width(), statusHeight);
    LayoutInput input;
    input.clientWidth = width();
    input.clientHeight = height() - statusHeight;
    input.tabHeaderHeight = m_tabs->tabBar()->sizeHint().height();
    input.splitters = m_splitters;
    // Stored, dragged or squeezed by a resize: the splitters stay in range.
    m_splitters = input.splitters =
        limitSplitters(input, twoLineBoxHeight(*editBox("编辑框提取表达式")));
    for (const auto& [name, rect] : layoutMainWindow(input)) {
        const DesignedControl* designed = findDesignedControl(name);
        if (designed && designed->page >= 0) {
            continue;  // the tab control places its pages itself
        }
        if (auto* widget = control<QWidget>(qs(name))) {
            widget->setGeometry(rect.left, rect.top, rect.width, rect.height);
        }
    }
}

void MainWindow::moveSplitter(const QString& name, int top) {
    if (int* slot = splitterTop(m_splitters, name.toStdString())) {
        *slot = top;
        applyLayout();
    }
}

void MainWindow::setSplitterTops(const SplitterTops& tops) {
    m_splitters = tops;
    applyLayout();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    applyLayout();
}

void MainWindow::onCreated() {
    for (const char* name :
         {"分隔条_提取1", "分隔条_提取2", "分隔条_替换1", "分隔条_替换2", "分隔条_替换3"}) {
        auto* bar = control<SplitterBar>(QString::fromUtf8(name));
        connect(bar, &SplitterBar::dragged, this,
                [this, name = QString::fromUtf8(name)](int top) { moveSplitter(name, top); });
    }

    // Every control stays reachable: the window is never made smaller, by
    // the user or by a stored size.
    setMinimumSize(minimumClientWidth(),
                   minimumClientHeight(m_tabs->tabBar()->sizeHint().height(),
                                       twoLineBoxHeight(*editBox("编辑框提取表达式"))) +
                       m_statusLine->fontMetrics().height() + 8);

    bindKeyboard(*this);
    bindHelpLinks(*this, m_state, m_services);
    bindExplanationLabels(*this);
    buildSyntaxHelp();
    loadExpressionLibrary();
    persistMainWindow(false);
    auto* library = control<QComboBox>(QStringLiteral("组合框经典正则"));
    if (library->currentIndex() < 0 && library->count() > 0) {
        library->setCurrentIndex(0);
    }
    // Both report lists share one row height (kListRowHeight).
    applyTabRule(m_tabs->currentIndex());  // the restored page may not raise it
    m_state.newlineCorrector.compile();
    applyLayout();  // the boxes follow the restored splitters before the first resize
    // From here on what the close would save is also saved while the user
    // works; the restored state counts as saved.
    m_autosave = new MainWindowAutosave(*this, m_state.configStore);
    m_state.mainWindowReady = true;
    setWindowTitle(QString::fromUtf8(kMainWindowCaption));
    if (m_closeRequestedWhileStarting) {
        QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    // With 自动执行 the restored texts and expressions show their result at
    // once, as an edit would; the run waits until the window's events run.
    QTimer::singleShot(0, this, &MainWindow::runCurrentOperation);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!m_autosave) {
        // A close that arrives while the settings are being restored (the
        // restore lets events run) would save a half-restored window over
        // the saved one: it is carried out once the start is done.
        m_closeRequestedWhileStarting = true;
        event->ignore();
        return;
    }
    onCloseRequested();
    event->accept();
}

void MainWindow::onCloseRequested() {
    m_autosave->stop();
    persistMainWindow(true);
}

void MainWindow::persistMainWindow(bool save) {
    lcr::persistMainWindow(*this, m_state.configStore, save);
}

}  // namespace lcr
