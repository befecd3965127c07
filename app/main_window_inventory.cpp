#include "app/main_window_inventory.h"

namespace lcr {

namespace {

using K = ControlKind;

std::vector<DesignedControl> buildInventory() {
    std::vector<DesignedControl> c;
    auto add = [&c](std::string name, K kind, std::string parent, ControlRect rect,
                    std::string caption = {}, std::vector<std::string> items = {},
                    std::string tag = {}, int page = -1) {
        c.push_back({std::move(name), kind, std::move(parent), page, rect, std::move(caption),
                     std::move(items), std::move(tag)});
    };
    // Direct children of the window.
    add("图片框底座", K::PictureBox, "", {0, 0, 1104, 90});
    add("超级按钮", K::Button, "", {0, 91, 64, 16});
    add("框4", K::Frame, "", {266, 109, 766, 30});
    add("选择夹", K::TabControl, "", {0, 111, 1013, 567}, {},
        {" 正则提取 ", " 正则替换 ", " 语法帮助 "});

    // The top strip.
    add("标签12", K::Label, "图片框底座", {-1, 88, 1643, 2});
    add("图片软件主页", K::PictureButton, "图片框底座", {16, 0, 64, 64});
    add("文字软件主页", K::Hyperlink, "图片框底座", {16, 64, 64, 24}, "软件主页");
    add("图片岚川软件", K::PictureButton, "图片框底座", {224, 12, 195, 64});
    add("时钟官网", K::Timer, "图片框底座", {});
    add("超级链接框2", K::Hyperlink, "图片框底座", {518, 19, 240, 24},
        "入门：正则表达式30分钟入门教程");
    add("超级链接框3", K::Hyperlink, "图片框底座", {518, 51, 240, 24},
        "进阶：揭开正则表达式的神秘面纱");
    add("标签28", K::Label, "图片框底座", {782, 19, 130, 24}, "批处理文件编码：");
    add("组合框文件编码", K::ComboBox, "图片框底座", {910, 19, 88, 24}, {},
        {"自动识别", "GBK", "UTF-8", "Unicode", "Unicode be"});
    add("标签30", K::Label, "图片框底座", {782, 51, 130, 24}, "批处理文件过滤：");
    add("编辑框过滤", K::EditBox, "图片框底座", {910, 51, 88, 24}, "*.*");

    // The options frame.
    add("组合框经典正则", K::ComboBox, "框4", {8, 4, 158, 23}, "经典正则表达式");
    add("选择框忽略大小写", K::CheckBox, "框4", {182, 0, 88, 30}, "无大小写");
    add("选择框多行模式", K::CheckBox, "框4", {271, 0, 55, 30}, "多行");
    add("选择框单行模式", K::CheckBox, "框4", {328, 0, 55, 30}, "单行");
    add("选择框扩展模式", K::CheckBox, "框4", {386, 0, 55, 30}, "扩展");
    add("选择框替换全部", K::CheckBox, "框4", {447, 0, 88, 30}, "替换全部");
    add("选择框矫正换行", K::CheckBox, "框4", {536, 0, 86, 30}, "矫正换行");
    // 自动执行 is a little narrower, so 高亮 fits before the window's edge.
    add("选择框自动执行", K::CheckBox, "框4", {624, 0, 72, 30}, "自动执行");
    add("选择框高亮", K::CheckBox, "框4", {696, 0, 48, 30}, "高亮");

    // The page frames.
    add("框1", K::Frame, "选择夹", {1, 35, 711, 514}, {}, {}, {}, 0);
    add("框2", K::Frame, "选择夹", {1, 35, 679, 514}, {}, {}, {}, 1);
    add("框3", K::Frame, "选择夹", {1, 35, 839, 514}, {}, {}, {}, 2);

    // The extract page.
    add("标签2", K::Label, "框1", {8, 8, 659, 24}, "要提取的文本");
    add("标签23", K::ActionLabel, "框1", {8, 8, 64, 24}, "清空");
    add("标签10", K::ActionLabel, "框1", {71, 8, 64, 24}, "粘贴");
    add("标签11", K::ActionLabel, "框1", {134, 8, 64, 24}, "复制");
    add("编辑框提取文本", K::MultiLineEdit, "框1", {8, 31, 659, 105}, {}, {}, "字节集方式");
    add("分隔条_提取1", K::Splitter, "框1", {8, 136, 648, 12});
    add("标签1", K::Label, "框1", {8, 148, 659, 24}, "提取表达式");
    add("标签22", K::ActionLabel, "框1", {8, 148, 64, 24}, "清空");
    add("标签8", K::ActionLabel, "框1", {71, 148, 64, 24}, "粘贴");
    add("标签9", K::ActionLabel, "框1", {134, 148, 64, 24}, "复制");
    add("标签解释提取", K::ActionLabel, "框1", {603, 148, 64, 24}, "解释");  // beyond the design
    add("编辑框提取表达式", K::MultiLineEdit, "框1", {8, 171, 659, 54});
    add("分隔条_提取2", K::Splitter, "框1", {8, 225, 648, 12});
    add("标签3", K::Label, "框1", {8, 237, 659, 24}, "提取结果");
    add("标签提取", K::ActionLabel, "框1", {8, 237, 127, 24}, "提取");
    add("标签13", K::ActionLabel, "框1", {134, 237, 64, 24}, "复制");
    add("标签19", K::ActionLabel, "框1", {197, 237, 64, 24}, "格式..", {}, "#0");
    add("标签批量提取", K::ActionLabel, "框1", {540, 237, 127, 24}, "批量提取..");
    add("提取结果", K::ListView, "框1", {8, 260, 659, 246}, {}, {"序号", "提取文本", "子文本"});

    // The replace page.
    add("标签5", K::Label, "框2", {8, 8, 659, 24}, "要替换的文本");
    add("标签27", K::ActionLabel, "框2", {8, 8, 64, 24}, "清空");
    add("标签20", K::ActionLabel, "框2", {71, 8, 64, 24}, "粘贴");
    add("标签21", K::ActionLabel, "框2", {134, 8, 64, 24}, "复制");
    add("编辑框替换文本", K::MultiLineEdit, "框2", {8, 31, 659, 105}, {}, {}, "字节集方式");
    add("分隔条_替换1", K::Splitter, "框2", {8, 136, 648, 12});
    add("标签6", K::Label, "框2", {8, 148, 659, 24}, "匹配表达式");
    add("标签25", K::ActionLabel, "框2", {8, 148, 64, 24}, "清空");
    add("标签14", K::ActionLabel, "框2", {71, 148, 64, 24}, "粘贴");
    add("标签15", K::ActionLabel, "框2", {134, 148, 64, 24}, "复制");
    add("标签解释匹配", K::ActionLabel, "框2", {603, 148, 64, 24}, "解释");  // beyond the design
    add("编辑框匹配表达式", K::MultiLineEdit, "框2", {8, 171, 659, 54});
    add("分隔条_替换2", K::Splitter, "框2", {8, 225, 648, 12});
    add("标签4", K::Label, "框2", {8, 237, 659, 24}, "替换表达式");
    add("标签24", K::ActionLabel, "框2", {8, 237, 64, 24}, "清空");
    add("标签16", K::ActionLabel, "框2", {71, 237, 64, 24}, "粘贴");
    add("标签17", K::ActionLabel, "框2", {134, 237, 64, 24}, "复制");
    add("标签解释替换", K::ActionLabel, "框2", {603, 237, 64, 24}, "解释");  // beyond the design
    add("编辑框替换表达式", K::MultiLineEdit, "框2", {8, 260, 659, 54});
    add("分隔条_替换3", K::Splitter, "框2", {8, 314, 648, 12});
    add("标签7", K::Label, "框2", {8, 326, 659, 24}, "替换结果");
    add("标签替换", K::ActionLabel, "框2", {8, 326, 127, 24}, "替换");
    add("标签18", K::ActionLabel, "框2", {134, 326, 64, 24}, "复制");
    add("标签批量替换", K::ActionLabel, "框2", {540, 326, 127, 24}, "批量替换..");
    add("编辑框替换结果", K::MultiLineEdit, "框2", {8, 349, 659, 155}, {}, {}, "禁止保存");

    // The syntax page.
    add("语法", K::ListView, "框3", {8, 9, 807, 497}, {},
        {"表达式", "注释（右键单击可以复制表达式）"});
    return c;
}

}  // namespace

const std::vector<DesignedControl>& mainWindowControls() {
    static const std::vector<DesignedControl> inventory = buildInventory();
    return inventory;
}

const DesignedControl* findDesignedControl(const std::string& name) {
    for (const DesignedControl& designed : mainWindowControls()) {
        if (designed.name == name) {
            return &designed;
        }
    }
    return nullptr;
}

}  // namespace lcr
