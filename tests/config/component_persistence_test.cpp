#include "config/component_persistence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "config/config_store.h"
#include "tests/config/config_test_support.h"

namespace lcr {
namespace {

using testing::gb;
using testing::readFile;
using testing::show;
using testing::TempDir;

// A component that keeps every kind of state in plain fields.
struct FakeComponent final : Component {
    std::u16string componentName, componentTag, content;
    bool checked = false;
    int current = -1;
    std::vector<std::u16string> list;
    std::vector<int> selected, ticked;
    int colourValue = 0;

    FakeComponent(std::u16string n, std::u16string t = {})
        : componentName(std::move(n)), componentTag(std::move(t)) {}

    std::u16string name() const override { return componentName; }
    std::u16string tag() const override { return componentTag; }
    void setTag(std::u16string_view t) override { componentTag = t; }
    std::u16string text() const override { return content; }
    void setText(std::u16string_view t) override { content = t; }
    bool isChecked() const override { return checked; }
    void setChecked(bool c) override { checked = c; }
    int currentIndex() const override { return current; }
    void setCurrentIndex(int i) override { current = i; }
    std::vector<std::u16string> items() const override { return list; }
    void setItems(const std::vector<std::u16string>& l) override { list = l; }
    std::vector<int> selectedIndexes() const override { return selected; }
    void selectIndex(int i) override {
        if (std::find(selected.begin(), selected.end(), i) == selected.end()) {
            selected.push_back(i);
        }
    }
    std::vector<int> checkedIndexes() const override { return ticked; }
    void checkIndex(int i) override { ticked.push_back(i); }
    int colour() const override { return colourValue; }
    void setColour(int c) override { colourValue = c; }
};

struct FakeWindow final : ComponentWindow {
    std::vector<std::unique_ptr<FakeComponent>> parts;
    int state = kPlacementNormal;
    WindowBounds rect{50, 50, 1019, 689};

    FakeComponent& add(std::u16string name, std::u16string tag = {}) {
        parts.push_back(std::make_unique<FakeComponent>(std::move(name), std::move(tag)));
        return *parts.back();
    }
    FakeComponent& part(std::u16string_view name) {
        for (auto& p : parts) {
            if (p->componentName == name) {
                return *p;
            }
        }
        throw std::logic_error("no such component");
    }
    std::vector<Component*> components() override {
        std::vector<Component*> out;
        for (auto& p : parts) {
            out.push_back(p.get());
        }
        return out;
    }
    int placement() const override { return state; }
    void setPlacement(int s) override {
        if (s >= 0 && s <= 3) {
            state = s;
        }
    }
    WindowBounds bounds() const override { return rect; }
    void setBounds(const WindowBounds& b) override { rect = b; }
};

PersistOptions inSection(std::u16string section) {
    PersistOptions options;
    options.section = std::move(section);
    return options;
}

// The components of the main window's kinds, in their design states.
void addMainWindowKinds(FakeWindow& w) {
    w.add(u"图片框底座");  // no kind word: never touched
    w.add(u"编辑框过滤").content = u"*.*";
    w.add(u"组合框文件编码").current = 0;
    w.add(u"选择框多行模式").checked = true;
    w.add(u"选择框单行模式");
    w.add(u"编辑框提取表达式");
    w.add(u"编辑框提取文本", std::u16string(kTagAsBytes));
    w.add(u"编辑框替换结果", std::u16string(kTagNoSave));
    w.add(u"按钮标记", u"t1");
    w.add(u"");  // no name
}

TEST(ComponentPersistence, KindsByNamePrefix) {
    struct Case {
        std::u16string name;
        std::optional<ComponentKind> kind;
    };
    const Case cases[] = {
        {u"按钮1", ComponentKind::Button},
        {u"编辑框提取文本", ComponentKind::EditBox},
        {u"选择框多行模式", ComponentKind::CheckBox},
        {u"单选框甲", ComponentKind::RadioButton},
        {u"组合框经典正则", ComponentKind::ComboBox},
        {u"列表框1", ComponentKind::ListBox},
        {u"选择列表框1", ComponentKind::CheckListBox},
        {u"颜色选择器1", ComponentKind::ColourPicker},
        {u"超级按钮", std::nullopt},
        {u"标签19", std::nullopt},
        {u"编辑", std::nullopt},
        {u"", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(componentKindOf(c.name), c.kind) << toUtf8(c.name);
    }
}

TEST(ComponentPersistence, SaveWritesEachKindInItsForm) {
    TempDir dir;
    ConfigStore store;
    ASSERT_TRUE(store.load(dir / "w.ini"));
    FakeWindow window;
    addMainWindowKinds(window);
    window.part(u"编辑框提取表达式").content = u"(\\d+)\r\n[a-z]";
    window.part(u"编辑框提取文本").content = u"第一行\r\n第二行";
    window.part(u"编辑框替换结果").content = u"never saved";
    window.add(u"编辑框排除").content = u"excluded";

    PersistOptions options;
    options.section = u"主界面";
    options.exclusions = {u"编辑框排除"};
    persistComponents(store, window, false, options);
    EXPECT_EQ(show(store.wholeText()),
              show(gb(u"[主界面]\r\n按钮标记.标记=t1\r\n编辑框提取表达式=(\\d+)┊*┊[a-z]\r\n"
                      u"选择框单行模式=假\r\n选择框多行模式=真\r\n组合框文件编码=0\r\n"
                      u"编辑框过滤=*.*")));
    EXPECT_EQ(readFile(dir / "inibin" / "主界面-编辑框提取文本.ibn"), gb(u"第一行\r\n第二行"));
    EXPECT_EQ(store.currentSection(), u"主界面");
}

TEST(ComponentPersistence, RestoreUsesThePresentStateAsDefault) {
    TempDir dir;
    ConfigStore store;
    ASSERT_TRUE(store.load(dir / "w.ini"));
    store.setSection(u"主界面");
    store.writeBool(u"选择框单行模式", true);
    store.writeText(u"编辑框提取表达式", u"a\r\nb");
    store.writeText(u"编辑框替换结果", u"stored anyway");
    store.writeText(u"编辑框过滤", u"");  // an empty text is not missing
    store.writeNumber(u"组合框文件编码", 7.9);
    store.writeText(u"按钮标记.标记", u"t2");
    store.writeBytes(u"编辑框提取文本", gb(u"块"));

    FakeWindow window;
    addMainWindowKinds(window);
    window.part(u"编辑框替换结果").content = u"design";
    persistComponents(store, window, true, inSection(u"主界面"));
    EXPECT_TRUE(window.part(u"选择框单行模式").checked);
    EXPECT_TRUE(window.part(u"选择框多行模式").checked);  // never saved: as designed
    EXPECT_EQ(window.part(u"编辑框提取表达式").content, u"a\r\nb");
    EXPECT_EQ(window.part(u"编辑框替换结果").content, u"design");
    EXPECT_EQ(window.part(u"编辑框过滤").content, u"");
    EXPECT_EQ(window.part(u"组合框文件编码").current, 7);  // passed on unchanged
    EXPECT_EQ(window.part(u"按钮标记").componentTag, u"t2");
    EXPECT_EQ(window.part(u"编辑框提取文本").content, u"块");

    // A missing byte block leaves the box alone.
    std::filesystem::remove_all(dir / "inibin");
    window.part(u"编辑框提取文本").content = u"present";
    persistComponents(store, window, true);
    EXPECT_EQ(window.part(u"编辑框提取文本").content, u"present");
}

TEST(ComponentPersistence, WindowWithoutKindWordsWritesNothing) {
    ConfigStore store;
    FakeWindow window;
    window.add(u"标签1");
    window.add(u"框1");
    persistComponents(store, window, false, inSection(u"主界面"));
    EXPECT_EQ(store.wholeText(), "");
}

TEST(ComponentPersistence, ListsSelectionsAndColours) {
    TempDir dir;
    ConfigStore store;
    ASSERT_TRUE(store.load(dir / "w.ini"));
    FakeWindow saved;
    FakeComponent& list = saved.add(u"列表框1");
    list.list = {u"甲", u"乙", u"丙"};
    list.selected = {2, 0};
    FakeComponent& checks = saved.add(u"选择列表框1");
    checks.list = {u"x", u"y"};
    checks.current = 1;
    checks.ticked = {1};
    FakeComponent& combo = saved.add(u"组合框1");
    combo.list = {u"a", u"b"};
    combo.current = 1;
    combo.content = u"typed";
    saved.add(u"颜色选择器1").colourValue = 0xFF8000;
    saved.add(u"单选框1").checked = true;
    PersistOptions options = inSection(u"S");
    options.withComboList = true;
    options.withComboContent = true;
    persistComponents(store, saved, false, options);
    EXPECT_EQ(store.readText(u"列表框1.选中"), u"0,2");
    EXPECT_EQ(store.readText(u"选择列表框1.打勾"), u"1");

    FakeWindow restored;
    restored.add(u"列表框1").selected = {1};  // restoring adds to the selection
    restored.add(u"选择列表框1");
    restored.add(u"组合框1");
    restored.add(u"颜色选择器1");
    restored.add(u"单选框1");
    persistComponents(store, restored, true, options);
    EXPECT_EQ(restored.part(u"列表框1").list, list.list);
    EXPECT_EQ(restored.part(u"列表框1").selected, (std::vector<int>{1, 0, 2}));
    EXPECT_EQ(restored.part(u"选择列表框1").list, checks.list);
    EXPECT_EQ(restored.part(u"选择列表框1").current, 1);
    EXPECT_EQ(restored.part(u"选择列表框1").ticked, (std::vector<int>{1}));
    EXPECT_EQ(restored.part(u"组合框1").list, combo.list);
    EXPECT_EQ(restored.part(u"组合框1").current, 1);
    EXPECT_EQ(restored.part(u"组合框1").content, u"typed");
    EXPECT_EQ(restored.part(u"颜色选择器1").colourValue, 0xFF8000);
    EXPECT_TRUE(restored.part(u"单选框1").checked);
}

TEST(WindowGeometry, SavedKeysAndTheMaximizedCase) {
    ConfigStore store;
    FakeWindow window;
    saveWindowGeometry(store, window);
    EXPECT_EQ(store.currentSection(), u"主界面.尺寸");
    EXPECT_EQ(show(store.wholeText()),
              show(gb(u"[主界面.尺寸]\r\n高度=689\r\n宽度=1019\r\n顶边=50\r\n左边=50\r\n位置=0")));

    // Maximized: only the placement changes; the bounds stay those of the
    // last normal save.
    window.rect = {0, 0, 1280, 800};
    window.state = kPlacementMaximized;
    saveWindowGeometry(store, window);
    EXPECT_EQ(show(store.wholeText()),
              show(gb(u"[主界面.尺寸]\r\n高度=689\r\n宽度=1019\r\n顶边=50\r\n左边=50\r\n位置=3")));

    FakeWindow next;
    next.rect = {1, 2, 3, 4};
    restoreWindowGeometry(store, next);
    EXPECT_EQ(next.state, kPlacementMaximized);
    EXPECT_EQ(next.rect, (WindowBounds{1, 2, 3, 4}));  // not moved

    window.state = kPlacementNormal;
    window.rect = {10, 20, 800, 600};
    saveWindowGeometry(store, window, u"其他");
    FakeWindow other;
    restoreWindowGeometry(store, other, u"其他");
    EXPECT_EQ(other.rect, (WindowBounds{10, 20, 800, 600}));
    EXPECT_EQ(store.currentSection(), u"其他.尺寸");
}

}  // namespace
}  // namespace lcr
