#include "imaging/ImagePrinting.h"

#include "imaging/fipSuperImage.h"

#include <QPainter>
#include <QPrinter>

QPageLayout::Orientation printOrientationFor(QSize image)
{
    return image.width() > image.height() ? QPageLayout::Landscape : QPageLayout::Portrait;
}

void renderForPrint(const fipSuperImage& image, QPainter& painter, const QRect& page)
{
    const QImage pixels = image.toQImage();
    if (pixels.isNull() || page.isEmpty())
        return;
    const QSize fitted = pixels.size().scaled(page.size(), Qt::KeepAspectRatio);
    const QRect target(page.x() + (page.width() - fitted.width()) / 2, page.y() + (page.height() - fitted.height()) / 2,
                       fitted.width(), fitted.height());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, pixels);
}

bool printImage(const fipSuperImage& image, QPrinter& printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRect page(QPoint(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());
    renderForPrint(image, painter, page);
    return painter.end();
}
