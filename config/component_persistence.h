// Saving and restoring the state of a window's components, and the window's
// own placement and bounds, in the configuration store.
//
// A component takes part by the start of its name alone; the kind word in
// front says what is kept (key = the name, or the name and a suffix):
//
//   "按钮"         button          its tag               name".标记"  text
//   "编辑框"       edit box        its text              name         text
//   "选择框"       check box       checked               name         truth value
//   "单选框"       radio button    checked               name         truth value
//   "组合框"       combo box       current index         name         number
//                                  items (withComboList) name".列表"  byte block
//                                  edit text (withComboContent) name".内容" text
//   "列表框"       list box        items                 name         byte block
//                                  selected indexes      name".选中"  "0,2,5"
//   "选择列表框"   check-list box  items                 name         byte block
//                                  current index         name".选中"  number
//                                  checked indexes       name".打勾"  "0,2,5"
//   "颜色选择器"   colour picker   colour                name         number
//
// The tag "禁止保存" keeps a component out; on an edit box or a button the
// tag "字节集方式" keeps the state as a byte block (ConfigStore::writeBytes)
// instead of in the INI document. A restore reads every value with the
// component's present state as the default, so a key never written leaves
// the component as it is. Numbers put into a component are truncated toward
// zero (truncateToInt). Item lists are stored as the items joined by CR LF.
//
// The window's geometry lives in the section "<section>.尺寸" ("主界面.尺寸"
// when no section is named): "位置" (placement: 0 normal, 1 centred,
// 2 minimized, 3 maximized), then "左边", "顶边", "宽度", "高度", which are
// written only while the window is neither minimized nor maximized.
//
// Everything here is free of any toolkit: the window and its components come
// through the two small interfaces below (the Qt side: app/component_adapter.h).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lcr {

class ConfigStore;

enum class ComponentKind {
    Button,
    EditBox,
    CheckBox,
    RadioButton,
    ComboBox,
    ListBox,
    CheckListBox,
    ColourPicker,
};

// The kind named by the start of `name`; nothing when no kind word starts it.
std::optional<ComponentKind> componentKindOf(std::u16string_view name);

inline constexpr std::u16string_view kTagNoSave = u"禁止保存";
inline constexpr std::u16string_view kTagAsBytes = u"字节集方式";

// One component of a window as the store sees it. Each kind uses only the
// state its row above names; the rest keeps these defaults.
class Component {
public:
    virtual ~Component() = default;

    virtual std::u16string name() const = 0;
    virtual std::u16string tag() const = 0;
    virtual void setTag(std::u16string_view) {}

    // An edit box's text (CR LF line breaks), a combo box's edit text.
    virtual std::u16string text() const { return {}; }
    virtual void setText(std::u16string_view) {}

    virtual bool isChecked() const { return false; }
    virtual void setChecked(bool) {}

    // -1 when there is none; an index beyond the list is passed on as it is.
    virtual int currentIndex() const { return -1; }
    virtual void setCurrentIndex(int) {}

    virtual std::vector<std::u16string> items() const { return {}; }
    virtual void setItems(const std::vector<std::u16string>&) {}

    // List box: the selected items, ascending; selecting adds to them.
    virtual std::vector<int> selectedIndexes() const { return {}; }
    virtual void selectIndex(int) {}
    // Check-list box: the checked items, ascending; checking adds to them.
    virtual std::vector<int> checkedIndexes() const { return {}; }
    virtual void checkIndex(int) {}

    virtual int colour() const { return 0; }
    virtual void setColour(int) {}
};

struct WindowBounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const WindowBounds&) const = default;
};

inline constexpr int kPlacementNormal = 0;
inline constexpr int kPlacementCentred = 1;
inline constexpr int kPlacementMinimized = 2;
inline constexpr int kPlacementMaximized = 3;

// A window: its components and its placement and bounds.
class ComponentWindow {
public:
    virtual ~ComponentWindow() = default;

    // Every component at any depth (inside pages, frames and other
    // containers too), in the window's order.
    virtual std::vector<Component*> components() = 0;

    virtual int placement() const = 0;
    // An unknown state leaves the placement as it is.
    virtual void setPlacement(int state) = 0;
    virtual WindowBounds bounds() const = 0;
    // Moves and sizes the window in one step.
    virtual void setBounds(const WindowBounds& bounds) = 0;
};

struct PersistOptions {
    // Made the current section first when not empty.
    std::u16string section;
    // The components to go through; all of the window's when not given.
    std::optional<std::vector<Component*>> components;
    // Names (exact) that are skipped.
    std::vector<std::u16string> exclusions;
    bool withComboList = false;
    bool withComboContent = false;
};

// Saves (`restore` false) or restores every component of the window that has
// a name, is not excluded, has a kind word and is not tagged "禁止保存".
// Window events run before each component.
void persistComponents(ConfigStore& store, ComponentWindow& window, bool restore,
                       const PersistOptions& options = {});

// The geometry pair; the section "<section>.尺寸" stays the current one after
// the call.
void saveWindowGeometry(ConfigStore& store, ComponentWindow& window,
                        std::u16string_view section = {});
// Restores the placement; then, unless the window is now minimized or
// maximized, the bounds.
void restoreWindowGeometry(ConfigStore& store, ComponentWindow& window,
                           std::u16string_view section = {});

}  // namespace lcr
