#pragma once
// Small pictures of a JPEG without decoding all of its pixels: the thumbnail a camera or an
// editor stored in the EXIF block (at most 1024 pixels a side; larger ones are ignored), and
// TurboJPEG's reduced (DCT-scaled) decoding. Neither parses more than our own bounded walk
// over the markers.

#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

struct JpegHeader {
    QSize fullSize;
    QImage embeddedThumbnail;  // null when the file carries none we trust
};

// Reads the header and metadata only; nothing when the file is not a readable JPEG.
std::optional<JpegHeader> readJpegHeader(const QString& path);

// The picture decoded at the smallest scale whose larger side still reaches `side` (or the
// whole image when it is smaller); null on failure.
QImage decodeJpegReduced(const QString& path, int side);
