#include "browser/ThumbnailMaker.h"

#include "browser/FolderItem.h"
#include "browser/ThumbnailCache.h"
#include "imaging/ImageLibrary.h"
#include "imaging/decode/ImageDecoding.h"
#include "platform/ShellNamespace.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <turbojpeg.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

namespace {

constexpr qint64 kMaxFileBytes = 512LL * 1024 * 1024;

struct TjCloser {
    void operator()(void* handle) const { tjDestroy(handle); }
};

// Only regular files, opened without waiting: a FIFO named like a photo must not block the loader.
std::optional<QByteArray> readWholeFile(const QByteArray& nativePath)
{
    const auto file = Decode::openRegularFile(nativePath);
    return file ? Decode::readAll(file->fd.get(), kMaxFileBytes) : std::nullopt;
}

bool tooLarge(QSize size)
{
    return !size.isValid() || static_cast<qint64>(size.width()) * size.height() > kMaxDecodePixels;
}

// The JPEG at the smallest DCT scale that still covers `target`.
std::optional<QImage> decodeJpegScaled(const QByteArray& data, int targetWidth, int targetHeight, QSize& full)
{
    std::unique_ptr<void, TjCloser> tj(tjInitDecompress());
    if (!tj)
        return std::nullopt;
    auto* bytes = reinterpret_cast<const unsigned char*>(data.constData());
    const auto size = static_cast<unsigned long>(data.size());
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    if (tjDecompressHeader3(tj.get(), bytes, size, &width, &height, &subsampling, &colorspace) != 0)
        return std::nullopt;
    full = QSize(width, height);
    if (tooLarge(full))
        return std::nullopt;
    int factorCount = 0;
    const tjscalingfactor* factors = tjGetScalingFactors(&factorCount);
    int outWidth = width, outHeight = height;
    for (int i = 0; factors && i < factorCount; ++i) {
        const int w = TJSCALED(width, factors[i]);
        const int h = TJSCALED(height, factors[i]);
        if (w >= targetWidth && h >= targetHeight && static_cast<qint64>(w) * h < static_cast<qint64>(outWidth) * outHeight) {
            outWidth = w;
            outHeight = h;
        }
    }
    QImage image(outWidth, outHeight, QImage::Format_RGB888);
    if (image.isNull())
        return std::nullopt;
    const int flags = TJFLAG_FASTDCT;
    if (tjDecompress2(tj.get(), bytes, size, image.bits(), outWidth, static_cast<int>(image.bytesPerLine()), outHeight,
                      TJPF_RGB, flags) != 0 && tjGetErrorCode(tj.get()) == TJERR_FATAL)
        return std::nullopt;
    return image;
}

// Qt's own readers, widely fuzzed, for the formats they are built in for; the signature picks
// the reader, so a file cannot steer the data to a plugin by its content.
QByteArray qtFormatOf(const QByteArray& data)
{
    if (data.startsWith("\x89PNG\r\n\x1a\n"))
        return "png";
    if (data.startsWith("\xFF\xD8\xFF"))
        return "jpeg";
    if (data.startsWith("GIF87a") || data.startsWith("GIF89a"))
        return "gif";
    if (data.startsWith("BM"))
        return "bmp";
    return {};
}

std::optional<QImage> decodeWithQt(const QByteArray& data, QSize& full)
{
    const QByteArray format = qtFormatOf(data);
    if (format.isEmpty())
        return std::nullopt;
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoTransform(false);
    if (!reader.canRead())
        return std::nullopt;
    full = reader.size();
    if (tooLarge(full))
        return std::nullopt;
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return std::nullopt;
    full = image.size();
    return image;
}

}  // namespace

QSize fitThumbnailSize(QSize full, int boxWidth, int boxHeight)
{
    const int w = full.width();
    const int h = full.height();
    if (w <= 0 || h <= 0)
        return {};
    if (w <= boxWidth && h <= boxHeight)
        return full;
    if (static_cast<qint64>(boxHeight) * w < static_cast<qint64>(boxWidth) * h) {
        const int width = static_cast<int>(std::lround(static_cast<double>(w) / h * boxHeight));
        return {std::max(width, 1), boxHeight};
    }
    const int height = static_cast<int>(std::lround(static_cast<double>(h) / w * boxWidth));
    return {boxWidth, std::max(height, 1)};
}

QImage downscale(const QImage& image, QSize size)
{
    // Qt's smooth scaling of 1-bit palette images gives noise; 32 bits scale correctly from
    // every source depth (palette, grey, 16 bits per sample).
    const QImage::Format format = image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    const QImage deep = image.format() == format ? image : image.convertToFormat(format);
    if (deep.size() == size || size.isEmpty())
        return deep;
    // Smooth scaling averages every source pixel of a target pixel when shrinking.
    return deep.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// Every route in turn; MakeThumbnail below keeps the fail entries around it.
static ThumbnailResult makeFromFile(const QByteArray& nativePath, int boxWidth, int boxHeight,
                                    const ThumbnailOptions& options)
{
    ThumbnailResult result;
    if (boxWidth <= 0 || boxHeight <= 0)
        return result;
    const FileStat st = statPath(nativePath);
    if (!st.exists || st.isDirectory)
        return result;
    const QString ext = extensionOf(QFile::decodeName(nativePath));
    const bool platformSet = isPlatformImagingExtension(ext);
    const int box = std::max(boxWidth, boxHeight);

    auto finish = [&](const QImage& picture, QSize full) {
        const QSize fitted = fitThumbnailSize(picture.size(), boxWidth, boxHeight);
        result.fullWidth = full.width();
        result.fullHeight = full.height();
        if (!result.image.copyFromQImage(downscale(picture, fitted)))
            result = ThumbnailResult();
        return result;
    };

    if (options.useCache && platformSet) {
        if (auto entry = ThumbnailCache::find(nativePath, st.mtimeSeconds(), st.size, box)) {
            QSize full(entry->imageWidth, entry->imageHeight);
            if (full.width() <= 0 || full.height() <= 0)
                full = Decode::readImageSize(nativePath);
            if (full.width() > 0 && full.height() > 0)
                return finish(entry->image, full);
        }
    }

    // With the cache on, make the picture at the cache's size so that the entry serves
    // other programs too; the box's picture is then scaled from it.
    const auto sizeClass = options.useCache && platformSet ? ThumbnailCache::sizeClassFor(box) : std::nullopt;
    const int makeBox = sizeClass ? sizeClass->size : 0;
    const int makeWidth = sizeClass ? makeBox : boxWidth;
    const int makeHeight = sizeClass ? makeBox : boxHeight;

    std::optional<QImage> picture;
    QSize full;
    if (platformSet) {
        if (auto data = readWholeFile(nativePath)) {
            if (data->startsWith("\xFF\xD8")) {
                // The scale must cover the fitted box size, which for a very wide image can be
                // smaller in one direction than the box itself.
                int headerW = 0, headerH = 0;
                {
                    std::unique_ptr<void, TjCloser> tj(tjInitDecompress());
                    int sub = 0, cs = 0;
                    if (tj)
                        tjDecompressHeader3(tj.get(), reinterpret_cast<const unsigned char*>(data->constData()),
                                            static_cast<unsigned long>(data->size()), &headerW, &headerH, &sub, &cs);
                }
                const QSize target = fitThumbnailSize(QSize(headerW, headerH), makeWidth, makeHeight);
                picture = decodeJpegScaled(*data, target.width(), target.height(), full);
            }
            // A file whose header is beyond the cap is refused here, never handed on.
            if (!picture && full.isValid() && tooLarge(full))
                return ThumbnailResult();
            if (!picture)
                picture = decodeWithQt(*data, full);
            if (!picture && full.isValid() && tooLarge(full))
                return ThumbnailResult();
        }
    }
    if (!picture) {
        // Every other format the library reads is decoded and fitted in the decoder helper.
        Decode::Decoded made = Decode::decodeThumbnail(nativePath, static_cast<unsigned>(boxWidth),
                                                       static_cast<unsigned>(boxHeight), kMaxDecodePixels);
        if (!made.ok())
            return ThumbnailResult();
        result.fullWidth = made.fullSize.width();
        result.fullHeight = made.fullSize.height();
        result.image.replace(made.dib.release());
        return result;
    }

    if (sizeClass && (full.width() > sizeClass->size || full.height() > sizeClass->size)) {
        const QImage entry = downscale(*picture, fitThumbnailSize(picture->size(), makeBox, makeBox));
        ThumbnailCache::store(*sizeClass, nativePath, st.mtimeSeconds(), st.size, entry, full.width(), full.height());
        return finish(entry, full);
    }
    return finish(*picture, full);
}

ThumbnailResult MakeThumbnail(const QByteArray& nativePath, int boxWidth, int boxHeight, const ThumbnailOptions& options)
{
    // A file no route could read has a fail entry and is not decoded again until it changes.
    const bool remembers = options.useCache && boxWidth > 0 && boxHeight > 0
                           && isPlatformImagingExtension(extensionOf(QFile::decodeName(nativePath)));
    const FileStat before = remembers ? statPath(nativePath) : FileStat();
    const bool file = before.exists && !before.isDirectory;
    if (file && ThumbnailCache::hasFailure(nativePath, before.mtimeSeconds()))
        return ThumbnailResult();
    ThumbnailResult result = makeFromFile(nativePath, boxWidth, boxHeight, options);
    if (!result.ok() && file) {
        // A file still being written fails too; it is only recorded when it stood still.
        const FileStat after = statPath(nativePath);
        if (after.exists && after.mtimeNs == before.mtimeNs && after.size == before.size)
            ThumbnailCache::storeFailure(nativePath, before.mtimeSeconds());
    }
    return result;
}
