#pragma once
// Lossless JPEG transformations over TurboJPEG. Debian builds the image library without its
// own lossless transformation, so its entry point, operation codes and signature are
// declared here and defined over TurboJPEG.

#include <FreeImage.h>

#include <QByteArray>
#include <QString>

#ifdef __cplusplus
extern "C" {
#endif

FI_ENUM(FREE_IMAGE_JPEG_OPERATION){
    FIJPEG_OP_NONE = 0,        // no transformation
    FIJPEG_OP_FLIP_H = 1,      // horizontal flip
    FIJPEG_OP_FLIP_V = 2,      // vertical flip
    FIJPEG_OP_TRANSPOSE = 3,   // transpose across the top-left to bottom-right axis
    FIJPEG_OP_TRANSVERSE = 4,  // transpose across the top-right to bottom-left axis
    FIJPEG_OP_ROTATE_90 = 5,   // 90 degrees clockwise
    FIJPEG_OP_ROTATE_180 = 6,  // 180 degrees
    FIJPEG_OP_ROTATE_270 = 7   // 270 degrees clockwise (90 counter-clockwise)
};

DLL_API BOOL DLL_CALLCONV FreeImage_JPEGTransform(const char* src_file, const char* dst_file,
                                                  FREE_IMAGE_JPEG_OPERATION operation,
                                                  BOOL perfect FI_DEFAULT(TRUE));

#ifdef __cplusplus
}
#endif

namespace JpegTransform {

// Transforms a JPEG held in memory; empty on failure. Every marker (EXIF, ICC, comments) is
// copied. With `perfect`, a transform that would have to drop partial edge blocks fails;
// without it those edge blocks are trimmed. The EXIF follows the pixels: Orientation becomes 1,
// PixelXDimension and PixelYDimension hold the new size, and the EXIF thumbnail is turned the
// same way.
QByteArray transform(const QByteArray& jpeg, FREE_IMAGE_JPEG_OPERATION operation, bool perfect);

// Reads `source`, transforms it and writes `destination` through a temporary file, so a
// failure leaves both files as they were. `source` and `destination` may be the same file.
bool transformFile(const QString& source, const QString& destination,
                   FREE_IMAGE_JPEG_OPERATION operation, bool perfect);

}  // namespace JpegTransform
