// Zoom commands, scrolling and the window-size rules of `CImageView`.
#include "viewer/CDlgSetZoomLevel.h"
#include "viewer/CImageView.h"

#include <QResizeEvent>
#include <QScrollBar>

#include <algorithm>

void CImageView::afterGeometryChange()
{
    syncScrollBars();
    emit zoomChanged(m_geometry.zoom());
}

void CImageView::syncScrollBars()
{
    m_syncingBars = true;
    const ScrollBarsShown bars = m_geometry.scrollBars();
    const QSize client = m_geometry.clientSize();
    const QSize zoomed = m_geometry.zoomedSize();
    setHorizontalScrollBarPolicy(bars.horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(bars.vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    if (bars.horizontal) {
        horizontalScrollBar()->setRange(0, std::max(0, zoomed.width() - client.width()));
        horizontalScrollBar()->setPageStep(client.width());
        horizontalScrollBar()->setValue(roundHalfAway(m_geometry.scrollX()));
    }
    if (bars.vertical) {
        verticalScrollBar()->setRange(0, std::max(0, zoomed.height() - client.height()));
        verticalScrollBar()->setPageStep(client.height());
        verticalScrollBar()->setValue(roundHalfAway(m_geometry.scrollY()));
    }
    m_syncingBars = false;
}

void CImageView::onScrollBarMoved()
{
    if (m_syncingBars)
        return;
    const double x = m_geometry.scrollBars().horizontal ? horizontalScrollBar()->value() : m_geometry.scrollX();
    const double y = m_geometry.scrollBars().vertical ? verticalScrollBar()->value() : m_geometry.scrollY();
    SetScrollPosition(x, y);
    viewport()->update();
}

void CImageView::scrollContentsBy(int, int)
{
    // Scrolling is SetScrollPosition's business; the base class would move the viewport.
}

void CImageView::resizeEvent(QResizeEvent*)
{
    // The viewport also resizes when a scroll bar comes or goes; only the window's own size
    // counts here.
    if (size() == m_geometry.windowSize())
        return;
    m_geometry.windowResized(size());
    afterGeometryChange();
    viewport()->update();
}

void CImageView::SetZoom(double zoom)
{
    m_geometry.setZoom(zoom);
    afterGeometryChange();
}

void CImageView::FitImage()
{
    m_geometry.fitImage();
    afterGeometryChange();
}

void CImageView::FitWidth()
{
    m_geometry.fitWidth();
    afterGeometryChange();
}

void CImageView::FitHeight()
{
    m_geometry.fitHeight();
    afterGeometryChange();
}

void CImageView::ActualSize()
{
    m_geometry.actualSize();
    afterGeometryChange();
}

void CImageView::ZoomLock()
{
    m_geometry.zoomLock();
    afterGeometryChange();
}

void CImageView::SetScrollPosition(double x, double y)
{
    m_geometry.setScrollPosition(x, y);
    syncScrollBars();
}

void CImageView::SetZoomFromFrame(double zoom)
{
    if (!m_viewerModeActive)
        return;
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    if (zoom == m_geometry.zoom())
        return;
    m_geometry.setAutoFit(false);
    SetZoom(zoom);
    viewport()->update();
}

bool CImageView::canZoomIn() const
{
    return hasImage() && m_geometry.zoom() != kMaxZoom;
}

bool CImageView::canZoomOut() const
{
    return hasImage() && m_geometry.zoom() != kMinZoom;
}

void CImageView::OnZoomIn()
{
    if (!canZoomIn())
        return;
    m_geometry.setAutoFit(false);
    SetZoom(nextZoomIn(m_geometry.zoom()));
    viewport()->update();
}

void CImageView::OnZoomOut()
{
    if (!canZoomOut())
        return;
    m_geometry.setAutoFit(false);
    SetZoom(nextZoomOut(m_geometry.zoom()));
    viewport()->update();
}

void CImageView::OnActualSize()
{
    if (zoomType() == ZoomType::ActualSize && m_geometry.autoFit())
        return;
    ActualSize();
    viewport()->update();
}

void CImageView::OnFitImage()
{
    if (zoomType() == ZoomType::FitImage && m_geometry.autoFit())
        return;
    FitImage();
    viewport()->update();
}

void CImageView::OnFitWidth()
{
    if (zoomType() == ZoomType::FitWidth && m_geometry.autoFit())
        return;
    FitWidth();
    viewport()->update();
}

void CImageView::OnFitHeight()
{
    if (zoomType() == ZoomType::FitHeight && m_geometry.autoFit())
        return;
    FitHeight();
    viewport()->update();
}

void CImageView::OnZoomLock()
{
    if (zoomType() == ZoomType::ZoomLock)
        return;
    m_geometry.setZoomType(ZoomType::ZoomLock);
    m_geometry.setAutoFit(true);
    viewport()->update();
}

void CImageView::OnFixedZoomLevel(double level)
{
    if (!hasImage())
        return;
    m_geometry.setAutoFit(false);
    SetZoom(level);
    viewport()->update();
}

void CImageView::OnZoomTo()
{
    if (!hasImage())
        return;
    CDlgSetZoomLevel dialog(zoom(), zoomType(), this);
    if (dialog.exec() == QDialog::Accepted)
        applyZoomDialog(dialog);
}

void CImageView::applyZoomDialog(const CDlgSetZoomLevel& dialog)
{
    switch (dialog.choice()) {
    case CDlgSetZoomLevel::Choice::Specify:
        if (dialog.percent() != roundHalfAway(zoom() * 100))
            SetZoomFromFrame(dialog.percent() * 0.01);
        break;
    case CDlgSetZoomLevel::Choice::FitImage:
        FitImage();
        viewport()->update();
        break;
    case CDlgSetZoomLevel::Choice::FitWidth:
        FitWidth();
        viewport()->update();
        break;
    case CDlgSetZoomLevel::Choice::FitHeight:
        FitHeight();
        viewport()->update();
        break;
    }
    if (dialog.lockChecked() != (zoomType() == ZoomType::ZoomLock))
        m_geometry.setZoomType(dialog.lockChecked() ? ZoomType::ZoomLock : ZoomType::FitImage);
}
