#include "CMainFrame.h"

#include "browser/CAddressComboEx.h"
#include "browser/CBrowserView.h"
#include "browser/CDlgRename.h"
#include "browser/CShellTree.h"
#include "browser/FolderItemList.h"
#include "frame/DesktopInput.h"
#include "frame/Menus.h"
#include "frame/CSuperSplitterWnd.h"
#include "frame/CSuperStatusBar.h"
#include "frame/EmailJob.h"
#include "frame/FavoritesCommands.h"
#include "frame/ListImageSequence.h"
#include "info/CFilePropertyDlg.h"
#include "info/InfoPanels.h"
#include "app/AppPaths.h"
#include "app/CommandIds.h"
#include "platform/ShellNamespace.h"
#include "slideshow/CSlideView.h"
#include "viewer/CImageView.h"

#include "app/MessageBoxSeam.h"
#include "app/WaitCursor.h"
#include "imaging/fipSuperImage.h"
#include "viewer/ImageSequence.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr int kFolderPaneWidth = 185;
constexpr int kBarIconSize = 24;

// A pane whose real content arrives from another part of the program; until then it is an
// empty child window of the right size.
QWidget* placeholderPane(const QString& name, QWidget* parent)
{
    auto* pane = new QWidget(parent);
    pane->setObjectName(name);
    pane->setAutoFillBackground(true);
    return pane;
}

QToolBar* makeToolBar(const QString& name, QWidget* parent)
{
    auto* bar = new QToolBar(name, parent);
    bar->setObjectName(name);
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(kBarIconSize, kBarIconSize));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    // The arrow that opens the buttons a narrow window cannot show.
    if (auto* more = bar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(QStringLiteral("More Buttons"));
    return bar;
}

}  // namespace

CMainFrame::CMainFrame(FrameServices services, QWidget* parent)
    : QMainWindow(parent), m_services(std::move(services))
{
    setWindowTitle(QStringLiteral("Kelvra Photo Viewer"));
    setMinimumSize(400, 400);
    m_settings = MainFrameSettings::read(m_services.configPath);
    buildBars();
    buildPanes();
    buildCommands();
    new DesktopInput(this, [this](int id) { OnCommand(id); });
    applyBars();
    applyPlacementOnFirstShow();
    RefreshStatusBar();
}

CMainFrame::~CMainFrame()
{
    // The tree's items go with the widgets below; none of that may navigate any more.
    m_shellTree->setHooks({});
    // The list and the viewer go before the sequence that joins them.
    m_imageView->setSequence(nullptr);
    m_slideView->setSequence(nullptr);
    m_thumbnailList->setHost(nullptr);
    // In full screen the placement from before it is the one to keep.
    m_settings.placement = m_fullScreen ? m_placementBeforeFullScreen : currentPlacement();
    m_settings.write(m_services.configPath);
}

void CMainFrame::buildBars()
{
    m_browserToolBar = makeToolBar(QStringLiteral("BrowserToolBar"), this);
    m_addressBand = makeToolBar(QStringLiteral("AddressBand"), this);
    m_viewerToolBar = makeToolBar(QStringLiteral("ViewerToolBar"), this);

    auto* label = new QLabel(QStringLiteral("Address"), m_addressBand);
    label->setContentsMargins(4, 0, 6, 0);
    m_addressBand->addWidget(label);
    // The history lives beside Config.ini in the data folder.
    const QString historyPath = m_services.configPath.isEmpty()
                                    ? QString()
                                    : QFileInfo(m_services.configPath).absolutePath() + QStringLiteral("/HistoryPath.data");
    m_addressCombo = new CAddressComboEx(historyPath, m_addressBand);
    m_addressCombo->setObjectName(QStringLiteral("AddressCombo"));
    label->setBuddy(m_addressCombo);
    m_addressCombo->setMinimumWidth(200);
    m_addressCombo->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_addressBand->addWidget(m_addressCombo);

    addToolBar(Qt::TopToolBarArea, m_browserToolBar);
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, m_addressBand);
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, m_viewerToolBar);

    m_statusBar = new CSuperStatusBar(this);
    setStatusBar(m_statusBar);
    connect(m_statusBar, &CSuperStatusBar::zoomRequested, this, [this](double zoom) {
        m_imageView->setZoomSliderDragging(m_statusBar->slider()->dragging());
        SetZoomFromFrame(zoom);
    });
    connect(m_statusBar, &CSuperStatusBar::thumbnailSizeRequested, this, &CMainFrame::SetThumbnailSizeFromSlider);
    connect(m_statusBar, &CSuperStatusBar::sliderSettled, this, [this] {
        // The drag is over: the viewer draws in high quality again.
        m_imageView->setZoomSliderDragging(false);
        if (m_mode == FrameMode::Viewer)
            m_imageView->viewport()->update();
        else
            m_thumbnailList->viewport()->update();
    });
}

void CMainFrame::buildPanes()
{
    m_stack = new QStackedWidget(this);
    setCentralWidget(m_stack);

    m_outerSplitter = new CSuperSplitterWnd(Qt::Horizontal, m_stack);
    m_innerSplitter = new CSuperSplitterWnd(Qt::Vertical, m_outerSplitter);
    m_browserView = new CBrowserView(m_innerSplitter);
    m_browserView->setObjectName(QStringLiteral("FolderPane"));
    m_folderPane = m_browserView;
    m_shellTree = m_browserView->shellTree();
    m_info = std::make_unique<InfoPanels>(m_services.configPath, m_innerSplitter, this, [this]() -> const fipSuperImage* {
        return m_imageView ? std::as_const(*m_imageView).image() : nullptr;
    });
    m_informationPane = m_info->pane();
    m_thumbnailPane = placeholderPane(QStringLiteral("ThumbnailPane"), m_outerSplitter);
    auto* workspace = new QVBoxLayout(m_thumbnailPane);
    workspace->setContentsMargins(0, 0, 0, 0);
    CImageListCtrl::Options listOptions;
    listOptions.settingsPath = m_services.configPath;
    listOptions.showHiddenFiles = m_services.showHiddenFiles;
    m_thumbnailList = new CImageListCtrl(listOptions, m_thumbnailPane);
    m_thumbnailList->setObjectName(QStringLiteral("ThumbnailList"));
    m_thumbnailList->setHost(this);
    workspace->addWidget(m_thumbnailList);
    // Focus given to the pane goes on to the list.
    m_thumbnailPane->setFocusProxy(m_thumbnailList);
    connectFolderTree();
    m_innerSplitter->addWidget(m_folderPane);
    m_innerSplitter->addWidget(m_informationPane);
    m_outerSplitter->addWidget(m_innerSplitter);
    m_outerSplitter->addWidget(m_thumbnailPane);
    m_outerSplitter->setMinimumPaneSizes(120, 100);
    m_innerSplitter->setMinimumPaneSizes(100, 150);
    // The folder column keeps its width and the information pane its height when the
    // window is resized; the list and the folder tree absorb the change.
    m_outerSplitter->setFixedPane(0);
    m_innerSplitter->setFixedPane(1);

    m_imageView = new CImageView(ViewerSettings{m_services.tempFolder, m_services.configPath}, m_stack);
    m_imageView->setObjectName(QStringLiteral("ImageView"));
    m_imageView->setAccessibleName(QStringLiteral("Image"));
    connect(m_imageView, &CImageView::zoomChanged, this, [this](double zoom) {
        m_statusBar->SetSliderFromZoom(zoom);
        RefreshStatusBar();
    });
    connect(m_imageView, &CImageView::imageChanged, this, &CMainFrame::UpdateCommandStates);
    connect(m_imageView, &CImageView::imageChanged, this, [this] { m_info->resetViewerHistogram(); });
    connect(m_imageView, &CImageView::commandStatesChanged, this, &CMainFrame::UpdateCommandStates);
    m_imageView->setDialogs(viewerDialogs());
    // The list need not wait for the folder watcher to drop the item.
    connect(m_imageView, &CImageView::fileDeleted, this, [this] { m_thumbnailList->Rescan(); });
    m_slideView = new CSlideView(m_stack);
    connect(m_slideView, &CSlideView::exitRequested, this, &CMainFrame::EndSlideShow);

    m_listSequence = std::make_unique<ListImageSequence>(*m_thumbnailList);
    m_imageView->setSequence(m_listSequence.get());
    m_slideView->setSequence(m_listSequence.get());
    m_sequence = m_listSequence.get();

    m_stack->addWidget(m_outerSplitter);
    m_stack->addWidget(m_imageView);
    m_stack->addWidget(m_slideView);
    m_stack->setCurrentWidget(m_outerSplitter);
}

ViewerDialogs CMainFrame::viewerDialogs()
{
    // The viewer's rename and its copy and move are the browser's, on one file.
    ViewerDialogs dialogs = ViewerDialogs::standard();
    dialogs.askNewName = [](QWidget* parent, const QString& path) -> std::optional<QString> {
        CDlgRename dialog(path, parent);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.newName();
    };
    dialogs.transferToFolder = [](QWidget* parent, const QString& path, bool move) {
        const PathList paths{QFile::encodeName(path)};
        return move ? FileCommands::MoveFilesToFolder(paths, parent) : FileCommands::CopyFilesToFolder(paths, parent);
    };
    dialogs.showProperties = [](QWidget* parent, const QString& path) {
        CFilePropertyDlg::show({path}, parent);
        return true;
    };
    return dialogs;
}

void CMainFrame::applyBars()
{
    const bool browser = m_mode == FrameMode::Browser;
    const bool bars = !m_fullScreen;
    m_browserToolBar->setVisible(bars && browser && m_settings.showToolBar);
    m_addressBand->setVisible(bars && browser && m_settings.showAddressBar);
    m_viewerToolBar->setVisible(bars && !browser && m_settings.showToolBar);
    m_statusBar->setVisible(bars && m_settings.showStatusBar);
    menuBar()->setVisible(bars);
}

void CMainFrame::setShowToolBar(bool show)
{
    m_settings.showToolBar = show;
    applyBars();
}

void CMainFrame::setShowAddressBar(bool show)
{
    m_settings.showAddressBar = show;
    applyBars();
}

void CMainFrame::setShowStatusBar(bool show)
{
    m_settings.showStatusBar = show;
    applyBars();
}

void CMainFrame::applyPlacementOnFirstShow()
{
    const WindowPlacement& p = m_settings.placement;
    QList<QRect> workAreas;
    for (const QScreen* screen : QGuiApplication::screens())
        workAreas.push_back(screen->availableGeometry());
    if (const auto rect = p.restoredRect(workAreas)) {
        setGeometry(*rect);
        if (p.showCmd == WindowPlacement::ShowMaximized)
            setWindowState(Qt::WindowMaximized);
        return;
    }
    // Without a window manager a maximised state is not applied, so start at the size of the
    // screen's work area anyway.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    setWindowState(Qt::WindowMaximized);
}

void CMainFrame::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_layoutInitialised)
        return;
    m_layoutInitialised = true;
    m_outerSplitter->setFirstPaneSize(kFolderPaneWidth);
    // The client area lies below the menu bar; the bars and the status bar are inside it.
    const int clientHeight = height() - (menuBar()->isVisible() ? menuBar()->height() : 0);
    m_innerSplitter->setFirstPaneSize(clientHeight >= 380 ? clientHeight - 280 : 100);
}

WindowPlacement CMainFrame::currentPlacement() const
{
    WindowPlacement p;
    p.setNormalRect(normalGeometry().isValid() ? normalGeometry() : geometry());
    if (isMaximized())
        p.showCmd = WindowPlacement::ShowMaximized;
    else if (isMinimized())
        p.showCmd = WindowPlacement::Restore;  // never start minimised
    else
        p.showCmd = WindowPlacement::ShowNormal;
    return p;
}

void CMainFrame::EnterViewerMode()
{
    m_activeBeforeViewer = focusWidget();
    m_previousMode = m_mode;
    m_mode = FrameMode::Viewer;
    installMenuBar();
    applyBars();
    m_stack->setCurrentWidget(m_imageView);
    m_imageView->setViewerModeActive(true);
    m_imageView->setFullScreenMode(m_fullScreen);
    m_imageView->setFocus();
    m_statusBar->SetSliderFromZoom(m_imageView->zoom());
    m_info->viewerModeChanged(true);
    RefreshStatusBar();
    emit modeChanged(m_mode);
}

void CMainFrame::EnterBrowserMode()
{
    m_previousMode = m_mode;
    m_mode = FrameMode::Browser;
    m_imageView->setViewerModeActive(false);
    installMenuBar();
    applyBars();
    m_stack->setCurrentWidget(m_outerSplitter);
    if (m_activeBeforeViewer)
        m_activeBeforeViewer->setFocus();
    m_activeBeforeViewer.clear();
    // The viewer's title named the image; the browser's names the folder again.
    m_thumbnailList->SetFrameTitle();
    m_statusBar->SetSliderFromThumbnailSize(m_thumbnailList->settings().thumbWidth);
    m_info->viewerModeChanged(false);
    RefreshStatusBar();
    emit modeChanged(m_mode);
}

void CMainFrame::EnterFullScreen()
{
    if (m_fullScreen)
        return;
    m_placementBeforeFullScreen = currentPlacement();
    m_statesBeforeFullScreen = windowState();
    m_fullScreen = true;
    applyBars();
    m_imageView->setFullScreenMode(m_mode == FrameMode::Viewer);
    showFullScreen();
}

void CMainFrame::LeaveFullScreen()
{
    if (!m_fullScreen)
        return;
    m_fullScreen = false;
    m_imageView->setFullScreenMode(false);
    applyBars();
    setWindowState(m_statesBeforeFullScreen & ~Qt::WindowFullScreen);
    if (!(m_statesBeforeFullScreen & Qt::WindowMaximized))
        setGeometry(m_placementBeforeFullScreen.normalRect());
}

void CMainFrame::StartSlideShow(int index)
{
    if (m_mode == FrameMode::SlideShow)
        return;
    {
        WaitCursor wait;
        m_slideView->OpenSlideAt(index);
    }
    m_previousMode = m_mode;
    m_mode = FrameMode::SlideShow;
    if (m_previousMode == FrameMode::Browser)
        m_activeBeforeViewer = focusWidget();
    else if (m_imageView->quickSlideShowRunning())
        // Its timer would step the viewer on behind the slides.
        m_imageView->OnCommand(cmd::QuickSlideShow);
    m_stack->setCurrentWidget(m_slideView);
    if (!m_fullScreen)
        EnterFullScreen();
    m_info->viewerModeChanged(false);
    m_slideView->beginShow();
    RefreshStatusBar();
    emit modeChanged(m_mode);
}

void CMainFrame::EndSlideShow()
{
    if (m_mode != FrameMode::SlideShow)
        return;
    m_mode = m_previousMode;
    m_previousMode = FrameMode::SlideShow;
    m_slideView->endShow();
    if (m_mode == FrameMode::Viewer) {
        m_stack->setCurrentWidget(m_imageView);
        m_imageView->setFocus();
    } else {
        m_stack->setCurrentWidget(m_outerSplitter);
        if (m_activeBeforeViewer)
            m_activeBeforeViewer->setFocus();
        m_activeBeforeViewer.clear();
    }
    // Leaving the frame's full screen also ends the viewer's own.
    LeaveFullScreen();
    m_info->viewerModeChanged(m_mode == FrameMode::Viewer);
    RefreshStatusBar();
    emit modeChanged(m_mode);
}

void CMainFrame::requestQuit()
{
    m_quitRequested = true;
    close();
}

void CMainFrame::PushHistory(const QByteArray& idList, int source)
{
    m_history.push(idList, source);
}

bool CMainFrame::closeViewerImage()
{
    if (!m_imageView->hasImage())
        return true;
    if (m_imageView->isModified() && m_imageView->QuerySaveChanges() == 0)
        return false;
    m_imageView->ReleaseImage();
    return true;
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    // A hand-over to the mail program that still runs is asked about as the program ends.
    const auto accept = [this, event] {
        if (EmailSender::of(this)->confirmQuit())
            event->accept();
        else
            event->ignore();
    };
    switch (m_mode) {
    case FrameMode::Browser:
        accept();
        return;
    case FrameMode::Viewer:
        if (!closeViewerImage()) {
            m_quitRequested = false;
            event->ignore();
            return;
        }
        if (m_quitRequested) {
            accept();
            return;
        }
        // The close box and Alt+F4 return from the viewer to the browser.
        if (m_fullScreen)
            LeaveFullScreen();
        EnterBrowserMode();
        event->ignore();
        return;
    case FrameMode::SlideShow:
        // The viewer's image stays open behind the show: its changes are offered for saving.
        if (m_previousMode == FrameMode::Viewer && m_imageView->hasImage() && m_imageView->isModified()) {
            EndSlideShow();
            if (!closeViewerImage()) {
                m_quitRequested = false;
                event->ignore();
                return;
            }
        }
        accept();
        return;
    }
}

void CMainFrame::setImageSequence(const ImageSequence* sequence)
{
    m_sequence = sequence;
    m_imageView->setSequence(sequence);
    m_slideView->setSequence(sequence);
}

void CMainFrame::SetThumbnailSizeFromSlider(int size)
{
    if (m_mode != FrameMode::Browser)
        return;
    size = std::clamp(size, 36, 200);
    m_thumbnailList->SetThumbnailSize(size, size);
    m_statusBar->SetSliderFromThumbnailSize(size);
}

void CMainFrame::SetZoomFromFrame(double zoom)
{
    if (m_mode != FrameMode::Viewer)
        return;
    m_imageView->SetZoomFromFrame(std::clamp(zoom, 0.07, 16.0));
}

void CMainFrame::RefreshStatusBar()
{
    // Whatever changed the status bar's facts may change what the commands can do.
    UpdateCommandStates();
    if (m_mode == FrameMode::Browser) {
        m_statusBar->showPanes(CSuperStatusBar::Table::Browser, StatusBarModel::browserPanes(browserFacts()));
        return;
    }
    const fipSuperImage* image = m_imageView->image();
    if (m_mode != FrameMode::Viewer || !image || !image->isValid()) {
        m_statusBar->showPanes(CSuperStatusBar::Table::ViewerNoImage, {});
        return;
    }
    StatusBarModel::ViewerFacts facts;
    const int index = m_imageView->listIndex();
    facts.ordinal = m_sequence ? m_sequence->imageOrdinal(index) : 1;
    facts.imageCount = m_sequence ? m_sequence->imageCount() : 1;
    facts.fileName = QFileInfo(m_imageView->filePath()).fileName();
    facts.sizeText = FormatFileSize(static_cast<std::uint64_t>(QFileInfo(m_imageView->filePath()).size()));
    facts.width = static_cast<int>(image->getWidth());
    facts.height = static_cast<int>(image->getHeight());
    facts.bpp = static_cast<int>(image->getBPP());
    facts.fullSize = m_imageView->fileImageSize();
    const QPoint cursor = m_imageView->viewport()->mapFromGlobal(QCursor::pos());
    facts.cursorX = std::clamp(static_cast<int>(std::trunc(m_imageView->ClientToImageX(cursor.x()))), 0, facts.width - 1);
    facts.cursorY = std::clamp(static_cast<int>(std::trunc(m_imageView->ClientToImageY(cursor.y()))), 0, facts.height - 1);
    if (!m_imageView->selection().isEmpty())
        facts.selection = m_imageView->selection().size();
    facts.zoom = m_imageView->zoom();
    m_statusBar->showPanes(CSuperStatusBar::Table::Viewer, StatusBarModel::viewerPanes(facts));
}

StatusBarModel::BrowserFacts CMainFrame::browserFacts() const
{
    const FolderItemList& items = m_thumbnailList->items();
    StatusBarModel::BrowserFacts facts;
    facts.itemCount = items.GetItemCount();
    facts.selectedCount = items.selectedCount();
    facts.totalSizeText = FormatFileSize(items.GetTotalFileSize());
    facts.selectedSizeText = FormatFileSize(items.GetSelectedFileSize());
    facts.folderName = QFileInfo(m_thumbnailList->currentFolderPath()).fileName();
    if (facts.folderName.isEmpty())
        facts.folderName = m_thumbnailList->currentFolderPath();
    const int focused = items.GetFocusedItem();
    if (items.isValidIndex(focused)) {
        const FolderItem& item = items.at(focused);
        facts.hasFocusedItem = true;
        facts.focusedName = item.displayName;
        if (item.lastWriteTime != 0)
            facts.modified = QDateTime::fromMSecsSinceEpoch(item.lastWriteTime / 1000000);
        facts.focusedSizeText = FormatFileSize(item.size);
        facts.width = item.width;
        facts.height = item.height;
    } else {
        facts.modified = QFileInfo(m_thumbnailList->currentFolderPath()).lastModified();
    }
    return facts;
}

bool CMainFrame::isSizeSliderDragging() const
{
    return m_mode == FrameMode::Browser && m_statusBar->slider()->dragging();
}

bool CMainFrame::openImageInViewer(int index, const QString&)
{
    EnterViewerMode();
    m_imageView->OpenImageAt(index, 0);
    m_imageView->UpdateTitle();
    RefreshStatusBar();
    return true;
}

bool CMainFrame::selectFolderInTree(const ItemIdList& folder, int source)
{
    return SelectFolder(folder, source);
}

void CMainFrame::connectFolderTree()
{
    ShellTreeHooks hooks;
    hooks.listShows = [this](const ItemIdList& folder) { return m_thumbnailList->currentFolder() == folder; };
    hooks.browse = [this](const ItemIdList& folder) { return m_thumbnailList->BrowseTo(folder, 0); };
    hooks.pushHistory = [this](const ItemIdList& folder) { PushHistory(folder.toBinary(), 0); };
    hooks.rescanList = [this] { m_thumbnailList->Rescan(); };
    hooks.contextMenu = [this](const QPoint& at) {
        const std::unique_ptr<QMenu> menu(menus::buildPopupMenu(4 /*ShellTreePopup*/, [this](int id) { return actionFor(id); }, this));
        if (!menu)
            return;
        UpdateCommandStates();
        menu->exec(at);
    };
    m_shellTree->setHooks(std::move(hooks));
    m_shellTree->setAddressBar(m_addressCombo);
    m_shellTree->initialize(ShellNamespace(), m_services.showHiddenFiles);
    m_addressCombo->setShell(&m_shellTree->shell());
    m_addressCombo->LoadAddresses();
    connect(m_addressCombo, &CAddressComboEx::navigateRequested, this, [this](const ItemIdList& folder) {
        if (m_thumbnailList->currentFolder() != folder)
            SelectFolder(folder, 0);
    });
    FavoritesCommands::connect(*this);
}

bool CMainFrame::folderTreeHasFocus() const
{
    return m_browserView->showsFolders() && m_shellTree->hasFocus();
}

void CMainFrame::focusedPathChanged(const QString& path)
{
    m_info->focusedPathChanged(path);
}

void CMainFrame::itemsChanged()
{
    m_imageView->SequenceChanged();
    m_slideView->SequenceChanged();
    RefreshStatusBar();
}

void CMainFrame::setFrameTitle(const QString& title)
{
    if (m_mode == FrameMode::Browser)
        setWindowTitle(title);
}

bool CMainFrame::SelectFolder(const ItemIdList& folder, int source)
{
    // The tree browses the list, records the history and feeds the address bar.
    if (source != 1 || !FavoritesCommands::selectFavorite(*this, folder, true))
        m_shellTree->SelectFolder(folder, true);
    RefreshStatusBar();
    return m_thumbnailList->currentFolder() == folder;
}

void CMainFrame::goToHistoryEntry(const ItemIdList& folder, int source)
{
    // The tree selects it without recording it again, and the list and address bar follow;
    // a folder the tree cannot show is browsed by the list alone.
    if (source == 0 && m_shellTree && m_shellTree->SelectFolder(folder, false))
        return;
    if (source == 1 && FavoritesCommands::selectFavorite(*this, folder, false))
        return;
    m_thumbnailList->BrowseTo(folder, source);
}

void CMainFrame::OnBack()
{
    if (const auto entry = m_history.back())
        if (const auto folder = ItemIdList::fromBinary(entry->idList))
            goToHistoryEntry(*folder, entry->source);
    RefreshStatusBar();
}

void CMainFrame::OnForward()
{
    if (const auto entry = m_history.forward())
        if (const auto folder = ItemIdList::fromBinary(entry->idList))
            goToHistoryEntry(*folder, entry->source);
    RefreshStatusBar();
}

bool CMainFrame::canGoUp() const
{
    return !m_thumbnailList->currentFolder().isRoot();
}

void CMainFrame::OnUp()
{
    if (!canGoUp())
        return;
    SelectFolder(m_thumbnailList->currentFolder().parent(), m_thumbnailList->navigationSource());
}

void CMainFrame::OpenStartFolder()
{
    bool opened = false;
    if (!m_addressCombo->history().entries().empty()) {
        const AddressEntry newest = m_addressCombo->history().entries().front();
        opened = SelectFolder(newest.folder, static_cast<int>(newest.source));
        // A folder gone since the last session leaves the history.
        if (!opened)
            m_addressCombo->RemoveAddress(m_addressCombo->history().indexOf(newest.folder));
    }
    if (!opened)
        SelectFolder(m_shellTree->shell().idListFromPath(QFile::encodeName(AppPaths::picturesFolder())), 0);
    if (QTreeWidgetItem* start = m_shellTree->currentItem())
        start->setExpanded(true);
    m_statusBar->SetSliderFromThumbnailSize(m_thumbnailList->settings().thumbWidth);
    RefreshStatusBar();
    // The keyboard starts in the pictures, not in the address bar.
    m_thumbnailList->setFocus(Qt::OtherFocusReason);
}
