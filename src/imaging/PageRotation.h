#pragma once
// Turning a multi-page file (TIFF, GIF, ICO) on disk: every page turns, none is dropped.

#include <QString>

namespace PageRotation {

// Turns every page of the file at `path` by `angle` degrees (counter-clockwise, a multiple of
// 90) and writes it again through a temporary file, in its own format. False, with the file as
// it was, when a page cannot be read, turned or written, or the file has no pages.
bool rotateEveryPage(const QString& path, double angle);

}  // namespace PageRotation
