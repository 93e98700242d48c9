#include "slideshow/SlideButtonArt.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace slideshow {

namespace {

constexpr unsigned kHoverFace = 0xF8F8F8;
constexpr unsigned kHoverEdge = 0xB4B4B4;
constexpr unsigned kPressedFace = 0xD2D2D2;
constexpr unsigned kPressedEdge = 0x8C8C8C;

QColor rgb(unsigned value)
{
    return QColor::fromRgb(static_cast<QRgb>(value));
}

// Rectangles in device pixels: the bars of Pause and of the step glyphs land on whole
// pixels at every ratio, so their edges never blur.
QRectF deviceRect(qreal x, qreal y, qreal w, qreal h, qreal dpr)
{
    return QRectF(std::round(x * dpr), std::round(y * dpr), std::round(w * dpr), std::round(h * dpr));
}

QPainterPath triangle(qreal tipX, qreal baseX, qreal midY, qreal halfHeight, qreal dpr)
{
    QPainterPath path;
    path.moveTo(std::round(baseX * dpr), std::round((midY - halfHeight) * dpr));
    path.lineTo(std::round(tipX * dpr), std::round(midY * dpr));
    path.lineTo(std::round(baseX * dpr), std::round((midY + halfHeight) * dpr));
    path.closeSubpath();
    return path;
}

void drawGlyph(QPainter& p, Glyph glyph, QSizeF size, qreal dpr, const QColor& color)
{
    const qreal cx = size.width() / 2, cy = size.height() / 2;
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    switch (glyph) {
    case Glyph::Play:
        p.drawPath(triangle(cx + 6, cx - 5, cy, 7, dpr));
        break;
    case Glyph::Pause:
        p.drawRect(deviceRect(cx - 6, cy - 7, 4, 14, dpr));
        p.drawRect(deviceRect(cx + 2, cy - 7, 4, 14, dpr));
        break;
    case Glyph::Previous:
        p.drawRect(deviceRect(cx - 7, cy - 6, 2, 12, dpr));
        p.drawPath(triangle(cx - 5, cx + 6, cy, 6, dpr));
        break;
    case Glyph::Next:
        p.drawRect(deviceRect(cx + 5, cy - 6, 2, 12, dpr));
        p.drawPath(triangle(cx + 5, cx - 6, cy, 6, dpr));
        break;
    case Glyph::Exit: {
        QPen pen(color, 2.5 * dpr, Qt::SolidLine, Qt::RoundCap);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        const qreal r = 6;
        p.drawLine(QPointF((cx - r) * dpr, (cy - r) * dpr), QPointF((cx + r) * dpr, (cy + r) * dpr));
        p.drawLine(QPointF((cx + r) * dpr, (cy - r) * dpr), QPointF((cx - r) * dpr, (cy + r) * dpr));
        break;
    }
    }
}

}  // namespace

QPixmap drawButtonPicture(Glyph glyph, Look look, QSize size, qreal dpr)
{
    dpr = dpr > 0 ? dpr : 1;
    const QSize device(static_cast<int>(std::ceil(size.width() * dpr)), static_cast<int>(std::ceil(size.height() * dpr)));
    QPixmap picture(device);
    picture.fill(rgb(kToolBarColor));
    {
        // Drawn in device pixels, so that the ratio is applied once, by hand, with rounding.
        QPainter p(&picture);
        const QRectF frame(0.5, 0.5, device.width() - 1, device.height() - 1);
        if (look == Look::Hover || look == Look::Pressed) {
            const qreal edge = std::max<qreal>(1, std::round(dpr));
            p.setPen(QPen(rgb(look == Look::Hover ? kHoverEdge : kPressedEdge), edge));
            p.setBrush(rgb(look == Look::Hover ? kHoverFace : kPressedFace));
            p.drawRect(frame.adjusted(edge / 2 - 0.5, edge / 2 - 0.5, 0.5 - edge / 2, 0.5 - edge / 2));
        }
        p.setRenderHint(QPainter::Antialiasing);
        // A pressed button's glyph moves a pixel down and right, as a pushed key would.
        if (look == Look::Pressed)
            p.translate(std::round(dpr), std::round(dpr));
        drawGlyph(p, glyph, QSizeF(size), dpr, rgb(look == Look::Disabled ? kDisabledGlyphColor : kGlyphColor));
    }
    picture.setDevicePixelRatio(dpr);
    return picture;
}

}  // namespace slideshow
