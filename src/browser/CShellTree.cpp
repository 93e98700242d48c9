#include "browser/CShellTree.h"
#include "browser/TreeMenuTarget.h"
#include "browser/TreeRenameDelegate.h"
#include "app/WaitCursor.h"

#include "browser/CAddressComboEx.h"
#include "browser/CFileNameEdit.h"
#include "browser/FileCommands.h"
#include "platform/FileOperations.h"
#include "platform/FolderProbe.h"
#include "platform/ShellActions.h"
#include "platform/TreeWatcher.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileIconProvider>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QScopedValueRollback>
#include <QStyledItemDelegate>

#include <algorithm>
#include <set>

namespace {

constexpr int kIdRole = Qt::UserRole;
constexpr int kPathRole = Qt::UserRole + 1;
constexpr int kEnumeratedRole = Qt::UserRole + 2;

// Shared command ids and the tree popup's own ids for the same commands.
namespace id {
enum : int {
    NewFolder = 33073, AddToFavorites = 33075, LocateOnDisk = 33108, Cut = 33105, Copy = 33104, Paste = 33102,
    Delete = 33052, Rename = 33419, Properties = 33054,
    TreeNewFolder = 33544, TreeProperties = 33552,
};
constexpr int kPopupToShared[] = {NewFolder, AddToFavorites, LocateOnDisk, Cut, Copy, Paste, Delete, Rename, Properties};
}  // namespace id

}  // namespace

CShellTree::CShellTree(QWidget* parent) : QTreeWidget(parent), m_shell(QByteArray("/"), {})
{
    setAccessibleName(QStringLiteral("Folders"));
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Labels are edited only when a command asks (a slow click renames nothing).
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setAcceptDrops(false);
    setItemDelegate(new TreeRenameDelegate(
        this, [this](const QModelIndex& index, const QString& text) { finishRename(itemFromIndex(index), text); }));
    // Deep folders keep their whole names: the column is as wide as the widest label shown
    // and the pane scrolls sideways, as the folder trees of file managers do.
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_watcher = new TreeWatcher(this);
    connect(m_watcher, &TreeWatcher::folderChanged, this, &CShellTree::onFolderChanged);
    connect(m_watcher, &TreeWatcher::mountsChanged, this, &CShellTree::onMountsChanged);
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        if (!isEnumerated(item)) {
            WaitCursor wait;
            enumerate(item);
        }
    });
    connect(this, &QTreeWidget::currentItemChanged, this, &CShellTree::onCurrentChanged);
}

CShellTree::~CShellTree()
{
    // Items die with the widget; their selection changes must not navigate anywhere.
    m_ready = false;
    blockSignals(true);
}

ItemIdList CShellTree::idListOf(const QTreeWidgetItem* item)
{
    if (!item)
        return {};
    return ItemIdList::fromBinary(item->data(0, kIdRole).toByteArray()).value_or(ItemIdList());
}

QByteArray CShellTree::pathOf(const QTreeWidgetItem* item)
{
    return item ? item->data(0, kPathRole).toByteArray() : QByteArray();
}

bool CShellTree::isEnumerated(const QTreeWidgetItem* item) const
{
    return item->data(0, kEnumeratedRole).toBool();
}

void CShellTree::initialize(ShellNamespace shell, bool showHidden)
{
    m_ready = false;
    m_shell = std::move(shell);
    m_showHidden = showHidden;
    m_watcher->clear();
    clear();
    QTreeWidgetItem* root = makeItem(ItemIdList(), nullptr);
    addTopLevelItem(root);
    if (QTreeWidgetItem* computer = FindItem(ItemIdList({{ItemTag::Computer, {}}}), true))
        computer->setExpanded(true);
    root->setExpanded(true);
    setCurrentItem(root);
    m_ready = true;
}

QTreeWidgetItem* CShellTree::makeItem(const ItemIdList& absolute, const ShellItem* info)
{
    Q_UNUSED(info);
    auto* item = new QTreeWidgetItem;
    item->setText(0, m_shell.displayName(absolute));
    item->setData(0, kIdRole, absolute.toBinary());
    const auto path = m_shell.pathFromIdList(absolute);
    item->setData(0, kPathRole, path.value_or(QByteArray()));
    item->setData(0, kEnumeratedRole, false);
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    QFileIconProvider icons;
    if (absolute.isRoot())
        item->setIcon(0, icons.icon(QFileIconProvider::Desktop));
    else if (!path)
        item->setIcon(0, icons.icon(QFileIconProvider::Computer));
    else if (absolute.items().back().tag == ItemTag::Volume)
        item->setIcon(0, icons.icon(QFileIconProvider::Drive));
    else
        item->setIcon(0, icons.icon(QFileIconProvider::Folder));
    // Virtual folders always have children; for real ones one look at the names decides.
    const bool children = !path || hasSubfolders(*path, m_showHidden);
    item->setChildIndicatorPolicy(children ? QTreeWidgetItem::ShowIndicator : QTreeWidgetItem::DontShowIndicator);
    // A folder without sub-folders is watched until it has one, so that one made outside the
    // program gives it its expand mark.
    if (!children)
        m_watcher->watch(*path);
    return item;
}

namespace {

struct NamedItem {
    QString name;
    QTreeWidgetItem* item;
};

// Case-insensitive, with runs of digits compared by value ("b9" before "B10"), the order file
// managers show folders in whatever the locale.
int compareNames(const QString& a, const QString& b)
{
    int i = 0;
    int j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            int ei = i;
            int ej = j;
            while (ei < a.size() && a[ei].isDigit())
                ++ei;
            while (ej < b.size() && b[ej].isDigit())
                ++ej;
            QStringView da = QStringView(a).mid(i, ei - i);
            QStringView db = QStringView(b).mid(j, ej - j);
            while (da.size() > 1 && da[0] == u'0')
                da = da.mid(1);
            while (db.size() > 1 && db[0] == u'0')
                db = db.mid(1);
            if (da.size() != db.size())
                return da.size() < db.size() ? -1 : 1;
            if (const int c = da.compare(db); c != 0)
                return c;
            i = ei;
            j = ej;
            continue;
        }
        const QChar ca = a[i].toCaseFolded();
        const QChar cb = b[j].toCaseFolded();
        if (ca != cb)
            return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size())
        return i < a.size() ? 1 : -1;
    return QString::compare(a, b);
}

void sortByName(std::vector<NamedItem>& items)
{
    std::stable_sort(items.begin(), items.end(),
                     [](const NamedItem& a, const NamedItem& b) { return compareNames(a.name, b.name) < 0; });
}

}  // namespace

void CShellTree::enumerate(QTreeWidgetItem* item)
{
    const ItemIdList folder = idListOf(item);
    item->setData(0, kEnumeratedRole, true);
    const auto children = m_shell.enumerate(folder, m_showHidden);
    std::vector<NamedItem> made;
    if (children) {
        for (const ShellItem& child : *children) {
            if (!(child.attributes & ShellAttr::Folder))
                continue;
            QTreeWidgetItem* node = makeItem(folder.combined(child.child), &child);
            made.push_back({node->text(0), node});
        }
    }
    // The virtual levels keep their own order (Home before Computer, "/" first).
    if (!pathOf(item).isEmpty())
        sortByName(made);
    QList<QTreeWidgetItem*> list;
    for (const auto& m : made)
        list.append(m.item);
    item->addChildren(list);
    item->setChildIndicatorPolicy(list.isEmpty() ? QTreeWidgetItem::DontShowIndicator : QTreeWidgetItem::ShowIndicator);
    if (!pathOf(item).isEmpty())
        m_watcher->watch(pathOf(item));
}

QTreeWidgetItem* CShellTree::FindItem(const ItemIdList& folder, bool expand)
{
    QTreeWidgetItem* item = topLevelItem(0);
    if (!item)
        return nullptr;
    std::vector<ItemId> prefix;
    for (const ItemId& part : folder.items()) {
        prefix.push_back(part);
        const ItemIdList wanted(prefix);
        if (!isEnumerated(item)) {
            if (!expand)
                return nullptr;
            WaitCursor wait;
            enumerate(item);
        }
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < item->childCount() && !next; ++i)
            if (idListOf(item->child(i)) == wanted)
                next = item->child(i);
        if (!next)
            return nullptr;
        if (expand)
            item->setExpanded(true);
        item = next;
    }
    return item;
}

void CShellTree::RefreshNode(QTreeWidgetItem* item)
{
    if (!item)
        return;
    const QByteArray path = pathOf(item);
    if (!isEnumerated(item)) {
        if (path.isEmpty())
            return;
        const bool children = hasSubfolders(path, m_showHidden);
        item->setChildIndicatorPolicy(children ? QTreeWidgetItem::ShowIndicator : QTreeWidgetItem::DontShowIndicator);
        if (children)
            m_watcher->unwatch(path);  // its first expansion watches it again
        else
            m_watcher->watch(path);
        return;
    }
    QScopedValueRollback quiet(m_ready, false);
    const ItemIdList folder = idListOf(item);
    const auto children = m_shell.enumerate(folder, m_showHidden);
    std::set<QTreeWidgetItem*> seen;
    if (children) {
        for (const ShellItem& child : *children) {
            if (!(child.attributes & ShellAttr::Folder))
                continue;
            const ItemIdList absolute = folder.combined(child.child);
            QTreeWidgetItem* existing = nullptr;
            for (int i = 0; i < item->childCount() && !existing; ++i)
                if (idListOf(item->child(i)) == absolute)
                    existing = item->child(i);
            if (existing) {
                seen.insert(existing);
                continue;
            }
            QTreeWidgetItem* node = makeItem(absolute, &child);
            // Kept in name order, though the others are not moved.
            int at = 0;
            if (!path.isEmpty())
                while (at < item->childCount() && compareNames(item->child(at)->text(0), node->text(0)) < 0)
                    ++at;
            else
                at = item->childCount();
            item->insertChild(at, node);
            seen.insert(node);
        }
    }
    for (int i = item->childCount() - 1; i >= 0; --i) {
        QTreeWidgetItem* child = item->child(i);
        if (!seen.count(child)) {
            const QByteArray childPath = pathOf(child);
            if (!childPath.isEmpty())
                m_watcher->unwatch(childPath);
            delete child;
        }
    }
    item->setChildIndicatorPolicy(item->childCount() ? QTreeWidgetItem::ShowIndicator : QTreeWidgetItem::DontShowIndicator);
}

QTreeWidgetItem* CShellTree::SelectFolder(const ItemIdList& folder, bool recordHistory)
{
    // A folder that cannot be browsed (gone, unreadable) is not recorded anywhere.
    if ((!m_hooks.listShows || !m_hooks.listShows(folder)) && m_hooks.browse && !m_hooks.browse(folder))
        return nullptr;
    if (recordHistory && m_hooks.pushHistory)
        m_hooks.pushHistory(folder);
    if (m_address && !m_address->selectedNames(folder))
        m_address->AddAddress(folder, 0);
    QTreeWidgetItem* item = FindItem(folder, true);
    if (item && currentItem() != item) {
        setCurrentItem(item);
        reveal(item);
    }
    return item;
}

void CShellTree::onCurrentChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous)
{
    if (!m_ready || !current)
        return;
    // Walking down a level with the arrow keys closes the folder left behind.
    if (previous && previous->parent() == current->parent()) {
        QTreeWidgetItem* parent = current->parent();
        const int a = parent ? parent->indexOfChild(current) : indexOfTopLevelItem(current);
        const int b = parent ? parent->indexOfChild(previous) : indexOfTopLevelItem(previous);
        if (std::abs(a - b) == 1)
            previous->setExpanded(false);
    }
    const ItemIdList folder = idListOf(current);
    if (!m_hooks.listShows || !m_hooks.listShows(folder))
        SelectFolder(folder, true);
}

void CShellTree::onFolderChanged(const QByteArray& folder)
{
    std::vector<QTreeWidgetItem*> matches;
    std::vector<QTreeWidgetItem*> stack;
    if (QTreeWidgetItem* root = topLevelItem(0))
        stack.push_back(root);
    while (!stack.empty()) {
        QTreeWidgetItem* item = stack.back();
        stack.pop_back();
        if (pathOf(item) == folder)
            matches.push_back(item);
        if (isEnumerated(item))
            for (int i = 0; i < item->childCount(); ++i)
                stack.push_back(item->child(i));
    }
    const ItemIdList shown = idListOf(currentItem());
    for (QTreeWidgetItem* item : matches)
        RefreshNode(item);
    if (!m_ready || (currentItem() && idListOf(currentItem()) == shown))
        return;
    // The selected folder itself has gone (the tree moved the selection to a neighbour while
    // it removed the node); its nearest remaining ancestor takes over.
    ItemIdList up = shown;
    QTreeWidgetItem* ancestor = nullptr;
    while (!ancestor && !up.isRoot()) {
        up = up.parent();
        ancestor = FindItem(up, false);
        // Its node may still wait for the notice of its own removal.
        if (ancestor && !pathOf(ancestor).isEmpty() && !statPath(pathOf(ancestor)).isDirectory)
            ancestor = nullptr;
    }
    if (!ancestor)
        ancestor = topLevelItem(0);
    if (ancestor)
        SelectFolder(idListOf(ancestor), true);
}

void CShellTree::onMountsChanged()
{
    m_shell = ShellNamespace(m_shell.home(), mountedVolumes());
    RefreshNode(FindItem(ItemIdList({{ItemTag::Computer, {}}}), false));
}

void CShellTree::mousePressEvent(QMouseEvent* event)
{
    QTreeWidgetItem* before = currentItem();
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    const bool onLabel = item && visualItemRect(item).contains(event->position().toPoint())
                         && event->position().x() >= visualItemRect(item).left();
    QTreeWidget::mousePressEvent(event);
    if (event->button() != Qt::LeftButton || !item || !onLabel)
        return;
    // A click on the label opens the folder; it never closes one.
    item->setExpanded(true);
    if (item == before && m_hooks.listShows && !m_hooks.listShows(idListOf(item)))
        SelectFolder(idListOf(item), true);
}

void CShellTree::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
}

void CShellTree::contextMenuEvent(QContextMenuEvent* event)
{
    const TreeMenuTarget target = treeMenuTarget(*this, *event);
    if (!target.item)
        return;
    m_contextItem = target.item;
    const QPoint at = target.at;
    if (m_hooks.contextMenu)
        m_hooks.contextMenu(viewport()->mapToGlobal(at));
}

QTreeWidgetItem* CShellTree::commandItem(int commandId, int* sharedId) const
{
    if (commandId >= id::TreeNewFolder && commandId <= id::TreeProperties) {
        *sharedId = id::kPopupToShared[commandId - id::TreeNewFolder];
        return m_contextItem;
    }
    *sharedId = commandId;
    return currentItem();
}

bool CShellTree::handlesCommand(int commandId) const
{
    if (commandId >= id::TreeNewFolder && commandId <= id::TreeProperties)
        return commandId != id::TreeNewFolder + 1;  // Add to Favorites belongs to the favorites
    return std::find(std::begin(id::kPopupToShared), std::end(id::kPopupToShared), commandId) != std::end(id::kPopupToShared)
           && commandId != id::AddToFavorites;
}

bool CShellTree::mayRename(const QTreeWidgetItem* item) const
{
    const QByteArray path = pathOf(item);
    if (!item || path.isEmpty() || path == "/" || path == m_shell.home())
        return false;
    for (const MountRecord& volume : m_shell.volumes())
        if (volume.mountPoint == path)
            return false;
    return (m_shell.attributes(idListOf(item)) & ShellAttr::CanRename) != 0;
}

bool CShellTree::isCommandEnabled(int commandId) const
{
    if (!handlesCommand(commandId))
        return false;
    int shared = 0;
    const QTreeWidgetItem* item = commandItem(commandId, &shared);
    if (!item)
        return false;
    const QByteArray path = pathOf(item);
    const unsigned attrs = m_shell.attributes(idListOf(item));
    switch (shared) {
    case id::NewFolder:
    case id::LocateOnDisk:
    case id::Properties:
        return !path.isEmpty();
    case id::Cut:
        return !path.isEmpty() && (attrs & ShellAttr::CanMove);
    case id::Copy:
        return !path.isEmpty() && (attrs & ShellAttr::CanCopy);
    case id::Paste:
        return !path.isEmpty() && FileCommands::ClipboardHasFiles();
    case id::Delete:
        return mayRename(item) && (attrs & ShellAttr::CanDelete);
    case id::Rename:
        return mayRename(item);
    default:
        return false;
    }
}

QStringList CShellTree::childNames(const QTreeWidgetItem* item) const
{
    return QDir(QFile::decodeName(pathOf(item))).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

bool CShellTree::runCommand(int commandId)
{
    if (!isCommandEnabled(commandId))
        return false;
    int shared = 0;
    QTreeWidgetItem* item = commandItem(commandId, &shared);
    const QByteArray path = pathOf(item);
    switch (shared) {
    case id::NewFolder: {
        const QString name = FileCommands::CreateNewFolder(path, childNames(item));
        if (name.isEmpty())
            return false;
        if (!isEnumerated(item))
            enumerate(item);
        else
            RefreshNode(item);
        item->setExpanded(true);
        for (int i = 0; i < item->childCount(); ++i)
            if (item->child(i)->text(0).compare(name, Qt::CaseInsensitive) == 0)
                beginRename(item->child(i));
        if (item == currentItem() && m_hooks.rescanList)
            m_hooks.rescanList();
        return true;
    }
    case id::LocateOnDisk:
        return ShellActions::LocateOnDisk(path);
    case id::Cut:
        return FileCommands::CutToClipboard({path});
    case id::Copy:
        return FileCommands::CopyToClipboard({path});
    case id::Paste: {
        const bool ok = FileCommands::PasteFiles(this, path);
        RefreshNode(item);
        if (item == currentItem() && m_hooks.rescanList)
            m_hooks.rescanList();
        return ok;
    }
    case id::Delete: {
        const bool wasCurrent = item == currentItem();
        QTreeWidgetItem* parent = item->parent();
        if (!FileCommands::DeleteToTrash({path}, this))
            return false;
        RefreshNode(parent);
        if (wasCurrent)
            SelectFolder(idListOf(parent), true);
        else if (parent == currentItem() && m_hooks.rescanList)
            m_hooks.rescanList();
        return true;
    }
    case id::Rename:
        return beginRename(item);
    case id::Properties:
        return ShellActions::ShowShellProperties(path);
    default:
        return false;
    }
}

void CShellTree::reveal(QTreeWidgetItem* item)
{
    scrollToItem(item);
    // Scrolling to an item shows its row; a deep item's name may still lie to the right.
    const QRect rect = visualItemRect(item);
    const int width = viewport()->width();
    int shift = 0;
    if (rect.left() < indentation())
        shift = rect.left() - indentation();  // back left, with the item's arrow
    else if (rect.right() > width)
        shift = std::min(rect.left() - indentation(), rect.right() - width);
    if (shift != 0)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + shift);
}

void CShellTree::showEvent(QShowEvent* event)
{
    QTreeWidget::showEvent(event);
    // The start folder was chosen before the pane had its size.
    if (QTreeWidgetItem* item = currentItem())
        reveal(item);
}

bool CShellTree::beginRename(QTreeWidgetItem* item)
{
    if (!mayRename(item))
        return false;
    reveal(item);
    editItem(item, 0);
    return true;
}

void CShellTree::finishRename(QTreeWidgetItem* item, const QString& text)
{
    const QString name = text.trimmed();
    if (!item || name.isEmpty() || name == item->text(0))
        return;
    const ItemIdList oldFolder = idListOf(item);
    const QByteArray oldPath = pathOf(item);
    const bool wasCurrent = item == currentItem();
    const QByteArray newName = QFile::encodeName(name);
    // The tree changes only once the editor has gone.
    QMetaObject::invokeMethod(this, [=, this] {
        QTreeWidgetItem* renamed = FindItem(oldFolder, false);
        if (!renamed)
            return;
        const QByteArray newPath = FileOperations::RenameInFolder(oldPath, newName);
        if (newPath.isEmpty()) {
            beginRename(renamed);  // the user corrects the name
            return;
        }
        const ItemIdList newFolder = oldFolder.parent().combined(ItemIdList::entry(fileNameOf(newPath)));
        RefreshNode(renamed->parent());
        if (wasCurrent)
            SelectFolder(newFolder, true);
    }, Qt::QueuedConnection);
}
