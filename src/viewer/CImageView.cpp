#include "viewer/CImageView.h"
#include "app/WaitCursor.h"

#include "app/ProfileFile.h"
#include "imaging/fipSuperImage.h"
#include "viewer/ViewerEvents.h"
#include "viewer/ZoomSettings.h"

#include <QApplication>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QStyle>

#include <array>

namespace {

const QString kProductName = QStringLiteral("Kelvra Photo Viewer");

// Below this many source pixels the smooth reduction is quick enough to make inside a paint.
constexpr long long kSynchronousCacheSourcePixels = 4'000'000;

QCursor makeZoomCursor()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 4));
    p.drawEllipse(QRectF(3, 3, 16, 16));
    p.drawLine(QPointF(17, 17), QPointF(27, 27));
    p.setPen(QPen(Qt::black, 2));
    p.drawEllipse(QRectF(3, 3, 16, 16));
    p.drawLine(QPointF(17, 17), QPointF(27, 27));
    p.drawLine(QPointF(7, 11), QPointF(15, 11));
    p.drawLine(QPointF(11, 7), QPointF(11, 15));
    p.end();
    return QCursor(pixmap, 11, 11);
}

}  // namespace

CImageView::CImageView(ViewerSettings settings, QWidget* parent)
    : QAbstractScrollArea(parent), m_settings(std::move(settings)), m_undo(m_settings.tempFolder),
      m_zoomCursor(makeZoomCursor())
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Every paint covers the whole client area itself: no erase pass, no flicker.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    m_geometry.setBarExtents(extent, extent);
    m_geometry.setWindowSize(size());
    m_geometry.setDeviceRatio(devicePixelRatioF());

    m_edit = readEditViewSettings(ProfileFile(m_settings.configPath));
    const ZoomInfo info = readZoomInfo(ProfileFile(m_settings.configPath));
    m_geometry.setZoomType(info.type);
    m_geometry.setZoom(info.level);

    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &CImageView::onScrollBarMoved);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &CImageView::onScrollBarMoved);
}

CImageView::~CImageView()
{
    ProfileFile profile(m_settings.configPath);
    writeZoomInfo(profile, ZoomInfo{m_geometry.zoomType(), m_geometry.zoom()});
    writeEditViewSettings(profile, m_edit, selectionRatio());
    m_stepper.abandonAll();
    m_preload.abandon();
    m_preload.wait();
    m_undo.clear();
}

// ---- Viewed image --------------------------------------------------------------------

bool CImageView::OpenImageAt(int index, int page)
{
    abandonSteps();
    ReleaseImage();
    m_listIndex = index;
    m_pageIndex = page;
    m_filePath.clear();
    m_itemFolder.clear();
    m_itemPath.clear();
    m_pageCount = 0;

    if (index >= 0 && m_sequence) {
        if (const auto item = m_sequence->itemAt(index)) {
            m_filePath = item->targetPath;
            m_itemPath = item->itemPath;
            m_itemFolder = QFileInfo(item->itemPath).path();
        }
    }
    PreloadedImage opened;
    if (!m_filePath.isEmpty()) {
        // The look-ahead may be decoding this very file: wait for it rather than decode twice.
        if (m_preload.isRunning() && m_preload.path() == m_filePath && m_preload.page() == page)
            m_preload.waitForImage();
        if (auto preloaded = m_preload.take(m_filePath, page)) {
            opened = std::move(*preloaded);
        } else {
            opened.stamp = FileStamp::of(m_filePath);
            opened.loaded = LoadImageFile(m_filePath, page);
        }
    }
    showOpened(std::move(opened));
    return hasImage();
}

void CImageView::showOpened(PreloadedImage opened)
{
    ReleaseImage();
    m_image = std::move(opened.loaded.image);
    m_pageCount = opened.loaded.pageCount;
    m_fullSize = opened.loaded.fullSize;
    m_fileStamp = opened.stamp;
    // Kept only for an image opened reduced: it says the file holds more than is shown.
    if (m_image && m_fullSize == QSize(static_cast<int>(m_image->getWidth()), static_cast<int>(m_image->getHeight())))
        m_fullSize = QSize();

    m_geometry.setAutoFit(true);
    m_modified = false;
    m_matchesFile = hasImage();
    RefreshAfterChange();
    m_display = std::move(opened.display);
    adoptReduction(std::move(opened.reduced));
    updateCursor(viewport()->mapFromGlobal(QCursor::pos()));
    UpdateTitle();
    StartPreload();
    viewport()->update();
}

void CImageView::ReleaseImage()
{
    m_image.reset();
    ++m_imageSerial;
    m_fullSize = QSize();
    m_matchesFile = false;
    m_display = QImage();
    DeleteDrawingCache();
    m_undo.clear();
    m_selection = QRect();
    m_geometry.setImageSize(QSize());
    m_geometry.setAutoFit(true);
    syncScrollBars();
}

bool CImageView::TakeUndoSnapshot()
{
    if (!m_image || !m_image->isValid())
        return false;
    m_undo.take(*m_image);
    return true;
}

void CImageView::RefreshAfterChange()
{
    DeleteDrawingCache();
    m_display = QImage();  // the pixels changed
    if (!m_image)
        return;
    // A picture that only stands in until a step's image arrives is never edited.
    if (!stepPending())
        m_undo.imageChanged(*m_image);
    const QSize size(static_cast<int>(m_image->getWidth()), static_cast<int>(m_image->getHeight()));
    if (size != m_geometry.imageSize()) {
        // A view that was never shown has had no resize event yet.
        m_geometry.setWindowSize(this->size());
        m_geometry.setImageSize(size);
        m_geometry.applyZoomType();
        afterGeometryChange();
    }
    emit imageChanged();
}

void CImageView::MarkChanged()
{
    m_modified = true;
    m_matchesFile = false;
    RefreshAfterChange();
    viewport()->update();
}

void CImageView::MarkMirrored(bool vertically)
{
    QImage mirrored;
    if (hasDrawingCache())
        mirrored = std::move(m_cache).mirrored(!vertically, vertically);
    MarkChanged();
    adoptReduction(std::move(mirrored));
}

bool CImageView::canUndo() const
{
    return m_image && m_image->isValid() && m_undo.canUndo();
}

bool CImageView::canRedo() const
{
    return m_image && m_image->isValid() && m_undo.canRedo();
}

void CImageView::Undo()
{
    if (!canUndo())
        return;
    WaitCursor wait;
    m_selection = QRect();
    if (m_undo.undo(*m_image))
        MarkChanged();
}

void CImageView::Redo()
{
    if (!canRedo())
        return;
    WaitCursor wait;
    m_selection = QRect();
    if (m_undo.redo(*m_image))
        MarkChanged();
}

QString CImageView::titleText() const
{
    if (!m_image)
        return kProductName;
    return QFileInfo(m_filePath).fileName() + QStringLiteral(" - ") + kProductName;
}

void CImageView::UpdateTitle()
{
    window()->setWindowTitle(titleText());
}

void CImageView::StartPreload()
{
    if (!m_sequence)
        return;
    const int next = m_sequence->nextImage(m_listIndex);
    const auto item = next >= 0 ? m_sequence->itemAt(next) : std::nullopt;
    if (!item)
        return;
    m_preload.wait();
    if (m_preload.holds(item->targetPath, 0))
        return;
    m_preload.start(item->targetPath, 0, this, reductionForNextImage());
}

bool CImageView::event(QEvent* event)
{
    if (event->type() == WM_STEP_DECODED) {
        onStepDecoded();
        return true;
    }
    if (event->type() == WM_PRELOAD_DONE) {
        if (onPreloadDoneForStep())
            return true;
        // Outside viewer mode nobody will step to it: give the memory back.
        if (!m_viewerModeActive)
            m_preload.free();
        return true;
    }
    if (event->type() == QEvent::ScreenChangeInternal && syncDeviceRatio())
        viewport()->update();
    if (event->type() == WM_BUILD_DRAWING_CACHE) {
        m_cacheRequested = false;
        // Not for a picture that only stands in until a step's image arrives.
        if (stepPending())
            return true;
        // Repaint only for a cache just made: when none can be made, the paint would ask for
        // it again, and again, with nothing changed.
        if (m_image && chooseDrawPath(zoom(), m_geometry.deviceZoomedSize(), m_sliderDragging) == DrawPath::Cache
            && !hasDrawingCache())
            continueDrawingCache();
        return true;
    }
    return QAbstractScrollArea::event(event);
}

// ---- State set from outside ------------------------------------------------------------

void CImageView::setFullScreenMode(bool fullScreen)
{
    if (fullScreen == m_geometry.fullScreen())
        return;
    m_geometry.setFullScreen(fullScreen);
    if (fullScreen) {
        m_cursorTimer.start(2000, this);
    } else {
        // The cursor stays hidden until the mouse moves.
        m_cursorTimer.stop();
        updateCursor(viewport()->mapFromGlobal(QCursor::pos()));
    }
    if (m_geometry.autoFit())
        m_geometry.applyZoomType();
    else
        m_geometry.setScrollPosition(m_geometry.scrollX(), m_geometry.scrollY());
    afterGeometryChange();
    viewport()->update();
}

void CImageView::setZoomSliderDragging(bool dragging)
{
    m_sliderDragging = dragging;
    if (!dragging)
        viewport()->update();
}

void CImageView::setCursorHidden(bool hidden)
{
    m_cursorHidden = hidden;
    updateCursor(viewport()->mapFromGlobal(QCursor::pos()));
}

void CImageView::setTool(ViewTool tool)
{
    m_edit.tool = tool;
    updateCursor(viewport()->mapFromGlobal(QCursor::pos()));
}

void CImageView::setSelection(const QRect& selection)
{
    m_selection = selection;
    viewport()->update();
}

CursorKind CImageView::cursorKindAt(QPoint clientPoint) const
{
    CursorInputs in;
    in.cursorHidden = m_cursorHidden;
    in.hasImage = hasImage();
    in.tool = m_edit.tool;
    const QSize client = m_geometry.clientSize();
    const QSize zoomed = m_geometry.zoomedSize();
    in.imageFitsClient = zoomed.width() <= client.width() && zoomed.height() <= client.height();
    in.leftButtonDown = m_leftButtonDown;
    in.selectionOnScreen = m_geometry.imageToClient(m_selection);
    in.drawnRect = m_geometry.visiblePart().destination;
    in.point = clientPoint;
    return chooseCursor(in);
}

QCursor CImageView::cursorFor(CursorKind kind) const
{
    switch (kind) {
    case CursorKind::Hidden: return QCursor(Qt::BlankCursor);
    case CursorKind::Default: return QCursor(Qt::ArrowCursor);
    case CursorKind::Pan: return QCursor(Qt::OpenHandCursor);
    case CursorKind::PanDown: return QCursor(Qt::ClosedHandCursor);
    case CursorKind::Select: return QCursor(Qt::CrossCursor);
    case CursorKind::Zoom: return m_zoomCursor;
    case CursorKind::Move: return QCursor(Qt::SizeAllCursor);
    case CursorKind::SizeFDiag: return QCursor(Qt::SizeFDiagCursor);
    case CursorKind::SizeBDiag: return QCursor(Qt::SizeBDiagCursor);
    case CursorKind::SizeHor: return QCursor(Qt::SizeHorCursor);
    case CursorKind::SizeVer: return QCursor(Qt::SizeVerCursor);
    }
    return QCursor(Qt::ArrowCursor);
}

void CImageView::updateCursor(QPoint clientPoint)
{
    viewport()->setCursor(cursorFor(cursorKindAt(clientPoint)));
}

// ---- Drawing ------------------------------------------------------------------------------

void CImageView::DeleteDrawingCache()
{
    m_cache = QImage();
    m_cacheSource.clear();
    m_reduction.reset();  // made from pixels that are gone or changed
}

QColor CImageView::backgroundColor() const
{
    return QColor::fromRgb(m_geometry.fullScreen() ? kFullScreenBackground : kViewerBackground);
}

const QImage& CImageView::displayImage()
{
    // 24-bit images are drawn from the library's own rows: no second copy of a photo.
    if (m_display.isNull() && m_image && !canStretchFromImageBits())
        m_display = makeDisplayImage(*m_image);
    return m_display;
}

void CImageView::requestDeferredDrawingWork()
{
    if (m_cacheRequested)
        return;
    m_cacheRequested = true;
    QCoreApplication::postEvent(this, new QEvent(WM_BUILD_DRAWING_CACHE));
}

bool CImageView::canStretchFromImageBits() const
{
    return m_image && drawnFromRows(*m_image);
}

void CImageView::stretchFromImageBits(QPainter& painter, const VisiblePart& part) const
{
    // Only the part of the destination inside the client area is made, at device pixels.
    const QRect client(QPoint(0, 0), m_geometry.clientSize());
    const QRect d = part.destination;
    const QRect target = d.intersected(client);
    if (target.isEmpty())
        return;
    const QRectF s = part.source;
    const double scaleX = s.width() / d.width(), scaleY = s.height() / d.height();
    const QRectF source(s.x() + (target.left() - d.left()) * scaleX, s.y() + (target.top() - d.top()) * scaleY,
                        target.width() * scaleX, target.height() * scaleY);
    const double ratio = m_geometry.deviceRatio();
    const QSize device(roundHalfAway(target.width() * ratio), roundHalfAway(target.height() * ratio));
    const auto pitch = static_cast<qsizetype>(m_image->getScanWidth());
    const int bpp = static_cast<int>(m_image->getBPP());
    QImage stretched;
    if (bpp == 24) {
        stretched = stretchBottomUpBgr(m_image->accessPixels(), m_geometry.imageSize(), pitch, source, device);
    } else {
        std::array<QRgb, 256> palette{};
        const RGBQUAD* colours = m_image->getPalette();
        for (unsigned i = 0; i < m_image->getPaletteSize() / sizeof(RGBQUAD) && i < palette.size(); ++i)
            palette[i] = qRgb(colours[i].rgbRed, colours[i].rgbGreen, colours[i].rgbBlue);
        stretched = stretchBottomUpIndexed(m_image->accessPixels(), bpp, palette.data(), m_geometry.imageSize(),
                                           pitch, source, device);
    }
    stretched.setDevicePixelRatio(ratio);
    painter.drawImage(target.topLeft(), stretched);
}

bool CImageView::hasDrawingCache() const
{
    return !m_cache.isNull() && m_cache.size() == m_geometry.deviceZoomedSize() && m_cacheSource == m_filePath;
}

void CImageView::buildDrawingCache()
{
    const QSize size = m_geometry.deviceZoomedSize();
    if (!m_image || size.isEmpty())
        return;
    // Photos and grey images are reduced straight from the library's rows; others from the
    // painter's copy (made for the reduction only, when the view draws them from their rows).
    const QImage& display = canStretchFromImageBits() ? m_display : displayImage();
    adoptReduction(reducedDisplayImage(*m_image, display, size, false));
}

void CImageView::continueDrawingCache()
{
    const QSize size = m_geometry.deviceZoomedSize();
    if (!m_reduction || m_reduction->size() != size)
        m_reduction = IncrementalReduction::start(*m_image, size);
    if (!m_reduction) {
        buildDrawingCache();
    } else if (m_reduction->step(*m_image)) {
        adoptReduction(m_reduction->take());
        m_reduction.reset();
    } else {
        requestDeferredDrawingWork();  // the next band, after the events waiting now
        return;
    }
    if (hasDrawingCache())
        viewport()->update();
}

void CImageView::adoptReduction(QImage reduced)
{
    if (reduced.isNull() || reduced.size() != m_geometry.deviceZoomedSize())
        return;
    reduced.setDevicePixelRatio(m_geometry.deviceRatio());
    m_cache = std::move(reduced);
    m_cacheSource = m_filePath;
}

ReductionSize CImageView::reductionForNextImage() const
{
    ViewGeometry geometry = m_geometry;
    geometry.setWindowSize(size());
    return [geometry](QSize image) { return predictedReductionSize(geometry, image); };
}

bool CImageView::syncDeviceRatio()
{
    const double ratio = devicePixelRatioF();
    if (ratio == m_geometry.deviceRatio())
        return false;
    m_geometry.setDeviceRatio(ratio);
    DeleteDrawingCache();
    m_geometry.applyZoomType();
    afterGeometryChange();
    return true;
}

void CImageView::renderTo(QPainter& painter)
{
    const QRect client(QPoint(0, 0), m_geometry.clientSize());
    const QColor background = backgroundColor();
    m_lastPath = DrawPath::None;
    if (!m_image || !m_image->isValid()) {
        painter.fillRect(client, background);
        return;
    }
    const VisiblePart part = m_geometry.visiblePart();
    m_drawnRect = part.destination;
    if (!part.valid) {
        painter.fillRect(client, background);
        return;
    }
    const QRect d = part.destination;
    // The four bands around the image.
    painter.fillRect(QRect(0, 0, d.left(), client.height()), background);
    painter.fillRect(QRect(d.left() + d.width(), 0, client.width() - d.left() - d.width(), client.height()),
                     background);
    painter.fillRect(QRect(d.left(), 0, d.width(), d.top()), background);
    painter.fillRect(QRect(d.left(), d.top() + d.height(), d.width(), client.height() - d.top() - d.height()),
                     background);

    DrawPath path = chooseDrawPath(zoom(), m_geometry.deviceZoomedSize(), m_sliderDragging);
    if (path == DrawPath::Cache && !hasDrawingCache()) {
        const QSize source = m_geometry.imageSize();
        if (static_cast<long long>(source.width()) * source.height() <= kSynchronousCacheSourcePixels) {
            buildDrawingCache();
        } else {
            // A large reduction takes a while: show the fast stretch now, refine right after.
            path = DrawPath::Stretch;
            requestDeferredDrawingWork();
        }
    }
    m_lastPath = path;
    // A stretch can read the library's own rows, so a large image just opened is shown
    // without first converting all of it.
    const QImage& display = displayImage();
    switch (path) {
    case DrawPath::Cache: {
        // The cache holds device pixels: the part shown is cut out in device pixels too.
        const QSize zoomed = m_geometry.zoomedSize();
        const double ratio = m_geometry.deviceRatio();
        const QSize cache = m_cache.size();
        const int sx = client.width() < zoomed.width() ? roundHalfAway(m_geometry.scrollX() * ratio) : 0;
        const int sy = client.height() < zoomed.height() ? roundHalfAway(m_geometry.scrollY() * ratio) : 0;
        const QPoint target(client.width() < zoomed.width() ? 0 : d.left(), client.height() < zoomed.height() ? 0 : d.top());
        const QSize size(std::min(roundHalfAway(client.width() * ratio), cache.width() - sx),
                         std::min(roundHalfAway(client.height() * ratio), cache.height() - sy));
        painter.drawImage(target, m_cache, QRect(QPoint(sx, sy), size));
        break;
    }
    case DrawPath::Stretch:
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        if (canStretchFromImageBits())
            stretchFromImageBits(painter, part);
        else
            painter.drawImage(QRectF(d), display, part.source);
        break;
    case DrawPath::Direct:
        if (canStretchFromImageBits())
            stretchFromImageBits(painter, part);
        else  // one image pixel to one device pixel, whatever the screen's ratio
            painter.drawImage(QRectF(d), display, part.source);
        break;
    case DrawPath::None:
        break;
    }

    const QRect frame = m_geometry.imageToClient(m_selection);
    if (!frame.isEmpty())
        drawTracker(painter, frame);
}

void CImageView::paintEvent(QPaintEvent*)
{
    syncDeviceRatio();
    QPainter painter(viewport());
    renderTo(painter);
}
