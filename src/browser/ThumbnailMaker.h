#pragma once
// `MakeThumbnail`: a picture of a file fitted into a box, and the file's full pixel size.
// Routes, cheapest first: a valid entry of the freedesktop cache; TurboJPEG's scaled DCT
// decoding for JPEG (a 24-megapixel photo is never fully decoded for a small cell); Qt's
// built-in PNG, GIF and BMP readers; the image library's loaders in the decoder helper. No
// route allocates for images larger than `kMaxDecodePixels`, whatever their header claims,
// and only regular files are opened.

#include "imaging/fipSuperImage.h"

#include <QByteArray>
#include <QImage>
#include <QSize>

struct ThumbnailResult {
    fipSuperImage image;  // invalid when no route could read the file
    int fullWidth = 0;
    int fullHeight = 0;
    bool ok() const { return image.isValid() != FALSE; }
};

struct ThumbnailOptions {
    bool useCache = true;   // read the freedesktop cache and write new entries to it
};

inline constexpr qint64 kMaxDecodePixels = 80LL * 1000 * 1000;

ThumbnailResult MakeThumbnail(const QByteArray& nativePath, int boxWidth, int boxHeight,
                              const ThumbnailOptions& options = {});

// The size an image of `full` takes in the box: fitted with its aspect kept (halves rounded
// away from zero, each side at least 1), never enlarged.
QSize fitThumbnailSize(QSize full, int boxWidth, int boxHeight);

// An area-averaging downscale to `size` (never aliasing), always 32 bits per pixel; the image
// converted to 32 bits when it is already that size.
QImage downscale(const QImage& image, QSize size);
