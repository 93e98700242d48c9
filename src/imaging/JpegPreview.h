#pragma once
// Small pictures of a JPEG without decoding all of its pixels: the thumbnail a camera or an
// editor stored in the EXIF block, and the library's reduced (DCT-scaled) decoding.

#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

struct JpegHeader {
    QSize fullSize;
    QImage embeddedThumbnail;  // null when the file carries none
};

// Reads the header and metadata only; nothing when the file is not a readable JPEG.
std::optional<JpegHeader> readJpegHeader(const QString& path);

// The picture decoded at the smallest scale whose larger side still reaches `side` (or the
// whole image when it is smaller); null on failure.
QImage decodeJpegReduced(const QString& path, int side);
