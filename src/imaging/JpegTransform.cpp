#include "JpegTransform.h"

#include "SafeSave.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QTransform>

#include <turbojpeg.h>

// exiv2 0.27 still hands out std::auto_ptr.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>
#pragma GCC diagnostic pop

#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace {

struct TjHandleCloser {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using TjHandle = std::unique_ptr<void, TjHandleCloser>;

struct TjBufferFree {
    void operator()(unsigned char* buffer) const { tjFree(buffer); }
};
using TjBuffer = std::unique_ptr<unsigned char, TjBufferFree>;

bool toTurboOperation(FREE_IMAGE_JPEG_OPERATION operation, int& out)
{
    switch (operation) {
    case FIJPEG_OP_NONE: out = TJXOP_NONE; return true;
    case FIJPEG_OP_FLIP_H: out = TJXOP_HFLIP; return true;
    case FIJPEG_OP_FLIP_V: out = TJXOP_VFLIP; return true;
    case FIJPEG_OP_TRANSPOSE: out = TJXOP_TRANSPOSE; return true;
    case FIJPEG_OP_TRANSVERSE: out = TJXOP_TRANSVERSE; return true;
    case FIJPEG_OP_ROTATE_90: out = TJXOP_ROT90; return true;
    case FIJPEG_OP_ROTATE_180: out = TJXOP_ROT180; return true;
    case FIJPEG_OP_ROTATE_270: out = TJXOP_ROT270; return true;
    }
    return false;
}

bool isQuarterTurn(FREE_IMAGE_JPEG_OPERATION operation)
{
    return operation == FIJPEG_OP_TRANSPOSE || operation == FIJPEG_OP_TRANSVERSE
           || operation == FIJPEG_OP_ROTATE_90 || operation == FIJPEG_OP_ROTATE_270;
}

// The EXIF thumbnail turned like the picture. It is a small preview, so it is decoded, turned
// and encoded again: its size is rarely a whole number of blocks. Empty when it is no JPEG.
QByteArray turnThumbnail(const QByteArray& jpeg, FREE_IMAGE_JPEG_OPERATION operation)
{
    QBuffer in;
    in.setData(jpeg);
    in.open(QIODevice::ReadOnly);
    QImageReader reader(&in, "jpeg");
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > 1024 || size.height() > 1024)
        return {};
    QImage image;
    if (!reader.read(&image))
        return {};
    // A transpose is a quarter turn clockwise and a mirror; a transverse the same the other way.
    switch (operation) {
    case FIJPEG_OP_NONE: break;
    case FIJPEG_OP_FLIP_H: image = image.mirrored(true, false); break;
    case FIJPEG_OP_FLIP_V: image = image.mirrored(false, true); break;
    case FIJPEG_OP_TRANSPOSE: image = image.transformed(QTransform().rotate(90)).mirrored(true, false); break;
    case FIJPEG_OP_TRANSVERSE: image = image.transformed(QTransform().rotate(270)).mirrored(true, false); break;
    case FIJPEG_OP_ROTATE_90: image = image.transformed(QTransform().rotate(90)); break;
    case FIJPEG_OP_ROTATE_180: image = image.transformed(QTransform().rotate(180)); break;
    case FIJPEG_OP_ROTATE_270: image = image.transformed(QTransform().rotate(270)); break;
    }
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&out, "JPEG", 90))
        return {};
    return out.data();
}

// Sets a number tag to `value`, keeping the tag's type when the value fits it; true when the
// tag exists and changed.
bool setNumber(Exiv2::ExifData& exif, const char* key, long value)
{
    const auto datum = exif.findKey(Exiv2::ExifKey(key));
    if (datum == exif.end() || datum->count() != 1 || datum->toLong() == value)
        return false;
    if (datum->typeId() == Exiv2::unsignedShort && value > 0xFFFF)
        *datum = static_cast<uint32_t>(value);
    else
        datum->setValue(std::to_string(value));
    return true;
}

// The pixels were turned, so the tags that describe them must follow: the orientation is now
// plain (the picture is as the user saw and turned it), the stored size is the new one and the
// preview is turned alike. Without EXIF, or with EXIF the library cannot read, the JPEG is kept
// as it is; nullopt when the fixed EXIF cannot be written.
std::optional<QByteArray> followWithExif(const QByteArray& jpeg, FREE_IMAGE_JPEG_OPERATION operation, int width, int height)
{
    if (operation == FIJPEG_OP_NONE || !jpeg.contains(QByteArray("Exif\0\0", 6)))
        return jpeg;
    static std::once_flag setup;
    std::call_once(setup, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::XmpParser::initialize();
    });
    Exiv2::Image::AutoPtr image;
    try {
        image = Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte*>(jpeg.constData()),
                                          static_cast<long>(jpeg.size()));
        if (!image.get())
            return jpeg;
        image->readMetadata();
    } catch (const std::exception&) {
        return jpeg;
    }
    try {
        Exiv2::ExifData& exif = image->exifData();
        bool changed = setNumber(exif, "Exif.Image.Orientation", 1);
        changed |= setNumber(exif, "Exif.Thumbnail.Orientation", 1);
        changed |= setNumber(exif, "Exif.Photo.PixelXDimension", width);
        changed |= setNumber(exif, "Exif.Photo.PixelYDimension", height);
        const Exiv2::ExifThumbC stored(exif);
        const Exiv2::DataBuf thumbnail = stored.copy();
        if (thumbnail.size_ > 0 && std::string(stored.mimeType()) == "image/jpeg") {
            const QByteArray turned =
                turnThumbnail(QByteArray(reinterpret_cast<const char*>(thumbnail.pData_), thumbnail.size_), operation);
            // A preview we cannot turn would show the photo the wrong way: none is better.
            if (turned.isEmpty())
                Exiv2::ExifThumb(exif).erase();
            else
                Exiv2::ExifThumb(exif).setJpegThumbnail(reinterpret_cast<const Exiv2::byte*>(turned.constData()),
                                                        static_cast<long>(turned.size()));
            changed = true;
        }
        if (!changed)
            return jpeg;
        image->writeMetadata();
        Exiv2::BasicIo& io = image->io();
        if (io.open() != 0)
            return std::nullopt;
        const Exiv2::DataBuf written = io.read(static_cast<long>(io.size()));
        io.close();
        if (written.size_ <= 0)
            return std::nullopt;
        return QByteArray(reinterpret_cast<const char*>(written.pData_), written.size_);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace

namespace JpegTransform {

QByteArray transform(const QByteArray& jpeg, FREE_IMAGE_JPEG_OPERATION operation, bool perfect)
{
    int op = TJXOP_NONE;
    if (jpeg.isEmpty() || !toTurboOperation(operation, op))
        return {};
    TjHandle handle(tjInitTransform());
    if (!handle)
        return {};
    // Reject anything that is not a JPEG before handing it to the transformer.
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colorspace = 0;
    const auto* data = reinterpret_cast<const unsigned char*>(jpeg.constData());
    if (tjDecompressHeader3(handle.get(), data, static_cast<unsigned long>(jpeg.size()), &width,
                            &height, &subsampling, &colorspace) != 0)
        return {};

    tjtransform xform = {};
    xform.op = op;
    xform.options = perfect ? TJXOPT_PERFECT : TJXOPT_TRIM;
    unsigned char* rawOut = nullptr;
    unsigned long outSize = 0;
    const int rc = tjTransform(handle.get(), data, static_cast<unsigned long>(jpeg.size()), 1, &rawOut,
                               &outSize, &xform, 0);
    TjBuffer out(rawOut);
    // Warnings (rc 0 with a message) are fine; errors are not.
    if (rc != 0 && tjGetErrorCode(handle.get()) == TJERR_FATAL)
        return {};
    if (!out || outSize == 0)
        return {};
    const QByteArray turned(reinterpret_cast<const char*>(out.get()), static_cast<qsizetype>(outSize));
    // The trimmed edges change the size too, so the new size is read, not worked out.
    int newWidth = 0;
    int newHeight = 0;
    if (tjDecompressHeader3(handle.get(), out.get(), outSize, &newWidth, &newHeight, &subsampling, &colorspace) != 0)
        return {};
    return followWithExif(turned, operation, newWidth, newHeight).value_or(QByteArray());
}

bool transformFile(const QString& source, const QString& destination,
                   FREE_IMAGE_JPEG_OPERATION operation, bool perfect)
{
    const QFileInfo info(source);
    if (!info.isFile() || destination.isEmpty())
        return false;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QByteArray jpeg = in.readAll();
    in.close();
    const QByteArray result = transform(jpeg, operation, perfect);
    if (result.isEmpty())
        return false;
    return SafeSave::writeReplacing(destination, [&](const QString& tempPath) {
        QFile out(tempPath);
        return out.open(QIODevice::WriteOnly | QIODevice::Truncate)
               && out.write(result) == result.size() && out.flush();
    });
}

}  // namespace JpegTransform

BOOL DLL_CALLCONV FreeImage_JPEGTransform(const char* src_file, const char* dst_file,
                                          FREE_IMAGE_JPEG_OPERATION operation, BOOL perfect)
{
    if (!src_file || !dst_file)
        return FALSE;
    return JpegTransform::transformFile(QFile::decodeName(src_file), QFile::decodeName(dst_file),
                                        operation, perfect != FALSE)
               ? TRUE
               : FALSE;
}
