#include "config/component_persistence.h"

#include <algorithm>

#include "config/config_store.h"
#include "config/stored_forms.h"
#include "text/gb18030.h"
#include "text/program_text.h"

namespace lcr {

namespace {

constexpr std::u16string_view kGeometrySuffix = u".尺寸";
constexpr std::u16string_view kDefaultGeometrySection = u"主界面";

std::u16string keyWith(std::u16string_view name, std::u16string_view suffix) {
    std::u16string key(name);
    key += suffix;
    return key;
}

// Item lists as a byte block: the items joined by CR LF.
std::string listBytes(const std::vector<std::u16string>& items) {
    std::u16string joined;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) {
            joined += u"\r\n";
        }
        joined += items[i];
    }
    return encodeGb18030(joined);
}

std::vector<std::u16string> listFromBytes(std::string_view block) {
    return splitText(decodeGb18030(block), u"\r\n");
}

std::u16string indexList(std::vector<int> indexes) {
    std::sort(indexes.begin(), indexes.end());
    std::u16string text;
    for (std::size_t i = 0; i < indexes.size(); ++i) {
        if (i > 0) {
            text += u",";
        }
        text += formatStoredNumber(indexes[i]);
    }
    return text;
}

// A part that is not a number counts as 0.
std::vector<int> indexesFromList(std::u16string_view text) {
    std::vector<int> indexes;
    for (const std::u16string& part : splitText(text, u",")) {
        indexes.push_back(truncateToInt(parseStoredNumber(part)));
    }
    return indexes;
}

// A text or its byte block (asBytes) under `key`.
void saveText(ConfigStore& store, std::u16string_view key, std::u16string_view text, bool asBytes) {
    if (asBytes) {
        store.writeBytes(key, encodeGb18030(text));
    } else {
        store.writeText(key, text);
    }
}

std::u16string restoreText(ConfigStore& store, std::u16string_view key, std::u16string_view text,
                           bool asBytes) {
    if (asBytes) {
        return decodeGb18030(store.readBytes(key, encodeGb18030(text)));
    }
    return store.readText(key, text);
}

void saveComponent(ConfigStore& store, Component& c, ComponentKind kind, bool asBytes,
                   const PersistOptions& options) {
    const std::u16string name = c.name();
    switch (kind) {
        case ComponentKind::Button:
            saveText(store, keyWith(name, u".标记"), c.tag(), asBytes);
            break;
        case ComponentKind::EditBox:
            saveText(store, name, c.text(), asBytes);
            break;
        case ComponentKind::CheckBox:
        case ComponentKind::RadioButton:
            store.writeBool(name, c.isChecked());
            break;
        case ComponentKind::ComboBox:
            store.writeNumber(name, c.currentIndex());
            if (options.withComboList) {
                store.writeBytes(keyWith(name, u".列表"), listBytes(c.items()));
            }
            if (options.withComboContent) {
                store.writeText(keyWith(name, u".内容"), c.text());
            }
            break;
        case ComponentKind::ListBox:
            store.writeBytes(name, listBytes(c.items()));
            store.writeText(keyWith(name, u".选中"), indexList(c.selectedIndexes()));
            break;
        case ComponentKind::CheckListBox:
            store.writeBytes(name, listBytes(c.items()));
            store.writeNumber(keyWith(name, u".选中"), c.currentIndex());
            store.writeText(keyWith(name, u".打勾"), indexList(c.checkedIndexes()));
            break;
        case ComponentKind::ColourPicker:
            store.writeNumber(name, c.colour());
            break;
    }
}

void restoreComponent(ConfigStore& store, Component& c, ComponentKind kind, bool asBytes,
                      const PersistOptions& options) {
    const std::u16string name = c.name();
    switch (kind) {
        case ComponentKind::Button:
            c.setTag(restoreText(store, keyWith(name, u".标记"), c.tag(), asBytes));
            break;
        case ComponentKind::EditBox:
            c.setText(restoreText(store, name, c.text(), asBytes));
            break;
        case ComponentKind::CheckBox:
        case ComponentKind::RadioButton:
            c.setChecked(store.readBool(name, c.isChecked()));
            break;
        case ComponentKind::ComboBox:
            c.setCurrentIndex(truncateToInt(store.readNumber(name, c.currentIndex())));
            if (options.withComboList) {
                c.setItems(
                    listFromBytes(store.readBytes(keyWith(name, u".列表"), listBytes(c.items()))));
            }
            if (options.withComboContent) {
                c.setText(store.readText(keyWith(name, u".内容"), c.text()));
            }
            break;
        case ComponentKind::ListBox: {
            const std::u16string selected = indexList(c.selectedIndexes());
            c.setItems(listFromBytes(store.readBytes(name, listBytes(c.items()))));
            for (int index : indexesFromList(store.readText(keyWith(name, u".选中"), selected))) {
                c.selectIndex(index);
            }
            break;
        }
        case ComponentKind::CheckListBox: {
            const std::u16string checked = indexList(c.checkedIndexes());
            c.setItems(listFromBytes(store.readBytes(name, listBytes(c.items()))));
            c.setCurrentIndex(
                truncateToInt(store.readNumber(keyWith(name, u".选中"), c.currentIndex())));
            for (int index : indexesFromList(store.readText(keyWith(name, u".打勾"), checked))) {
                c.checkIndex(index);
            }
            break;
        }
        case ComponentKind::ColourPicker:
            c.setColour(truncateToInt(store.readNumber(name, c.colour())));
            break;
    }
}

void setGeometrySection(ConfigStore& store, std::u16string_view section) {
    std::u16string name(section.empty() ? kDefaultGeometrySection : section);
    name += kGeometrySuffix;
    store.setSection(name);
}

}  // namespace

std::optional<ComponentKind> componentKindOf(std::u16string_view name) {
    struct Prefix {
        std::u16string_view word;
        ComponentKind kind;
    };
    static constexpr Prefix prefixes[] = {
        {u"按钮", ComponentKind::Button},
        {u"编辑框", ComponentKind::EditBox},
        {u"选择框", ComponentKind::CheckBox},
        {u"单选框", ComponentKind::RadioButton},
        {u"组合框", ComponentKind::ComboBox},
        {u"列表框", ComponentKind::ListBox},
        {u"选择列表框", ComponentKind::CheckListBox},
        {u"颜色选择器", ComponentKind::ColourPicker},
    };
    for (const Prefix& prefix : prefixes) {
        if (name.substr(0, prefix.word.size()) == prefix.word) {
            return prefix.kind;
        }
    }
    return std::nullopt;
}

void persistComponents(ConfigStore& store, ComponentWindow& window, bool restore,
                       const PersistOptions& options) {
    if (!options.section.empty()) {
        store.setSection(options.section);
    }
    const std::vector<Component*> components =
        options.components ? *options.components : window.components();
    for (Component* component : components) {
        store.pumpEvents();
        if (!component) {
            continue;
        }
        const std::u16string name = component->name();
        if (name.empty() || std::find(options.exclusions.begin(), options.exclusions.end(), name) !=
                                options.exclusions.end()) {
            continue;
        }
        const std::optional<ComponentKind> kind = componentKindOf(name);
        if (!kind) {
            continue;
        }
        const std::u16string tag = component->tag();
        if (tag == kTagNoSave) {
            continue;
        }
        const bool asBytes = tag == kTagAsBytes;
        if (restore) {
            restoreComponent(store, *component, *kind, asBytes, options);
        } else {
            saveComponent(store, *component, *kind, asBytes, options);
        }
    }
}

void saveWindowGeometry(ConfigStore& store, ComponentWindow& window, std::u16string_view section) {
    setGeometrySection(store, section);
    const int placement = window.placement();
    store.writeNumber(u"位置", placement);
    if (placement >= kPlacementMinimized) {
        return;  // the bounds keep the values of the last normal save
    }
    const WindowBounds bounds = window.bounds();
    store.writeNumber(u"左边", bounds.left);
    store.writeNumber(u"顶边", bounds.top);
    store.writeNumber(u"宽度", bounds.width);
    store.writeNumber(u"高度", bounds.height);
}

void restoreWindowGeometry(ConfigStore& store, ComponentWindow& window,
                           std::u16string_view section) {
    setGeometrySection(store, section);
    window.setPlacement(truncateToInt(store.readNumber(u"位置", window.placement())));
    if (window.placement() >= kPlacementMinimized) {
        return;
    }
    const WindowBounds present = window.bounds();
    WindowBounds bounds;
    bounds.left = truncateToInt(store.readNumber(u"左边", present.left));
    bounds.top = truncateToInt(store.readNumber(u"顶边", present.top));
    bounds.width = truncateToInt(store.readNumber(u"宽度", present.width));
    bounds.height = truncateToInt(store.readNumber(u"高度", present.height));
    window.setBounds(bounds);
}

}  // namespace lcr
