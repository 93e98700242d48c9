#pragma once
// The Tools menu's lossless JPEG rotations and flips: which files they apply to and turning a
// list of files on disk. The turn itself is JpegTransform's, shared with the browser's
// rotations, so the EXIF orientation, stored size and thumbnail follow the pixels.
#include "imaging/JpegTransform.h"

#include <QString>
#include <QStringList>

namespace JpegLossless {

bool handles(int id);
FREE_IMAGE_JPEG_OPERATION operationFor(int id);
// A JPEG by its file name.
bool isJpegName(const QString& path);
// The browser's rule: something selected, and every selected item with a path a JPEG.
bool enabledForSelection(int selectedCount, const QStringList& selectedPaths);

struct Outcome {
    int transformed = 0;
    int failed = 0;
};
// Turns each file in order, stopping at the first that is not a JPEG by name. A file that
// cannot be turned (damaged, gone, read-only) is left byte for byte as it was and the rest
// still turn. A link stays a link: the file it points to is rewritten.
Outcome transformFiles(const QStringList& paths, FREE_IMAGE_JPEG_OPERATION operation);

}  // namespace JpegLossless
