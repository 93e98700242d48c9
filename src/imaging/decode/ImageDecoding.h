#pragma once
// The program's routes from a file to pixels. Every route opens only regular files (never
// waiting on a FIFO or device), reads the declared size before allocating and refuses what
// exceeds its budget. JPEG pixels are decoded in process by TurboJPEG; everything else the
// image library reads is decoded by the isolated helper.

#include "imaging/decode/IsolatedDecoder.h"

#include <QByteArray>
#include <QImage>
#include <QSize>

#include <atomic>
#include <cstdint>

namespace Decode {

std::uint64_t physicalMemoryBytes();
// The most one decoded image may take in the viewer and the Open dialog: a quarter of the
// machine's memory, or the bytes KELVRA_IMAGE_BUDGET names.
std::uint64_t imageMemoryBudget();
// Embedded (EXIF) thumbnails larger than this on a side are ignored.
inline constexpr int kMaxEmbeddedThumbnailSide = 1024;

struct Decoded {
    Status status = Status::NotDecoded;
    DibPtr dib;
    FREE_IMAGE_FORMAT fif = FIF_UNKNOWN;
    int pageCount = 0;  // 1 for single images; 0 when a multi-page file cannot be opened
    QSize fullSize;     // the file's own size, also when the image was reduced or refused
    bool ok() const { return status == Status::Ok && dib; }
    bool reduced() const;
};

// The format by content; FIF_UNKNOWN for what is not a regular file or not recognised.
FREE_IMAGE_FORMAT identifyFile(const QByteArray& nativePath);

// The whole image, or page `page` of a multi-page file (TIFF, GIF, ICO) when page >= 0.
// A JPEG beyond `budget` bytes comes reduced by TurboJPEG's 1/2 .. 1/8 scaling. A JPEG
// decoded in process stops early, not decoded, once `abandon` is set.
Decoded decodeImage(const QByteArray& nativePath, int page, int flag, std::uint64_t budget,
                    const std::atomic<bool>* abandon = nullptr);

// The number of pages of a TIFF, GIF or icon file (recognised by its signature), counted by
// the helper; 1 for any other file; 0 when the file cannot be opened or its pages not read.
int countPages(const QByteArray& nativePath);

// The image fitted inside maxWidth × maxHeight, refusing files of more than `maxPixels`.
Decoded decodeThumbnail(const QByteArray& nativePath, unsigned maxWidth, unsigned maxHeight,
                        std::uint64_t maxPixels);

// The declared size without decoding pixels; empty when unknown. PNG, GIF, BMP and JPEG
// headers are read here, within their first bytes; other formats ask the helper.
QSize readImageSize(const QByteArray& nativePath);

// A JPEG's size and, when it carries one of at most kMaxEmbeddedThumbnailSide a side, its
// EXIF thumbnail; nothing for what is not a readable JPEG.
struct JpegSummary {
    QSize fullSize;
    QImage embeddedThumbnail;
};
std::optional<JpegSummary> summariseJpeg(const QByteArray& nativePath);
// The JPEG at the smallest DCT scale whose larger side still reaches `side`.
QImage decodeJpegReduced(const QByteArray& nativePath, int side, std::uint64_t budget);

}  // namespace Decode
