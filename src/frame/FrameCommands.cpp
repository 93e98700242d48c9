// The frame's side of command routing: one shared action per command id, the menus, tool
// bars and accelerators built over them, and the dispatch of each command (and of its
// enabled and checked state) to the pane that owns it in the current mode.

#include "CMainFrame.h"

#include "browser/CShellTree.h"
#include "browser/FileCommands.h"
#include "browser/ThumbSettings.h"
#include "export/ExportCommand.h"
#include "frame/CDlgAbout.h"
#include "frame/CSuperStatusBar.h"
#include "frame/DesktopCommands.h"
#include "frame/FavoritesCommands.h"
#include "browser/CBrowserView.h"
#include "browser/CFavoritesTree.h"
#include "frame/ImageOperations.h"
#include "frame/JpegLosslessCommands.h"
#include "app/CommandIds.h"
#include "frame/Menus.h"
#include "frame/ProductInfo.h"
#include "frame/ToolBarPicture.h"
#include "frame/ListImageSequence.h"
#include "info/CFilePropertyDlg.h"
#include "info/InfoPanels.h"
#include "slideshow/SlideShowLogic.h"
#include "viewer/CImageView.h"

#include <QAction>
#include <QFileInfo>
#include <QApplication>
#include <QDesktopServices>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QUrl>

#include <array>
#include <memory>

namespace {

constexpr std::array<int, 8> kThumbnailSizes = {36, 48, 64, 85, 100, 128, 150, 200};

bool isThumbnailSizeCommand(int id)
{
    return id >= cmd::ThumbSizeFirst && id <= cmd::ThumbSizeLast;
}

// The list's sort key of a Sort By command; the ids are not in the keys' order.
int sortTypeOf(int id)
{
    switch (id) {
    case cmd::SortByName: return SortByName;
    case cmd::SortBySize: return SortBySize;
    case cmd::SortByType: return SortByType;
    case cmd::SortByDate: return SortByDate;
    case cmd::SortByPhotoSize: return SortByPhotoSize;
    default: return -1;
    }
}

}  // namespace

QAction* CMainFrame::actionFor(int id)
{
    if (id <= 0)
        return nullptr;
    auto found = m_actions.find(id);
    if (found != m_actions.end())
        return found->second;
    // Named as the menu names the command, for the tool bars and anything that lists actions.
    auto* action = new QAction(toolbar::buttonName(id), this);
    action->setData(id);
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    m_actions.emplace(id, action);
    const CommandState state = commandState(id);
    action->setEnabled(state.enabled);
    action->setCheckable(state.checked.has_value());
    action->setChecked(state.checked.value_or(false));
    return action;
}

void CMainFrame::buildCommands()
{
    m_openListItem = new QAction(this);
    connect(m_openListItem, &QAction::triggered, this, [this] { m_thumbnailList->runCommand(cmd::Open); });
    const menus::ActionLookup lookup = [this](int id) { return actionFor(id); };
    menus::installAccelerators(this, lookup);
    const toolbar::Images images = toolbar::loadPicture(toolbar::picturePath(m_services.programFolder));
    toolbar::populate(m_browserToolBar, toolbar::browserButtons(), lookup, images);
    toolbar::populate(m_viewerToolBar, toolbar::viewerButtons(), lookup, images);
    installMenuBar();

    connect(m_imageView, &CImageView::browseRequested, this, [this] {
        if (m_fullScreen)
            LeaveFullScreen();
        EnterBrowserMode();
    });
    connect(m_imageView, &CImageView::fullScreenLayoutRequested, this, [this](bool on) {
        if (on)
            EnterFullScreen();
        else
            LeaveFullScreen();
    });
    connect(m_imageView, &CImageView::commandRequested, this, [this](int id) { OnCommand(id); });
    connect(m_imageView, &CImageView::statusRefreshRequested, this, &CMainFrame::RefreshStatusBar);
    m_imageView->setContextMenuHandler([this, lookup](QPoint globalPos) {
        UpdateCommandStates();
        std::unique_ptr<QMenu> menu(menus::buildPopupMenu(menus::ImageViewPopup, lookup, this));
        if (menu)
            menu->exec(globalPos);
    });
}

void CMainFrame::showContextMenu(ListMenu menu, QPoint globalPos)
{
    int resource = menus::ListBackgroundPopup;
    switch (menu) {
    case ListMenu::Background: resource = menus::ListBackgroundPopup; break;
    case ListMenu::Photo: resource = menus::ListPhotoPopup; break;
    case ListMenu::File: resource = menus::ListFilePopup; break;
    case ListMenu::Folder: resource = menus::ListFolderPopup; break;
    }
    UpdateCommandStates();
    const int focused = m_thumbnailList->GetFocusedItem();
    m_openListItem->setEnabled(m_thumbnailList->items().isValidIndex(focused));
    const menus::ActionLookup lookup = [this](int id) -> QAction* {
        // "View and Edit" and a folder's "Browse" open the item, as Enter does; elsewhere
        // the id is the frame's Open dialog.
        if (id == cmd::ViewAndEdit || id == cmd::Open)
            return m_openListItem;
        return actionFor(id);
    };
    std::unique_ptr<QMenu> popup(menus::buildPopupMenu(resource, lookup, this));
    if (popup)
        popup->exec(globalPos);
}

void CMainFrame::installMenuBar()
{
    const menus::ActionLookup lookup = [this](int id) { return actionFor(id); };
    QMenuBar* bar = menus::buildMenuBar(m_mode == FrameMode::Browser ? menus::BrowserMain : menus::ViewerMain,
                                        lookup, this);
    // States are asked for when a menu opens, as late as possible.
    for (QAction* top : bar->actions())
        if (QMenu* menu = top->menu())
            connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
    setMenuBar(bar);
    bar->setVisible(!m_fullScreen);
}

FocusPane CMainFrame::focusPane() const
{
    if (folderTreeHasFocus())
        return FocusPane::FolderTree;
    if (!m_browserView->showsFolders() && m_browserView->favoritesTree()->hasFocus())
        return FocusPane::FavoritesTree;
    return FocusPane::Other;
}

CommandState CMainFrame::frameCommandState(int id) const
{
    CommandState state;
    switch (id) {
    case cmd::Back: state.enabled = m_history.canGoBack(); break;
    case cmd::Forward: state.enabled = m_history.canGoForward(); break;
    case cmd::Up: state.enabled = m_mode == FrameMode::Browser && canGoUp(); break;
    case cmd::ToolBar: state.checked = m_settings.showToolBar; break;
    case cmd::AddressBar: state.checked = m_settings.showAddressBar; break;
    case cmd::StatusBar: state.checked = m_settings.showStatusBar; break;
    case cmd::PanTool: state.checked = m_imageView->tool() == ViewTool::Pan; break;
    case cmd::SelectTool: state.checked = m_imageView->tool() == ViewTool::Select; break;
    case cmd::ZoomTool: state.checked = m_imageView->tool() == ViewTool::Zoom; break;
    // The Sort button only drops the Sort By menu; a disabled button would not drop it.
    case cmd::Sort: state.enabled = m_mode == FrameMode::Browser; break;
    case cmd::Histogram: state.checked = m_info->isChecked(id); break;
    case cmd::Save:
    case cmd::SaveAs:
    case cmd::Reopen:
    case cmd::SetBackgroundColor:
        // Carried out by the frame on the viewer's image: the viewer knows when they apply.
        state.enabled = false;
        m_imageView->OnUpdateCommand(id, state.enabled, state.checked);
        if (id == cmd::Reopen)
            state.enabled = state.enabled && m_mode == FrameMode::Viewer;
        break;
    case cmd::Open:
    case cmd::Exit:
    case cmd::About:
    case cmd::Website:
    case cmd::CheckForUpdates:
    case cmd::ContactUs:
    case cmd::Help:
    case cmd::HelpButton:
        break;
    default:
        // Clear and the histogram dialog arrive with the effect commands and the histogram.
        state.enabled = false;
        break;
    }
    return state;
}

CommandState CMainFrame::viewerCommandState(int id) const
{
    // The viewer's Slide Show starts at its image; the frame owns the show.
    if (id == cmd::SlideShow)
        return CommandState{m_imageView->hasImage(), std::nullopt};
    if (DesktopCommands::handles(id))
        return CommandState{DesktopCommands::isEnabled(id, *this, true), std::nullopt};
    // The viewer answers for its own commands; anything it does not know stays disabled.
    CommandState state{false, std::nullopt};
    m_imageView->OnUpdateCommand(id, state.enabled, state.checked);
    return state;
}

CommandState CMainFrame::listCommandState(int id) const
{
    CommandState state;
    const FolderItemList& items = m_thumbnailList->items();
    if (isThumbnailSizeCommand(id)) {
        state.checked = m_thumbnailList->settings().thumbWidth == kThumbnailSizes[static_cast<size_t>(id - cmd::ThumbSizeFirst)];
        return state;
    }
    switch (id) {
    case cmd::SelectAll:
    case cmd::SelectAllFiles:
    case cmd::SelectAllImages:
    case cmd::InvertSelection:
    case cmd::Refresh:
        state.enabled = items.GetItemCount() > 0 || id == cmd::Refresh;
        break;
    case cmd::ClearSelection:
        state.enabled = items.selectedCount() > 0;
        break;
    case cmd::SlideShow:
        state.enabled = items.GetImageCount() > 0;
        break;
    case cmd::Export:
        state.enabled = ExportCommand::isEnabled(items.selectedCount(), items.GetSelectedImageCount(), items.GetImageCount());
        break;
    case cmd::Rename:
        state.enabled = m_thumbnailList->mayRename(items.GetFocusedItem());
        break;
    case cmd::FullScreen:
        // "View in Full Screen": as Copy Image to Clipboard.
        state.enabled = isFileCommandEnabled(cmd::CopyImageToClipboard);
        break;
    case cmd::SortForward:
        state.checked = m_thumbnailList->settings().sortDirection == 0;
        break;
    case cmd::SortBackward:
        state.checked = m_thumbnailList->settings().sortDirection != 0;
        break;
    default:
        if (id >= cmd::SortKeyFirst && id <= cmd::SortKeyLast) {
            state.checked = m_thumbnailList->settings().sortType == sortTypeOf(id);
            break;
        }
        if (FileCommands::handlesListCommand(id)) {
            state.enabled = isFileCommandEnabled(id);
            break;
        }
        if (DesktopCommands::handles(id)) {
            state.enabled = DesktopCommands::isEnabled(id, *this, false);
            break;
        }
        if (InfoPanels::handlesCommand(id)) {
            state.checked = m_info->isChecked(id);
            break;
        }
        // A list command no part of the program owns stays off.
        state.enabled = false;
        break;
    }
    return state;
}

bool CMainFrame::isFileCommandEnabled(int id) const
{
    // While all states are asked for, one walk over the list's selection (and one look at
    // the clipboard's files) serves every file command.
    if (m_statesContext)
        return FileCommands::isListCommandEnabled(id, *m_statesContext);
    return FileCommands::isListCommandEnabled(id, listFileContext());
}

FileCommands::ListContext CMainFrame::listFileContext() const
{
    FileCommands::ListContext context =
        FileCommands::fromList(*m_thumbnailList, m_shellTree, m_thumbnailList, m_mode == FrameMode::Viewer);
    context.showFileProperties = [owner = m_thumbnailList](const QByteArray& path) {
        CFilePropertyDlg::show({QFile::decodeName(path)}, owner);
    };
    return context;
}

CommandState CMainFrame::commandState(int id) const
{
    if (FavoritesCommands::isAddCommand(id))
        return CommandState{FavoritesCommands::canAdd(*this, id, targetFor(id, m_mode, focusPane())), std::nullopt};
    switch (targetFor(id, m_mode, focusPane())) {
    case CommandTarget::Frame: return frameCommandState(id);
    case CommandTarget::ImageView: return viewerCommandState(id);
    case CommandTarget::ThumbnailList: return listCommandState(id);
    case CommandTarget::Unchanged: {
        const auto found = m_actions.find(id);
        CommandState state;
        if (found != m_actions.end()) {
            state.enabled = found->second->isEnabled();
            if (found->second->isCheckable())
                state.checked = found->second->isChecked();
        }
        return state;
    }
    case CommandTarget::FolderTree:
        return CommandState{m_shellTree->isCommandEnabled(id), std::nullopt};
    case CommandTarget::None:
        // The trees' own context-menu commands go to the tree shown whatever the mode.
        if (FavoritesCommands::treeHandles(*this, id))
            return CommandState{FavoritesCommands::treeEnabled(*this, id), std::nullopt};
        if (m_shellTree->handlesCommand(id))
            return CommandState{m_shellTree->isCommandEnabled(id), std::nullopt};
        break;
    case CommandTarget::ImageOperations:
        if (JpegLosslessCommands::handles(id))
            return CommandState{JpegLosslessCommands::isEnabled(m_mode, *m_thumbnailList, *m_imageView), std::nullopt};
        return CommandState{ImageOperations::isEnabled(id, m_mode, *m_imageView), std::nullopt};
    case CommandTarget::FavoritesTree:
        return CommandState{FavoritesCommands::treeEnabled(*this, id), std::nullopt};
    }
    return CommandState{false, std::nullopt};
}

void CMainFrame::UpdateCommandStates()
{
    m_statesContext = listFileContext();
    for (const auto& [id, action] : m_actions) {
        const CommandState state = commandState(id);
        action->setEnabled(state.enabled);
        action->setCheckable(state.checked.has_value());
        if (state.checked)
            action->setChecked(*state.checked);
    }
    m_statesContext.reset();
}

bool CMainFrame::OnCommand(int id)
{
    const CommandState state = commandState(id);
    if (!state.enabled)
        return false;
    bool handled = false;
    if (FavoritesCommands::isAddCommand(id)) {
        handled = FavoritesCommands::add(*this, id, targetFor(id, m_mode, focusPane()));
        UpdateCommandStates();
        return handled;
    }
    switch (targetFor(id, m_mode, focusPane())) {
    case CommandTarget::Frame: handled = runFrameCommand(id); break;
    case CommandTarget::ImageView: handled = runViewerCommand(id); break;
    case CommandTarget::ThumbnailList: handled = runListCommand(id); break;
    case CommandTarget::FolderTree: handled = m_shellTree->runCommand(id); break;
    case CommandTarget::FavoritesTree: handled = FavoritesCommands::treeRun(*this, id); break;
    case CommandTarget::None:
        if (FavoritesCommands::treeHandles(*this, id))
            handled = FavoritesCommands::treeRun(*this, id);
        else
            handled = m_shellTree->handlesCommand(id) && m_shellTree->runCommand(id);
        break;
    case CommandTarget::ImageOperations:
        handled = JpegLosslessCommands::handles(id) ? JpegLosslessCommands::run(id, m_mode, *m_thumbnailList, *m_imageView)
                                                    : ImageOperations::run(id, m_mode, *m_imageView);
        break;
    default: break;
    }
    UpdateCommandStates();
    return handled;
}

bool CMainFrame::runFrameCommand(int id)
{
    switch (id) {
    case cmd::Back: OnBack(); return true;
    case cmd::Forward: OnForward(); return true;
    case cmd::Up: OnUp(); return true;
    case cmd::ToolBar: setShowToolBar(!m_settings.showToolBar); return true;
    case cmd::AddressBar: setShowAddressBar(!m_settings.showAddressBar); return true;
    case cmd::StatusBar: setShowStatusBar(!m_settings.showStatusBar); return true;
    case cmd::PanTool: m_imageView->setTool(ViewTool::Pan); return true;
    case cmd::SelectTool: m_imageView->setTool(ViewTool::Select); return true;
    case cmd::ZoomTool: m_imageView->setTool(ViewTool::Zoom); return true;
    case cmd::Histogram: m_info->OnCommand(id); return true;
    case cmd::Save:
    case cmd::SaveAs:
    case cmd::Reopen:
    case cmd::SetBackgroundColor: return m_imageView->OnCommand(id);
    case cmd::Open: return openFromDialog();
    case cmd::Exit: requestQuit(); return true;
    case cmd::About: {
        CDlgAbout dialog(this);
        dialog.exec();
        return true;
    }
    // Failures to start a browser or mail program are not reported.
    case cmd::Website: QDesktopServices::openUrl(QUrl(product::webSite())); return true;
    case cmd::CheckForUpdates: QDesktopServices::openUrl(QUrl(product::downloadPage())); return true;
    case cmd::Help:
    case cmd::HelpButton: QDesktopServices::openUrl(QUrl(product::helpPage())); return true;
    case cmd::ContactUs:
        QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + product::supportMailbox()));
        return true;
    default: return false;
    }
}

bool CMainFrame::runViewerCommand(int id)
{
    if (id == cmd::SlideShow) {
        StartSlideShow(m_imageView->listIndex());
        return true;
    }
    if (DesktopCommands::handles(id))
        return DesktopCommands::run(id, *this, true);
    return m_imageView->OnCommand(id);
}

bool CMainFrame::openFromDialog()
{
    CImageListCtrl* list = m_thumbnailList;
    const std::optional<QString> chosen = m_imageView->OpenFileDialog(list->currentFolderPath());
    if (!chosen)
        return true;
    const QString folder = QFileInfo(*chosen).absolutePath();
    if (folder != list->currentFolderPath() && list->BrowseToPath(folder, 0))
        PushHistory(list->currentFolder().toBinary(), 0);
    const int index = list->FindItemByPath(*chosen);
    if (index < 0)
        return true;
    if (m_mode == FrameMode::Browser) {
        list->OpenItem(index);
    } else {
        m_imageView->OpenImageAt(index, 0);
        m_imageView->UpdateTitle();
        m_imageView->viewport()->update();
    }
    RefreshStatusBar();
    return true;
}

bool CMainFrame::runListCommand(int id)
{
    if (isThumbnailSizeCommand(id)) {
        const int size = kThumbnailSizes[static_cast<size_t>(id - cmd::ThumbSizeFirst)];
        m_thumbnailList->SetThumbnailSize(size, size);
        m_statusBar->SetSliderFromThumbnailSize(size);
        return true;
    }
    if (id == cmd::SlideShow) {
        const FolderItemList& items = m_thumbnailList->items();
        const int start = slideshow::startIndex(*m_listSequence, [&items](int i) { return items.isSelected(i); });
        if (start < 0)
            return false;
        StartSlideShow(start);
        return true;
    }
    if (InfoPanels::handlesCommand(id)) {
        m_info->OnCommand(id);
        return true;
    }
    if (id == cmd::Export)
        return ExportCommand::run(this, {m_thumbnailList->currentFolderPath(), m_thumbnailList->items().selectedCount() > 0,
                                         m_thumbnailList->GetSelectedImagePaths(), m_thumbnailList->GetAllImagePaths()});
    if (id == cmd::FullScreen) {
        m_thumbnailList->OpenItem(m_thumbnailList->GetFocusedItem());
        if (m_mode == FrameMode::Viewer && !m_fullScreen)
            m_imageView->OnCommand(cmd::FullScreen);
        return m_mode == FrameMode::Viewer;
    }
    if (FileCommands::handlesListCommand(id)) {
        const bool done = FileCommands::runListCommand(id, listFileContext());
        RefreshStatusBar();
        return done;
    }
    if (DesktopCommands::handles(id))
        return DesktopCommands::run(id, *this, false);
    // The list hands commands it does not own back to the frame; this stops the round trip.
    if (m_listCommandInFlight == id)
        return false;
    m_listCommandInFlight = id;
    m_thumbnailList->runCommand(id);
    m_listCommandInFlight = 0;
    RefreshStatusBar();
    return true;
}

void CMainFrame::runCommand(int id)
{
    // Keys of the list whose commands belong to other panes or the frame.
    OnCommand(id);
}
