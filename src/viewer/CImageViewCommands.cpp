// The viewer's commands, tools, timers and stepping.
#include "viewer/CImageView.h"
#include "app/WaitCursor.h"

#include "app/MessageBoxSeam.h"
#include "imaging/commands/EffectCommands.h"
#include "imaging/fipSuperImage.h"
#include "platform/FileClipboard.h"
#include "viewer/ViewerCommands.h"
#include "viewer/ViewerEditTarget.h"
#include "viewer/ViewerNavigation.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimerEvent>
#include <QWheelEvent>

#include <FreeImage.h>

#include <cmath>

namespace {

constexpr int kQuickSlideMs = 1500;

RGBQUAD toRgbQuad(std::uint32_t colorRef)
{
    RGBQUAD q{};
    q.rgbRed = static_cast<BYTE>(colorRef & 0xFF);
    q.rgbGreen = static_cast<BYTE>((colorRef >> 8) & 0xFF);
    q.rgbBlue = static_cast<BYTE>((colorRef >> 16) & 0xFF);
    return q;
}

// From the flag kept on the clipboard's changes: reading a slow owner's clipboard on every
// state refresh froze the window.
bool clipboardHasImage()
{
    return FileClipboardState::instance().hasImage();
}

// The fixed levels run from 1600% (first command) down to 7%: the step table backwards.
std::optional<double> fixedZoomLevel(int id)
{
    if (id < vcmd::ZoomLevelFirst || id > vcmd::ZoomLevelLast)
        return std::nullopt;
    return kZoomSteps[kZoomSteps.size() - 1 - static_cast<size_t>(id - vcmd::ZoomLevelFirst)];
}

}  // namespace

// ---- Enabling -----------------------------------------------------------------------------

void CImageView::OnUpdateCommand(int id, bool& enabled, std::optional<bool>& checked) const
{
    const bool image = hasImage() && m_image->isValid();
    const bool selection = image && !m_selection.isEmpty();
    const ViewedPosition at{hasImage(), m_listIndex, m_pageIndex, m_pageCount};
    checked.reset();
    switch (id) {
    case vcmd::PanTool:
    case vcmd::SelectTool:
    case vcmd::ZoomTool:
        enabled = true;
        checked = static_cast<int>(m_edit.tool) == id - vcmd::PanTool;
        return;
    case vcmd::CropToSelection:
    case vcmd::ClearSelection:
    case vcmd::Cut:
        enabled = selection;
        return;
    case vcmd::SelectAll:
    case vcmd::Copy:
    case vcmd::SetBackgroundColor:
    case vcmd::Browse:
        enabled = true;
        return;
    case vcmd::Paste:
        enabled = clipboardHasImage();
        return;
    case vcmd::SelFree:
        enabled = true;
        checked = m_edit.ratioType == RatioType::Free;
        return;
    case vcmd::SelSameAsImage:
        enabled = true;
        checked = m_edit.ratioType == RatioType::SameAsImage;
        return;
    case vcmd::SelRatio1x1:
    case vcmd::SelRatio1x2:
    case vcmd::SelRatio3x4:
    case vcmd::SelRatio9x13:
    case vcmd::SelRatio10x15:
    case vcmd::SelRatio13x18:
    case vcmd::SelRatio20x25:
        enabled = true;
        checked = m_edit.ratioType == RatioType::Fixed
                  && matchesPreset(m_edit.ratio, ratioPreset(id, m_edit.orientation).value_or(-1));
        return;
    case vcmd::SelPortrait:
        enabled = true;
        checked = m_edit.orientation == SelOrientation::Portrait;
        return;
    case vcmd::SelLandscape:
        enabled = true;
        checked = m_edit.orientation == SelOrientation::Landscape;
        return;
    case vcmd::NextImage:
    case vcmd::PreviousImage:
    case vcmd::FirstImage:
    case vcmd::LastImage:
        enabled = imageStepTarget(id, m_sequence, at).has_value();
        return;
    case vcmd::NextPage:
    case vcmd::PreviousPage:
    case vcmd::FirstPage:
    case vcmd::LastPage:
        enabled = pageStepTarget(id, at).has_value();
        return;
    case vcmd::QuickSlideShow:
        enabled = hasImage() && m_sequence && m_sequence->imageCount() > 1;
        checked = m_quickSlideShow;
        return;
    case vcmd::FullScreen:
        enabled = fullScreenMode() || hasImage();
        checked = fullScreenMode();
        return;
    case vcmd::Close:
    case vcmd::Reopen:
    case vcmd::Delete:
    case vcmd::Rename:
    case vcmd::CopyToFolder:
    case vcmd::MoveToFolder:
    case vcmd::LocateOnDisk:
    case vcmd::OpenWithProgram:
    case vcmd::OpenWithEditor:
        enabled = hasImage();
        return;
    case vcmd::Save:
    case vcmd::SaveAs:
        enabled = image;
        return;
    case vcmd::Print:
    case vcmd::Properties:
        enabled = image && !m_filePath.isEmpty();
        return;
    case vcmd::Undo:
        enabled = canUndo();
        return;
    case vcmd::Redo:
        enabled = canRedo();
        return;
    case vcmd::ZoomIn:
        enabled = canZoomIn();
        return;
    case vcmd::ZoomOut:
        enabled = canZoomOut();
        return;
    case vcmd::ActualSize:
    case vcmd::FitImage:
    case vcmd::FitImageButton:
    case vcmd::FitWidth:
    case vcmd::FitHeight:
    case vcmd::ZoomLock:
    case vcmd::ZoomTo: {
        enabled = hasImage();
        const ZoomType type = zoomType();
        if (id == vcmd::ActualSize) checked = type == ZoomType::ActualSize;
        if (id == vcmd::FitImage || id == vcmd::FitImageButton) checked = type == ZoomType::FitImage;
        if (id == vcmd::FitWidth) checked = type == ZoomType::FitWidth;
        if (id == vcmd::FitHeight) checked = type == ZoomType::FitHeight;
        if (id == vcmd::ZoomLock) checked = type == ZoomType::ZoomLock;
        return;
    }
    default:
        if (const auto level = fixedZoomLevel(id)) {
            enabled = hasImage();
            checked = hasImage() && zoom() == *level;
            return;
        }
        // The frame forwards these only while the viewer is shown.
        if (effects::handledByViewer(id)) {
            enabled = effects::isEnabled(id, m_image.get(), true);
            return;
        }
        enabled = false;
        return;
    }
}

bool CImageView::isEnabled(int id) const
{
    bool enabled = false;
    std::optional<bool> checked;
    OnUpdateCommand(id, enabled, checked);
    return enabled;
}

bool CImageView::OnCommand(int id)
{
    bool enabled = false;
    std::optional<bool> checked;
    const bool imageStep =
        id == vcmd::NextImage || id == vcmd::PreviousImage || id == vcmd::FirstImage || id == vcmd::LastImage;
    if (!imageStep && stepPending())
        settleStep();
    OnUpdateCommand(id, enabled, checked);
    if (effects::handledByViewer(id)) {
        ViewerEditTarget target(*this);
        if (enabled && !m_inQuerySave)
            effects::run(id, target);
        return true;
    }
    // Unknown ids come back disabled and unchecked from the table above; tell them apart.
    switch (id) {
    case vcmd::PanTool: case vcmd::SelectTool: case vcmd::ZoomTool: case vcmd::CropToSelection:
    case vcmd::ClearSelection: case vcmd::SelectAll: case vcmd::Cut: case vcmd::Copy: case vcmd::Paste:
    case vcmd::SetBackgroundColor: case vcmd::SelFree: case vcmd::SelSameAsImage: case vcmd::SelRatio1x1:
    case vcmd::SelRatio1x2: case vcmd::SelRatio3x4: case vcmd::SelRatio9x13: case vcmd::SelRatio10x15:
    case vcmd::SelRatio13x18: case vcmd::SelRatio20x25: case vcmd::SelPortrait: case vcmd::SelLandscape:
    case vcmd::NextImage: case vcmd::PreviousImage: case vcmd::FirstImage: case vcmd::LastImage:
    case vcmd::NextPage: case vcmd::PreviousPage: case vcmd::FirstPage: case vcmd::LastPage:
    case vcmd::QuickSlideShow: case vcmd::FullScreen: case vcmd::Browse: case vcmd::Close: case vcmd::Reopen:
    case vcmd::Save: case vcmd::SaveAs: case vcmd::Print: case vcmd::Delete: case vcmd::Undo: case vcmd::Redo: case vcmd::ZoomIn: case vcmd::ZoomOut:
    case vcmd::ActualSize: case vcmd::FitImage: case vcmd::Rename: case vcmd::CopyToFolder: case vcmd::MoveToFolder:
    case vcmd::LocateOnDisk: case vcmd::OpenWithProgram: case vcmd::OpenWithEditor: case vcmd::Properties:
    case vcmd::FitImageButton: case vcmd::FitWidth: case vcmd::FitHeight: case vcmd::ZoomLock: case vcmd::ZoomTo:
        break;
    default:
        if (fixedZoomLevel(id))
            break;
        return false;
    }
    // While "Save Changes" is open nothing else may start: a second step would step twice.
    if (!enabled || m_inQuerySave)
        return true;

    const ViewedPosition at{hasImage(), m_listIndex, m_pageIndex, m_pageCount};
    switch (id) {
    case vcmd::PanTool: setTool(ViewTool::Pan); break;
    case vcmd::SelectTool: setTool(ViewTool::Select); break;
    case vcmd::ZoomTool: setTool(ViewTool::Zoom); break;
    case vcmd::CropToSelection: cropToSelection(); break;
    case vcmd::ClearSelection: setSelection(QRect()); break;
    case vcmd::SelectAll:
        if (hasImage()) {
            m_edit.ratioType = RatioType::Free;
            m_edit.ratio = 0;
            setSelection(QRect(QPoint(0, 0), m_geometry.imageSize()));
        }
        break;
    case vcmd::Cut: cutSelection(); break;
    case vcmd::Copy: copySelection(); break;
    case vcmd::Paste: pasteImage(); break;
    case vcmd::SetBackgroundColor: chooseCutColor(); break;
    case vcmd::SelFree: SetSelectionRatio(0, RatioType::Free); break;
    case vcmd::SelSameAsImage:
        if (hasImage() && m_geometry.imageSize().height() > 0) {
            const QSize s = m_geometry.imageSize();
            SetSelectionRatio(static_cast<double>(s.width()) / s.height(), RatioType::SameAsImage);
        } else {
            SetSelectionRatio(0, RatioType::SameAsImage);
            m_selection = QRect();
        }
        viewport()->update();
        break;
    case vcmd::SelPortrait: SetOrientation(SelOrientation::Portrait); break;
    case vcmd::SelLandscape: SetOrientation(SelOrientation::Landscape); break;
    case vcmd::NextImage:
    case vcmd::FirstImage:
    case vcmd::LastImage:
        stepToImage(*imageStepTarget(id, m_sequence, at));
        break;
    case vcmd::PreviousImage: stepPrevious(); break;
    case vcmd::NextPage:
    case vcmd::PreviousPage:
    case vcmd::FirstPage:
    case vcmd::LastPage:
        stepToPage(*pageStepTarget(id, at));
        break;
    case vcmd::QuickSlideShow: toggleQuickSlideShow(); break;
    case vcmd::FullScreen: toggleFullScreen(); break;
    case vcmd::Browse: browse(); break;
    case vcmd::Close: closeImage(); break;
    case vcmd::Reopen: ReloadImage(); break;
    case vcmd::Save: SaveImageAs(m_filePath, 0); break;
    case vcmd::SaveAs: saveAs(); break;
    case vcmd::Print: print(); break;
    case vcmd::Delete: deleteFile(); break;
    case vcmd::Rename: renameFile(); break;
    case vcmd::CopyToFolder: copyFileToFolder(); break;
    case vcmd::MoveToFolder: moveFileToFolder(); break;
    case vcmd::LocateOnDisk:
        if (m_dialogs.locateOnDisk)
            m_dialogs.locateOnDisk(m_filePath);
        break;
    case vcmd::OpenWithProgram:
    case vcmd::OpenWithEditor:
        if (m_dialogs.openWith)
            m_dialogs.openWith(m_filePath, id == vcmd::OpenWithEditor);
        break;
    case vcmd::Properties:
        if (m_dialogs.showProperties)
            m_dialogs.showProperties(this, m_filePath);
        break;
    case vcmd::Undo: Undo(); break;
    case vcmd::Redo: Redo(); break;
    case vcmd::ZoomIn: OnZoomIn(); break;
    case vcmd::ZoomOut: OnZoomOut(); break;
    case vcmd::ActualSize: OnActualSize(); break;
    case vcmd::FitImage:
    case vcmd::FitImageButton: OnFitImage(); break;
    case vcmd::FitWidth: OnFitWidth(); break;
    case vcmd::FitHeight: OnFitHeight(); break;
    case vcmd::ZoomLock: OnZoomLock(); break;
    case vcmd::ZoomTo: OnZoomTo(); break;
    default:
        if (const auto level = fixedZoomLevel(id)) {
            OnFixedZoomLevel(*level);
            break;
        }
        if (const auto preset = ratioPreset(id, m_edit.orientation)) {
            SetSelectionRatio(*preset, RatioType::Fixed);
            viewport()->update();
        }
        break;
    }
    return true;
}

// ---- Selection and tools ------------------------------------------------------------------

double CImageView::selectionRatio() const
{
    return effectiveRatio(m_edit.ratioType, m_edit.ratio, hasImage() ? m_geometry.imageSize() : QSize());
}

SelBox CImageView::imageExtentOnScreen() const
{
    const QSize client = m_geometry.clientSize();
    const QSize zoomed = m_geometry.zoomedSize();
    const QRect drawn = m_geometry.visiblePart().destination;
    SelBox e;
    e.left = client.width() < zoomed.width() ? roundHalfAway(std::floor(-m_geometry.scrollX())) : drawn.left();
    e.top = client.height() < zoomed.height() ? roundHalfAway(std::floor(-m_geometry.scrollY())) : drawn.top();
    e.right = e.left + zoomed.width();
    e.bottom = e.top + zoomed.height();
    return e;
}

void CImageView::SetSelectionRatio(double value, RatioType type)
{
    m_edit.ratio = value;
    m_edit.ratioType = type;
    if (type == RatioType::Free)
        return;
    const double r = selectionRatio();
    if (r == 0 || m_selection.isEmpty())
        return;
    const SelBox frame = SelBox::fromRect(m_geometry.imageToClient(m_selection));
    const SelBox held = ConstrainToRatio(frame, 0, r, imageExtentOnScreen());
    if (held != frame)
        m_selection = m_geometry.clientToImage(held.toRect());
}

void CImageView::SetOrientation(SelOrientation orientation)
{
    if (orientation == m_edit.orientation)
        return;
    m_edit.orientation = orientation;
    if (m_edit.ratioType != RatioType::Fixed)
        return;
    if (!m_selection.isEmpty())
        m_selection = swapSelectionOrientation(m_selection, m_geometry.imageSize(), orientation);
    const double r = selectionRatio();
    SetSelectionRatio(r != 0 ? 1 / r : 0, RatioType::Fixed);
    viewport()->update();
}

void CImageView::cropToSelection()
{
    if (!m_image || !m_image->isValid() || !TakeUndoSnapshot())
        return;
    WaitCursor wait;
    const QRect s = m_selection;
    if (m_image->crop(s.x(), s.y(), s.x() + s.width(), s.y() + s.height())) {
        m_selection = QRect();
        MarkChanged();
    }
}

void CImageView::cutSelection()
{
    if (!m_image || !m_image->isValid() || !TakeUndoSnapshot())
        return;
    WaitCursor wait;
    const QRect s = m_selection;
    if (m_image->cut(s.x(), s.y(), s.width(), s.height(), toRgbQuad(m_edit.cutColor)))
        MarkChanged();
}

void CImageView::copySelection()
{
    if (!m_image || !m_image->isValid())
        return;
    WaitCursor wait;
    if (m_selection.isEmpty()) {
        m_image->copyToClipboard();
        return;
    }
    const QRect s = m_selection;
    fipSuperImage work;
    if (m_image->copySubImage(work, s.x(), s.y(), s.x() + s.width(), s.y() + s.height()))
        work.copyToClipboard();
}

void CImageView::pasteImage()
{
    WaitCursor wait;
    fipSuperImage work;
    if (!work.pasteFromClipboard() || !work.isValid() || !m_image || !TakeUndoSnapshot())
        return;
    const unsigned bpp = m_image->getBPP();
    int left = 0, top = 0;
    if (m_selection.isEmpty()) {
        if (work.getBPP() != bpp && !work.adjustBPP(static_cast<WORD>(bpp), FALSE, 0))
            return;
        const unsigned w = std::min(work.getWidth(), m_image->getWidth());
        const unsigned h = std::min(work.getHeight(), m_image->getHeight());
        if ((work.getWidth() > w || work.getHeight() > h)
            && !work.crop(0, 0, static_cast<int>(w), static_cast<int>(h)))
            return;
    } else {
        if (!work.rescale(static_cast<unsigned>(m_selection.width()), static_cast<unsigned>(m_selection.height()),
                          FILTER_BILINEAR))
            return;
        if (work.getBPP() != bpp && !work.adjustBPP(static_cast<WORD>(bpp), FALSE, 0))
            return;
        left = m_selection.x();
        top = m_selection.y();
    }
    if (m_image->pasteSubImage(work, left, top, 256))
        MarkChanged();
}

void CImageView::chooseCutColor()
{
    if (!m_dialogs.pickColor)
        return;
    const std::uint32_t c = m_edit.cutColor;
    const QColor initial(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                         static_cast<int>((c >> 16) & 0xFF));
    if (const auto chosen = m_dialogs.pickColor(this, initial))
        m_edit.cutColor = static_cast<std::uint32_t>(chosen->red()) | (static_cast<std::uint32_t>(chosen->green()) << 8)
                          | (static_cast<std::uint32_t>(chosen->blue()) << 16);
}

// ---- Timers, full screen, quick slide show ---------------------------------------------------

void CImageView::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_cursorTimer.timerId())
        onCursorTimer();
    else if (event->timerId() == m_slideTimer.timerId())
        onQuickSlideTimer();
    else
        QAbstractScrollArea::timerEvent(event);
}

void CImageView::onCursorTimer()
{
    m_cursorTimer.stop();
    setCursorHidden(true);
}

void CImageView::onQuickSlideTimer()
{
    m_slideTimer.stop();
    m_quickSlideShow = false;
    const int next = m_sequence ? m_sequence->nextImage(m_listIndex) : -1;
    if (next < 0)
        return;  // no wrap: the show ends at the last image
    stepToImage(next);
    m_quickSlideShow = true;
    m_slideTimer.start(kQuickSlideMs, this);
}

void CImageView::toggleQuickSlideShow()
{
    m_quickSlideShow = !m_quickSlideShow;
    if (m_quickSlideShow)
        m_slideTimer.start(kQuickSlideMs, this);
    else
        m_slideTimer.stop();
}

void CImageView::toggleFullScreen()
{
    const bool on = !fullScreenMode();
    setFullScreenMode(on);
    emit fullScreenLayoutRequested(on);
}

// ---- Stepping -------------------------------------------------------------------------------

bool CImageView::leaveImage()
{
    if (!m_image)
        return true;
    if (m_modified && QuerySaveChanges() == 0)
        return false;
    ReleaseImage();
    return true;
}

void CImageView::stepToImage(int index)
{
    if (m_quickSlideShow)
        m_slideTimer.start(kQuickSlideMs, this);
    if (m_image && m_modified) {
        if (QuerySaveChanges() == 0)
            return;
        m_modified = false;  // saved or discarded: not asked again on the way out
    }
    if (beginBackgroundStep(index))
        return;
    WaitCursor wait;
    if (!leaveImage())
        return;
    OpenImageAt(index, 0);
    viewport()->update();
}

void CImageView::stepToPage(int page)
{
    if (m_quickSlideShow)
        m_slideTimer.start(kQuickSlideMs, this);
    if (page == m_pageIndex)
        return;
    const int index = m_listIndex;
    if (!leaveImage())
        return;
    OpenImageAt(index, page);
    viewport()->update();
}

void CImageView::stepPrevious()
{
    if (m_quickSlideShow)
        m_slideTimer.start(kQuickSlideMs, this);
    const int old = m_listIndex;
    if (m_image && m_modified) {
        if (QuerySaveChanges() == 0)
            return;
        m_modified = false;
    }
    // Kept only when it matches the file: edits that were discarded, or saved under another
    // name, must not come back with Next as if they were the file. A picture standing in for
    // a pending step stands for no file.
    std::unique_ptr<fipSuperImage> copy;
    if (m_image && m_matchesFile && !stepPending())
        copy = std::make_unique<fipSuperImage>(*m_image);
    const QString path = m_filePath;
    const int page = m_pageIndex, pageCount = m_pageCount;
    const QSize fullSize = m_fullSize;
    const FileStamp stamp = m_fileStamp;
    const int n = m_sequence->previousImage(old);
    if (copy && m_preload.free()) {
        PreloadedImage kept;
        kept.loaded.image = std::move(copy);
        kept.loaded.pageCount = pageCount;
        kept.loaded.fullSize = fullSize;
        kept.stamp = stamp;
        m_preload.put(path, page, std::move(kept));
    }
    if (beginBackgroundStep(n))
        return;
    WaitCursor wait;
    ReleaseImage();
    OpenImageAt(n, 0);
    viewport()->update();
}

void CImageView::browse()
{
    if (fullScreenMode())
        toggleFullScreen();
    if (m_image && !leaveImage())
        return;
    m_cursorTimer.stop();
    m_slideTimer.stop();
    m_quickSlideShow = false;
    m_cursorHidden = false;
    m_drawnRect = QRect();
    m_preload.free();
    emit browseRequested();
}

void CImageView::closeImage()
{
    if (m_image && (!m_modified || QuerySaveChanges() == 1))
        ReleaseImage();
    viewport()->update();
    UpdateTitle();
    emit statusRefreshRequested();
}

void CImageView::ReloadImage()
{
    if (!m_image || m_listIndex < 0)
        return;
    if (m_modified && QuerySaveChanges() == 0)
        return;
    WaitCursor wait;
    const int index = m_listIndex;
    ReleaseImage();
    // The file changed on disk: a copy held ahead of time would be stale.
    m_preload.wait();
    m_preload.free();
    OpenImageAt(index, 0);
    viewport()->update();
}

std::optional<QString> CImageView::OpenFileDialog(const QString& folder)
{
    if (!m_dialogs.openFile)
        return std::nullopt;
    const auto chosen = m_dialogs.openFile(this, folder, fipSuperImage::getOpenFileFilter(), m_settings.configPath);
    if (!chosen)
        return std::nullopt;
    if (m_image && !leaveImage())
        return std::nullopt;
    return chosen;
}
