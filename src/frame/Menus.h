#pragma once
// The program's menus and accelerators as data, and the builders that turn them into Qt
// menus. Every item names a command id; the actions themselves are made by the frame, one
// per id, and shared by every menu, accelerator and tool-bar button that carries the id.
//
// A menu resource is a list of top-level popups: the two main menus have one popup per
// menu-bar title, a context or drop-down menu has a single popup whose title is only a name.

#include <QKeySequence>
#include <QList>
#include <QString>

#include <functional>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace menus {

// Menu resource numbers.
enum MenuResource : int {
    BrowserMain = 128,
    ViewerMain = 271,
    ShellTreePopup = 4,
    HistogramPopup = 169,
    ListPhotoPopup = 227,
    ListFolderPopup = 228,
    ListBackgroundPopup = 229,
    ListFilePopup = 440,
    FavoritesPopup = 230,
    ImageViewPopup = 463,
    ZoomInLevels = 520,
    ZoomOutLevels = 521,
    AdjustColors = 523,
};

struct MenuItem {
    enum class Kind { Command, Separator, Submenu };
    Kind kind = Kind::Separator;
    int id = 0;      // commands only
    QString text;    // with '&' mnemonics and, after a tab, the key the item answers to
    std::vector<MenuItem> children;  // submenus only

    static MenuItem command(int id, const QString& text);
    static MenuItem separator();
    static MenuItem submenu(const QString& text, std::vector<MenuItem> children);
};

using MenuItems = std::vector<MenuItem>;

// The popups of a menu resource; empty for a number that is no menu of the program.
const MenuItems& menuResource(int resource);
// Every menu resource number the program has.
const std::vector<int>& menuResources();
// The first menu text the command has anywhere, as a tool tip shows it: mnemonics and the key
// after the tab taken out ("&&" stays one "&"); empty for a command no menu offers.
QString plainCommandText(int id);

// The position of the first item whose text, with every '&' removed (and cut to 200
// characters), equals the name ignoring case; -1 when there is none. Separators count as
// positions, as they do in a menu.
int FindMenuItemByText(const MenuItems& items, const QString& name);
int FindMenuItemByText(const QMenu* menu, const QString& name);

// ---- Building Qt menus -------------------------------------------------------------------

// The frame's shared action for a command id, or nullptr while the command has no owner
// yet (its items are then shown disabled).
using ActionLookup = std::function<QAction*(int id)>;

// The command id an item of a built menu stands for (its QAction's data); 0 for
// separators, submenus and foreign actions.
int commandIdOf(const QAction* action);

// Appends the items to the menu. Each command item becomes an action of the menu with the
// item's own text, since one command is worded differently in different menus (a key after
// a tab in the main menu, a bare word in a context menu); it mirrors the shared action's
// enabled, checkable, checked and visible states and triggers the shared action.
void fillMenu(QMenu* menu, const MenuItems& items, const ActionLookup& actionFor);

// The menu bar of a main menu resource (128 or 271).
QMenuBar* buildMenuBar(int resource, const ActionLookup& actionFor, QWidget* parent = nullptr);

// The popup at `index` of a resource (context menus and the drop-down menus use index 0);
// nullptr when there is no such popup.
QMenu* buildPopupMenu(int resource, const ActionLookup& actionFor, QWidget* parent = nullptr,
                      int index = 0);

// ---- Tool-bar drop-down menus ------------------------------------------------------------

// The items of the menu that a tool-bar button drops down, looked up by text in its menu
// resource; nullptr when the button has no drop-down or its submenu is not found.
const MenuItems* dropDownMenuItems(int buttonCommand);
// The same menu built; nullptr when there is none.
QMenu* buildDropDownMenu(int buttonCommand, const ActionLookup& actionFor, QWidget* parent = nullptr);

// ---- Accelerators ------------------------------------------------------------------------

struct Accelerator {
    QKeySequence keys;
    int id;
};

// Keys that reach the frame as commands wherever the focus is in the main window.
const std::vector<Accelerator>& accelerators();
// Keys added for Linux desktops; no menu shows them.
const std::vector<Accelerator>& desktopAccelerators();
// The command of a key, or -1.
int commandForKeys(const QKeySequence& keys);
// All keys of one command, empty when it has none.
QList<QKeySequence> acceleratorsFor(int id);
// Gives every shared action its keys and adds it to the window, so the keys work while the
// menu bar is hidden (full screen) and in every mode.
void installAccelerators(QWidget* window, const ActionLookup& actionFor);

}  // namespace menus
