#include "app/component_adapter.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScreen>
#include <algorithm>

#include "app/qt_text.h"
#include "app/window_widgets.h"

namespace lcr {

namespace {

QStringList toStringList(const std::vector<std::u16string>& items) {
    QStringList list;
    for (const std::u16string& item : items) {
        list << toQString(item);
    }
    return list;
}

}  // namespace

std::u16string WidgetComponent::name() const {
    return m_control ? toU16(m_control->objectName()) : std::u16string();
}

std::u16string WidgetComponent::tag() const {
    return m_control ? toU16(m_control->property("tag").toString()) : std::u16string();
}

void WidgetComponent::setTag(std::u16string_view tag) {
    if (m_control) {
        m_control->setProperty("tag", toQString(tag));
    }
}

std::u16string WidgetComponent::text() const {
    if (auto* box = qobject_cast<ProgramTextEdit*>(m_control)) {
        return toU16(box->programText());
    }
    if (auto* box = qobject_cast<QPlainTextEdit*>(m_control)) {
        return toU16(toProgramLineBreaks(box->toPlainText()));
    }
    if (auto* line = qobject_cast<QLineEdit*>(m_control)) {
        return toU16(line->text());
    }
    if (auto* combo = qobject_cast<QComboBox*>(m_control)) {
        return toU16(combo->currentText());
    }
    return {};
}

void WidgetComponent::setText(std::u16string_view text) {
    if (auto* box = qobject_cast<ProgramTextEdit*>(m_control)) {
        // The text the box starts with: not a step to undo.
        box->resetProgramText(toQString(text));
    } else if (auto* box = qobject_cast<QPlainTextEdit*>(m_control)) {
        box->setPlainText(toQString(text));
    } else if (auto* line = qobject_cast<QLineEdit*>(m_control)) {
        line->setText(toQString(text));
    } else if (auto* combo = qobject_cast<QComboBox*>(m_control); combo && combo->isEditable()) {
        combo->setEditText(toQString(text));
    }
}

bool WidgetComponent::isChecked() const {
    auto* button = qobject_cast<QAbstractButton*>(m_control);
    return button && button->isChecked();
}

void WidgetComponent::setChecked(bool checked) {
    if (auto* button = qobject_cast<QAbstractButton*>(m_control)) {
        button->setChecked(checked);
    }
}

int WidgetComponent::currentIndex() const {
    if (auto* combo = qobject_cast<QComboBox*>(m_control)) {
        return combo->currentIndex();
    }
    if (auto* list = qobject_cast<QListWidget*>(m_control)) {
        return list->currentRow();
    }
    return -1;
}

void WidgetComponent::setCurrentIndex(int index) {
    // An index the control does not have leaves it without a current item.
    if (auto* combo = qobject_cast<QComboBox*>(m_control)) {
        combo->setCurrentIndex(index);
    } else if (auto* list = qobject_cast<QListWidget*>(m_control)) {
        list->setCurrentRow(index);
    }
}

std::vector<std::u16string> WidgetComponent::items() const {
    std::vector<std::u16string> out;
    if (auto* combo = qobject_cast<QComboBox*>(m_control)) {
        for (int i = 0; i < combo->count(); ++i) {
            out.push_back(toU16(combo->itemText(i)));
        }
    } else if (auto* list = qobject_cast<QListWidget*>(m_control)) {
        for (int i = 0; i < list->count(); ++i) {
            out.push_back(toU16(list->item(i)->text()));
        }
    }
    return out;
}

void WidgetComponent::setItems(const std::vector<std::u16string>& items) {
    if (auto* combo = qobject_cast<QComboBox*>(m_control)) {
        combo->clear();
        combo->addItems(toStringList(items));
    } else if (auto* list = qobject_cast<QListWidget*>(m_control)) {
        // A check-list box's items carry check marks.
        const bool checkable =
            componentKindOf(name()).value_or(ComponentKind::ListBox) == ComponentKind::CheckListBox;
        list->clear();
        list->addItems(toStringList(items));
        for (int i = 0; checkable && i < list->count(); ++i) {
            list->item(i)->setFlags(list->item(i)->flags() | Qt::ItemIsUserCheckable);
            list->item(i)->setCheckState(Qt::Unchecked);
        }
    }
}

std::vector<int> WidgetComponent::selectedIndexes() const {
    std::vector<int> out;
    if (auto* list = qobject_cast<QListWidget*>(m_control)) {
        for (const QListWidgetItem* item : list->selectedItems()) {
            out.push_back(list->row(item));
        }
        std::sort(out.begin(), out.end());
    }
    return out;
}

void WidgetComponent::selectIndex(int index) {
    if (auto* list = qobject_cast<QListWidget*>(m_control)) {
        if (QListWidgetItem* item = list->item(index)) {
            item->setSelected(true);
        }
    }
}

std::vector<int> WidgetComponent::checkedIndexes() const {
    std::vector<int> out;
    if (auto* list = qobject_cast<QListWidget*>(m_control)) {
        for (int i = 0; i < list->count(); ++i) {
            if (list->item(i)->checkState() == Qt::Checked) {
                out.push_back(i);
            }
        }
    }
    return out;
}

void WidgetComponent::checkIndex(int index) {
    if (auto* list = qobject_cast<QListWidget*>(m_control)) {
        if (QListWidgetItem* item = list->item(index)) {
            item->setCheckState(Qt::Checked);
        }
    }
}

int WidgetComponent::colour() const {
    return m_control ? m_control->property("colour").toInt() : 0;
}

void WidgetComponent::setColour(int colour) {
    if (m_control && m_control->property("colour").isValid()) {
        m_control->setProperty("colour", colour);
    }
}

WidgetWindow::WidgetWindow(QWidget& window, const QList<QObject*>& controls) : m_window(window) {
    for (QObject* control : controls) {
        m_components.push_back(std::make_unique<WidgetComponent>(control));
    }
}

std::vector<Component*> WidgetWindow::components() {
    std::vector<Component*> out;
    for (const auto& component : m_components) {
        out.push_back(component.get());
    }
    return out;
}

int WidgetWindow::placement() const {
    const Qt::WindowStates state = m_window.windowState();
    if (state & Qt::WindowMinimized) {
        return kPlacementMinimized;
    }
    if (state & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
        return kPlacementMaximized;
    }
    return kPlacementNormal;
}

void WidgetWindow::setPlacement(int state) {
    const Qt::WindowStates others =
        m_window.windowState() &
        ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
    switch (state) {
        case kPlacementNormal:
            m_window.setWindowState(others);
            break;
        case kPlacementCentred: {
            m_window.setWindowState(others);
            if (const QScreen* screen = m_window.screen()) {
                QRect frame = m_window.geometry();
                frame.moveCenter(screen->availableGeometry().center());
                m_window.move(frame.topLeft());
            }
            break;
        }
        case kPlacementMinimized:
            m_window.setWindowState(others | Qt::WindowMinimized);
            break;
        case kPlacementMaximized:
            m_window.setWindowState(others | Qt::WindowMaximized);
            break;
        default:
            break;  // not a placement: left as it is
    }
}

WindowBounds WidgetWindow::bounds() const {
    const QRect r = m_window.geometry();
    return {r.x(), r.y(), r.width(), r.height()};
}

void WidgetWindow::setBounds(const WindowBounds& bounds) {
    // Bounds that do not fit the screen are applied as they are, but not
    // beyond twice the desktop: a damaged INI value of a billion pixels
    // would otherwise make the toolkit allocate a window of that size.
    QSize desktop(2048, 2048);
    if (const QScreen* screen = m_window.screen()) {
        desktop = desktop.expandedTo(screen->virtualGeometry().size());
    }
    const int limitX = 2 * desktop.width();
    const int limitY = 2 * desktop.height();
    m_window.setGeometry(std::clamp(bounds.left, -limitX, limitX),
                         std::clamp(bounds.top, -limitY, limitY), std::min(bounds.width, limitX),
                         std::min(bounds.height, limitY));
}

}  // namespace lcr
