#include "app/main_window_layout.h"

#include <initializer_list>
#include <utility>

#include "app/main_window_inventory.h"

namespace lcr {

namespace {

class Placement {
public:
    ControlRect& operator[](const std::string& name) {
        auto it = m_rects.find(name);
        if (it == m_rects.end()) {
            it = m_rects.emplace(name, findDesignedControl(name)->design).first;
        }
        return it->second;
    }
    std::map<std::string, ControlRect> take() { return std::move(m_rects); }

private:
    std::map<std::string, ControlRect> m_rects;
};

int bottom(const ControlRect& r) {
    return r.top + r.height;
}

}  // namespace

int* splitterTop(SplitterTops& tops, const std::string& name) {
    if (name == "分隔条_提取1")
        return &tops.extract1;
    if (name == "分隔条_提取2")
        return &tops.extract2;
    if (name == "分隔条_替换1")
        return &tops.replace1;
    if (name == "分隔条_替换2")
        return &tops.replace2;
    if (name == "分隔条_替换3")
        return &tops.replace3;
    return nullptr;
}

std::map<std::string, ControlRect> layoutMainWindow(const LayoutInput& in) {
    Placement p;
    const int W = in.clientWidth;
    const int H = in.clientHeight;
    const int hdr = in.tabHeaderHeight;

    p["分隔条_提取1"].top = in.splitters.extract1;
    p["分隔条_提取2"].top = in.splitters.extract2;
    p["分隔条_替换1"].top = in.splitters.replace1;
    p["分隔条_替换2"].top = in.splitters.replace2;
    p["分隔条_替换3"].top = in.splitters.replace3;

    // The strip, its bottom line and the tab control.
    p["图片框底座"] = {0, 0, W, p["图片框底座"].height};
    p["标签12"] = {0, 88, W, p["标签12"].height};
    const ControlRect& templateButton = p["超级按钮"];
    p["选择夹"] = {0, bottom(templateButton) + 1, W, H - (p["图片框底座"].height + 10)};

    // The page frames fill the tab control below its header.
    const ControlRect tabs = p["选择夹"];
    const ControlRect frame{1, hdr + 4, tabs.width - 2, tabs.height - hdr - 4};
    p["框1"] = p["框2"] = p["框3"] = frame;

    // The options frame lies over the tab header, right of the page captions.
    p["框4"].top = tabs.top + 2;

    // A row: the labels take the top `r`, its box starts one pixel above the
    // labels' bottom and ends at the top of `endTop`.
    auto row = [&p](int r, std::initializer_list<const char*> labels, const char* heading,
                    const char* box) {
        for (const char* label : labels) {
            p[label].top = r;
        }
        p[heading].top = r;
        ControlRect& b = p[box];
        b.top = bottom(p[heading]) - 1;
        return &b;
    };

    // The extract page.
    ControlRect& extractText = p["编辑框提取文本"];
    extractText.height = p["分隔条_提取1"].top - extractText.top;
    ControlRect* box =
        row(bottom(p["分隔条_提取1"]), {"标签22", "标签8", "标签9"}, "标签1", "编辑框提取表达式");
    box->height = p["分隔条_提取2"].top - box->top;
    box = row(bottom(p["分隔条_提取2"]), {"标签13", "标签19", "标签提取", "标签批量提取"}, "标签3",
              "提取结果");
    box->height = p["框1"].height - box->top - 10;

    // The replace page.
    ControlRect& replaceText = p["编辑框替换文本"];
    replaceText.height = p["分隔条_替换1"].top - replaceText.top;
    box =
        row(bottom(p["分隔条_替换1"]), {"标签25", "标签14", "标签15"}, "标签6", "编辑框匹配表达式");
    box->height = p["分隔条_替换2"].top - box->top;
    box =
        row(bottom(p["分隔条_替换2"]), {"标签24", "标签16", "标签17"}, "标签4", "编辑框替换表达式");
    box->height = p["分隔条_替换3"].top - box->top;
    box = row(bottom(p["分隔条_替换3"]), {"标签18", "标签替换", "标签批量替换"}, "标签7",
              "编辑框替换结果");
    box->height = p["框2"].height - box->top - 10;

    // Widths follow the frame, with the text box's left as the margin.
    const int w = p["框1"].width - 2 * p["编辑框提取文本"].left;
    for (const char* name : {"编辑框提取文本",
                             "编辑框提取表达式",
                             "提取结果",
                             "标签1",
                             "标签2",
                             "标签3",
                             "标签4",
                             "标签5",
                             "标签6",
                             "标签7",
                             "编辑框替换文本",
                             "编辑框匹配表达式",
                             "编辑框替换表达式",
                             "编辑框替换结果",
                             "语法",
                             "分隔条_替换3",
                             "分隔条_替换2",
                             "分隔条_替换1",
                             "分隔条_提取2",
                             "分隔条_提取1"}) {
        p[name].width = w;
    }

    // The batch labels align right with their headings.
    p["标签批量替换"].left = p["标签7"].left + p["标签7"].width - p["标签批量替换"].width;
    p["标签批量提取"].left = p["标签3"].left + p["标签3"].width - p["标签批量提取"].width;

    // The 解释 labels sit at the right end of the expression headings.
    for (const auto& [label, heading] :
         {std::pair{"标签解释提取", "标签1"}, std::pair{"标签解释匹配", "标签6"},
          std::pair{"标签解释替换", "标签4"}}) {
        const ControlRect h = p[heading];
        p[label].top = h.top;
        p[label].left = h.left + h.width - p[label].width;
    }

    ControlRect& syntax = p["语法"];
    syntax.height = p["框3"].height - syntax.top - 10;
    return p.take();
}

}  // namespace lcr
