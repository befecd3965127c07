#include "app/platform_services.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QScreen>
#include <QUrl>

namespace lcr {

QString QtPlatformServices::clipboardText() {
    return QApplication::clipboard()->text();
}

void QtPlatformServices::setClipboardText(const QString& text) {
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

bool QtPlatformServices::openWithDesktop(const QString& pathOrUrl) {
    const QUrl url = QFileInfo::exists(pathOrUrl) ? QUrl::fromLocalFile(pathOrUrl)
                                                  : QUrl::fromUserInput(pathOrUrl);
    return QDesktopServices::openUrl(url);
}

bool QtPlatformServices::showFolder(const QString& folder) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

QString QtPlatformServices::chooseFolder(QWidget* parent, const QString& title,
                                         const QString& startFolder) {
    return QFileDialog::getExistingDirectory(parent, title, startFolder);
}

QStringList QtPlatformServices::chooseFiles(QWidget* parent, const QString& title,
                                            const QString& filter, const QString& startFolder) {
    // "文本文件|*.txt;*.ini|全部文件|*.*" becomes Qt's "文本文件 (*.txt *.ini);;全部文件 (*)".
    const QStringList parts = filter.split(u'|');
    QStringList qtFilters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        if (patterns == u"*.*") {
            patterns = QStringLiteral("*");
        }
        qtFilters << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
    }
    return QFileDialog::getOpenFileNames(parent, title, startFolder, qtFilters.join(u";;"));
}

MessageAnswer QtPlatformServices::showMessage(QWidget* parent, const QString& title,
                                              const QString& text, MessageButtons buttons) {
    if (buttons == MessageButtons::YesNo) {
        const auto answer =
            QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No);
        return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    QMessageBox::information(parent, title, text);
    return MessageAnswer::Ok;
}

QSize QtPlatformServices::screenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize(1024, 768);
}

}  // namespace lcr
