// The links of the top strip: the two help documents, the home pages and
// the maker's gliding banner.
//
// The home-page picture, its caption 软件主页 and the banner open the
// address written under the key 主页地址 of section [主界面] in the INI file
// when there is one; otherwise they write the program's own about page
// (name, version, engine, the licences of what it builds on, where its
// files are kept) beside the tutorials and open that, as the documents'
// links do.
//
// The two documents are compiled into the program. A click on a document's
// link writes it into the program directory under its name, replacing any
// earlier copy (so a copy the user edited or deleted is restored), and only
// when that write succeeded asks the desktop to open it. Neither a failed
// write nor a failed open is reported: the click simply has no effect.
//
//   bindHelpLinks(window, state, services);   // once, in the window's set-up
//
// The banner moves one pixel per tick of its 20 ms timer between the
// home-page picture and the tutorial link, and turns on the tick on which it
// first passes a bound, so it overshoots each bound by one pixel.
#pragma once

#include <QByteArray>
#include <QString>

namespace lcr {

class MainWindow;
class PlatformServices;
struct ProgramState;

class ConfigStore;

// Where a home-page address can be configured: [主界面] 主页地址=https://…
inline constexpr char16_t kHomePageSection[] = u"主界面";
inline constexpr char16_t kHomePageKey[] = u"主页地址";

// The names the documents are written under in the program directory.
inline constexpr char kTutorialFileName[] = "正则表达式30分钟入门教程.htm";
inline constexpr char kArticleFileName[] = "揭开正则表达式的神秘面纱.txt";
inline constexpr char kAboutFileName[] = "关于岚川·正则表达式助手.htm";

// The documents' bytes as they are written: the tutorial is an HTML page in
// UTF-8; the article is GB18030 text with CR LF line breaks.
QByteArray tutorialDocument();
QByteArray articleDocument();

// The about page, an HTML page in UTF-8. `settingsFolder` holds the INI
// file and inibin, `dataFolder` the expression file and the documents.
QByteArray aboutDocument(const QString& settingsFolder, const QString& dataFolder);

// The configured home-page address, trimmed; empty when none is set. Leaves
// the store's current section as it was.
QString configuredHomePage(ConfigStore& store);

// Writes `document` to programDirectory/fileName, creating the file or
// replacing it completely, and asks the desktop to open the written file.
// Returns whether the file was written; when it was not, nothing is opened.
bool openEmbeddedDocument(const QByteArray& document, const QString& fileName,
                          const QString& programDirectory, PlatformServices& services);

// The banner's position along the strip and its direction.
struct BannerMotion {
    int left = 0;
    bool movingLeft = false;
    bool operator==(const BannerMotion&) const = default;
};

// Space kept between the banner and its neighbours.
inline constexpr int kBannerMargin = 20;
// The banner timer's interval.
inline constexpr int kBannerTickMilliseconds = 20;

// One tick: the banner moves one pixel in its direction; when its left edge
// has gone below homePictureRight + kBannerMargin, or its right edge beyond
// tutorialLinkLeft - kBannerMargin, the direction turns for the next tick.
BannerMotion stepBanner(BannerMotion motion, int bannerWidth, int homePictureRight,
                        int tutorialLinkLeft);

// One tick on the window: moves `图片岚川软件` by stepBanner between
// `图片软件主页` and `超级链接框2` and keeps the direction in
// state.bannerMovingLeft. Does nothing when a control is missing.
void advanceBanner(MainWindow& window, ProgramState& state);

// Connects `超级链接框2` and `超级链接框3` to their documents, `图片软件主页`,
// `文字软件主页` and `图片岚川软件` to the home page (above), and `时钟官网`
// to advanceBanner, and starts the timer.
void bindHelpLinks(MainWindow& window, ProgramState& state, PlatformServices& services);

}  // namespace lcr
