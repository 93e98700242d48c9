#include "viewer/ImageLoading.h"
#include "app/NativePath.h"

#include "imaging/decode/ImageDecoding.h"
#include "imaging/geometry/Resample.h"

#include <QFile>

#include <algorithm>

LoadedImage LoadImageFile(const QString& path, int page, const std::atomic<bool>* abandon)
{
    LoadedImage result;
    if (path.isEmpty())
        return result;
    // Multi-page formats give page `page` and their page count; a JPEG beyond the memory
    // budget comes reduced, with its true size in `fullSize`.
    Decode::Decoded decoded =
        Decode::decodeImage(NativePath::encode(path), std::max(page, 0), 0, Decode::imageMemoryBudget(), abandon);
    result.pageCount = decoded.pageCount;
    result.fullSize = decoded.fullSize;
    if (decoded.ok()) {
        auto image = std::make_unique<fipSuperImage>(FIT_BITMAP, 0, 0, 0);
        image->replace(decoded.dib.release());
        result.image = std::move(image);
    }
    return result;
}

bool drawnFromRows(const fipSuperImage& image)
{
    if (!image.isValid() || image.getImageType() != FIT_BITMAP)
        return false;
    const unsigned bpp = image.getBPP();
    // Palettes with a transparent entry are drawn premultiplied, from the drawing copy.
    return bpp == 24 || ((bpp == 1 || bpp == 4 || bpp == 8) && image.getPalette() && !image.isTransparent());
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

QImage displayFromRows(const fipImage& reduced)
{
    const int width = static_cast<int>(reduced.getWidth()), height = static_cast<int>(reduced.getHeight());
    const unsigned bpp = reduced.getBitsPerPixel();
    if (width <= 0 || height <= 0 || (bpp != 24 && bpp != 8))
        return {};
    QImage out(width, height, QImage::Format_RGB32);
    if (out.isNull())
        return {};
    for (int y = 0; y < height; ++y) {
        BYTE* row = reduced.getScanLine(static_cast<unsigned>(height - 1 - y));
        if (bpp == 24)
            FreeImage_ConvertLine24To32(out.scanLine(y), row, width);
        else
            FreeImage_ConvertLine8To32(out.scanLine(y), row, width, reduced.getPalette());
    }
    return out;
}

bool reducedFromRows(const fipSuperImage& image)
{
    if (!image.isValid() || image.getImageType() != FIT_BITMAP)
        return false;
    return image.getBPP() == 24 || (image.getBPP() == 8 && image.getColorType() == FIC_MINISBLACK);
}

unsigned reductionBlockFactor(const fipSuperImage& image, QSize size)
{
    if (size.isEmpty())
        return 0;
    return std::min(image.getWidth() / static_cast<unsigned>(size.width()),
                    image.getHeight() / static_cast<unsigned>(size.height()));
}

QImage reducedDisplayImage(const fipSuperImage& image, const QImage& display, QSize size, bool useCores)
{
    if (!image.isValid() || size.isEmpty())
        return {};
    const bool fromRows = reducedFromRows(image);
    const bool blackAndWhite = image.getImageType() == FIT_BITMAP && image.getBPP() < 8
                               && (image.getColorType() == FIC_MINISBLACK || image.getColorType() == FIC_MINISWHITE);
    if (blackAndWhite && display.isNull()) {
        // A third of a photo's bytes as grey, rather than a 32-bit copy, to reduce from.
        fipSuperImage greyCopy;
        greyCopy.replace(FreeImage_ConvertToGreyscale(const_cast<fipSuperImage&>(image)));
        if (greyCopy.isValid() && greyCopy.getBPP() == 8)
            return reducedDisplayImage(greyCopy, display, size, useCores);
    }
    // A large reduction first averages whole blocks, which costs one pass over the pixels, and
    // filters only the small rest of the way; both stages straight from the library's
    // bottom-up rows, so no full-size copy is made.
    const unsigned factor = reductionBlockFactor(image, size);
    fipImage blocks;
    const bool shrunk = fromRows && factor >= 2 && Resample::shrinkByBlocks(image, blocks, factor, useCores);
    const fipImage& source = shrunk ? blocks : static_cast<const fipImage&>(image);
    fipImage reduced;
    if (fromRows && Resample::rescale(source, reduced, static_cast<unsigned>(size.width()),
                                             static_cast<unsigned>(size.height()), FILTER_BOX, useCores))
        return displayFromRows(reduced);
    const QImage full = display.isNull() ? makeDisplayImage(image) : display;
    return full.size() == size || full.isNull() ? full : full.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
