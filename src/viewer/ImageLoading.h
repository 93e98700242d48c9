#pragma once
// `LoadImageFile`: the viewer's one decoding routine, run on the window thread and on the
// look-ahead loader thread alike.
#include "imaging/fipSuperImage.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <atomic>
#include <memory>

struct LoadedImage {
    std::unique_ptr<fipSuperImage> image;  // null when the page could not be decoded
    int pageCount = 0;                     // 0 when a multi-page file could not be opened
    QSize fullSize;                        // the file's own size; larger when `image` is reduced
};

// A JPEG decode stops early, with no image, once `abandon` is set.
LoadedImage LoadImageFile(const QString& path, int page, const std::atomic<bool>* abandon = nullptr);

// The view draws the image straight from the library's rows (24-bit, or 1, 4 and 8-bit
// through an opaque palette), so it needs no 32-bit drawing copy of it.
bool drawnFromRows(const fipSuperImage& image);
// The image as the painter draws it: 32 bits a pixel, rows top-down, premultiplied alpha
// when the image has transparency. Null for a null or invalid image.
QImage makeDisplayImage(const fipSuperImage& image);
// `image` in the painter's format at `size`, smoothly (area-averaging) reduced: the copy a
// fixed fit shows. `display` is the full-size painter copy when one is at hand; without it a
// photo is reduced straight from the library's rows, so no full-size copy is ever made.
// `useCores` false keeps the work on the calling thread (the window thread).
QImage reducedDisplayImage(const fipSuperImage& image, const QImage& display, QSize size, bool useCores = true);
// A reduced 24-bit or 8-bit grey bitmap (bottom-up rows) in the painter's format.
QImage displayFromRows(const fipImage& reduced);
// Photos (24-bit) and 8-bit grey images are reduced straight from the library's rows.
bool reducedFromRows(const fipSuperImage& image);
// The side of the whole blocks a reduction of `image` to `size` first averages (< 2: none).
unsigned reductionBlockFactor(const fipSuperImage& image, QSize size);
