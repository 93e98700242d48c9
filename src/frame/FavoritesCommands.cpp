#include "frame/FavoritesCommands.h"

#include "app/CommandIds.h"
#include "browser/CAddressComboEx.h"
#include "browser/CBrowserView.h"
#include "browser/CDlgAddFavorite.h"
#include "browser/CFavoritesTree.h"
#include "browser/CImageListCtrl.h"
#include "browser/CShellTree.h"
#include "frame/CMainFrame.h"
#include "frame/Menus.h"
#include "viewer/CImageView.h"

#include <QFile>
#include <QFileInfo>
#include <QMenu>

#include <memory>
#include <vector>

namespace {

CFavoritesTree* treeOf(const CMainFrame& frame)
{
    return frame.GetBrowserView() ? frame.GetBrowserView()->favoritesTree() : nullptr;
}

const ShellNamespace& shellOf(const CMainFrame& frame)
{
    return frame.GetShellTree()->shell();
}

QString pathOfFolder(const CMainFrame& frame, const ItemIdList& folder)
{
    const auto path = shellOf(frame).pathFromIdList(folder);
    return path ? QFile::decodeName(*path) : QString();
}

// What Add to Favorites makes shortcuts for, by where the command goes.
std::vector<favorites::Target> targetsOf(const CMainFrame& frame, int id, CommandTarget target)
{
    std::vector<favorites::Target> targets;
    if (id == cmd::TreeAddToFavorites || target == CommandTarget::FolderTree) {
        const CShellTree* tree = frame.GetShellTree();
        const QTreeWidgetItem* item = id == cmd::TreeAddToFavorites ? tree->contextItem() : tree->currentItem();
        const QByteArray path = CShellTree::pathOf(item);
        if (!path.isEmpty())
            targets.push_back({QFile::decodeName(path), item->text(0)});
        return targets;
    }
    if (target == CommandTarget::ImageView) {
        const CImageView* view = frame.GetImageView();
        if (view->hasImage() && !view->filePath().isEmpty())
            targets.push_back({view->filePath(), QFileInfo(view->filePath()).fileName()});
        return targets;
    }
    if (target != CommandTarget::ThumbnailList)
        return targets;
    const CImageListCtrl* list = frame.GetThumbnailList();
    const FolderItemList& items = list->items();
    for (int i = 0; i < items.GetItemCount(); ++i)
        if (items.isSelected(i) && !items.at(i).nativePath.isEmpty())
            targets.push_back({items.at(i).path, items.at(i).displayName});
    if (items.selectedCount() == 0 && !list->currentFolderPath().isEmpty())
        targets.push_back({list->currentFolderPath(), shellOf(frame).displayName(list->currentFolder())});
    return targets;
}

}  // namespace

namespace FavoritesCommands {

QString favoritesFolder(const CMainFrame& frame)
{
    const QString config = frame.services().configPath;
    return config.isEmpty() ? QString() : QFileInfo(config).absolutePath() + QStringLiteral("/Favorites");
}

void connect(CMainFrame& frame)
{
    CFavoritesTree* tree = treeOf(frame);
    if (!tree)
        return;
    CMainFrame* f = &frame;
    FavoritesTreeHooks hooks;
    hooks.idListOf = [f](const QString& path) { return shellOf(*f).idListFromPath(QFile::encodeName(path)); };
    hooks.pathOf = [f](const ItemIdList& folder) { return pathOfFolder(*f, folder); };
    hooks.listShows = [f](const ItemIdList& folder) { return f->GetThumbnailList()->currentFolder() == folder; };
    hooks.browse = [f](const ItemIdList& folder) { return f->GetThumbnailList()->BrowseTo(folder, 1); };
    hooks.listSource = [f] { return f->GetThumbnailList()->navigationSource(); };
    hooks.pushHistory = [f](const ItemIdList& folder) { f->PushHistory(folder.toBinary(), 1); };
    hooks.showAddress = [f](const ItemIdList& folder) {
        CAddressComboEx* address = f->GetAddressBar();
        if (address && !address->selectedNames(folder))
            address->AddAddress(folder, 1);
    };
    tree->setHooks(std::move(hooks));
    tree->setPasteOwner(f);
    tree->setContextMenuHandler([f](const QPoint& at) {
        const std::unique_ptr<QMenu> menu(menus::buildPopupMenu(menus::FavoritesPopup, [f](int id) { return f->actionFor(id); }, f));
        if (!menu)
            return;
        f->UpdateCommandStates();
        menu->exec(at);
    });
    const QString folder = favoritesFolder(frame);
    if (!folder.isEmpty())
        tree->initializeFavorites(folder);
}

bool isAddCommand(int id)
{
    return id == cmd::AddToFavorites || id == cmd::TreeAddToFavorites;
}

bool canAdd(const CMainFrame& frame, int id, CommandTarget target)
{
    return !favoritesFolder(frame).isEmpty() && !targetsOf(frame, id, target).empty();
}

bool add(CMainFrame& frame, int id, CommandTarget target)
{
    std::vector<favorites::Target> targets = targetsOf(frame, id, target);
    if (targets.empty() || favoritesFolder(frame).isEmpty())
        return false;
    CDlgAddFavorite dialog(favoritesFolder(frame), std::move(targets), &frame);
    const bool added = dialog.exec() == QDialog::Accepted;
    // Categories made in the dialog show in the pane's tree too.
    if (CFavoritesTree* tree = treeOf(frame))
        tree->refresh(nullptr);
    return added;
}

bool treeHandles(const CMainFrame& frame, int id)
{
    const CFavoritesTree* tree = treeOf(frame);
    return tree && !frame.GetBrowserView()->showsFolders() && CSuperFavoritesTree::handlesCommand(id);
}

bool treeEnabled(const CMainFrame& frame, int id)
{
    return treeHandles(frame, id) && treeOf(frame)->isCommandEnabled(id);
}

bool treeRun(CMainFrame& frame, int id)
{
    return treeHandles(frame, id) && treeOf(frame)->runCommand(id);
}

bool selectFavorite(CMainFrame& frame, const ItemIdList& folder, bool recordHistory)
{
    CFavoritesTree* tree = treeOf(frame);
    if (!tree || !tree->findItemByPath(pathOfFolder(frame, folder)))
        return false;
    tree->SelectFavorite(folder, recordHistory);
    return true;
}

}  // namespace FavoritesCommands
