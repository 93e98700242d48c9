#include "viewer/ZoomGeometry.h"

#include <algorithm>
#include <cmath>

int roundHalfAway(double x)
{
    return x >= 0 ? static_cast<int>(x + 0.5) : static_cast<int>(x - 0.5);
}

double nextZoomIn(double zoom)
{
    for (double step : kZoomSteps)
        if (step > zoom)
            return step;
    return kMaxZoom;
}

double nextZoomOut(double zoom)
{
    for (auto it = kZoomSteps.rbegin(); it != kZoomSteps.rend(); ++it)
        if (*it < zoom)
            return *it;
    return kMinZoom;
}

double fitImageFactor(QSize area, QSize image)
{
    const double W = area.width(), H = area.height(), w = image.width(), h = image.height();
    if (w <= 0 || h <= 0)
        return 1.0;
    if (W >= w && H >= h)
        return 1.0;
    return (H > 0 && W / H < w / h) ? W / w : H / h;
}

double fitWidthFactor(QSize area, QSize image, int vBarWidth, bool fullScreen)
{
    const int w = image.width(), h = image.height();
    if (w <= 0 || h <= 0)
        return 1.0;
    double factor = static_cast<double>(std::min(area.width(), w)) / w;
    if (!fullScreen && roundHalfAway(factor * h) > area.height())
        factor = static_cast<double>(std::min(area.width() - vBarWidth, w)) / w;
    return factor;
}

double fitHeightFactor(QSize area, QSize image, int hBarHeight, bool fullScreen)
{
    const int w = image.width(), h = image.height();
    if (w <= 0 || h <= 0)
        return 1.0;
    double factor = static_cast<double>(std::min(area.height(), h)) / h;
    if (!fullScreen && roundHalfAway(factor * w) > area.width())
        factor = static_cast<double>(std::min(area.height() - hBarHeight, h)) / h;
    return factor;
}

ScrollBarsShown scrollBarsNeeded(QSize window, QSize zoomed, QSize barExtents, bool fullScreen)
{
    if (fullScreen)
        return {};
    const int W = window.width(), H = window.height();
    if (W < zoomed.width()) {
        const bool both = H - barExtents.height() < zoomed.height();
        return {true, both};
    }
    if (H < zoomed.height()) {
        const bool both = W - barExtents.width() < zoomed.width();
        return {both, true};
    }
    return {};
}

void ViewGeometry::setWindowSize(QSize window)
{
    m_window = window;
}

void ViewGeometry::setBarExtents(int vBarWidth, int hBarHeight)
{
    m_vBarWidth = vBarWidth;
    m_hBarHeight = hBarHeight;
}

void ViewGeometry::setFullScreen(bool fullScreen)
{
    m_fullScreen = fullScreen;
}

void ViewGeometry::setImageSize(QSize image)
{
    m_image = image;
    if (image.isEmpty()) {
        m_image = QSize(0, 0);
        m_zoomed = QSize(0, 0);
        m_scrollX = m_scrollY = 0;
        m_bars = {};
    }
}

QSize ViewGeometry::deviceSize(QSize logical) const
{
    return QSize(roundHalfAway(logical.width() * m_ratio), roundHalfAway(logical.height() * m_ratio));
}

QSize ViewGeometry::deviceZoomedSize() const
{
    return deviceSize(m_zoomed);
}

QSize ViewGeometry::clientSize() const
{
    return QSize(std::max(0, m_window.width() - (m_bars.vertical ? m_vBarWidth : 0)),
                 std::max(0, m_window.height() - (m_bars.horizontal ? m_hBarHeight : 0)));
}

bool ViewGeometry::autoFitting() const
{
    return m_autoFit
           && (m_zoomType == ZoomType::FitImage || m_zoomType == ZoomType::FitWidth
               || m_zoomType == ZoomType::FitHeight);
}

void ViewGeometry::setZoom(double zoom)
{
    const QSize client = clientSize();
    const QSize old = m_zoomed;
    m_zoom = zoom;
    m_zoomed = QSize(roundHalfAway(scale() * m_image.width()), roundHalfAway(scale() * m_image.height()));

    double x = 0, y = 0;
    if (!autoFitting() && old.width() > 0 && old.height() > 0) {
        const double ratio = static_cast<double>(m_zoomed.width()) / old.width();
        auto axis = [ratio](int C, int oldSize, int newSize, double scroll) {
            if (C >= oldSize)
                return newSize > C ? (newSize - C) * 0.5 : 0.0;
            if (C < newSize)
                return (C * 0.5 + scroll) * ratio - C * 0.5;
            return 0.0;
        };
        x = axis(client.width(), old.width(), m_zoomed.width(), m_scrollX);
        y = axis(client.height(), old.height(), m_zoomed.height(), m_scrollY);
    }
    setScrollPosition(x, y);
}

void ViewGeometry::clampScroll(double x, double y)
{
    const QSize client = clientSize();
    m_scrollX = client.width() < m_zoomed.width() ? std::clamp(x, 0.0, double(m_zoomed.width() - client.width())) : 0.0;
    m_scrollY = client.height() < m_zoomed.height() ? std::clamp(y, 0.0, double(m_zoomed.height() - client.height()))
                                                    : 0.0;
}

void ViewGeometry::setScrollPosition(double x, double y)
{
    clampScroll(x, y);
    // Showing or hiding a bar changes the client area; the bars depend only on the sizes, so
    // one more clamp settles it.
    const ScrollBarsShown bars = scrollBarsNeeded(m_window, m_zoomed, QSize(m_vBarWidth, m_hBarHeight), m_fullScreen);
    if (!(bars == m_bars)) {
        m_bars = bars;
        clampScroll(x, y);
    }
}

void ViewGeometry::fitImage()
{
    m_zoomType = ZoomType::FitImage;
    m_autoFit = true;
    setZoom(fitImageFactor(deviceSize(m_window), m_image));
}

void ViewGeometry::fitWidth()
{
    m_zoomType = ZoomType::FitWidth;
    m_autoFit = true;
    setZoom(fitWidthFactor(deviceSize(m_window), m_image, roundHalfAway(m_vBarWidth * m_ratio), m_fullScreen));
}

void ViewGeometry::fitHeight()
{
    m_zoomType = ZoomType::FitHeight;
    m_autoFit = true;
    setZoom(fitHeightFactor(deviceSize(m_window), m_image, roundHalfAway(m_hBarHeight * m_ratio), m_fullScreen));
}

void ViewGeometry::actualSize()
{
    m_zoomType = ZoomType::ActualSize;
    setZoom(1.0);
}

void ViewGeometry::zoomLock()
{
    m_zoomType = ZoomType::ZoomLock;
    setZoom(m_zoom);
}

void ViewGeometry::applyZoomType()
{
    if (!m_autoFit) {
        setZoom(m_zoom);
        return;
    }
    switch (m_zoomType) {
    case ZoomType::FitImage: fitImage(); break;
    case ZoomType::FitWidth: fitWidth(); break;
    case ZoomType::FitHeight: fitHeight(); break;
    case ZoomType::ActualSize: actualSize(); break;
    case ZoomType::ZoomLock: zoomLock(); break;
    }
}

void ViewGeometry::windowResized(QSize window)
{
    m_window = window;
    if (autoFitting())
        applyZoomType();
    else
        setScrollPosition(m_scrollX, m_scrollY);
}

namespace {

struct Axis {
    double source = 0, sourceSize = 0;
    int dest = 0, destSize = 0;
};

Axis visibleAxis(int client, int image, int zoomed, double zoom, double scroll)
{
    Axis a;
    if (zoomed <= client) {
        a.sourceSize = image;
        a.dest = static_cast<int>((client - zoomed + 1) * 0.5);
        a.destSize = zoomed;
        return a;
    }
    a.source = std::floor(scroll / zoom);
    const double f = scroll / zoom - a.source;
    const double wanted = client / zoom + f + 1;
    a.sourceSize = a.source + wanted > image ? image - a.source : roundHalfAway(wanted);
    a.dest = roundHalfAway(-f * zoom);
    a.destSize = roundHalfAway(a.sourceSize * zoom);
    return a;
}

}  // namespace

VisiblePart ViewGeometry::visiblePart() const
{
    VisiblePart part;
    if (m_image.isEmpty() || m_zoom <= 0)
        return part;
    const QSize client = clientSize();
    const Axis x = visibleAxis(client.width(), m_image.width(), m_zoomed.width(), scale(), m_scrollX);
    const Axis y = visibleAxis(client.height(), m_image.height(), m_zoomed.height(), scale(), m_scrollY);
    part.source = QRectF(x.source, y.source, x.sourceSize, y.sourceSize);
    part.destination = QRect(x.dest, y.dest, x.destSize, y.destSize);
    part.valid = x.source >= 0 && y.source >= 0 && x.source + x.sourceSize <= m_image.width()
                 && y.source + y.sourceSize <= m_image.height();
    return part;
}

namespace {

double toClient(double v, int image, int zoomed, int client, double scroll, int drawnStart)
{
    v = std::clamp(v, 0.0, double(image));
    const double t = image == 0 ? 0.0 : double(zoomed) * v / image;
    return client < zoomed ? t - scroll : t + drawnStart;
}

double toImage(double v, int image, int zoomed, int client, double scroll, int drawnStart)
{
    double t = client < zoomed ? v + scroll : v - drawnStart;
    t = std::clamp(t, 0.0, double(zoomed));
    return zoomed == 0 ? 0.0 : t * image / zoomed;
}

}  // namespace

double ViewGeometry::imageToClientX(double x) const
{
    return toClient(x, m_image.width(), m_zoomed.width(), clientSize().width(), m_scrollX,
                    visiblePart().destination.left());
}

double ViewGeometry::imageToClientY(double y) const
{
    return toClient(y, m_image.height(), m_zoomed.height(), clientSize().height(), m_scrollY,
                    visiblePart().destination.top());
}

double ViewGeometry::clientToImageX(double x) const
{
    return toImage(x, m_image.width(), m_zoomed.width(), clientSize().width(), m_scrollX,
                   visiblePart().destination.left());
}

double ViewGeometry::clientToImageY(double y) const
{
    return toImage(y, m_image.height(), m_zoomed.height(), clientSize().height(), m_scrollY,
                   visiblePart().destination.top());
}

// Rectangles here are in the exclusive-edge form (right = left + width).
QRect ViewGeometry::imageToClient(const QRect& r) const
{
    if (r.isEmpty())
        return {};
    const int left = roundHalfAway(imageToClientX(r.x()));
    const int top = roundHalfAway(imageToClientY(r.y()));
    const int right = roundHalfAway(imageToClientX(r.x() + r.width()));
    const int bottom = roundHalfAway(imageToClientY(r.y() + r.height()));
    return QRect(left, top, right - left, bottom - top);
}

QRect ViewGeometry::clientToImage(const QRect& r) const
{
    if (r.isEmpty())
        return {};
    const int left = roundHalfAway(clientToImageX(r.x()));
    const int top = roundHalfAway(clientToImageY(r.y()));
    const int right = roundHalfAway(clientToImageX(r.x() + r.width()));
    const int bottom = roundHalfAway(clientToImageY(r.y() + r.height()));
    return QRect(left, top, right - left, bottom - top);
}

QSize fitWithin(QSize image, QSize box)
{
    // 64 bits: a photo's width times a screen's height overflows 32 bits for large photos.
    const long long w = image.width(), h = image.height();
    const long long W = std::max(box.width(), 0), H = std::max(box.height(), 0);
    if (w <= 0 || h <= 0)
        return {};
    if (W >= w && H >= h)
        return image;
    if (h * W < w * H)
        return QSize(static_cast<int>(W), static_cast<int>(h * W / w));
    return QSize(static_cast<int>(w * H / h), static_cast<int>(H));
}
