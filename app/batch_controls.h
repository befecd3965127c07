// The two batch labels of the main window: 标签批量提取 (batch extract, on the
// extract page) and 标签批量替换 (batch replace, on the replace page).
//
//   bindBatchRuns(window, state, services);   // once, in the window's set-up
//
// A left click runs the label's operation over a folder's files: the folder
// chooser, then the files of 编辑框过滤's filter (ListFilesByPattern; with
// Ctrl alone held, ListFilesByExpression). A right click runs it over files
// picked in the file chooser. Both choosers start at the label's remembered
// folder (its "tag"), which each start updates.
//
// The label's caption is its run state: "批量提取.." / "批量替换.." idle,
// "立即停止.." running (already while the chooser is open), "停止中.." once a
// further click has asked the run to stop. Both labels share one stop flag,
// cleared when a run starts, so a click on the idle other label during a run
// starts the other kind inside it, and one stop request ends both, the inner
// one first. Files are taken in name order. While a run goes on the window's
// caption shows "总 n 个文件，正处理第 i 个文件：name", a strip along the
// window's bottom ("批处理进度") shows a progress bar reading "i / n" and the
// file's name, and the window stays usable. At the end the window's caption
// returns, and the completion question states the run's summary
// ("已完成 n 个文件" or "已停止：完成 i / n 个文件", the counts, the problems;
// all problems also in a scrollable list, "批处理问题", when there are more
// than ten) before it offers to open the output folder in the file manager.
// An empty file list (a cancelled chooser, a folder without matching files)
// does nothing at all.
//
// Closing the window during a run asks whether to stop it; on Yes the run
// stops at its next check point, its summary is shown, and the window then
// closes.
//
// 结果编码 ("组合框提取输出编码"), just left of 标签批量提取, chooses the
// charset of batch extraction's output: GBK, UTF-8 or the source's own. It is
// remembered in [主界面.尺寸] as "提取输出编码".
//
// The runs themselves are batch/batch_run.h; this file only reads the
// window's controls for them and shows their progress and end.
#pragma once

namespace lcr {

class MainWindow;
class PlatformServices;
struct ProgramState;

// Binds both batch labels of `window`. The binding lives as long as the
// window; binding a window a second time changes nothing.
void bindBatchRuns(MainWindow& window, ProgramState& state, PlatformServices& services);

}  // namespace lcr
