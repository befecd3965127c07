// Qt's own texts (dialog buttons, the edit boxes' context menu, the file
// choosers) follow the desktop's language: Chinese under a Chinese locale.
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QLocale>

#include "app/application.h"

namespace lcr {
namespace {

TEST(QtTranslations, ChineseLocaleGivesQtsOwnTextsInChinese) {
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    ASSERT_TRUE(loadQtTranslations()) << "qtbase_zh_CN.qm missing: install qt6-translations-l10n";
    // A message box's button, the edit boxes' context menu, a file chooser.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "OK"), QStringLiteral("确定"));
    EXPECT_EQ(QCoreApplication::translate("QWidgetTextControl", "&Copy"),
              QStringLiteral("复制(&C)"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("查找范围："));
}

}  // namespace
}  // namespace lcr
