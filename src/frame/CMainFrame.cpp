#include "CMainFrame.h"

#include "browser/FolderItemList.h"
#include "frame/CSuperSplitterWnd.h"
#include "frame/CSuperStatusBar.h"
#include "viewer/CImageView.h"

#include "app/MessageBoxSeam.h"
#include "imaging/fipSuperImage.h"
#include "viewer/ImageSequence.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>
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
    applyBars();
    applyPlacementOnFirstShow();
    RefreshStatusBar();
}

CMainFrame::~CMainFrame()
{
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
    m_addressCombo = new QComboBox(m_addressBand);
    m_addressCombo->setObjectName(QStringLiteral("AddressCombo"));
    m_addressCombo->setEditable(true);
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
        else if (m_thumbnailPane)
            m_thumbnailPane->update();
    });
}

void CMainFrame::buildPanes()
{
    m_stack = new QStackedWidget(this);
    setCentralWidget(m_stack);

    m_outerSplitter = new CSuperSplitterWnd(Qt::Horizontal, m_stack);
    m_innerSplitter = new CSuperSplitterWnd(Qt::Vertical, m_outerSplitter);
    m_folderPane = placeholderPane(QStringLiteral("FolderPane"), m_innerSplitter);
    m_informationPane = placeholderPane(QStringLiteral("InformationPane"), m_innerSplitter);
    m_thumbnailPane = placeholderPane(QStringLiteral("ThumbnailPane"), m_outerSplitter);
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
    connect(m_imageView, &CImageView::zoomChanged, this, [this](double zoom) {
        m_statusBar->SetSliderFromZoom(zoom);
        RefreshStatusBar();
    });
    m_slideView = placeholderPane(QStringLiteral("SlideView"), m_stack);

    m_stack->addWidget(m_outerSplitter);
    m_stack->addWidget(m_imageView);
    m_stack->addWidget(m_slideView);
    m_stack->setCurrentWidget(m_outerSplitter);
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
    if (p.length == WindowPlacement::kLength && p.usable()) {
        // A rectangle that no longer meets any screen (a monitor was removed) is not used.
        const QRect rect = p.normalRect();
        bool onScreen = false;
        for (const QScreen* screen : QGuiApplication::screens())
            onScreen = onScreen || screen->availableGeometry().intersects(rect);
        if (onScreen) {
            setGeometry(rect);
            if (p.showCmd == WindowPlacement::ShowMaximized)
                setWindowState(Qt::WindowMaximized);
            return;
        }
    }
    setWindowState(Qt::WindowMaximized);
}

void CMainFrame::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_layoutInitialised)
        return;
    m_layoutInitialised = true;
    m_outerSplitter->setFirstPaneSize(kFolderPaneWidth);
    const int clientHeight = height();
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
    applyBars();
    m_stack->setCurrentWidget(m_imageView);
    m_imageView->setViewerModeActive(true);
    m_imageView->setFullScreenMode(m_fullScreen);
    m_imageView->setFocus();
    m_statusBar->SetSliderFromZoom(m_imageView->zoom());
    RefreshStatusBar();
    emit modeChanged(m_mode);
}

void CMainFrame::EnterBrowserMode()
{
    m_previousMode = m_mode;
    m_mode = FrameMode::Browser;
    m_imageView->setViewerModeActive(false);
    applyBars();
    m_stack->setCurrentWidget(m_outerSplitter);
    if (m_activeBeforeViewer)
        m_activeBeforeViewer->setFocus();
    m_activeBeforeViewer.clear();
    setWindowTitle(QStringLiteral("Kelvra Photo Viewer"));
    m_statusBar->SetSliderFromThumbnailSize(m_thumbnailSize);
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
    if (m_imageView->isModified()) {
        const auto answer = MessageBoxSeam::show(
            {this, QStringLiteral("Save Changes"),
             QStringLiteral("Do you want to save the changes you've made to this image?"),
             QMessageBox::Warning, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel});
        if (answer == QMessageBox::Cancel)
            return false;
        if (answer == QMessageBox::Save && !m_imageView->image()->saveFitBPP(m_imageView->filePath())) {
            MessageBoxSeam::show({this, QStringLiteral("Save File"),
                                  QStringLiteral("Failed to save file '%1'.").arg(m_imageView->filePath()),
                                  QMessageBox::Critical, QMessageBox::Ok});
            return false;
        }
    }
    m_imageView->ReleaseImage();
    return true;
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    switch (m_mode) {
    case FrameMode::Browser:
        event->accept();
        return;
    case FrameMode::Viewer:
        if (!closeViewerImage()) {
            m_quitRequested = false;
            event->ignore();
            return;
        }
        if (m_quitRequested) {
            event->accept();
            return;
        }
        // The close box and Alt+F4 return from the viewer to the browser.
        if (m_fullScreen)
            LeaveFullScreen();
        EnterBrowserMode();
        event->ignore();
        return;
    case FrameMode::SlideShow:
        event->accept();
        return;
    }
}

void CMainFrame::setImageSequence(const ImageSequence* sequence)
{
    m_sequence = sequence;
    m_imageView->setSequence(sequence);
}

void CMainFrame::setBrowserFactsProvider(std::function<StatusBarModel::BrowserFacts()> provider)
{
    m_browserFacts = std::move(provider);
}

void CMainFrame::setThumbnailSizeHandler(std::function<void(int)> handler)
{
    m_thumbnailSizeHandler = std::move(handler);
}

void CMainFrame::SetThumbnailSizeFromSlider(int size)
{
    if (m_mode != FrameMode::Browser)
        return;
    m_thumbnailSize = std::clamp(size, 36, 200);
    if (m_thumbnailSizeHandler)
        m_thumbnailSizeHandler(m_thumbnailSize);
    m_statusBar->SetSliderFromThumbnailSize(m_thumbnailSize);
}

void CMainFrame::SetZoomFromFrame(double zoom)
{
    if (m_mode != FrameMode::Viewer)
        return;
    m_imageView->SetZoomFromFrame(std::clamp(zoom, 0.07, 16.0));
}

void CMainFrame::RefreshStatusBar()
{
    using StatusBarModel::Panes;
    if (m_mode == FrameMode::Browser) {
        const StatusBarModel::BrowserFacts facts = m_browserFacts ? m_browserFacts() : StatusBarModel::BrowserFacts{};
        m_statusBar->showPanes(CSuperStatusBar::Table::Browser, StatusBarModel::browserPanes(facts));
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
    const QPoint cursor = m_imageView->viewport()->mapFromGlobal(QCursor::pos());
    facts.cursorX = std::clamp(static_cast<int>(std::trunc(m_imageView->ClientToImageX(cursor.x()))), 0, facts.width - 1);
    facts.cursorY = std::clamp(static_cast<int>(std::trunc(m_imageView->ClientToImageY(cursor.y()))), 0, facts.height - 1);
    if (!m_imageView->selection().isEmpty())
        facts.selection = m_imageView->selection().size();
    facts.zoom = m_imageView->zoom();
    m_statusBar->showPanes(CSuperStatusBar::Table::Viewer, StatusBarModel::viewerPanes(facts));
}
