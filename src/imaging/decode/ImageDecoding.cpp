#include "imaging/decode/ImageDecoding.h"

#include "imaging/ImageLibrary.h"
#include "imaging/decode/JpegMarkers.h"
#include "imaging/fipSuperImage.h"

#include <turbojpeg.h>

#include <unistd.h>

#include <algorithm>
#include <limits>
#include <memory>

namespace Decode {
namespace {

// No JPEG worth decoding is this large compressed; reading more would only fill memory.
constexpr qint64 kMaxJpegFileBytes = 1LL << 30;

bool isJpeg(const QByteArray& head)
{
    return head.startsWith("\xFF\xD8\xFF");
}

bool isPng(const QByteArray& head)
{
    return head.startsWith("\x89PNG\r\n\x1a\n");
}

bool isMultiPageFormat(FREE_IMAGE_FORMAT fif)
{
    return fif == FIF_TIFF || fif == FIF_GIF || fif == FIF_ICO;
}

// The multi-page formats by the signatures their loaders test for; FIF_UNKNOWN for the rest.
FREE_IMAGE_FORMAT multiPageFormatOf(const QByteArray& head)
{
    if (head.startsWith(QByteArray("II*\0", 4)) || head.startsWith(QByteArray("MM\0*", 4))
        || head.startsWith(QByteArray("II+\0", 4)) || head.startsWith(QByteArray("MM\0+", 4)))
        return FIF_TIFF;
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a"))
        return FIF_GIF;
    if (head.startsWith(QByteArray("\0\0\1\0", 4)))
        return FIF_ICO;
    return FIF_UNKNOWN;
}

// The helper gives no page count when it crashed, timed out or knew no format: such a file
// has one page unless it is a multi-page file, which then could not be opened.
int pageCountAfter(const HelperResult& r, const QByteArray& head)
{
    if (r.pageCount > 0)
        return r.pageCount;
    return isMultiPageFormat(r.fif != FIF_UNKNOWN ? r.fif : multiPageFormatOf(head)) ? 0 : 1;
}

struct TjCloser {
    void operator()(void* handle) const { tjDestroy(handle); }
};

QSize positiveSize(std::int64_t width, std::int64_t height)
{
    constexpr std::int64_t most = std::numeric_limits<int>::max();
    if (width <= 0 || height <= 0 || width > most || height > most)
        return {};
    return QSize(static_cast<int>(width), static_cast<int>(height));
}

// The declared size of a PNG, GIF or BMP from the fixed fields of its first bytes; nothing
// beyond them is read. Empty for other files, or when the fields are missing.
std::optional<QSize> fixedHeaderSize(const QByteArray& head)
{
    const auto byte = [&](qsizetype at) -> std::int64_t { return static_cast<unsigned char>(head[at]); };
    const auto le16 = [&](qsizetype at) { return byte(at) | byte(at + 1) << 8; };
    const auto le32 = [&](qsizetype at) { return le16(at) | le16(at + 2) << 16; };
    const auto be32 = [&](qsizetype at) { return byte(at) << 24 | byte(at + 1) << 16 | byte(at + 2) << 8 | byte(at + 3); };
    if (isPng(head))
        return head.size() >= 24 && head.mid(12, 4) == "IHDR" ? positiveSize(be32(16), be32(20)) : QSize();
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a"))
        return head.size() >= 10 ? positiveSize(le16(6), le16(8)) : QSize();
    if (head.startsWith("BM") && head.size() >= 26) {
        const std::int64_t info = le32(14);
        if (info == 12)
            return positiveSize(le16(18), le16(20));
        // A negative height is a top-down bitmap.
        const std::int64_t height = static_cast<std::int32_t>(static_cast<std::uint32_t>(le32(22)));
        return info >= 40 ? positiveSize(le32(18), height < 0 ? -height : height) : QSize();
    }
    return std::nullopt;
}

QSize jpegHeaderSize(const QByteArray& bytes)
{
    std::unique_ptr<void, TjCloser> tj(tjInitDecompress());
    int w = 0, h = 0, sub = 0, cs = 0;
    if (!tj || tjDecompressHeader3(tj.get(), reinterpret_cast<const unsigned char*>(bytes.constData()),
                                   static_cast<unsigned long>(bytes.size()), &w, &h, &sub, &cs) != 0)
        return {};
    return positiveSize(w, h);
}

// The frame header follows the metadata segments, which rarely take more than this.
constexpr int kJpegHeaderBytes = 256 * 1024;

Decoded fromHelper(const HelperResult& r, DibPtr dib)
{
    Decoded d;
    d.status = r.status;
    d.dib = std::move(dib);
    d.fif = r.fif;
    d.pageCount = r.pageCount;
    d.fullSize = QSize(static_cast<int>(r.fullWidth), static_cast<int>(r.fullHeight));
    return d;
}

// Small JPEGs only (embedded thumbnails): the declared size is checked first.
QImage decodeSmallJpeg(const QByteArray& jpeg, int maxSide)
{
    std::unique_ptr<void, TjCloser> tj(tjInitDecompress());
    if (!tj)
        return {};
    const auto* data = reinterpret_cast<const unsigned char*>(jpeg.constData());
    const auto size = static_cast<unsigned long>(jpeg.size());
    int w = 0, h = 0, sub = 0, cs = 0;
    if (tjDecompressHeader3(tj.get(), data, size, &w, &h, &sub, &cs) != 0 || w <= 0 || h <= 0 || w > maxSide
        || h > maxSide)
        return {};
    QImage image(w, h, QImage::Format_RGB888);
    if (image.isNull())
        return {};
    if (tjDecompress2(tj.get(), data, size, image.bits(), w, static_cast<int>(image.bytesPerLine()), h, TJPF_RGB, 0) != 0
        && tjGetErrorCode(tj.get()) == TJERR_FATAL)
        return {};
    return image;
}

}  // namespace

bool Decoded::reduced() const
{
    return dib && (static_cast<int>(FreeImage_GetWidth(dib.get())) != fullSize.width()
                   || static_cast<int>(FreeImage_GetHeight(dib.get())) != fullSize.height());
}

std::uint64_t physicalMemoryBytes()
{
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return std::uint64_t(4) << 30;
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
}

std::uint64_t imageMemoryBudget()
{
    // KELVRA_IMAGE_BUDGET (bytes) sets it for a machine shared with other work, and for tests.
    bool ok = false;
    const qulonglong chosen = qEnvironmentVariable("KELVRA_IMAGE_BUDGET").toULongLong(&ok);
    if (ok && chosen > 0)
        return chosen;
    return physicalMemoryBytes() / 4;
}

FREE_IMAGE_FORMAT identifyFile(const QByteArray& nativePath)
{
    const auto file = openRegularFile(nativePath);
    if (!file)
        return FIF_UNKNOWN;
    const QByteArray head = readHead(file->fd.get(), 16);
    if (head.isEmpty())
        return FIF_UNKNOWN;
    if (isJpeg(head))
        return FIF_JPEG;
    if (isPng(head))
        return FIF_PNG;
    // The library's format sniffers include full parsers (camera raw files), so even the
    // question goes to the helper.
    RequestMessage request;
    request.kind = Kind::Identify;
    return IsolatedDecoder::shared().run(file->fd.get(), request).fif;
}

Decoded decodeImage(const QByteArray& nativePath, int page, int flag, std::uint64_t budget,
                    const std::atomic<bool>* abandon)
{
    Decoded result;
    const auto file = openRegularFile(nativePath);
    if (!file) {
        result.status = Status::NotRegularFile;
        return result;
    }
    const int fd = file->fd.get();
    RequestMessage request;
    request.kind = Kind::Image;
    request.fifByName = ImageLibrary::formatFromName(nativePath);
    request.flag = flag;
    request.page = page;
    request.maxBytes = budget;
    const QByteArray head = readHead(fd, 8);
    if (isJpeg(head)) {
        const auto bytes = readAll(fd, kMaxJpegFileBytes);
        if (!bytes) {
            result.status = Status::TooLarge;
            return result;
        }
        const ImageLibrary::JpegLoad jpeg = ImageLibrary::loadJpeg(*bytes, flag, budget, 0, abandon);
        result.fif = FIF_JPEG;
        result.pageCount = 1;
        result.fullSize = QSize(jpeg.fullWidth, jpeg.fullHeight);
        if (jpeg.outcome == ImageLibrary::JpegOutcome::Decoded) {
            result.status = Status::Ok;
            result.dib.reset(jpeg.dib);
            return result;
        }
        if (jpeg.outcome == ImageLibrary::JpegOutcome::TooLarge) {
            result.status = Status::TooLarge;
            return result;
        }
        if (jpeg.outcome == ImageLibrary::JpegOutcome::Implausible
            || jpeg.outcome == ImageLibrary::JpegOutcome::Abandoned)
            return result;  // not decoded, and not handed to the library either
        request.fif = FIF_JPEG;
    }
    HelperResult r = IsolatedDecoder::shared().run(fd, request);
    DibPtr dib = std::move(r.dib);
    Decoded decoded = fromHelper(r, std::move(dib));
    decoded.pageCount = pageCountAfter(r, head);
    return decoded;
}

int countPages(const QByteArray& nativePath)
{
    const auto file = openRegularFile(nativePath);
    if (!file)
        return 0;
    const FREE_IMAGE_FORMAT fif = multiPageFormatOf(readHead(file->fd.get(), 8));
    if (fif == FIF_UNKNOWN)
        return 1;
    RequestMessage request;
    request.kind = Kind::PageCount;
    request.fif = fif;
    const HelperResult r = IsolatedDecoder::shared().run(file->fd.get(), request);
    return r.status == Status::Ok ? r.pageCount : 0;
}

Decoded decodeThumbnail(const QByteArray& nativePath, unsigned maxWidth, unsigned maxHeight, std::uint64_t maxPixels)
{
    Decoded result;
    const auto file = openRegularFile(nativePath);
    if (!file) {
        result.status = Status::NotRegularFile;
        return result;
    }
    RequestMessage request;
    request.kind = Kind::Thumbnail;
    request.fifByName = ImageLibrary::formatFromName(nativePath);
    request.maxWidth = maxWidth;
    request.maxHeight = maxHeight;
    request.maxPixels = maxPixels;
    request.maxBytes = imageMemoryBudget();
    HelperResult r = IsolatedDecoder::shared().run(file->fd.get(), request);
    DibPtr dib = std::move(r.dib);
    return fromHelper(r, std::move(dib));
}

QSize readImageSize(const QByteArray& nativePath)
{
    const auto file = openRegularFile(nativePath);
    if (!file)
        return {};
    const int fd = file->fd.get();
    const QByteArray head = readHead(fd, 32);
    if (isJpeg(head)) {
        // Most files answer from their first bytes; only a file with more metadata is read whole.
        const QSize size = jpegHeaderSize(readHead(fd, kJpegHeaderBytes));
        if (size.isValid() || file->size <= kJpegHeaderBytes)
            return size;
        const auto bytes = readAll(fd, kMaxJpegFileBytes);
        return bytes ? jpegHeaderSize(*bytes) : QSize();
    }
    if (const auto size = fixedHeaderSize(head))
        return *size;
    RequestMessage request;
    request.kind = Kind::Header;
    request.fifByName = ImageLibrary::formatFromName(nativePath);
    const HelperResult r = IsolatedDecoder::shared().run(fd, request);
    if (r.status != Status::Ok)
        return {};
    return QSize(static_cast<int>(r.fullWidth), static_cast<int>(r.fullHeight));
}

std::optional<JpegSummary> summariseJpeg(const QByteArray& nativePath)
{
    const auto file = openRegularFile(nativePath);
    if (!file || !isJpeg(readHead(file->fd.get(), 4)))
        return std::nullopt;
    const auto bytes = readAll(file->fd.get(), kMaxJpegFileBytes);
    if (!bytes)
        return std::nullopt;
    std::unique_ptr<void, TjCloser> tj(tjInitDecompress());
    int w = 0, h = 0, sub = 0, cs = 0;
    if (!tj || tjDecompressHeader3(tj.get(), reinterpret_cast<const unsigned char*>(bytes->constData()),
                                   static_cast<unsigned long>(bytes->size()), &w, &h, &sub, &cs) != 0)
        return std::nullopt;
    JpegSummary summary;
    summary.fullSize = QSize(w, h);
    if (const auto markers = readJpegMarkers(*bytes)) {
        const QByteArray thumbnail = exifThumbnail(markers->exif);
        if (!thumbnail.isEmpty())
            summary.embeddedThumbnail = decodeSmallJpeg(thumbnail, kMaxEmbeddedThumbnailSide);
    }
    return summary;
}

QImage decodeJpegReduced(const QByteArray& nativePath, int side, std::uint64_t budget)
{
    const auto file = openRegularFile(nativePath);
    if (side <= 0 || !file || !isJpeg(readHead(file->fd.get(), 4)))
        return {};
    const auto bytes = readAll(file->fd.get(), kMaxJpegFileBytes);
    if (!bytes)
        return {};
    const ImageLibrary::JpegLoad jpeg = ImageLibrary::loadJpeg(*bytes, 0, budget, side);
    if (jpeg.outcome != ImageLibrary::JpegOutcome::Decoded)
        return {};
    fipSuperImage image;
    image.replace(jpeg.dib);
    return image.toQImage();
}

}  // namespace Decode
