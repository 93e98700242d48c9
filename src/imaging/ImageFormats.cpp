// Format lists and name filters, and fitting an image to what a format can store.

#include "ImageLibrary.h"
#include "fipSuperImage.h"

#include <QStringList>

#include <algorithm>
#include <vector>

namespace {

QStringList extensionsOf(FREE_IMAGE_FORMAT fif)
{
    const char* list = FreeImage_GetFIFExtensionList(fif);
    if (!list)
        return {};
    QStringList extensions = QString::fromLatin1(list).toLower().split(u',', Qt::SkipEmptyParts);
    for (QString& e : extensions)
        e = e.trimmed();
    return extensions;
}

QString filterEntry(FREE_IMAGE_FORMAT fif)
{
    QStringList patterns;
    for (const QString& e : extensionsOf(fif))
        patterns << QStringLiteral("*.") + e;
    const QString description = QString::fromLatin1(FreeImage_GetFIFDescription(fif));
    return QStringLiteral("%1 (%2)").arg(description, patterns.join(u' '));
}

bool isGreyPalette(FIBITMAP* dib)
{
    return FreeImage_GetColorType(dib) == FIC_MINISBLACK;
}

bool hasPalettes(FREE_IMAGE_FORMAT fif)
{
    switch (fif) {
    case FIF_BMP: case FIF_ICO: case FIF_PNG: case FIF_TIFF: case FIF_TARGA: case FIF_GIF: case FIF_XPM:
    case FIF_WBMP:
        return true;
    default:
        return false;
    }
}

FIBITMAP* toStandardBitmap(FIBITMAP* dib)
{
    switch (FreeImage_GetImageType(dib)) {
    case FIT_BITMAP:
        return FreeImage_Clone(dib);
    case FIT_RGBF:
    case FIT_RGBAF:
        // High dynamic range needs a tone mapping, not a linear cut.
        return FreeImage_ToneMapping(dib, FITMO_DRAGO03, 0, 0);
    // The library's standard-type conversion knows only single-channel types.
    case FIT_RGB16:
        return FreeImage_ConvertTo24Bits(dib);
    case FIT_RGBA16:
        return FreeImage_ConvertTo32Bits(dib);
    default:
        return FreeImage_ConvertToStandardType(dib, TRUE);
    }
}

// Converts a standard bitmap to `bpp` bits; nullptr when the library cannot.
FIBITMAP* toDepth(FIBITMAP* dib, unsigned bpp)
{
    switch (bpp) {
    case 1: {
        FIBITMAP* grey = FreeImage_ConvertToGreyscale(dib);
        if (!grey)
            return nullptr;
        FIBITMAP* mono = FreeImage_Dither(grey, FID_FS);
        FreeImage_Unload(grey);
        return mono;
    }
    case 4:
        return FreeImage_ConvertTo4Bits(dib);
    case 8: {
        if (FreeImage_GetBPP(dib) <= 8 || isGreyPalette(dib))
            return FreeImage_ConvertTo8Bits(dib);
        FIBITMAP* rgb = FreeImage_ConvertTo24Bits(dib);
        if (!rgb)
            return nullptr;
        FIBITMAP* quantised = FreeImage_ColorQuantize(rgb, FIQ_WUQUANT);
        FreeImage_Unload(rgb);
        return quantised;
    }
    case 16:
        return FreeImage_ConvertTo16Bits565(dib);
    case 24:
        return FreeImage_ConvertTo24Bits(dib);
    case 32:
        return FreeImage_ConvertTo32Bits(dib);
    default:
        return nullptr;
    }
}

// Whether the format's writer works here at all. Debian's JPEG XR writer fails on every
// image ("Invalid instruction") after copying overlapping memory, so it is never offered.
bool writerWorks(FREE_IMAGE_FORMAT fif)
{
    return FreeImage_FIFSupportsWriting(fif) && fif != FIF_JXR;
}

const std::vector<FREE_IMAGE_FORMAT>& workingWriters()
{
    static const std::vector<FREE_IMAGE_FORMAT> formats = [] {
        ImageLibrary::ensureInitialised();
        std::vector<FREE_IMAGE_FORMAT> list;
        for (int i = 0; i < FreeImage_GetFIFCount(); ++i)
            if (writerWorks(static_cast<FREE_IMAGE_FORMAT>(i)))
                list.push_back(static_cast<FREE_IMAGE_FORMAT>(i));
        return list;
    }();
    return formats;
}

}  // namespace

namespace ImageLibrary {

bool canStore(FREE_IMAGE_FORMAT fif, FIBITMAP* dib)
{
    const auto& writers = workingWriters();
    if (!dib || std::find(writers.begin(), writers.end(), fif) == writers.end())
        return false;
    const FREE_IMAGE_TYPE type = FreeImage_GetImageType(dib);
    if (type != FIT_BITMAP)
        return FreeImage_FIFSupportsExportType(fif, type) != FALSE;
    const unsigned bpp = FreeImage_GetBPP(dib);
    if (!FreeImage_FIFSupportsExportBPP(fif, static_cast<int>(bpp)))
        return false;
    // The format lists promise more than some writers keep: palette images written to
    // formats without palettes come out as grey indices (or inverted, in PBM), JPEG takes 32
    // bits only as CMYK, and only BMP records 5-6-5 masks. Those cases are converted instead.
    if (bpp <= 8 && !hasPalettes(fif) && !(bpp == 8 && isGreyPalette(dib)))
        return false;
    if (fif == FIF_JPEG && bpp == 32 && FreeImage_GetColorType(dib) != FIC_CMYK)
        return false;
    if (bpp == 16 && fif != FIF_BMP && FreeImage_GetGreenMask(dib) == FI16_565_GREEN_MASK)
        return false;
    return true;
}

FIBITMAP* convertForFormat(FIBITMAP* dib, FREE_IMAGE_FORMAT fif)
{
    const auto& writers = workingWriters();
    if (!dib || std::find(writers.begin(), writers.end(), fif) == writers.end())
        return nullptr;
    if (canStore(fif, dib))
        return dib;
    FIBITMAP* standard = toStandardBitmap(dib);
    if (!standard)
        return nullptr;
    if (canStore(fif, standard)) {
        FreeImage_CloneMetadata(standard, dib);
        return standard;
    }
    // The nearest depth the format takes: keep colour and alpha where possible.
    const unsigned bpp = FreeImage_GetBPP(standard);
    std::vector<unsigned> order;
    if (bpp == 32)
        order = {24, 8, 4, 1};
    else if (bpp == 24 || bpp == 16)
        order = {24, 32, 8, 4, 1};
    else
        order = {8, 24, 32, 4, 1};
    FIBITMAP* result = nullptr;
    for (unsigned candidate : order) {
        if (!FreeImage_FIFSupportsExportBPP(fif, static_cast<int>(candidate)))
            continue;
        FIBITMAP* converted = toDepth(standard, candidate);
        if (converted && canStore(fif, converted)) {
            result = converted;
            break;
        }
        if (converted)
            FreeImage_Unload(converted);
    }
    FreeImage_Unload(standard);
    if (result) {
        FreeImage_CloneMetadata(result, dib);
        FreeImage_SetDotsPerMeterX(result, FreeImage_GetDotsPerMeterX(dib));
        FreeImage_SetDotsPerMeterY(result, FreeImage_GetDotsPerMeterY(dib));
    }
    return result;
}

}  // namespace ImageLibrary

QString fipSuperImage::getOpenFileFilter()
{
    ImageLibrary::ensureInitialised();
    QStringList all;
    QStringList entries;
    for (int i = 0; i < FreeImage_GetFIFCount(); ++i) {
        const auto fif = static_cast<FREE_IMAGE_FORMAT>(i);
        if (!FreeImage_FIFSupportsReading(fif))
            continue;
        for (const QString& e : extensionsOf(fif))
            all << QStringLiteral("*.") + e;
        entries << filterEntry(fif);
    }
    all.removeDuplicates();
    return QStringLiteral("All image files (%1);;").arg(all.join(u' ')) + entries.join(QStringLiteral(";;"))
           + QStringLiteral(";;All files (*)");
}

QString fipSuperImage::getSaveFileFilter() const
{
    QStringList entries;
    for (FREE_IMAGE_FORMAT fif : getSupportsWritingFormats()) {
        // Formats that cannot take this image even after a depth conversion are left out.
        if (getImageType() != FIT_BITMAP && !FreeImage_FIFSupportsExportType(fif, getImageType())
            && !FreeImage_FIFSupportsExportType(fif, FIT_BITMAP))
            continue;
        entries << filterEntry(fif);
    }
    return entries.join(QStringLiteral(";;"));
}

const std::vector<QString>& fipSuperImage::getAllFifExtList()
{
    static const std::vector<QString> list = [] {
        ImageLibrary::ensureInitialised();
        QStringList all;
        for (int i = 0; i < FreeImage_GetFIFCount(); ++i) {
            const auto fif = static_cast<FREE_IMAGE_FORMAT>(i);
            if (FreeImage_FIFSupportsReading(fif))
                all << extensionsOf(fif);
        }
        all.removeDuplicates();
        return std::vector<QString>(all.begin(), all.end());
    }();
    return list;
}

bool fipSuperImage::isImageExtension(const QString& extension)
{
    const QString lower = extension.toLower();
    const auto& list = getAllFifExtList();
    return !lower.isEmpty() && std::find(list.begin(), list.end(), lower) != list.end();
}

std::vector<FREE_IMAGE_FORMAT> fipSuperImage::getSupportsWritingFormats()
{
    return workingWriters();
}

QString fipSuperImage::getFIFExtension(FREE_IMAGE_FORMAT fif)
{
    ImageLibrary::ensureInitialised();
    const QStringList extensions = extensionsOf(fif);
    return extensions.isEmpty() ? QString() : extensions.front();
}
