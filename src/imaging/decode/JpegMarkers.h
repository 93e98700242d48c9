#pragma once
// A bounded walk over a JPEG's markers up to its first scan: the frame's size and kind, and
// the metadata the program keeps when it saves (EXIF as raw bytes, XMP, ICC, comment, JFIF
// density). Nothing here trusts a declared length or offset beyond the bytes it was given.

#include <QByteArray>

#include <optional>

namespace Decode {

struct JpegFrame {
    int width = 0;
    int height = 0;
    int components = 0;
    bool progressive = false;
    bool arithmetic = false;  // arithmetic coding, which can store a block in under one bit
};

struct JpegMarkers {
    std::optional<JpegFrame> frame;
    QByteArray exif;     // the APP1 payload, starting with "Exif\0\0"
    QByteArray xmp;      // the packet, without its namespace header
    QByteArray icc;      // the profile from all its APP2 chunks; empty when one is missing
    QByteArray comment;
    int densityUnit = 0;  // JFIF: 0 none, 1 per inch, 2 per centimetre
    int densityX = 0;
    int densityY = 0;
};

// Nothing when the bytes do not start like a JPEG.
std::optional<JpegMarkers> readJpegMarkers(const QByteArray& jpeg);

// The JPEG thumbnail an EXIF block points to (IFD1), or empty when it has none or the
// pointer leaves the block.
QByteArray exifThumbnail(const QByteArray& exif);

}  // namespace Decode
