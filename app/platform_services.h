// What the program takes from the desktop, behind one small interface: the
// clipboard, opening a path or address, showing a folder, the folder and
// file choosers, message boxes and the screen size. The program uses the Qt
// implementation; tests hand the window a scripted one, so no test ever
// blocks on a dialog.
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

class QWidget;

namespace lcr {

enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

class PlatformServices {
public:
    virtual ~PlatformServices() = default;

    // Plain text with the desktop's own line breaks (LF); empty when the
    // clipboard holds no text.
    virtual QString clipboardText() = 0;
    // Empties the clipboard and places `text` on it, even an empty text.
    virtual void setClipboardText(const QString& text) = 0;

    // Asks the desktop to open a file path or an address; false when it
    // could not.
    virtual bool openWithDesktop(const QString& pathOrUrl) = 0;
    // Shows a folder in the desktop's file manager.
    virtual bool showFolder(const QString& folder) = 0;

    // The folder the user chose, empty when cancelled.
    virtual QString chooseFolder(QWidget* parent, const QString& title,
                                 const QString& startFolder) = 0;
    // The files the user chose (full paths), empty when cancelled. `filter`
    // is a list of "name|patterns" pairs joined by "|", patterns split by ";".
    virtual QStringList chooseFiles(QWidget* parent, const QString& title, const QString& filter,
                                    const QString& startFolder) = 0;

    virtual MessageAnswer showMessage(QWidget* parent, const QString& title, const QString& text,
                                      MessageButtons buttons) = 0;

    virtual QSize screenSize() = 0;
};

// The desktop's own services through Qt.
class QtPlatformServices final : public PlatformServices {
public:
    QString clipboardText() override;
    void setClipboardText(const QString& text) override;
    bool openWithDesktop(const QString& pathOrUrl) override;
    bool showFolder(const QString& folder) override;
    QString chooseFolder(QWidget* parent, const QString& title,
                         const QString& startFolder) override;
    QStringList chooseFiles(QWidget* parent, const QString& title, const QString& filter,
                            const QString& startFolder) override;
    MessageAnswer showMessage(QWidget* parent, const QString& title, const QString& text,
                              MessageButtons buttons) override;
    QSize screenSize() override;
};

}  // namespace lcr
