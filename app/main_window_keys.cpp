#include "app/main_window_keys.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QShortcut>
#include <QTabWidget>
#include <QTableView>

#include "app/main_window.h"
#include "app/window_widgets.h"

namespace lcr {

namespace {

// The boxes where Tab leaves instead of typing: a tab character there is
// invisible and changes what the expression means.
constexpr const char* kTabLeavingBoxes[] = {"编辑框提取表达式", "编辑框匹配表达式",
                                            "编辑框替换表达式"};
constexpr const char* kBatchLabels[] = {"标签批量提取", "标签批量替换"};

QString q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QString keysText(const QList<QKeySequence>& keys) {
    QStringList texts;
    for (const QKeySequence& k : keys) {
        texts << k.toString(QKeySequence::NativeText);
    }
    return texts.join(QStringLiteral(" 或 "));
}

// The heading of the row `label` lies in: the page's heading label at the
// same height.
QString rowCaption(const QLabel& label) {
    for (auto* heading : label.parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (heading->property("role").toString() == QStringLiteral("heading") &&
            heading->y() == label.y()) {
            return heading->text().trimmed();
        }
    }
    return {};
}

bool isPressKey(int key) {
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
}

// Keys on a batch label become the clicks they stand for, so the label's
// own click handling (batch_controls.h) runs them.
class BatchLabelKeys final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        auto* label = qobject_cast<QWidget*>(watched);
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods =
            key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
        Qt::MouseButton button = Qt::NoButton;
        Qt::KeyboardModifiers clickMods = Qt::NoModifier;
        if (isPressKey(key->key()) && (mods == Qt::NoModifier || mods == Qt::ControlModifier)) {
            button = Qt::LeftButton;
            clickMods = mods;
        } else if (key->key() == Qt::Key_Menu ||
                   (key->key() == Qt::Key_F10 && mods == Qt::ShiftModifier)) {
            button = Qt::RightButton;
        }
        if (!label || button == Qt::NoButton) {
            return false;
        }
        const QPointF at = QRectF(label->rect()).center();
        QMouseEvent press(QEvent::MouseButtonPress, at, label->mapToGlobal(at), button, button,
                          clickMods);
        QCoreApplication::sendEvent(label, &press);
        return true;
    }
};

void bindTabLeavingBoxes(MainWindow& window) {
    for (const char* name : kTabLeavingBoxes) {
        ProgramTextEdit* box = window.editBox(name);
        box->setTabChangesFocus(true);
        auto* typeTab = new QShortcut(tabCharacterKeys(), box);
        typeTab->setContext(Qt::WidgetShortcut);
        QObject::connect(typeTab, &QShortcut::activated, box,
                         [box] { box->replaceSelection(QStringLiteral("\t")); });
        const QString hint = QStringLiteral("Tab 键移到下一个控件，%1 输入制表符；%2 执行。")
                                 .arg(tabCharacterKeys().toString(QKeySequence::NativeText),
                                      keysText(runOperationKeys()));
        box->setProperty("baseToolTip", hint);
        box->setToolTip(hint);
    }
}

void bindPageShortcuts(MainWindow& window) {
    auto* tabs = window.control<QTabWidget>(q("选择夹"));
    auto runPage = [&window, tabs] {
        if (tabs->currentIndex() == 0) {
            window.extract();
        } else if (tabs->currentIndex() == 1) {
            window.replaceChain();
        }
    };
    for (const QKeySequence& keys : runOperationKeys()) {
        QObject::connect(new QShortcut(keys, &window), &QShortcut::activated, &window, runPage);
    }
    auto copyPage = [&window, tabs] {
        if (tabs->currentIndex() == 0) {
            window.copyResultTable();
        } else if (tabs->currentIndex() == 1) {
            emit window.control<ActionLabel>(q("标签18"))->pressed();
        }
    };
    QObject::connect(new QShortcut(copyResultKeys(), &window), &QShortcut::activated, &window,
                     copyPage);

    auto* results = window.control<QTableView>(q("提取结果"));
    auto* copyTable = new QShortcut(QKeySequence::Copy, results);
    copyTable->setContext(Qt::WidgetShortcut);
    QObject::connect(copyTable, &QShortcut::activated, &window, &MainWindow::copyResultTable);
    // In the lists the arrow keys move between rows; Tab leaves them.
    for (const char* name : {"提取结果", "语法"}) {
        window.control<QTableView>(q(name))->setTabKeyNavigation(false);
    }
}

void describeActionLabels(MainWindow& window) {
    const QString pressKeys = QStringLiteral("可用 Tab 键移到这里，按空格键或回车键执行。");
    const QString run = keysText(runOperationKeys());
    const QString copy = copyResultKeys().toString(QKeySequence::NativeText);
    for (QObject* control : window.controlsInOrder()) {
        auto* label = qobject_cast<ActionLabel*>(control);
        if (!label || !label->toolTip().isEmpty()) {
            continue;  // the batch labels describe themselves
        }
        const QString name = label->objectName();
        QString tip;
        if (name == q("标签提取")) {
            tip = QStringLiteral("提取（%1）").arg(run);
        } else if (name == q("标签替换")) {
            tip = QStringLiteral("替换（%1）").arg(run);
        } else if (name == q("标签13")) {
            tip =
                QStringLiteral("按格式复制全部提取结果（%1；在结果表格中也可用 %2）")
                    .arg(copy, QKeySequence(QKeySequence::Copy).toString(QKeySequence::NativeText));
        } else if (name == q("标签18")) {
            tip = QStringLiteral("复制替换结果（%1）").arg(copy);
        } else if (name == q("标签19")) {
            tip = QStringLiteral("设置复制提取结果时的格式");
        } else {
            tip = QStringLiteral("%1「%2」").arg(label->text(), rowCaption(*label));
        }
        label->setToolTip(tip + QStringLiteral("\n") + pressKeys);
    }
    auto* batchKeys = new BatchLabelKeys(&window);
    for (const char* name : kBatchLabels) {
        window.control<QWidget>(q(name))->installEventFilter(batchKeys);
    }
}

}  // namespace

QKeySequence tabCharacterKeys() {
    return QKeySequence(Qt::CTRL | Qt::Key_I);
}

QList<QKeySequence> runOperationKeys() {
    QList<QKeySequence> keys{QKeySequence(Qt::CTRL | Qt::Key_Return),
                             QKeySequence(Qt::CTRL | Qt::Key_Enter)};
    // The desktop's refresh key, and F5 where the desktop has another.
    for (const QKeySequence& k : QKeySequence::keyBindings(QKeySequence::Refresh)) {
        if (!keys.contains(k)) {
            keys << k;
        }
    }
    if (!keys.contains(QKeySequence(Qt::Key_F5))) {
        keys << QKeySequence(Qt::Key_F5);
    }
    return keys;
}

QKeySequence copyResultKeys() {
    return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C);
}

void bindKeyboard(MainWindow& window) {
    bindTabLeavingBoxes(window);
    bindPageShortcuts(window);
    describeActionLabels(window);
}

}  // namespace lcr
