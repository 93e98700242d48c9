#include "fipSuperImage.h"

#include "ImageLibrary.h"
#include "SafeSave.h"
#include "decode/ImageDecoding.h"
#include "effects/Histogram.h"

#include "app/NativePath.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

fipSuperImage::fipSuperImage(FREE_IMAGE_TYPE imageType, unsigned width, unsigned height, unsigned bpp)
    : fipImage(imageType, width, height, bpp)
{
    ImageLibrary::ensureInitialised();
}

fipSuperImage::fipSuperImage(const fipSuperImage& src) : fipImage(src) {}

fipSuperImage& fipSuperImage::operator=(const fipSuperImage& src)
{
    fipImage::operator=(src);
    return *this;
}

fipSuperImage& fipSuperImage::operator=(const fipImage& src)
{
    fipImage::operator=(src);
    return *this;
}

fipSuperImage::fipSuperImage(fipSuperImage&& src) noexcept : fipImage()
{
    *this = std::move(src);
}

fipSuperImage& fipSuperImage::operator=(fipSuperImage&& src) noexcept
{
    if (this != &src) {
        std::swap(_dib, src._dib);
        std::swap(_fif, src._fif);
        std::swap(_bHasChanged, src._bHasChanged);
        src.clear();
    }
    return *this;
}

// ---- Object, files ---------------------------------------------------------------------

namespace {

FREE_IMAGE_FORMAT fileTypeOf(const QByteArray& nativePath)
{
    ImageLibrary::ensureInitialised();
    const FREE_IMAGE_FORMAT fif = Decode::identifyFile(nativePath);
    return fif != FIF_UNKNOWN ? fif : ImageLibrary::formatFromName(nativePath);
}

}  // namespace

// Paths are handled as the file system's own bytes, so names that are not UTF-8 load too.
// JPEG pixels are decoded here; every other format in the decoder helper.
BOOL fipSuperImage::load(const char* path, int flag)
{
    ImageLibrary::ensureInitialised();
    if (!path || !*path)
        return FALSE;
    Decode::Decoded decoded = Decode::decodeImage(QByteArray(path), -1, flag, Decode::imageMemoryBudget());
    if (!decoded.ok())
        return FALSE;
    replace(decoded.dib.release());
    _fif = decoded.fif;
    return TRUE;
}

BOOL fipSuperImage::load(const QString& path, int flag)
{
    return path.isEmpty() ? FALSE : load(NativePath::encode(path).constData(), flag);
}

BOOL fipSuperImage::save(const char* path, int flag)
{
    return path ? save(QFile::decodeName(path), flag) : FALSE;
}

BOOL fipSuperImage::save(const QString& path, int flag)
{
    return save(getFIFFromFilename(path), path, flag);
}

BOOL fipSuperImage::save(FREE_IMAGE_FORMAT fif, const QString& path, int flag)
{
    if (!isValid() || fif == FIF_UNKNOWN || !FreeImage_FIFSupportsWriting(fif))
        return FALSE;
    if (!ImageLibrary::canStore(fif, _dib))
        return FALSE;
    // The library's file writers do not all notice a failed write (the PNG writer reports
    // success on a full disk), so the file is made in memory and written here, where every
    // byte is checked before the temporary file may replace the target.
    struct MemoryCloser {
        void operator()(FIMEMORY* memory) const { FreeImage_CloseMemory(memory); }
    };
    const std::unique_ptr<FIMEMORY, MemoryCloser> memory(FreeImage_OpenMemory());
    if (!memory || !FreeImage_SaveToMemory(fif, _dib, memory.get(), flag))
        return FALSE;
    BYTE* data = nullptr;
    DWORD size = 0;
    if (!FreeImage_AcquireMemory(memory.get(), &data, &size) || !data || size == 0)
        return FALSE;
    return SafeSave::writeReplacing(path, [&](const QString& tempPath) {
        QFile out(tempPath);
        return out.open(QIODevice::WriteOnly | QIODevice::Truncate)
               && out.write(reinterpret_cast<const char*>(data), size) == static_cast<qint64>(size)
               && out.flush();
    }) ? TRUE : FALSE;
}

BOOL fipSuperImage::saveFitBPP(const QString& path, int flag)
{
    const FREE_IMAGE_FORMAT fif = getFIFFromFilename(path);
    if (!isValid() || fif == FIF_UNKNOWN || !FreeImage_FIFSupportsWriting(fif))
        return FALSE;
    if (ImageLibrary::canStore(fif, _dib))
        return save(fif, path, flag);
    // The image itself keeps its depth; only what is written is converted.
    fipSuperImage converted(*this);
    if (!converted.convertToSupportedBPP(fif))
        return FALSE;
    return converted.save(fif, path, flag);
}

FREE_IMAGE_FORMAT fipSuperImage::getFileType(const QString& path)
{
    return fileTypeOf(NativePath::encode(path));
}

FREE_IMAGE_FORMAT fipSuperImage::getFIFFromFilename(const QString& path)
{
    ImageLibrary::ensureInitialised();
    return ImageLibrary::formatFromName(NativePath::encode(path));
}

bool fipSuperImage::isMultiPageFile(const QString& path)
{
    const FREE_IMAGE_FORMAT fif = getFileType(path);
    return fif == FIF_TIFF || fif == FIF_GIF || fif == FIF_ICO;
}

BOOL fipSuperImage::convertToSupportedBPP(FREE_IMAGE_FORMAT fif)
{
    if (!isValid())
        return FALSE;
    FIBITMAP* converted = ImageLibrary::convertForFormat(_dib, fif);
    if (!converted)
        return FALSE;
    if (converted != _dib)
        replace(converted);
    return TRUE;
}

// ---- Queries ---------------------------------------------------------------------------

unsigned fipSuperImage::getDIBSize() const
{
    return isValid() ? static_cast<unsigned>(ImageLibrary::handleSize(_dib)) : 0;
}

double fipSuperImage::getResolutionX() const
{
    return isValid() ? FreeImage_GetDotsPerMeterX(_dib) / 100.0 : 0.0;
}

double fipSuperImage::getResolutionY() const
{
    return isValid() ? FreeImage_GetDotsPerMeterY(_dib) / 100.0 : 0.0;
}

void fipSuperImage::setResolution(double dotsPerCmX, double dotsPerCmY)
{
    if (!isValid())
        return;
    FreeImage_SetDotsPerMeterX(_dib, static_cast<unsigned>(std::lround(dotsPerCmX * 100.0)));
    FreeImage_SetDotsPerMeterY(_dib, static_cast<unsigned>(std::lround(dotsPerCmY * 100.0)));
}

BOOL fipSuperImage::getHistogram(DWORD* histo, FREE_IMAGE_COLOR_CHANNEL channel) const
{
    // The library's own histogram counts palette indices rather than colours and refuses
    // 1-, 4- and 16-bit images.
    if (!isValid() || !histo)
        return FALSE;
    return kelvra::fx::histogram(_dib, histo, channel) ? TRUE : FALSE;
}

// ---- Geometry --------------------------------------------------------------------------

BOOL fipSuperImage::rotate(double angle, const void* bkcolor)
{
    if (!isValid())
        return FALSE;
    double turns = std::fmod(angle, 360.0);
    if (turns < 0)
        turns += 360.0;
    if (turns == 0.0)
        return TRUE;
    FIBITMAP* rotated = nullptr;
    if (std::fmod(turns, 90.0) == 0.0)
        rotated = ImageLibrary::rotateQuarterTurns(_dib, static_cast<int>(turns / 90.0));
    else
        rotated = FreeImage_Rotate(_dib, angle, bkcolor);
    if (!rotated)
        return FALSE;
    if (rotated != _dib) {
        // Cloning metadata also copies the resolution, which a quarter turn swaps.
        const unsigned dpmX = FreeImage_GetDotsPerMeterX(rotated);
        const unsigned dpmY = FreeImage_GetDotsPerMeterY(rotated);
        FreeImage_CloneMetadata(rotated, _dib);
        FreeImage_SetDotsPerMeterX(rotated, dpmX);
        FreeImage_SetDotsPerMeterY(rotated, dpmY);
        replace(rotated);
    }
    return TRUE;
}

BOOL fipSuperImage::clearSubImage(int left, int top, int width, int height, RGBQUAD color)
{
    if (!isValid() || getImageType() != FIT_BITMAP || width <= 0 || height <= 0)
        return FALSE;
    const int right = std::min<int>(left + width, static_cast<int>(getWidth()));
    const int bottom = std::min<int>(top + height, static_cast<int>(getHeight()));
    left = std::max(left, 0);
    top = std::max(top, 0);
    if (left >= right || top >= bottom)
        return FALSE;
    // A view shares the image's pixels, so filling it fills the rectangle in place.
    FIBITMAP* view = FreeImage_CreateView(_dib, static_cast<unsigned>(left), static_cast<unsigned>(top),
                                          static_cast<unsigned>(right), static_cast<unsigned>(bottom));
    if (!view)
        return FALSE;
    const BOOL ok = FreeImage_FillBackground(view, &color, FI_COLOR_IS_RGB_COLOR);
    FreeImage_Unload(view);
    if (ok)
        _bHasChanged = TRUE;
    return ok;
}

BOOL fipSuperImage::cut(int left, int top, int width, int height, RGBQUAD color)
{
    fipSuperImage piece;
    if (!isValid() || width <= 0 || height <= 0
        || !copySubImage(piece, left, top, left + width, top + height) || !piece.copyToClipboard())
        return FALSE;
    return clearSubImage(left, top, width, height, color);
}

BOOL fipSuperImage::setCanvasSize(unsigned width, unsigned height, int position, RGBQUAD color)
{
    if (!isValid() || width == 0 || height == 0 || position < 0 || position > 8)
        return FALSE;
    const int dw = static_cast<int>(width) - static_cast<int>(getWidth());
    const int dh = static_cast<int>(height) - static_cast<int>(getHeight());
    // Column 0/1/2 of the position puts the image at the left, centre or right; row likewise.
    auto share = [](int delta, int slot) {
        switch (slot) {
        case 0: return std::pair{0, delta};
        case 1: return std::pair{delta / 2, delta - delta / 2};
        default: return std::pair{delta, 0};
        }
    };
    const auto [left, right] = share(dw, position % 3);
    const auto [top, bottom] = share(dh, position / 3);
    FIBITMAP* resized = FreeImage_EnlargeCanvas(_dib, left, top, right, bottom, &color,
                                                FI_COLOR_IS_RGB_COLOR);
    if (!resized)
        return FALSE;
    FreeImage_CloneMetadata(resized, _dib);
    replace(resized);
    return TRUE;
}

BOOL fipSuperImage::makeThumbnail(fipImage& dst, const fipImage& src, unsigned maxWidth,
                                  unsigned maxHeight, BOOL convert)
{
    if (!src.isValid() || maxWidth == 0 || maxHeight == 0)
        return FALSE;
    FIBITMAP* thumb = ImageLibrary::fitInside(const_cast<fipImage&>(src), maxWidth, maxHeight,
                                              convert != FALSE);
    if (!thumb)
        return FALSE;
    dst = thumb;
    return TRUE;
}

BOOL fipSuperImage::makeThumbnail(unsigned maxWidth, unsigned maxHeight, BOOL convert)
{
    fipSuperImage thumb;
    if (!makeThumbnail(thumb, *this, maxWidth, maxHeight, convert))
        return FALSE;
    *this = std::move(thumb);
    return TRUE;
}

BOOL fipSuperImage::replace(FIBITMAP* dib)
{
    return fipImage::replace(dib);
}
