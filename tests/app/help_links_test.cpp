#include "app/help_links.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include "app/main_window.h"
#include "app/program_state.h"
#include "app/window_widgets.h"
#include "tests/app/scripted_platform_services.h"
#include "text/gb18030.h"

namespace lcr {
namespace {

// Design geometry of the strip: the home-page picture ends at 16 + 64, the
// tutorial link starts at 518, the banner is 195 wide and starts at 224.
constexpr int kHomeRight = 80;
constexpr int kLinkLeft = 518;
constexpr int kBannerWidth = 195;
constexpr int kBannerStart = 224;

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

TEST(BannerStepTest, TurnsOnePixelBeyondEachBound) {
    BannerMotion motion{kBannerStart, false};
    std::vector<int> turns;  // the left edge on each tick that turned
    int lowest = motion.left;
    int highest = motion.left;
    for (int tick = 0; tick < 2000; ++tick) {
        const BannerMotion next = stepBanner(motion, kBannerWidth, kHomeRight, kLinkLeft);
        ASSERT_EQ(std::abs(next.left - motion.left), 1);
        if (next.movingLeft != motion.movingLeft) {
            turns.push_back(next.left);
        }
        lowest = std::min(lowest, next.left);
        highest = std::max(highest, next.left);
        motion = next;
    }
    ASSERT_GE(turns.size(), 4u);
    EXPECT_EQ(turns[0], 304);  // right edge 499, one past 498
    EXPECT_EQ(turns[1], 99);   // one short of 100
    EXPECT_EQ(turns[2], 304);
    EXPECT_EQ(turns[3], 99);
    EXPECT_EQ(lowest, 99);
    EXPECT_EQ(highest + kBannerWidth, 499);
}

class HelpLinksTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    ProgramState state;
    testing::ScriptedPlatformServices services;
    std::unique_ptr<MainWindow> window;

    void open(const QString& programDirectory) {
        // The window binds its links while it is created.
        window = std::make_unique<MainWindow>(state, services, programDirectory);
    }
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    HyperlinkLabel* link(const char* name) {
        auto* l = window->control<HyperlinkLabel>(QString::fromUtf8(name));
        EXPECT_NE(l, nullptr) << name;
        return l;
    }
    QToolButton* button(const char* name) {
        auto* b = window->control<QToolButton>(QString::fromUtf8(name));
        EXPECT_NE(b, nullptr) << name;
        return b;
    }
    QString pathOf(const char* fileName) const {
        return QDir(dir.path()).filePath(QString::fromUtf8(fileName));
    }
};

TEST_F(HelpLinksTest, EveryClickRewritesTheTutorialAndOpensIt) {
    open(dir.path());
    const QString path = pathOf(kTutorialFileName);
    const QByteArray page = readFile(QStringLiteral(LCR_RESOURCES_DIR "/tutorial.htm"));
    ASSERT_FALSE(page.isEmpty());

    emit link("超级链接框2")->activated();
    EXPECT_EQ(readFile(path), page);

    // An edited copy is replaced completely by the next click.
    writeFile(path, QByteArray(100000, 'x'));
    emit link("超级链接框2")->activated();
    EXPECT_EQ(readFile(path), page);
    EXPECT_EQ(services.opened, QStringList({path, path}));
}

TEST_F(HelpLinksTest, DeletedArticleIsWrittenAgainAsGb18030WithCrLf) {
    open(dir.path());
    const QString path = pathOf(kArticleFileName);
    emit link("超级链接框3")->activated();
    ASSERT_TRUE(QFile::remove(path));
    emit link("超级链接框3")->activated();
    EXPECT_EQ(services.opened, QStringList({path, path}));

    const QByteArray bytes = readFile(path);
    EXPECT_EQ(bytes, articleDocument());
    const std::string title = encodeGb18030(u"揭开正则表达式的神秘面纱") + "\r\n";
    EXPECT_TRUE(bytes.startsWith(QByteArray::fromStdString(title)));
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' || bytes[i] == '\r') {
            ASSERT_TRUE(i + 1 < bytes.size() && bytes[i] == '\r' && bytes[i + 1] == '\n')
                << "lone line break at byte " << i;
            ++i;
        }
    }
    // Decoding gives back the source text: nothing was lost on the way.
    const QString source =
        QString::fromUtf8(readFile(QStringLiteral(LCR_RESOURCES_DIR "/article.txt")));
    const std::u16string decoded = decodeGb18030(bytes.toStdString());
    EXPECT_EQ(QString::fromStdU16String(decoded).remove(QLatin1Char('\r')), source);
}

TEST_F(HelpLinksTest, UnwritableProgramDirectoryOpensNothing) {
    // A directory below a regular file cannot be created or written, even by
    // root.
    const QString blocker = QDir(dir.path()).filePath(QStringLiteral("file"));
    writeFile(blocker, "x");
    open(QDir(blocker).filePath(QStringLiteral("program")));

    emit link("超级链接框2")->activated();
    emit link("超级链接框3")->activated();
    EXPECT_TRUE(services.opened.isEmpty());
    EXPECT_TRUE(services.messages.isEmpty());
}

TEST_F(HelpLinksTest, FailedOpenIsNotReported) {
    services.openSucceeds = false;
    open(dir.path());
    emit link("超级链接框3")->activated();
    EXPECT_EQ(services.opened.size(), 1);
    EXPECT_TRUE(services.messages.isEmpty());
    EXPECT_TRUE(QFile::exists(pathOf(kArticleFileName)));
}

TEST_F(HelpLinksTest, HomePagesOpenTheAboutPageWrittenBesideTheTutorials) {
    state.settingsFolder = QStringLiteral("/home/某人/.config/LCRegular");
    open(dir.path());
    const QString path = pathOf(kAboutFileName);
    button("图片软件主页")->click();
    ASSERT_TRUE(QFile::remove(path));  // written again on the next click
    emit link("文字软件主页")->activated();
    button("图片岚川软件")->click();
    EXPECT_EQ(services.opened, QStringList({path, path, path}));

    const QString page = QString::fromUtf8(readFile(path));
    EXPECT_TRUE(page.contains(QStringLiteral("<meta charset=\"utf-8\">")));
    EXPECT_TRUE(page.contains(QStringLiteral("岚川·正则表达式助手")));
    EXPECT_TRUE(page.contains(QStringLiteral("版本 " LCR_PROJECT_VERSION)));
    EXPECT_TRUE(page.contains(QStringLiteral("PCRE2 ")));
    EXPECT_TRUE(page.contains(QStringLiteral("LGPL")));
    EXPECT_TRUE(page.contains(state.settingsFolder));  // where the settings are
    EXPECT_TRUE(page.contains(QDir::toNativeSeparators(QDir(dir.path()).absolutePath())));
    EXPECT_FALSE(page.contains(QStringLiteral(".example")));
}

TEST_F(HelpLinksTest, ConfiguredHomePageIsOpenedInstead) {
    state.configStore.setSection(u"主界面.尺寸");
    const std::u16string section = state.configStore.currentSection();
    state.configStore.setSection(kHomePageSection);
    state.configStore.writeText(kHomePageKey, u"  https://example.org/正则  ");
    state.configStore.setSection(section);
    open(dir.path());

    button("图片软件主页")->click();
    emit link("文字软件主页")->activated();
    button("图片岚川软件")->click();
    const QString address = QStringLiteral("https://example.org/正则");
    EXPECT_EQ(services.opened, QStringList({address, address, address}));
    EXPECT_FALSE(QFile::exists(pathOf(kAboutFileName)));
    EXPECT_EQ(button("图片软件主页")->toolTip(), address);
    EXPECT_EQ(state.configStore.currentSection(), section);  // the lookup leaves it alone
}

TEST_F(HelpLinksTest, TimerGlidesTheBannerAndKeepsTheDirection) {
    open(dir.path());
    auto* timer = window->control<QTimer>(QStringLiteral("时钟官网"));
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), kBannerTickMilliseconds);

    QToolButton* banner = button("图片岚川软件");
    EXPECT_EQ(banner->x(), kBannerStart);
    const int top = banner->y();
    timer->stop();  // the ticks below are the test's own
    banner->move(303, top);
    advanceBanner(*window, state);
    EXPECT_EQ(banner->pos(), QPoint(304, top));
    EXPECT_TRUE(state.bannerMovingLeft);
    advanceBanner(*window, state);
    EXPECT_EQ(banner->x(), 303);

    banner->move(100, top);
    advanceBanner(*window, state);
    EXPECT_EQ(banner->x(), 99);
    EXPECT_FALSE(state.bannerMovingLeft);
}

}  // namespace
}  // namespace lcr
