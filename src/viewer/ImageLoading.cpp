#include "viewer/ImageLoading.h"

#include <QFile>

LoadedImage LoadImageFile(const QString& path, int page)
{
    LoadedImage result;
    if (path.isEmpty())
        return result;
    auto image = std::make_unique<fipSuperImage>(FIT_BITMAP, 0, 0, 0);
    if (fipSuperImage::isMultiPageFile(path)) {
        fipMultiPage pages;
        const QByteArray name = QFile::encodeName(path);
        if (pages.open(name.constData(), FALSE, TRUE, 0)) {
            result.pageCount = pages.getPageCount();
            if (page >= 0 && page < result.pageCount) {
                fipImage locked;
                locked = pages.lockPage(page);
                if (locked.isValid()) {
                    // The page belongs to the multi-page object; keep a copy of our own.
                    *image = locked;
                    pages.unlockPage(locked, FALSE);
                }
            }
            pages.close(0);
        }
    } else {
        result.pageCount = 1;
        image->load(path, 0);
    }
    if (image->isValid())
        result.image = std::move(image);
    return result;
}

QImage makeDisplayImage(const fipSuperImage& image)
{
    if (!image.isValid())
        return {};
    if (image.getImageType() == FIT_BITMAP && image.getBPP() == 24) {
        // Photos: one pass from the library's bottom-up rows straight into the painter's format.
        const int width = static_cast<int>(image.getWidth()), height = static_cast<int>(image.getHeight());
        QImage display(width, height, QImage::Format_RGB32);
        if (display.isNull())
            return {};
        for (int y = 0; y < height; ++y)
            FreeImage_ConvertLine24To32(display.scanLine(y), image.getScanLine(static_cast<unsigned>(height - 1 - y)),
                                        width);
        return display;
    }
    const QImage converted = image.toQImage();
    if (converted.isNull())
        return {};
    return converted.convertToFormat(converted.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                 : QImage::Format_RGB32);
}
