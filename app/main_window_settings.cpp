#include "app/main_window_settings.h"

#include <QDir>
#include <QTabWidget>
#include <filesystem>

#include "app/application.h"
#include "app/component_adapter.h"
#include "app/main_window.h"
#include "app/platform_services.h"
#include "app/qt_text.h"
#include "app/window_widgets.h"
#include "config/component_persistence.h"
#include "config/config_store.h"
#include "config/stored_forms.h"
#include "operations/yield_to_ui.h"

namespace lcr {

namespace {

// The splitters in the order they are saved and restored.
constexpr const char* kSplitters[] = {"分隔条_提取1", "分隔条_提取2", "分隔条_替换1",
                                      "分隔条_替换2", "分隔条_替换3"};

QObject* controlOf(MainWindow& window, const char* name) {
    return window.control(QString::fromUtf8(name));
}

std::u16string tagOf(MainWindow& window, const char* name) {
    QObject* control = controlOf(window, name);
    return control ? toU16(control->property("tag").toString()) : std::u16string();
}

void setTag(MainWindow& window, const char* name, std::u16string_view tag) {
    if (QObject* control = controlOf(window, name)) {
        control->setProperty("tag", toQString(tag));
    }
}

std::u16string key(const char* utf8) {
    return QString::fromUtf8(utf8).toStdU16String();
}

void save(MainWindow& window, ConfigStore& store, WidgetWindow& components,
          std::vector<std::u16string> exclusions = {}) {
    PersistOptions options;
    options.section = u"主界面";
    options.exclusions = std::move(exclusions);
    persistComponents(store, components, false, options);
    saveWindowGeometry(store, components);  // [主界面.尺寸] is current from here on
    SplitterTops tops = window.splitterTops();
    for (const char* name : kSplitters) {
        if (const int* top = splitterTop(tops, name)) {
            store.writeNumber(key(name), *top);
        }
    }
    store.writeText(u"复制表达式", tagOf(window, "标签19"));
    if (auto* tabs = window.control<QTabWidget>(QStringLiteral("选择夹"))) {
        store.writeNumber(u"当前栏目", tabs->currentIndex());
    }
    store.writeText(u"提取路径", tagOf(window, "标签批量提取"));
    store.writeText(u"替换路径", tagOf(window, "标签批量替换"));
}

void load(MainWindow& window, ConfigStore& store, WidgetWindow& components) {
    PersistOptions options;
    options.section = u"主界面";
    persistComponents(store, components, true, options);
    restoreWindowGeometry(store, components);
    SplitterTops tops = window.splitterTops();
    for (const char* name : kSplitters) {
        if (int* top = splitterTop(tops, name)) {
            *top = truncateToInt(store.readNumber(key(name), *top));
        }
    }
    window.setSplitterTops(tops);
    setTag(window, "标签19", store.readText(u"复制表达式", tagOf(window, "标签19")));
    if (auto* tabs = window.control<QTabWidget>(QStringLiteral("选择夹"))) {
        // A page the tab control does not have leaves it on its page.
        tabs->setCurrentIndex(truncateToInt(store.readNumber(u"当前栏目", tabs->currentIndex())));
    }
    setTag(window, "标签批量提取", store.readText(u"提取路径", tagOf(window, "标签批量提取")));
    setTag(window, "标签批量替换", store.readText(u"替换路径", tagOf(window, "标签批量替换")));
}

}  // namespace

void persistMainWindow(MainWindow& window, ConfigStore& store, bool saveMode) {
    WidgetWindow components(window, window.controlsInOrder());
    if (saveMode) {
        save(window, store, components);
    } else {
        load(window, store, components);
    }
}

void saveMainWindowSettings(MainWindow& window, ConfigStore& store) {
    WidgetWindow components(window, window.controlsInOrder());
    std::vector<std::u16string> texts;
    for (const ProgramTextEdit* box : byteBlockTextBoxes(window)) {
        texts.push_back(toU16(box->objectName()));
    }
    save(window, store, components, std::move(texts));
}

void saveMainWindowText(MainWindow& window, ConfigStore& store, ProgramTextEdit& box) {
    WidgetWindow noComponents(window, {});
    WidgetComponent component(&box);
    PersistOptions options;
    options.section = u"主界面";
    options.components = std::vector<Component*>{&component};
    persistComponents(store, noComponents, false, options);
}

QList<ProgramTextEdit*> byteBlockTextBoxes(const MainWindow& window) {
    QList<ProgramTextEdit*> boxes;
    for (QObject* control : window.controlsInOrder()) {
        auto* box = qobject_cast<ProgramTextEdit*>(control);
        if (box && toU16(box->property("tag").toString()) == kTagAsBytes) {
            boxes << box;
        }
    }
    return boxes;
}

bool openConfigStore(ConfigStore& store, PlatformServices& services,
                     const QString& programDirectory) {
    store.setEventPump([] { yieldToUi(); });
    store.setMessageHandler([&services](const StoreMessage& message) {
        services.showMessage(nullptr, toQString(message.title), toQString(message.text),
                             MessageButtons::Ok);
    });
    const QString iniPath = QDir(programDirectory).filePath(QString::fromUtf8(kIniFileName));
    return store.load(std::filesystem::path(iniPath.toStdU16String()));
}

}  // namespace lcr
