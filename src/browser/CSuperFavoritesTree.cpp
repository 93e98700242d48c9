#include "browser/CSuperFavoritesTree.h"
#include "browser/TreeMenuTarget.h"
#include "browser/TreeRenameDelegate.h"

#include "browser/CFileNameEdit.h"
#include "browser/Favorites.h"
#include "browser/FileCommands.h"
#include "platform/FileOperations.h"
#include "platform/ShellActions.h"
#include "platform/TreeWatcher.h"

#include <QContextMenuEvent>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyledItemDelegate>

#include <algorithm>
#include <set>

namespace {

namespace id {
enum : int {
    NewFolder = 33073, LocateOnDisk = 33108, Cut = 33105, Copy = 33104, Paste = 33102, Delete = 33052,
    Rename = 33419, Properties = 33054,
    TreeNewFolder = 33544, TreeAddToFavorites = 33545, TreeProperties = 33552,
};
// The popup ids 33544..33552 in order; Add to Favorites (33545) is not the favorites tree's.
constexpr int kPopupToShared[] = {NewFolder, 0, LocateOnDisk, Cut, Copy, Paste, Delete, Rename, Properties};
}  // namespace id

constexpr int kPauseMs = 500;

}  // namespace

CSuperFavoritesTree::CSuperFavoritesTree(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(new TreeRenameDelegate(
        this, [this](const QModelIndex& index, const QString& text) { finishRename(itemFromIndex(index), text); }));
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_watcher = new TreeWatcher(this);
    connect(m_watcher, &TreeWatcher::folderChanged, this, &CSuperFavoritesTree::onFolderChanged);
    m_pause.setSingleShot(true);
    m_pause.setInterval(kPauseMs);
    connect(&m_pause, &QTimer::timeout, this, [this] {
        if (m_changedInPause) {
            m_changedInPause = false;
            onFolderChanged();
        }
    });
}

CSuperFavoritesTree::~CSuperFavoritesTree()
{
    blockSignals(true);
}

void CSuperFavoritesTree::initialize(const QString& favoritesFolder)
{
    m_folder = QFileInfo(favoritesFolder).absoluteFilePath();
    m_watcher->clear();
    clear();
    m_contextItem = nullptr;
    if (!favorites::ensureFolder(m_folder))
        return;
    fill(m_folder, nullptr);
    if (QTreeWidgetItem* top = root()) {
        top->setExpanded(true);
        setCurrentItem(top);
    }
    watchAll();
}

void CSuperFavoritesTree::fill(const QString& folder, QTreeWidgetItem* parent)
{
    auto* item = new QTreeWidgetItem;
    item->setText(0, QFileInfo(folder).fileName());
    QFileIconProvider icons;
    item->setIcon(0, icons.icon(QFileIconProvider::Folder));
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    if (parent)
        parent->addChild(item);
    else
        addTopLevelItem(item);
    for (const QString& name : favorites::subfolders(folder))
        fill(folder + u'/' + name, item);
}

QString CSuperFavoritesTree::pathOf(const QTreeWidgetItem* item) const
{
    if (!item)
        return QString();
    QStringList texts;
    for (const QTreeWidgetItem* at = item; at; at = at->parent())
        texts.prepend(at->text(0));
    return QFileInfo(m_folder).absolutePath() + u'/' + texts.join(u'/');
}

QTreeWidgetItem* CSuperFavoritesTree::findItemByPath(const QString& path) const
{
    QTreeWidgetItem* item = root();
    if (!item || m_folder.isEmpty())
        return nullptr;
    QString wanted = path;
    if (wanted.size() > 1 && wanted.endsWith(u'/'))
        wanted.chop(1);
    if (wanted == m_folder)
        return item;
    if (!wanted.startsWith(m_folder + u'/'))
        return nullptr;
    for (const QString& part : wanted.mid(m_folder.size() + 1).split(u'/', Qt::SkipEmptyParts)) {
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < item->childCount() && !next; ++i)
            if (item->child(i)->text(0) == part)
                next = item->child(i);
        if (!next)
            return nullptr;
        item = next;
    }
    return item;
}

void CSuperFavoritesTree::refresh(QTreeWidgetItem* item)
{
    if (!item)
        item = root();
    if (!item)
        return;
    const QString path = pathOf(item);
    const QStringList names = favorites::subfolders(path);
    std::set<QString> kept;
    for (int i = item->childCount() - 1; i >= 0; --i) {
        QTreeWidgetItem* child = item->child(i);
        if (names.contains(child->text(0))) {
            kept.insert(child->text(0));
            refresh(child);
        } else {
            if (m_contextItem && (m_contextItem == child || child->indexOfChild(m_contextItem) >= 0))
                m_contextItem = nullptr;
            delete child;
        }
    }
    for (const QString& name : names)
        if (!kept.count(name))
            fill(path + u'/' + name, item);
    if (item == root())
        watchAll();
}

void CSuperFavoritesTree::watchAll()
{
    m_watcher->clear();
    std::vector<QTreeWidgetItem*> stack;
    if (QTreeWidgetItem* top = root())
        stack.push_back(top);
    while (!stack.empty()) {
        QTreeWidgetItem* item = stack.back();
        stack.pop_back();
        m_watcher->watch(QFile::encodeName(pathOf(item)));
        for (int i = 0; i < item->childCount(); ++i)
            stack.push_back(item->child(i));
    }
}

void CSuperFavoritesTree::onFolderChanged()
{
    // The first change shows at once; the ones that follow within the pause fold into one.
    if (m_pause.isActive()) {
        m_changedInPause = true;
        return;
    }
    m_pause.start();
    refresh(nullptr);
    viewport()->update();
    emit refreshed();
}

QTreeWidgetItem* CSuperFavoritesTree::commandItem(int commandId, int* shared) const
{
    if (commandId >= id::TreeNewFolder && commandId <= id::TreeProperties) {
        *shared = id::kPopupToShared[commandId - id::TreeNewFolder];
        return m_contextItem;
    }
    *shared = commandId;
    return currentItem();
}

bool CSuperFavoritesTree::handlesCommand(int commandId)
{
    if (commandId >= id::TreeNewFolder && commandId <= id::TreeProperties)
        return commandId != id::TreeAddToFavorites;
    return std::find(std::begin(id::kPopupToShared), std::end(id::kPopupToShared), commandId) != std::end(id::kPopupToShared)
           && commandId != 0;
}

bool CSuperFavoritesTree::isCommandEnabled(int commandId) const
{
    if (!handlesCommand(commandId))
        return false;
    int shared = 0;
    const QTreeWidgetItem* item = commandItem(commandId, &shared);
    if (!item)
        return false;
    const bool isRoot = item == root();
    const QFileInfo info(pathOf(item));
    const QFileInfo parent(info.absolutePath());
    const bool parentWritable = parent.isWritable();
    switch (shared) {
    case id::Cut: return !isRoot && parentWritable;
    case id::Copy: return info.isReadable();
    case id::Delete: return !isRoot && parentWritable;
    case id::Rename: return !isRoot && parentWritable;
    case id::Paste: return FileCommands::ClipboardHasFiles();
    default: return true;
    }
}

bool CSuperFavoritesTree::runCommand(int commandId)
{
    if (!isCommandEnabled(commandId))
        return false;
    int shared = 0;
    QTreeWidgetItem* item = commandItem(commandId, &shared);
    const QByteArray path = QFile::encodeName(pathOf(item));
    switch (shared) {
    case id::NewFolder:
        return createFolderUnder(item) != nullptr;
    case id::LocateOnDisk:
        return ShellActions::LocateOnDisk(path);
    case id::Cut: {
        const bool ok = FileCommands::CutToClipboard({path});
        refresh(nullptr);
        return ok;
    }
    case id::Copy: {
        const bool ok = FileCommands::CopyToClipboard({path});
        refresh(nullptr);
        return ok;
    }
    case id::Paste: {
        const bool ok = FileCommands::PasteFiles(m_pasteOwner ? m_pasteOwner : this, path);
        refresh(nullptr);
        return ok;
    }
    case id::Delete: {
        // Links inside are removed as links: the photos they point at stay where they are.
        if (!FileOperations::DeletePermanently(path))
            return false;
        if (m_contextItem == item)
            m_contextItem = nullptr;
        delete item;
        viewport()->update();
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

QTreeWidgetItem* CSuperFavoritesTree::createFolderUnder(QTreeWidgetItem* item)
{
    if (!item)
        return nullptr;
    QStringList names;
    for (int i = 0; i < item->childCount(); ++i)
        names << item->child(i)->text(0);
    const QString name = FileOperations::MakeNewFolderName(names);
    if (!FileOperations::CreateFolder(QFile::encodeName(pathOf(item) + u'/' + name)))
        return nullptr;
    refresh(nullptr);
    item->setExpanded(true);
    for (int i = 0; i < item->childCount(); ++i) {
        QTreeWidgetItem* child = item->child(i);
        if (child->text(0) == name) {
            scrollToItem(child);
            beginRename(child);
            return child;
        }
    }
    return nullptr;
}

bool CSuperFavoritesTree::beginRename(QTreeWidgetItem* item)
{
    if (!item || item == root())
        return false;
    scrollToItem(item);
    editItem(item, 0);
    return true;
}

void CSuperFavoritesTree::finishRename(QTreeWidgetItem* item, const QString& text)
{
    const QString name = text.trimmed();
    if (!item || name.isEmpty() || name == item->text(0))
        return;
    const QString oldPath = pathOf(item);
    // The tree changes only once the editor has gone.
    QMetaObject::invokeMethod(this, [this, oldPath, name] {
        QTreeWidgetItem* renamed = findItemByPath(oldPath);
        if (!renamed)
            return;
        const QByteArray newPath = FileOperations::RenameInFolder(QFile::encodeName(oldPath), QFile::encodeName(name));
        if (newPath.isEmpty()) {
            beginRename(renamed);  // the user corrects the name
            return;
        }
        renamed->setText(0, name);
        watchAll();
    }, Qt::QueuedConnection);
}

void CSuperFavoritesTree::keyPressEvent(QKeyEvent* event)
{
    if (state() != QAbstractItemView::EditingState) {
        const auto mods = event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
        int command = 0;
        if (mods == Qt::ControlModifier) {
            if (event->key() == Qt::Key_C)
                command = id::Copy;
            else if (event->key() == Qt::Key_V)
                command = id::Paste;
            else if (event->key() == Qt::Key_X)
                command = id::Cut;
        } else if (mods == Qt::NoModifier && event->key() == Qt::Key_Delete) {
            command = id::Delete;
        }
        if (command) {
            runCommand(command);
            return;
        }
    }
    QTreeWidget::keyPressEvent(event);
}

void CSuperFavoritesTree::contextMenuEvent(QContextMenuEvent* event)
{
    const TreeMenuTarget target = treeMenuTarget(*this, *event);
    if (!target.item)
        return;
    m_contextItem = target.item;
    const QPoint at = target.at;
    if (m_contextMenu)
        m_contextMenu(viewport()->mapToGlobal(at));
}

void CSuperFavoritesTree::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A double click neither renames nor folds; the click already opened the folder.
    event->accept();
}
