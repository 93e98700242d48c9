#include "imaging/dialogs/CThumbWnd.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

QRect thumbDrawRect(QSize image, QSize client)
{
    if (image.isEmpty() || client.isEmpty())
        return {};
    const double iw = image.width(), ih = image.height();
    int w = 0, h = 0;
    // Whichever side binds first decides; the other follows the aspect ratio.
    if (iw * client.height() < ih * client.width()) {
        h = std::min(client.height(), image.height());
        w = static_cast<int>(std::lround(iw / ih * h));
    } else {
        w = std::min(client.width(), image.width());
        h = static_cast<int>(std::lround(ih / iw * w));
    }
    w = std::max(w, 1);
    h = std::max(h, 1);
    return {(client.width() - w) / 2, (client.height() - h) / 2, w, h};
}

QSize thumbDevicePixels(QSize logical, qreal ratio)
{
    return {static_cast<int>(std::lround(logical.width() * ratio)), static_cast<int>(std::lround(logical.height() * ratio))};
}

CThumbWnd::CThumbWnd(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(QStringLiteral("Preview"));
}

void CThumbWnd::showImage(const fipSuperImage& image)
{
    m_image = image;
    repaint();
}

void CThumbWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!m_image.isValid())
        return;
    const qreal ratio = devicePixelRatioF();
    const QRect target = thumbDrawRect(QSize(static_cast<int>(m_image.getWidth()), static_cast<int>(m_image.getHeight())),
                                       thumbDevicePixels(size(), ratio));
    painter.scale(1 / ratio, 1 / ratio);
    m_image.drawEx(painter, target);
}
