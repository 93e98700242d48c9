// Turning menu data into Qt menus, finding items by text, the tool-bar drop-downs and the
// accelerator keys.

#include "app/CommandIds.h"
#include "frame/Menus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QWidget>

namespace menus {

namespace {

// The text a menu lookup compares: what the menu would hand out for the item (at most 200
// characters) with every '&' taken out.
QString comparableText(const QString& text)
{
    QString cut = text.left(200);
    cut.remove(QLatin1Char('&'));
    return cut;
}

void mirrorState(const QAction* source, QAction* item)
{
    item->setCheckable(source->isCheckable());
    item->setChecked(source->isChecked());
    item->setEnabled(source->isEnabled());
    item->setVisible(source->isVisible());
}

QAction* addCommand(QMenu* menu, const MenuItem& entry, const ActionLookup& actionFor)
{
    auto* item = new QAction(entry.text, menu);
    item->setData(entry.id);
    // The key after the tab is only shown; the shared action holds the real shortcut, so
    // the same key in two menus never becomes an ambiguous shortcut.
    item->setShortcutContext(Qt::WidgetShortcut);
    QAction* shared = actionFor ? actionFor(entry.id) : nullptr;
    if (!shared) {
        item->setEnabled(false);
    } else {
        mirrorState(shared, item);
        QObject::connect(shared, &QAction::changed, item, [shared, item] { mirrorState(shared, item); });
        QPointer<QAction> target(shared);
        QObject::connect(item, &QAction::triggered, item, [target] {
            if (target)
                target->trigger();
        });
    }
    menu->addAction(item);
    return item;
}

const MenuItem* popupAt(const MenuItems& items, int position)
{
    if (position < 0 || position >= static_cast<int>(items.size()))
        return nullptr;
    const MenuItem& item = items[static_cast<size_t>(position)];
    return item.kind == MenuItem::Kind::Submenu ? &item : nullptr;
}

// Follows a path of names, each looked up by text in the previous level. An empty first
// name takes the first popup of the resource.
const MenuItems* findByPath(int resource, std::initializer_list<const char*> path)
{
    const MenuItems* level = &menuResource(resource);
    for (const char* name : path) {
        const int position = *name ? FindMenuItemByText(*level, QString::fromUtf8(name)) : 0;
        const MenuItem* popup = popupAt(*level, position);
        if (!popup)
            return nullptr;
        level = &popup->children;
    }
    return level;
}

}  // namespace

int FindMenuItemByText(const MenuItems& items, const QString& name)
{
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].kind == MenuItem::Kind::Separator)
            continue;
        if (comparableText(items[i].text).compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

int FindMenuItemByText(const QMenu* menu, const QString& name)
{
    if (!menu)
        return -1;
    const QList<QAction*> actions = menu->actions();
    for (int i = 0; i < actions.size(); ++i) {
        const QAction* action = actions[i];
        if (action->isSeparator())
            continue;
        if (comparableText(action->text()).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

namespace {

const MenuItem* findCommand(const MenuItems& items, int id)
{
    for (const MenuItem& item : items) {
        if (item.kind == MenuItem::Kind::Command && item.id == id)
            return &item;
        if (item.kind == MenuItem::Kind::Submenu)
            if (const MenuItem* found = findCommand(item.children, id))
                return found;
    }
    return nullptr;
}

}  // namespace

QString plainCommandText(int id)
{
    for (const int resource : menuResources()) {
        const MenuItem* item = findCommand(menuResource(resource), id);
        if (!item)
            continue;
        QString text = item->text.section(QLatin1Char('\t'), 0, 0);
        QString plain;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == QLatin1Char('&') && i + 1 < text.size())
                ++i;  // the mnemonic's letter (or the second '&' of "&&") follows
            else if (text[i] == QLatin1Char('&'))
                continue;
            plain += text[i];
        }
        return plain;
    }
    return {};
}

int commandIdOf(const QAction* action)
{
    if (!action || action->isSeparator() || action->menu())
        return 0;
    bool ok = false;
    const int id = action->data().toInt(&ok);
    return ok ? id : 0;
}

void fillMenu(QMenu* menu, const MenuItems& items, const ActionLookup& actionFor)
{
    for (const MenuItem& entry : items) {
        switch (entry.kind) {
        case MenuItem::Kind::Separator:
            menu->addSeparator();
            break;
        case MenuItem::Kind::Command:
            addCommand(menu, entry, actionFor);
            break;
        case MenuItem::Kind::Submenu: {
            QMenu* sub = menu->addMenu(entry.text);
            fillMenu(sub, entry.children, actionFor);
            break;
        }
        }
    }
}

QMenuBar* buildMenuBar(int resource, const ActionLookup& actionFor, QWidget* parent)
{
    auto* bar = new QMenuBar(parent);
    for (const MenuItem& popup : menuResource(resource)) {
        QMenu* menu = bar->addMenu(popup.text);
        fillMenu(menu, popup.children, actionFor);
    }
    return bar;
}

QMenu* buildPopupMenu(int resource, const ActionLookup& actionFor, QWidget* parent, int index)
{
    const MenuItem* popup = popupAt(menuResource(resource), index);
    if (!popup)
        return nullptr;
    auto* menu = new QMenu(popup->text, parent);
    fillMenu(menu, popup->children, actionFor);
    return menu;
}

const MenuItems* dropDownMenuItems(int buttonCommand)
{
    switch (buttonCommand) {
    case cmd::Sort:
        return findByPath(ListBackgroundPopup, {"", "Sort By"});
    case cmd::FitImageButton:
        return findByPath(ViewerMain, {"Zoom"});
    case cmd::ZoomOut:
        return findByPath(ZoomOutLevels, {""});
    case cmd::ZoomIn:
        return findByPath(ZoomInLevels, {""});
    case cmd::SetWallpaperCenter:
        return findByPath(BrowserMain, {"Tools", "Set Wallpaper"});
    case cmd::EnhanceColors:
        return findByPath(AdjustColors, {""});
    case cmd::HelpButton:
        return findByPath(BrowserMain, {"Help"});
    default:
        return nullptr;
    }
}

QMenu* buildDropDownMenu(int buttonCommand, const ActionLookup& actionFor, QWidget* parent)
{
    const MenuItems* items = dropDownMenuItems(buttonCommand);
    if (!items)
        return nullptr;
    auto* menu = new QMenu(parent);
    fillMenu(menu, *items, actionFor);
    return menu;
}

int commandForKeys(const QKeySequence& keys)
{
    for (const auto* table : {&accelerators(), &desktopAccelerators()})
        for (const Accelerator& accelerator : *table)
            if (accelerator.keys == keys)
                return accelerator.id;
    return -1;
}

QList<QKeySequence> acceleratorsFor(int id)
{
    QList<QKeySequence> keys;
    for (const auto* table : {&accelerators(), &desktopAccelerators()})
        for (const Accelerator& accelerator : *table)
            if (accelerator.id == id)
                keys.append(accelerator.keys);
    return keys;
}

void installAccelerators(QWidget* window, const ActionLookup& actionFor)
{
    std::vector<Accelerator> all = accelerators();
    all.insert(all.end(), desktopAccelerators().begin(), desktopAccelerators().end());
    for (const Accelerator& accelerator : all) {
        QAction* action = actionFor ? actionFor(accelerator.id) : nullptr;
        if (!action || !action->shortcuts().isEmpty())
            continue;  // commands with two keys are set up at their first entry
        action->setShortcuts(acceleratorsFor(accelerator.id));
        action->setShortcutContext(Qt::WindowShortcut);
        window->addAction(action);
    }
}

}  // namespace menus
