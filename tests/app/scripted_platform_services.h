// Platform services for GUI tests: a clipboard in memory, a record of every
// request to open or show something, and scripted answers for the choosers
// and message boxes, so no test ever blocks on a dialog.
#pragma once

#include <QList>
#include <QQueue>
#include <QSize>
#include <QString>
#include <QStringList>

#include "app/platform_services.h"

namespace lcr::testing {

class ScriptedPlatformServices final : public PlatformServices {
public:
    struct Message {
        QString title;
        QString text;
        MessageButtons buttons;
    };

    QString clipboard;
    QStringList opened;        // every openWithDesktop request
    QStringList shownFolders;  // every showFolder request
    bool openSucceeds = true;
    QQueue<QString> folderAnswers;         // chooseFolder answers; empty: cancelled
    QQueue<QStringList> fileAnswers;       // chooseFiles answers; empty: cancelled
    QQueue<MessageAnswer> messageAnswers;  // answers to Yes/No questions; empty: No
    QList<Message> messages;
    QStringList chooserStartFolders;
    QString lastFileFilter;
    QSize screen{1280, 800};

    QString clipboardText() override { return clipboard; }
    void setClipboardText(const QString& text) override { clipboard = text; }
    bool openWithDesktop(const QString& pathOrUrl) override {
        opened << pathOrUrl;
        return openSucceeds;
    }
    bool showFolder(const QString& folder) override {
        shownFolders << folder;
        return true;
    }
    QString chooseFolder(QWidget*, const QString&, const QString& startFolder) override {
        chooserStartFolders << startFolder;
        return folderAnswers.isEmpty() ? QString() : folderAnswers.dequeue();
    }
    QStringList chooseFiles(QWidget*, const QString&, const QString& filter,
                            const QString& startFolder) override {
        chooserStartFolders << startFolder;
        lastFileFilter = filter;
        return fileAnswers.isEmpty() ? QStringList() : fileAnswers.dequeue();
    }
    MessageAnswer showMessage(QWidget*, const QString& title, const QString& text,
                              MessageButtons buttons) override {
        messages.append({title, text, buttons});
        if (buttons == MessageButtons::Ok) {
            return MessageAnswer::Ok;
        }
        return messageAnswers.isEmpty() ? MessageAnswer::No : messageAnswers.dequeue();
    }
    QSize screenSize() override { return screen; }
};

}  // namespace lcr::testing
