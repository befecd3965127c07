#include "app/help_links.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTimer>
#include <QToolButton>

#include "app/main_window.h"
#include "app/platform_services.h"
#include "app/program_state.h"
#include "app/window_widgets.h"
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

    auto opener = [s](const QString& address) {
        return [s, address] { s->openWithDesktop(address); };
    };
    const QString productHome = QString::fromUtf8(kProductHomePage);
    const QString makerHome = QString::fromUtf8(kMakerHomePage);
    if (auto* picture = w->control<QToolButton>(QStringLiteral("图片软件主页"))) {
        picture->setToolTip(productHome);
        QObject::connect(picture, &QToolButton::clicked, w, opener(productHome));
    }
    if (auto* link = w->control<HyperlinkLabel>(QStringLiteral("文字软件主页"))) {
        link->setToolTip(productHome);
        QObject::connect(link, &HyperlinkLabel::activated, w, opener(productHome));
    }
    if (auto* banner = w->control<QToolButton>(QStringLiteral("图片岚川软件"))) {
        banner->setToolTip(makerHome);
        QObject::connect(banner, &QToolButton::clicked, w, opener(makerHome));
    }
    if (auto* timer = w->control<QTimer>(QStringLiteral("时钟官网"))) {
        timer->setInterval(kBannerTickMilliseconds);
        QObject::connect(timer, &QTimer::timeout, w, [w, st] { advanceBanner(*w, *st); });
        timer->start();
    }
}

}  // namespace lcr
