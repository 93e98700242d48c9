#include "imaging/geometry/JpegLossless.h"

#include "app/CommandIds.h"
#include "imaging/fipSuperImage.h"

#include <QFileInfo>

#include <algorithm>

namespace JpegLossless {

bool handles(int id)
{
    return id >= cmd::JpegLosslessFirst && id <= cmd::JpegLosslessLast;
}

FREE_IMAGE_JPEG_OPERATION operationFor(int id)
{
    switch (id) {
    case cmd::JpegRotateLeft: return FIJPEG_OP_ROTATE_270;
    case cmd::JpegRotateRight: return FIJPEG_OP_ROTATE_90;
    case cmd::JpegRotate180: return FIJPEG_OP_ROTATE_180;
    case cmd::JpegVerticalFlip: return FIJPEG_OP_FLIP_V;
    case cmd::JpegHorizontalFlip: return FIJPEG_OP_FLIP_H;
    default: return FIJPEG_OP_NONE;
    }
}

bool isJpegName(const QString& path)
{
    return !path.isEmpty() && fipSuperImage::getFIFFromFilename(path) == FIF_JPEG;
}

bool enabledForSelection(int selectedCount, const QStringList& selectedPaths)
{
    return selectedCount > 0 && std::all_of(selectedPaths.begin(), selectedPaths.end(), isJpegName);
}

namespace {

// Replacing a file goes through the folder, which would let a read-only photo be rewritten:
// its write permission is honoured as an editor's save would.
bool mayRewrite(const QString& path)
{
    const QFileInfo info(path);
    const auto anyWrite = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return info.isFile() && info.isWritable() && (info.permissions() & anyWrite);
}

}  // namespace

Outcome transformFiles(const QStringList& paths, FREE_IMAGE_JPEG_OPERATION operation)
{
    Outcome outcome;
    for (const QString& path : paths) {
        if (!isJpegName(path))
            break;
        // Not perfect: a size that is not a whole number of blocks loses its partial edge.
        if (mayRewrite(path) && JpegTransform::transformFile(path, path, operation, false))
            ++outcome.transformed;
        else
            ++outcome.failed;
    }
    return outcome;
}

}  // namespace JpegLossless
