// The main window's saved settings in the configuration store.
//
// Section [主界面] holds the component states (config/component_persistence.h):
// the options, the expression boxes, 编辑框过滤 and the two combo boxes; the
// two source texts go to inibin/主界面-编辑框提取文本.ibn and
// 主界面-编辑框替换文本.ibn (their tag "字节集方式"); 编辑框替换结果 (tag
// "禁止保存") is never saved. Section [主界面.尺寸] holds the geometry ("位置",
// "左边", "顶边", "宽度", "高度"), the tops of the five splitters under their
// names, "复制表达式" (the copy format, the tag of 标签19), "当前栏目" (the
// page of 选择夹) and "提取路径"/"替换路径" (the batch folders, the tags of
// 标签批量提取 and 标签批量替换).
//
// Every read uses the control's present value as its default, so a fresh or
// missing INI file leaves the window as designed.
#pragma once

#include <QList>
#include <QString>

namespace lcr {

class ConfigStore;
class MainWindow;
class PlatformServices;
class ProgramTextEdit;

// Load mode (`save` false), from the window's created handler: puts the
// stored values into the window. Save mode, from its close handler: stores
// the window's present values. The window's change events fire while
// values are restored; the caller has not marked the window ready yet.
void persistMainWindow(MainWindow& window, ConfigStore& store, bool save);

// The two parts of save mode, for saving while the user works
// (app/main_window_autosave.h): everything but the texts kept as byte
// blocks, in the order save mode writes it; and one such text.
void saveMainWindowSettings(MainWindow& window, ConfigStore& store);
void saveMainWindowText(MainWindow& window, ConfigStore& store, ProgramTextEdit& box);
// The edit boxes whose text is kept as a byte block (tag "字节集方式").
QList<ProgramTextEdit*> byteBlockTextBoxes(const MainWindow& window);

// The start routine's part: lets the store run window events through
// yieldToUi and show its messages through `services`, then loads it on the
// INI file "岚川·正则表达式助手.ini" in `programDirectory`. Returns what load
// returns (false: the store works in memory for this run).
bool openConfigStore(ConfigStore& store, PlatformServices& services,
                     const QString& programDirectory);

}  // namespace lcr
