#include "imaging/JpegPreview.h"

#include "imaging/ImageLibrary.h"
#include "imaging/fipSuperImage.h"

#include <QFile>

#include <FreeImage.h>

namespace {

// Takes ownership of `dib`.
QImage toQImage(FIBITMAP* dib)
{
    fipSuperImage image;
    return dib && image.replace(dib) ? image.toQImage() : QImage();
}

}  // namespace

std::optional<JpegHeader> readJpegHeader(const QString& path)
{
    ImageLibrary::ensureInitialised();
    const QByteArray name = QFile::encodeName(path);
    if (FreeImage_GetFileType(name.constData(), 0) != FIF_JPEG)
        return std::nullopt;
    FIBITMAP* dib = FreeImage_Load(FIF_JPEG, name.constData(), FIF_LOAD_NOPIXELS);
    if (!dib)
        return std::nullopt;
    JpegHeader header;
    header.fullSize = QSize(static_cast<int>(FreeImage_GetWidth(dib)), static_cast<int>(FreeImage_GetHeight(dib)));
    // The library keeps the EXIF thumbnail with the header; it belongs to `dib`.
    if (FIBITMAP* thumbnail = FreeImage_GetThumbnail(dib))
        header.embeddedThumbnail = toQImage(FreeImage_Clone(thumbnail));
    FreeImage_Unload(dib);
    return header;
}

QImage decodeJpegReduced(const QString& path, int side)
{
    ImageLibrary::ensureInitialised();
    if (side <= 0)
        return {};
    // The size asked for travels in the upper half of the load flags.
    return toQImage(FreeImage_Load(FIF_JPEG, QFile::encodeName(path).constData(), side << 16));
}
