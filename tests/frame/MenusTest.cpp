#include "app/CommandIds.h"
#include "frame/CommandRouting.h"
#include "frame/Menus.h"
#include "frame/ToolBarPicture.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QWidget>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>

using menus::MenuItem;
using menus::MenuItems;

namespace {

// Shared actions made on demand, one per id, as the frame does.
struct ActionPool {
    QWidget owner;
    std::map<int, QAction*> actions;
    menus::ActionLookup lookup()
    {
        return [this](int id) {
            QAction*& action = actions[id];
            if (!action) {
                action = new QAction(QString::number(id), &owner);
                action->setData(id);
            }
            return action;
        };
    }
};

const MenuItem& popupNamed(int resource, const char* name)
{
    const MenuItems& popups = menus::menuResource(resource);
    const int position = menus::FindMenuItemByText(popups, QString::fromUtf8(name));
    EXPECT_GE(position, 0) << resource << " " << name;
    return popups.at(static_cast<size_t>(std::max(position, 0)));
}

template <typename Visit>
void forEachCommand(const MenuItems& items, const Visit& visit)
{
    for (const MenuItem& item : items) {
        if (item.kind == MenuItem::Kind::Command)
            visit(item);
        else if (item.kind == MenuItem::Kind::Submenu)
            forEachCommand(item.children, visit);
    }
}

QStringList titles(int resource)
{
    QStringList list;
    for (const MenuItem& popup : menus::menuResource(resource))
        list << popup.text;
    return list;
}

TEST(MenusTest, MainMenusHaveTheirTitlesInOrder)
{
    EXPECT_EQ(titles(menus::BrowserMain), (QStringList{"&File", "&Edit", "&View", "&Tools", "&Help"}));
    EXPECT_EQ(titles(menus::ViewerMain),
              (QStringList{"&File", "&Edit", "&View", "&Zoom", "&Image", "Effect&s", "&Tools", "&Help"}));
}

TEST(MenusTest, HelpMenuOrderInBothMainMenus)
{
    const std::vector<std::pair<int, QString>> expected = {
        {cmd::Help, "&Help\tF1"},
        {0, {}},
        {cmd::Website, "&Kelvra Photo Viewer Website"},
        {cmd::CheckForUpdates, "Check for &Updates"},
        {cmd::ContactUs, "Co&ntact Us"},
        {0, {}},
        {cmd::About, "&About Kelvra Photo Viewer..."},
    };
    for (int resource : {menus::BrowserMain, menus::ViewerMain}) {
        const MenuItems& help = popupNamed(resource, "Help").children;
        ASSERT_EQ(help.size(), expected.size()) << resource;
        for (size_t i = 0; i < help.size(); ++i) {
            EXPECT_EQ(help[i].id, expected[i].first) << resource << " item " << i;
            EXPECT_EQ(help[i].text, expected[i].second) << resource << " item " << i;
        }
    }
}

TEST(MenusTest, TextsWithOddSpellingsAreKept)
{
    const MenuItems& edit = popupNamed(menus::ViewerMain, "Edit").children;
    EXPECT_GE(menus::FindMenuItemByText(edit, "Set Selectioin Ratio"), 0);
    const MenuItems& viewPopup = menus::menuResource(menus::ImageViewPopup).at(0).children;
    EXPECT_GE(menus::FindMenuItemByText(viewPopup, "Set Selectioin Ratio"), 0);

    std::map<int, QString> texts;
    forEachCommand(menus::menuResource(menus::ViewerMain), [&](const MenuItem& item) { texts[item.id] = item.text; });
    EXPECT_EQ(texts[cmd::SetWallpaperTile], "&Title");
    EXPECT_EQ(texts[cmd::SetDpi], "Se&t DIP...");
    EXPECT_EQ(texts[cmd::Depth256Colors], "2&56 Color");
    EXPECT_EQ(texts[cmd::BlackAndWhite], "&Black && White");
}

TEST(MenusTest, FindMenuItemByTextIgnoresAmpersandsAndCase)
{
    const MenuItems& help = popupNamed(menus::BrowserMain, "Help").children;
    // Separators count as positions.
    EXPECT_EQ(menus::FindMenuItemByText(help, "check for updates"), 3);
    EXPECT_EQ(menus::FindMenuItemByText(help, "CONTACT US"), 4);
    EXPECT_EQ(menus::FindMenuItemByText(help, "Contact"), -1);
    EXPECT_EQ(menus::FindMenuItemByText(help, ""), -1);
    // Every '&' goes, a doubled one included.
    const MenuItems& effects = popupNamed(menus::ViewerMain, "Effects").children;
    EXPECT_GE(menus::FindMenuItemByText(effects, "Black  White"), 0);

    ActionPool pool;
    std::unique_ptr<QMenu> built(menus::buildPopupMenu(menus::BrowserMain, pool.lookup(), nullptr, 4));
    ASSERT_TRUE(built);
    EXPECT_EQ(menus::FindMenuItemByText(built.get(), "contact us"), 4);
    EXPECT_EQ(menus::FindMenuItemByText(built.get(), "About Kelvra Photo Viewer..."), 6);
    EXPECT_EQ(menus::FindMenuItemByText(static_cast<const QMenu*>(nullptr), "Help"), -1);
}

TEST(MenusTest, DropDownMenusAreFoundInTheirMenus)
{
    auto ids = [](const MenuItems* items) {
        std::vector<int> list;
        if (items)
            for (const MenuItem& item : *items)
                list.push_back(item.kind == MenuItem::Kind::Command ? item.id : 0);
        return list;
    };
    const MenuItems* sort = menus::dropDownMenuItems(cmd::Sort);
    ASSERT_TRUE(sort);
    EXPECT_EQ(ids(sort).front(), cmd::SortByName);
    EXPECT_EQ(ids(sort).back(), cmd::SortBackward);

    const MenuItems* zoomIn = menus::dropDownMenuItems(cmd::ZoomIn);
    ASSERT_TRUE(zoomIn);
    ASSERT_EQ(zoomIn->size(), 11u);
    EXPECT_EQ(zoomIn->front().text, "1600%");
    EXPECT_EQ(zoomIn->back().text, "100%");
    const MenuItems* zoomOut = menus::dropDownMenuItems(cmd::ZoomOut);
    ASSERT_TRUE(zoomOut);
    ASSERT_EQ(zoomOut->size(), 9u);
    // 100% stands in both lists.
    EXPECT_EQ(zoomOut->front().id, zoomIn->back().id);
    EXPECT_EQ(zoomOut->back().text, "7%");
    EXPECT_EQ(zoomOut->back().id, cmd::ZoomLevelLast);

    EXPECT_EQ(ids(menus::dropDownMenuItems(cmd::FitImageButton)).front(), cmd::ZoomIn);
    EXPECT_EQ(ids(menus::dropDownMenuItems(cmd::SetWallpaperCenter)),
              (std::vector<int>{cmd::SetWallpaperCenter, cmd::SetWallpaperTile, cmd::SetWallpaperStretch, 0,
                                cmd::RestoreWallpaper}));
    EXPECT_EQ(ids(menus::dropDownMenuItems(cmd::EnhanceColors)), (std::vector<int>{cmd::EnhanceColors, cmd::AdjustHsl}));
    EXPECT_EQ(ids(menus::dropDownMenuItems(cmd::HelpButton)).front(), cmd::Help);

    EXPECT_EQ(menus::dropDownMenuItems(cmd::Back), nullptr);
    EXPECT_EQ(menus::buildDropDownMenu(cmd::Back, {}), nullptr);
}

TEST(MenusTest, AcceleratorsReachTheirCommands)
{
    const std::vector<std::pair<const char*, int>> table = {
        {"Ctrl+D", cmd::AddToFavorites},     {"Alt+Left", cmd::Back},
        {"Alt+Right", cmd::Forward},         {"Ctrl+F4", cmd::Close},
        {"Ctrl+Shift+X", cmd::CropToSelection}, {"Ctrl+E", cmd::EnhanceColors},
        {"Ctrl+Q", cmd::Exit},               {"Ctrl+Shift+E", cmd::Export},
        {"F11", cmd::FullScreen},            {"Shift+H", cmd::HorizontalFlip},
        {"Shift+V", cmd::VerticalFlip},      {"Ctrl+Return", cmd::LocateOnDisk},
        {"Ctrl+Enter", cmd::LocateOnDisk},   {"Ctrl+N", cmd::NewFolder},
        {"Ctrl+O", cmd::Open},               {"F3", cmd::OpenWithProgram},
        {"F4", cmd::OpenWithEditor},         {"Ctrl+1", cmd::PanTool},
        {"Ctrl+2", cmd::SelectTool},         {"Ctrl+3", cmd::ZoomTool},
        {"Ctrl+P", cmd::Print},              {"Alt+Return", cmd::Properties},
        {"Alt+Enter", cmd::Properties},      {"Pause", cmd::QuickSlideShow},
        {"F5", cmd::Refresh},                {"F2", cmd::Rename},
        {"Ctrl+R", cmd::Reopen},             {"Shift+L", cmd::RotateLeft},
        {"Shift+R", cmd::RotateRight},       {"Ctrl+S", cmd::Save},
        {"Ctrl+Shift+S", cmd::SaveAs},       {"Ctrl+L", cmd::SlideShow},
    };
    for (const auto& [keys, id] : table)
        EXPECT_EQ(menus::commandForKeys(QKeySequence::fromString(keys, QKeySequence::PortableText)), id) << keys;
    EXPECT_EQ(menus::commandForKeys(QKeySequence(Qt::CTRL | Qt::Key_X)), -1);  // the focused pane's key

    // One key, one command: Qt drops a shortcut that two actions of a window share.
    std::set<QKeySequence> seen;
    for (const menus::Accelerator& accelerator : menus::accelerators())
        EXPECT_TRUE(seen.insert(accelerator.keys).second) << accelerator.keys.toString().toStdString();
}

TEST(MenusTest, MenusShowTheKeysTheAcceleratorsUse)
{
    // For every command with keys, some main-menu item shows one of them after its tab.
    std::set<int> shown;
    for (int resource : {menus::BrowserMain, menus::ViewerMain}) {
        forEachCommand(menus::menuResource(resource), [&](const MenuItem& item) {
            const int tab = item.text.indexOf('\t');
            if (tab < 0)
                return;
            const QKeySequence keys = QKeySequence::fromString(item.text.mid(tab + 1), QKeySequence::PortableText);
            if (menus::acceleratorsFor(item.id).contains(keys))
                shown.insert(item.id);
        });
    }
    for (const menus::Accelerator& accelerator : menus::accelerators())
        EXPECT_TRUE(shown.count(accelerator.id)) << accelerator.id;
}

TEST(MenusTest, EveryMainMenuAndToolBarCommandIsRouted)
{
    std::set<int> ids;
    for (int resource : {menus::BrowserMain, menus::ViewerMain})
        forEachCommand(menus::menuResource(resource), [&](const MenuItem& item) { ids.insert(item.id); });
    for (const auto* buttons : {&toolbar::browserButtons(), &toolbar::viewerButtons()})
        for (const toolbar::Button& button : *buttons)
            if (button.style != toolbar::ButtonStyle::Separator && button.style != toolbar::ButtonStyle::WholeDropDown)
                ids.insert(button.command);
    for (int id : ids)
        EXPECT_NE(ruleFor(id), CommandRule::Unknown) << id;
}

TEST(MenusTest, NoPopupListsACommandTwice)
{
    std::function<void(const MenuItems&, const QString&)> check = [&](const MenuItems& items, const QString& where) {
        std::set<int> ids;
        for (const MenuItem& item : items) {
            if (item.kind == MenuItem::Kind::Command)
                EXPECT_TRUE(ids.insert(item.id).second) << where.toStdString() << " " << item.id;
            else if (item.kind == MenuItem::Kind::Submenu)
                check(item.children, where + " > " + item.text);
        }
    };
    for (int resource : menus::menuResources())
        for (const MenuItem& popup : menus::menuResource(resource))
            check(popup.children, QString::number(resource) + " " + popup.text);
}

TEST(MenusTest, BuiltMenusCarryTheirOwnTextsAndFollowTheSharedActions)
{
    ActionPool pool;
    std::unique_ptr<QMenuBar> bar(menus::buildMenuBar(menus::ViewerMain, pool.lookup()));
    ASSERT_EQ(bar->actions().size(), 8);
    EXPECT_EQ(bar->actions().at(3)->text(), "&Zoom");

    std::unique_ptr<QMenu> context(menus::buildPopupMenu(menus::ImageViewPopup, pool.lookup()));
    ASSERT_TRUE(context);
    EXPECT_EQ(context->title(), "Image View Menu");
    QAction* properties = context->actions().last();
    EXPECT_EQ(properties->text(), "Proper&ties\tAlt+Enter");
    EXPECT_EQ(menus::commandIdOf(properties), cmd::Properties);
    // The submenu's title is found, and it holds no command of its own.
    const int ratio = menus::FindMenuItemByText(context.get(), "Set Selectioin Ratio");
    ASSERT_GE(ratio, 0);
    EXPECT_EQ(menus::commandIdOf(context->actions().at(ratio)), 0);
    EXPECT_EQ(context->actions().at(ratio)->menu()->actions().size(), 13);

    QAction* shared = pool.actions.at(cmd::Properties);
    shared->setEnabled(false);
    EXPECT_FALSE(properties->isEnabled());
    shared->setEnabled(true);
    shared->setCheckable(true);
    shared->setChecked(true);
    EXPECT_TRUE(properties->isChecked());

    QSignalSpy triggered(shared, &QAction::triggered);
    properties->trigger();
    EXPECT_EQ(triggered.count(), 1);

    // A command nobody owns yet is shown, disabled.
    std::unique_ptr<QMenu> orphan(menus::buildPopupMenu(menus::HistogramPopup, [](int) { return nullptr; }));
    ASSERT_EQ(orphan->actions().size(), 4);
    EXPECT_FALSE(orphan->actions().at(0)->isEnabled());
    EXPECT_EQ(menus::buildPopupMenu(12345, pool.lookup()), nullptr);
}

TEST(MenusTest, InstalledAcceleratorsGiveEachActionAllItsKeys)
{
    ActionPool pool;
    QWidget window;
    menus::installAccelerators(&window, pool.lookup());
    const QList<QKeySequence> locate = pool.actions.at(cmd::LocateOnDisk)->shortcuts();
    EXPECT_EQ(locate.size(), 2);
    EXPECT_TRUE(locate.contains(QKeySequence(Qt::CTRL | Qt::Key_Enter)));
    EXPECT_EQ(pool.actions.at(cmd::Exit)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    EXPECT_TRUE(window.actions().contains(pool.actions.at(cmd::Exit)));
    EXPECT_EQ(window.actions().size(), static_cast<int>(pool.actions.size()));
}

}  // namespace
