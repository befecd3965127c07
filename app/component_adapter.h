// The Qt side of component persistence (config/component_persistence.h):
// a window's controls as components, found by their design names
// (objectName) and tags (the dynamic property "tag").
//
// Kinds map onto widgets as follows; the name's kind word decides what is
// kept, the widget's class only how it is read and written:
//   edit box        ProgramTextEdit (CR LF text), QPlainTextEdit, QLineEdit
//   check box,
//   radio button    QAbstractButton (checked)
//   combo box       QComboBox (current index, items, edit text)
//   list box,
//   check-list box  QListWidget (items, selection, check marks, current row)
//   button          any control (its tag)
//   colour picker   any control with the dynamic property "colour"
// A control of another class keeps what it has: its state reads as the
// defaults of Component and writes are ignored.
//
// Placement numbers: 0 normal, 1 centred on the screen, 2 minimized,
// 3 maximized (full screen reads as maximized). Bounds are the window's
// geometry without its frame, as setGeometry takes them; restored bounds are
// kept within twice the desktop's size, so a damaged value cannot ask the
// toolkit for a gigantic window.
#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <vector>

#include "config/component_persistence.h"

namespace lcr {

class WidgetComponent final : public Component {
public:
    explicit WidgetComponent(QObject* control) : m_control(control) {}

    std::u16string name() const override;
    std::u16string tag() const override;
    void setTag(std::u16string_view tag) override;
    std::u16string text() const override;
    void setText(std::u16string_view text) override;
    bool isChecked() const override;
    void setChecked(bool checked) override;
    int currentIndex() const override;
    void setCurrentIndex(int index) override;
    std::vector<std::u16string> items() const override;
    void setItems(const std::vector<std::u16string>& items) override;
    std::vector<int> selectedIndexes() const override;
    void selectIndex(int index) override;
    std::vector<int> checkedIndexes() const override;
    void checkIndex(int index) override;
    int colour() const override;
    void setColour(int colour) override;

private:
    QPointer<QObject> m_control;  // a control deleted meanwhile reads as empty
};

class WidgetWindow final : public ComponentWindow {
public:
    // `controls`: every control of the window at any depth, in its order.
    WidgetWindow(QWidget& window, const QList<QObject*>& controls);

    std::vector<Component*> components() override;
    int placement() const override;
    void setPlacement(int state) override;
    WindowBounds bounds() const override;
    void setBounds(const WindowBounds& bounds) override;

private:
    QWidget& m_window;
    std::vector<std::unique_ptr<WidgetComponent>> m_components;
};

}  // namespace lcr
