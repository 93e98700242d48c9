#include "JpegTransform.h"

#include "SafeSave.h"

#include <QFile>
#include <QFileInfo>

#include <turbojpeg.h>

#include <memory>

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
    return QByteArray(reinterpret_cast<const char*>(out.get()), static_cast<qsizetype>(outSize));
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
