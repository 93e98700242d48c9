#pragma once
// Converting one image of an export: read it through the program's decoding routes (JPEGs
// by TurboJPEG in process, every other format in the decoder helper), scale it, and write it
// atomically, so a failed or interrupted image never leaves a partial or damaged file.

#include <QString>

class fipSuperImage;

namespace ImageExport {

enum class Outcome { Written, NotRead, NotConverted, NotWritten };

// `maxSide` 0 keeps the size. The format follows the destination's extension.
Outcome exportImage(const QString& source, const QString& destination, int maxSide);

// The image as the export reads it. With `maxSide` > 0 a JPEG comes reduced by TurboJPEG's
// DCT scaling to the smallest of 1/2, 1/4, 1/8 whose longer side still reaches `maxSide`.
bool loadForExport(fipSuperImage& image, const QString& source, int maxSide);

// Writes through a temporary file in the destination's folder, renamed over the destination
// at the end. A link at the destination is replaced by the file, never written through.
bool writeAtomically(fipSuperImage& image, const QString& destination);

}  // namespace ImageExport
