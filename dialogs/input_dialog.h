// The input dialog: a modal window with a prompt above a multi-line text box
// that either lets the user edit a text and confirm it (input mode) or only
// shows a text (display mode).
//
//   InputDialogHost dialogs(services);   // one per program
//   QString format = currentFormat;
//   if (dialogs.showInputDialog(format, prompt, {}, nullptr, &format, 0, false, 0, 50))
//       currentFormat = format;          // confirmed with "确定"
//
// Passing a result variable selects input mode; without one the dialog only
// shows its text and can only be closed. Texts are program text: line breaks
// are CR LF on the way in and out, whatever the widget uses inside.
//
// Buttons: "恢复" puts the initial text back ("启动值为空！" when it is
// empty), "清空" empties the box, "粘贴" replaces the text by the
// clipboard's, "内容" and "文件名" (shown on request) append the contents
// (read as GB18030 text up to the first zero byte) or the paths of chosen
// files, one per line. "确定" confirms; "取消" closes without a question.
// The close box asks "内容已被改动，是否要放弃？" when the text was changed in
// input mode. Every message is titled "岚川：".
//
// One dialog at a time: while one is open, a further call returns false at
// once.
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

namespace lcr {

class InputDialogWindow;

// What the dialog takes from the desktop. The program adapts its platform
// services to it; tests script it, so no test ever blocks on a dialog.
class InputDialogServices {
public:
    virtual ~InputDialogServices() = default;

    // The clipboard's plain text, empty when it holds none.
    virtual QString clipboardText() = 0;
    // The files the user chose (full paths, in the chooser's order), empty
    // when cancelled. `filter` is "name|patterns" pairs joined by "|",
    // patterns split by ";".
    virtual QStringList chooseFiles(QWidget* parent, const QString& title,
                                    const QString& filter) = 0;
    // A message with an OK button.
    virtual void showInformation(QWidget* parent, const QString& title, const QString& text) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool askYesNo(QWidget* parent, const QString& title, const QString& text) = 0;
    // The size of the screen the dialog is centred on.
    virtual QSize screenSize() = 0;
};

// The arguments of the last call, as the window reads them.
struct InputDialogRequest {
    QString prompt;       // shown above the text box
    QString title;        // the window caption
    QString initialText;  // the starting text; what "恢复" restores and the close check compares
    int inputMode = 0;    // 0 normal editing, 1 read-only
    QSize textAreaSize{0, 0};  // wanted text box size in pixels; 0 keeps the design size
    bool displayOnly = false;  // no result variable was given
    bool scrollBars = false;   // the text box gets both scroll bars
    int margin = 0;            // gap around the boxes; below 1 means 5
    bool maximized = false;
    int importButtons = 0;  // 0 none, 1 "内容", 2 "文件名", 3 both
};

// What the last window ended with: whether "确定" confirmed it, and the
// text it confirmed (empty otherwise).
struct InputDialogResult {
    bool dialogAccepted = false;
    QString dialogResultText;
};

// The program's one input dialog: the request record of the last call, the
// result of the last window, and the guard that keeps to one window at a
// time.
class InputDialogHost final {
public:
    explicit InputDialogHost(InputDialogServices& services) : m_services(services) {}
    InputDialogHost(const InputDialogHost&) = delete;
    InputDialogHost& operator=(const InputDialogHost&) = delete;

    // Opens the dialog modally and returns when it has closed: true when the
    // user confirmed with "确定" (`result` then holds the text box's text),
    // false otherwise (`result` left as it was), and false at once while
    // another dialog is open.
    //
    // `prompt`: omitted gives an empty prompt; given but empty gives
    // "请输入数据：" in input mode and "以下为信息详情：" in display mode.
    // `title`: empty gives "岚川：". `parent`: the owner window, if any.
    // `result`: supplying it selects input mode. `textAreaWidth` and
    // `textAreaHeight`: 0 keeps the design size. `margin`: below 1 means 5.
    // `importButtons`: 1 "内容", 2 "文件名", 3 both.
    bool showInputDialog(const QString& initialText,
                         const std::optional<QString>& prompt = std::nullopt,
                         const QString& title = QString(), QWidget* parent = nullptr,
                         QString* result = nullptr, int inputMode = 0, bool maximized = false,
                         int textAreaWidth = 0, int textAreaHeight = 0, bool scrollBars = false,
                         int margin = 0, int importButtons = 0);

    bool isOpen() const { return m_open; }
    // The last call's request; kept after the window has closed.
    const InputDialogRequest& request() const { return m_request; }
    // The last window's outcome; reset when a window is created.
    const InputDialogResult& result() const { return m_result; }

    // Called once the window is on screen and its modal loop runs; tests
    // drive the dialog from here.
    void setOpenedHook(std::function<void(InputDialogWindow&)> hook) {
        m_openedHook = std::move(hook);
    }

private:
    InputDialogServices& m_services;
    InputDialogRequest m_request;
    InputDialogResult m_result;
    bool m_open = false;
    std::function<void(InputDialogWindow&)> m_openedHook;
};

}  // namespace lcr
