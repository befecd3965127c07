// The main window's keyboard: every action a click starts can also be
// started from the keyboard.
//
//   Tab, Shift+Tab      leave the expression and replacement boxes (Ctrl+I
//                       types a tab character there; Ctrl+Tab switches pages)
//   Ctrl+Enter, F5      run the current page's operation (提取 or 替换)
//   Ctrl+Shift+C        copy the current page's result, as its 复制 does;
//                       Ctrl+C in the result table does the same
//   Space, Enter        press the action label that has the focus; with Ctrl
//                       held on a batch label, its Ctrl+click
//   Menu, Shift+F10     a batch label's right click
//
// Every action label takes the focus with Tab and says in its tooltip what
// it does and which keys do it.
#pragma once

#include <QKeySequence>

namespace lcr {

class MainWindow;

// The keys that type a tab character into a box that Tab leaves.
QKeySequence tabCharacterKeys();
// The keys that run the current page's operation, and that copy its result.
QList<QKeySequence> runOperationKeys();
QKeySequence copyResultKeys();

// Binds the keys above; once, when the window has been built.
void bindKeyboard(MainWindow& window);

}  // namespace lcr
