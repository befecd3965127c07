// Input dialog services for tests: a clipboard in memory, scripted answers
// for the file chooser and the Yes/No questions, and a record of every
// message, so no test ever blocks on a dialog.
#pragma once

#include <QList>
#include <QQueue>
#include <QSize>
#include <QString>
#include <QStringList>

#include "dialogs/input_dialog.h"

namespace lcr::testing {

class ScriptedDialogServices final : public InputDialogServices {
public:
    struct Message {
        QString title;
        QString text;
        bool question;
    };

    QString clipboard;
    QQueue<QStringList> fileAnswers;  // chooseFiles answers; none left: cancelled
    QQueue<bool> answers;             // askYesNo answers; none left: No
    QList<Message> messages;
    QStringList chooserTitles;
    QString lastFilter;
    QSize screen{1280, 800};

    QString clipboardText() override { return clipboard; }
    QStringList chooseFiles(QWidget*, const QString& title, const QString& filter) override {
        chooserTitles << title;
        lastFilter = filter;
        return fileAnswers.isEmpty() ? QStringList() : fileAnswers.dequeue();
    }
    void showInformation(QWidget*, const QString& title, const QString& text) override {
        messages.append({title, text, false});
    }
    bool askYesNo(QWidget*, const QString& title, const QString& text) override {
        messages.append({title, text, true});
        return !answers.isEmpty() && answers.dequeue();
    }
    QSize screenSize() override { return screen; }
};

}  // namespace lcr::testing
