#include "app/help_links.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTimer>
#include <QToolButton>

#include "app/application.h"
#include "app/main_window.h"
#include "app/platform_services.h"
#include "app/program_state.h"
#include "app/qt_text.h"
#include "app/window_widgets.h"
#include "config/config_store.h"
#include "text/gb18030.h"

namespace lcr {

namespace {

QByteArray resourceBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

}  // namespace

QByteArray tutorialDocument() {
    return resourceBytes(QStringLiteral(":/help/tutorial.htm"));
}

QByteArray articleDocument() {
    // Kept in the sources as UTF-8 with LF, so it can be read and edited like
    // any other source file; written as the GB18030 text with CR LF that
    // editors on the desktop the program comes from expect.
    QString text = QString::fromUtf8(resourceBytes(QStringLiteral(":/help/article.txt")));
    text.remove(QLatin1Char('\r'));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    const std::string bytes = encodeGb18030(text.toStdU16String());
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QByteArray aboutDocument(const QString& settingsFolder, const QString& dataFolder) {
    auto folder = [](const QString& path) {
        return QDir::toNativeSeparators(QDir(path).absolutePath()).toHtmlEscaped();
    };
    const QString page = QStringLiteral(
        "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<title>关于 岚川·正则表达式助手</title>\n</head>\n<body>\n"
        "<h1>岚川·正则表达式助手</h1>\n"
        "<p>版本 %1。一个帮助编写、试验和批量运用正则表达式的桌面程序，"
        "附带命令行工具 lcregular-cli。</p>\n"
        "<h2>正则引擎</h2>\n"
        "<p>表达式按 DEELX 正则引擎的语法书写，由 PCRE2 %2（16 位库，启用 JIT）执行。</p>\n"
        "<h2>帮助文档</h2>\n<ul>\n"
        "<li><a href=\"%3\">正则表达式30分钟入门教程</a>（点击程序中的链接后写在本页旁边）</li>\n"
        "<li><a href=\"%4\">揭开正则表达式的神秘面纱</a></li>\n</ul>\n"
        "<h2>所用的软件及其许可</h2>\n<ul>\n"
        "<li>Qt %5：GNU LGPL 3.0</li>\n"
        "<li>PCRE2 %2：BSD 三条款许可（附 PCRE2 的例外条款）</li>\n"
        "<li>GNU C 库（iconv 字符集转换）：GNU LGPL 2.1 或更高版本</li>\n</ul>\n"
        "<h2>文件保存在哪里</h2>\n<ul>\n"
        "<li>设置（%6 和 inibin 文件夹）：%7</li>\n"
        "<li>自定义正则.txt 和帮助文档：%8</li>\n</ul>\n"
        "<p>在设置文件的 [主界面] 一节写入一行 <code>%9=https://…</code>（程序关闭时编辑，"
        "文件为 GB18030 编码），“软件主页”和横幅就打开这个地址，而不是本页。</p>\n"
        "</body>\n</html>\n");
    return page
        .arg(QStringLiteral(LCR_VERSION), QStringLiteral(LCR_PCRE2_VERSION),
             QString::fromUtf8(kTutorialFileName).toHtmlEscaped(),
             QString::fromUtf8(kArticleFileName).toHtmlEscaped(), QString::fromLatin1(qVersion()),
             QString::fromUtf8(kIniFileName).toHtmlEscaped(), folder(settingsFolder),
             folder(dataFolder), toQString(kHomePageKey))
        .toUtf8();
}

QString configuredHomePage(ConfigStore& store) {
    const std::u16string previous = store.currentSection();
    store.setSection(kHomePageSection);
    const QString address = toQString(store.readText(kHomePageKey)).trimmed();
    store.setSection(previous);
    return address;
}

bool openEmbeddedDocument(const QByteArray& document, const QString& fileName,
                          const QString& programDirectory, PlatformServices& services) {
    const QString path = QDir(programDirectory).filePath(fileName);
    // The new content goes to a temporary file that replaces the old one only
    // when it is complete, so a failed write never leaves half a document.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(document) != document.size() ||
        !file.commit()) {
        return false;
    }
    services.openWithDesktop(path);
    return true;
}

BannerMotion stepBanner(BannerMotion motion, int bannerWidth, int homePictureRight,
                        int tutorialLinkLeft) {
    if (motion.movingLeft) {
        motion.left -= 1;
        if (motion.left < homePictureRight + kBannerMargin) {
            motion.movingLeft = false;
        }
    } else {
        motion.left += 1;
        if (motion.left + bannerWidth > tutorialLinkLeft - kBannerMargin) {
            motion.movingLeft = true;
        }
    }
    return motion;
}

void advanceBanner(MainWindow& window, ProgramState& state) {
    auto* banner = window.control<QWidget>(QStringLiteral("图片岚川软件"));
    auto* home = window.control<QWidget>(QStringLiteral("图片软件主页"));
    auto* link = window.control<QWidget>(QStringLiteral("超级链接框2"));
    if (!banner || !home || !link) {
        return;
    }
    const BannerMotion next = stepBanner({banner->x(), state.bannerMovingLeft}, banner->width(),
                                         home->x() + home->width(), link->x());
    banner->move(next.left, banner->y());
    state.bannerMovingLeft = next.movingLeft;
}

void bindHelpLinks(MainWindow& window, ProgramState& state, PlatformServices& services) {
    // The handlers outlive this call; they hold the window's long-lived
    // objects by pointer.
    MainWindow* const w = &window;
    ProgramState* const st = &state;
    PlatformServices* const s = &services;

    auto bindDocument = [w, s](const char* name, QByteArray (*document)(), const char* fileName) {
        if (auto* link = w->control<HyperlinkLabel>(QString::fromUtf8(name))) {
            QObject::connect(link, &HyperlinkLabel::activated, w, [w, s, document, fileName] {
                openEmbeddedDocument(document(), QString::fromUtf8(fileName), w->programDirectory(),
                                     *s);
            });
        }
    };
    bindDocument("超级链接框2", &tutorialDocument, kTutorialFileName);
    bindDocument("超级链接框3", &articleDocument, kArticleFileName);

    // The address is looked up on each click, the about page written on
    // each click, like the documents.
    auto openHomePage = [w, st, s] {
        const QString address = configuredHomePage(st->configStore);
        if (!address.isEmpty()) {
            s->openWithDesktop(address);
            return;
        }
        const QString settings =
            st->settingsFolder.isEmpty() ? w->programDirectory() : st->settingsFolder;
        openEmbeddedDocument(aboutDocument(settings, w->programDirectory()),
                             QString::fromUtf8(kAboutFileName), w->programDirectory(), *s);
    };
    const QString configured = configuredHomePage(state.configStore);
    const QString tip = configured.isEmpty() ? QStringLiteral("关于本程序") : configured;
    for (const char* name : {"图片软件主页", "图片岚川软件"}) {
        if (auto* picture = w->control<QToolButton>(QString::fromUtf8(name))) {
            picture->setToolTip(tip);
            QObject::connect(picture, &QToolButton::clicked, w, openHomePage);
        }
    }
    if (auto* link = w->control<HyperlinkLabel>(QStringLiteral("文字软件主页"))) {
        link->setToolTip(tip);
        QObject::connect(link, &HyperlinkLabel::activated, w, openHomePage);
    }
    if (auto* timer = w->control<QTimer>(QStringLiteral("时钟官网"))) {
        timer->setInterval(kBannerTickMilliseconds);
        QObject::connect(timer, &QTimer::timeout, w, [w, st] { advanceBanner(*w, *st); });
        timer->start();
    }
}

}  // namespace lcr
