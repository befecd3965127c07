// The input dialog's view of the desktop, over the program's platform
// services.
#pragma once

#include "app/platform_services.h"
#include "dialogs/input_dialog.h"

namespace lcr {

class PlatformDialogServices final : public InputDialogServices {
public:
    explicit PlatformDialogServices(PlatformServices& services) : m_services(services) {}

    QString clipboardText() override { return m_services.clipboardText(); }
    QStringList chooseFiles(QWidget* parent, const QString& title, const QString& filter) override {
        return m_services.chooseFiles(parent, title, filter, QString());
    }
    void showInformation(QWidget* parent, const QString& title, const QString& text) override {
        m_services.showMessage(parent, title, text, MessageButtons::Ok);
    }
    bool askYesNo(QWidget* parent, const QString& title, const QString& text) override {
        return m_services.showMessage(parent, title, text, MessageButtons::YesNo) ==
               MessageAnswer::Yes;
    }
    QSize screenSize() override { return m_services.screenSize(); }

private:
    PlatformServices& m_services;
};

}  // namespace lcr
