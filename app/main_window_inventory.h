// The main window's controls as designed: name, kind, container, design
// geometry (relative to the container), caption and tag. The window builds
// its widgets from this table and the layout reads its design geometry, so
// every control is described in this one place.
#pragma once

#include <string>
#include <vector>

#include "app/main_window_layout.h"

namespace lcr {

enum class ControlKind {
    Label,
    ActionLabel,    // a label with the hand cursor that reacts to a left press
    EditBox,        // single line
    MultiLineEdit,  // multi-line plain text
    ListView,       // report-style list
    CheckBox,
    ComboBox,
    Splitter,  // a horizontal bar the user drags
    Frame,
    PictureBox,
    Hyperlink,
    PictureButton,
    Button,
    TabControl,
    Timer,
};

struct DesignedControl {
    std::string name;
    ControlKind kind;
    std::string parent;  // empty: a direct child of the window
    int page = -1;       // for the page frames: the page of the tab control
    ControlRect design;
    std::string caption;             // caption, text or first item
    std::vector<std::string> items;  // combo box items, list view columns, tab pages
    std::string tag;
};

// Every control, containers before their children, in the window's order.
const std::vector<DesignedControl>& mainWindowControls();
const DesignedControl* findDesignedControl(const std::string& name);

inline constexpr int kDesignWindowLeft = 50;
inline constexpr int kDesignWindowTop = 50;
inline constexpr int kDesignWindowWidth = 1019;
inline constexpr int kDesignWindowHeight = 689;

// The caption, set when the window has been created (seventeen spaces).
inline constexpr const char* kMainWindowCaption =
    "岚川·正则表达式助手(LCRegular) v1.6.3.1                 基于Deelx正则引擎";

}  // namespace lcr
