#include "ImageExport.h"

#include "ExportLogic.h"

#include "app/NativePath.h"
#include "imaging/ImageLibrary.h"
#include "imaging/decode/ImageDecoding.h"
#include "imaging/decode/RegularFile.h"
#include "imaging/fipSuperImage.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace ImageExport {
namespace {

// As the decoding routes: a larger JPEG is not a photo.
constexpr qint64 kMaxJpegFileBytes = 1LL << 30;

bool startsLikeJpeg(const QByteArray& head)
{
    return head.size() >= 3 && static_cast<unsigned char>(head[0]) == 0xFF
           && static_cast<unsigned char>(head[1]) == 0xD8 && static_cast<unsigned char>(head[2]) == 0xFF;
}

enum class Reduced { Loaded, Refused, Elsewhere };

Reduced loadReducedJpeg(fipSuperImage& image, const QByteArray& nativePath, int maxSide)
{
    const auto file = Decode::openRegularFile(nativePath);
    if (!file)
        return Reduced::Refused;
    if (!startsLikeJpeg(Decode::readHead(file->fd.get(), 3)))
        return Reduced::Elsewhere;
    const auto bytes = Decode::readAll(file->fd.get(), kMaxJpegFileBytes);
    if (!bytes)
        return Reduced::Refused;
    const ImageLibrary::JpegLoad jpeg =
        ImageLibrary::loadJpeg(*bytes, 0, Decode::imageMemoryBudget(), maxSide);
    switch (jpeg.outcome) {
    case ImageLibrary::JpegOutcome::Decoded:
        image.replace(jpeg.dib);
        return Reduced::Loaded;
    case ImageLibrary::JpegOutcome::NeedsLibrary: return Reduced::Elsewhere;
    case ImageLibrary::JpegOutcome::TooLarge:
    case ImageLibrary::JpegOutcome::Implausible: break;
    }
    return Reduced::Refused;
}

mode_t currentUmask()
{
    // umask() cannot be read without setting it, which would race other threads.
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            bool ok = false;
            const uint mask = line.startsWith("Umask:") ? line.mid(6).trimmed().toUInt(&ok, 8) : 0;
            if (ok)
                return static_cast<mode_t>(mask);
        }
    }
    return 022;
}

}  // namespace

bool loadForExport(fipSuperImage& image, const QString& source, int maxSide)
{
    const QByteArray native = NativePath::encode(source);
    if (maxSide > 0) {
        switch (loadReducedJpeg(image, native, maxSide)) {
        case Reduced::Loaded: return true;
        case Reduced::Refused: return false;
        case Reduced::Elsewhere: break;
        }
    }
    return image.load(native.constData(), 0) == TRUE;
}

bool writeAtomically(fipSuperImage& image, const QString& destination)
{
    const QFileInfo target(destination);
    // The extension stays last so the library picks the format from the temporary name.
    QTemporaryFile temp(target.absolutePath() + QStringLiteral("/.kelvra-export-XXXXXX.") + target.suffix());
    temp.setAutoRemove(false);
    if (!temp.open())
        return false;
    const QString tempPath = temp.fileName();
    temp.close();
    const QByteArray tempName = NativePath::encode(tempPath);
    const QByteArray targetName = NativePath::encode(target.absoluteFilePath());

    // The replaced file's permissions carry over; a new file gets what the umask allows.
    struct stat existing {};
    const mode_t mode = ::lstat(targetName.constData(), &existing) == 0 && S_ISREG(existing.st_mode)
                            ? (existing.st_mode & 07777)
                            : (0666 & ~currentUmask());
    // PNG is lossless at every level: zlib's fastest writes files a tenth larger than its
    // default in a fifth of the time, which is most of an export's time.
    const int flag = fipSuperImage::getFIFFromFilename(tempPath) == FIF_PNG ? PNG_Z_BEST_SPEED : 0;
    if (!image.saveFitBPP(tempPath, flag) || ::chmod(tempName.constData(), mode) != 0
        || std::rename(tempName.constData(), targetName.constData()) != 0) {
        ::unlink(tempName.constData());
        return false;
    }
    return true;
}

Outcome exportImage(const QString& source, const QString& destination, int maxSide)
{
    fipSuperImage image;
    if (!loadForExport(image, source, maxSide))
        return Outcome::NotRead;
    if (maxSide > 0) {
        const QSize size = ExportLogic::exportSize(QSize(static_cast<int>(image.getWidth()),
                                                         static_cast<int>(image.getHeight())),
                                                   maxSide);
        if (!image.rescale(static_cast<unsigned>(size.width()), static_cast<unsigned>(size.height()),
                           FILTER_BILINEAR))
            return Outcome::NotConverted;
    }
    return writeAtomically(image, destination) ? Outcome::Written : Outcome::NotWritten;
}

}  // namespace ImageExport
