#include "viewer/ViewRendering.h"

#include <QPainter>

#include <FreeImage.h>

#include <algorithm>
#include <cmath>
#include <vector>

DrawPath chooseDrawPath(double zoom, QSize zoomed, bool sliderDragging)
{
    if (zoomed.isEmpty())
        return DrawPath::None;
    const long long pixels = static_cast<long long>(zoomed.width()) * zoomed.height();
    if (zoom < 1 && !sliderDragging && pixels <= kMaxCachePixels)
        return DrawPath::Cache;
    return zoom != 1 ? DrawPath::Stretch : DrawPath::Direct;
}

QSize predictedReductionSize(ViewGeometry geometry, QSize image)
{
    geometry.setImageSize(image);
    geometry.setAutoFit(true);
    geometry.applyZoomType();
    const QSize device = geometry.deviceZoomedSize();
    return chooseDrawPath(geometry.zoom(), device, false) == DrawPath::Cache ? device : QSize();
}

namespace {

// The source pixel nearest the centre of destination pixel `i` of `count` along one axis.
int nearestSource(double start, double extent, int count, int i, int limit)
{
    const int v = static_cast<int>(start + (i + 0.5) * extent / count);
    return std::clamp(v, 0, limit - 1);
}

}  // namespace

QImage stretchBottomUpBgr(const uchar* bits, QSize image, qsizetype pitch, const QRectF& source, QSize size)
{
    if (!bits || image.isEmpty() || size.isEmpty() || source.isEmpty())
        return {};
    QImage out(size, QImage::Format_RGB32);
    if (out.isNull())
        return {};
    const auto sample = nearestSource;
    const bool oneToOne = source.width() == size.width() && source.x() == std::floor(source.x())
                          && source.x() >= 0 && source.x() + size.width() <= image.width();
    std::vector<int> columns(static_cast<size_t>(size.width()));
    for (int x = 0; x < size.width(); ++x)
        columns[static_cast<size_t>(x)] = 3 * sample(source.x(), source.width(), size.width(), x, image.width());
    for (int y = 0; y < size.height(); ++y) {
        const int row = sample(source.y(), source.height(), size.height(), y, image.height());
        const uchar* src = bits + pitch * (image.height() - 1 - row);
        if (oneToOne) {
            // At 100% whole row pieces convert in one sweep.
            FreeImage_ConvertLine24To32(out.scanLine(y), const_cast<uchar*>(src) + 3 * static_cast<int>(source.x()),
                                        size.width());
            continue;
        }
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const uchar* p = src + columns[static_cast<size_t>(x)];
            dst[x] = 0xFF000000u | (uint(p[2]) << 16) | (uint(p[1]) << 8) | p[0];
        }
    }
    return out;
}

QImage stretchBottomUpIndexed(const uchar* bits, int bpp, const QRgb* palette, QSize image, qsizetype pitch,
                              const QRectF& source, QSize size)
{
    if (!bits || !palette || !(bpp == 1 || bpp == 4 || bpp == 8) || image.isEmpty() || size.isEmpty()
        || source.isEmpty())
        return {};
    QImage out(size, QImage::Format_RGB32);
    if (out.isNull())
        return {};
    std::vector<int> columns(static_cast<size_t>(size.width()));
    for (int x = 0; x < size.width(); ++x)
        columns[static_cast<size_t>(x)] = nearestSource(source.x(), source.width(), size.width(), x, image.width());
    for (int y = 0; y < size.height(); ++y) {
        const int row = nearestSource(source.y(), source.height(), size.height(), y, image.height());
        const uchar* src = bits + pitch * (image.height() - 1 - row);
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int c = columns[static_cast<size_t>(x)];
            const int index = bpp == 8   ? src[c]
                              : bpp == 4 ? (src[c >> 1] >> (c & 1 ? 0 : 4)) & 0x0F
                                         : (src[c >> 3] >> (7 - (c & 7))) & 1;
            dst[x] = palette[index];
        }
    }
    return out;
}

std::array<QRect, 8> trackerHandles(const QRect& frame)
{
    const QRect r = frame.normalized();
    const int s = kTrackerHandleSize;
    const int left = r.left(), top = r.top(), right = r.left() + r.width() - s, bottom = r.top() + r.height() - s;
    const int midX = r.left() + (r.width() - s) / 2, midY = r.top() + (r.height() - s) / 2;
    return {QRect(left, top, s, s),  QRect(right, top, s, s),    QRect(right, bottom, s, s), QRect(left, bottom, s, s),
            QRect(midX, top, s, s),  QRect(right, midY, s, s),   QRect(midX, bottom, s, s),  QRect(left, midY, s, s)};
}

int trackerHitTest(const QRect& frame, QPoint point)
{
    const QRect r = frame.normalized();
    if (r.isEmpty())
        return -1;
    const auto handles = trackerHandles(r);
    for (int i = 0; i < 8; ++i)
        if (handles[i].contains(point))
            return i;
    return r.contains(point) ? 8 : -1;
}

void drawTracker(QPainter& painter, const QRect& frame)
{
    const QRect r = frame.normalized();
    if (r.isEmpty())
        return;
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    // Four one-pixel bands rather than a pen outline, so no corner pixel is inverted twice.
    const int w = r.width(), h = r.height();
    painter.drawRect(QRect(r.left(), r.top(), w, 1));
    if (h > 1)
        painter.drawRect(QRect(r.left(), r.top() + h - 1, w, 1));
    if (h > 2) {
        painter.drawRect(QRect(r.left(), r.top() + 1, 1, h - 2));
        if (w > 1)
            painter.drawRect(QRect(r.left() + w - 1, r.top() + 1, 1, h - 2));
    }
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    for (const QRect& handle : trackerHandles(r))
        painter.fillRect(handle, Qt::black);
    painter.restore();
}

CursorKind chooseCursor(const CursorInputs& in)
{
    if (in.cursorHidden)
        return CursorKind::Hidden;
    if (in.overScrollBarOrMenu || !in.hasImage)
        return CursorKind::Default;
    switch (in.tool) {
    case ViewTool::Pan:
        if (in.imageFitsClient)
            return CursorKind::Default;
        return in.leftButtonDown ? CursorKind::PanDown : CursorKind::Pan;
    case ViewTool::Select: {
        const int part = in.selectionOnScreen.isEmpty() ? -1 : trackerHitTest(in.selectionOnScreen, in.point);
        switch (part) {
        case 0: case 2: return CursorKind::SizeFDiag;
        case 1: case 3: return CursorKind::SizeBDiag;
        case 4: case 6: return CursorKind::SizeVer;
        case 5: case 7: return CursorKind::SizeHor;
        case 8: return CursorKind::Move;
        default: return CursorKind::Select;
        }
    }
    case ViewTool::Zoom:
        return in.drawnRect.contains(in.point) ? CursorKind::Zoom : CursorKind::Default;
    }
    return CursorKind::Default;
}
