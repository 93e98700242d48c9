// The image on screen and on the clipboard: conversions to and from QImage and drawing.

#include "ImageLibrary.h"
#include "fipSuperImage.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <cstring>

namespace {

// Rows of a QImage from a standard bitmap of 8, 24 or 32 bits (the library keeps the
// bottom row first, in blue-green-red order on this platform).
QImage fromStandardBitmap(FIBITMAP* dib)
{
    const int w = static_cast<int>(FreeImage_GetWidth(dib));
    const int h = static_cast<int>(FreeImage_GetHeight(dib));
    const unsigned bpp = FreeImage_GetBPP(dib);
    QImage::Format format = QImage::Format_Invalid;
    switch (bpp) {
    case 1: format = QImage::Format_Mono; break;
    case 8: format = QImage::Format_Indexed8; break;
    case 24: format = QImage::Format_BGR888; break;
    case 32: format = QImage::Format_ARGB32; break;
    default: return {};
    }
    QImage image(w, h, format);
    if (image.isNull())
        return {};
    const size_t lineBytes = std::min<size_t>(FreeImage_GetLine(dib), static_cast<size_t>(image.bytesPerLine()));
    for (int y = 0; y < h; ++y)
        std::memcpy(image.scanLine(y), FreeImage_GetScanLine(dib, h - 1 - y), lineBytes);
    if (bpp <= 8) {
        const RGBQUAD* palette = FreeImage_GetPalette(dib);
        const unsigned colours = FreeImage_GetColorsUsed(dib);
        const BYTE* alpha = FreeImage_IsTransparent(dib) ? FreeImage_GetTransparencyTable(dib) : nullptr;
        const unsigned alphaCount = FreeImage_GetTransparencyCount(dib);
        QList<QRgb> table(static_cast<qsizetype>(colours));
        for (unsigned i = 0; i < colours; ++i)
            table[i] = qRgba(palette[i].rgbRed, palette[i].rgbGreen, palette[i].rgbBlue,
                             alpha && i < alphaCount ? alpha[i] : 255);
        image.setColorTable(table);
    }
    image.setDotsPerMeterX(static_cast<int>(FreeImage_GetDotsPerMeterX(dib)));
    image.setDotsPerMeterY(static_cast<int>(FreeImage_GetDotsPerMeterY(dib)));
    // A 32-bit bitmap without transparency is opaque whatever its fourth byte holds.
    if (bpp == 32 && !FreeImage_IsTransparent(dib))
        image.reinterpretAsFormat(QImage::Format_RGB32);
    return image;
}

bool floatsWithinUnitRange(FIBITMAP* dib)
{
    const unsigned channels = FreeImage_GetImageType(dib) == FIT_RGBAF ? 4 : 3;
    const unsigned width = FreeImage_GetWidth(dib) * channels;
    for (unsigned y = 0; y < FreeImage_GetHeight(dib); ++y) {
        const auto* line = reinterpret_cast<const float*>(FreeImage_GetScanLine(dib, static_cast<int>(y)));
        for (unsigned i = 0; i < width; ++i) {
            if (!(line[i] >= 0.0f && line[i] <= 1.0f))
                return false;
        }
    }
    return true;
}

// Floats within 0..1 scaled to bytes: 24 bits, or 32 with alpha.
FIBITMAP* unitFloatsTo8Bits(FIBITMAP* dib)
{
    const bool alpha = FreeImage_GetImageType(dib) == FIT_RGBAF;
    const unsigned channels = alpha ? 4 : 3;
    const unsigned width = FreeImage_GetWidth(dib), height = FreeImage_GetHeight(dib);
    FIBITMAP* out = FreeImage_Allocate(static_cast<int>(width), static_cast<int>(height), alpha ? 32 : 24,
                                       FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK);
    if (!out)
        return nullptr;
    const unsigned bytes = alpha ? 4 : 3;
    auto toByte = [](float v) { return static_cast<BYTE>(v * 255.0f + 0.5f); };
    for (unsigned y = 0; y < height; ++y) {
        const auto* src = reinterpret_cast<const float*>(FreeImage_GetScanLine(dib, static_cast<int>(y)));
        BYTE* dst = FreeImage_GetScanLine(out, static_cast<int>(y));
        for (unsigned x = 0; x < width; ++x, src += channels, dst += bytes) {
            dst[FI_RGBA_RED] = toByte(src[0]);
            dst[FI_RGBA_GREEN] = toByte(src[1]);
            dst[FI_RGBA_BLUE] = toByte(src[2]);
            if (alpha)
                dst[FI_RGBA_ALPHA] = toByte(src[3]);
        }
    }
    FreeImage_SetTransparent(out, alpha ? TRUE : FALSE);
    return out;
}

}  // namespace

QImage fipSuperImage::toQImage() const
{
    if (!isValid())
        return {};
    const unsigned bpp = getBPP();
    if (getImageType() == FIT_BITMAP && (bpp == 1 || bpp == 8 || bpp == 24 || bpp == 32))
        return fromStandardBitmap(_dib);
    // Other depths and types go through a standard bitmap made for drawing only; the image
    // itself keeps its depth. 16 bits a channel keep their high byte, floating point is tone
    // mapped, and single-channel types are scaled to their range as grey.
    FIBITMAP* standard = nullptr;
    switch (getImageType()) {
    case FIT_BITMAP:
        standard = bpp == 4 ? FreeImage_ConvertTo8Bits(_dib) : FreeImage_ConvertTo24Bits(_dib);
        break;
    case FIT_RGB16:
        standard = FreeImage_ConvertTo24Bits(_dib);
        break;
    case FIT_RGBA16:
        standard = FreeImage_ConvertTo32Bits(_dib);
        if (standard)
            FreeImage_SetTransparent(standard, TRUE);
        break;
    case FIT_RGBF:
    case FIT_RGBAF:
        // Values within 0..1 are an ordinary picture stored as floats; only a wider range
        // needs tone mapping (which would brighten an ordinary picture).
        if (floatsWithinUnitRange(_dib))
            standard = unitFloatsTo8Bits(_dib);
        else
            standard = FreeImage_ToneMapping(_dib, FITMO_DRAGO03, 0, 0);
        break;
    default:
        standard = FreeImage_ConvertToStandardType(_dib, TRUE);
        break;
    }
    if (!standard)
        return {};
    if (FreeImage_GetBPP(standard) != 8 && FreeImage_GetBPP(standard) != 24
        && FreeImage_GetBPP(standard) != 32) {
        FIBITMAP* rgb = FreeImage_ConvertTo24Bits(standard);
        FreeImage_Unload(standard);
        standard = rgb;
        if (!standard)
            return {};
    }
    QImage image = fromStandardBitmap(standard);
    FreeImage_Unload(standard);
    return image;
}

BOOL fipSuperImage::copyFromQImage(const QImage& source)
{
    if (source.isNull())
        return FALSE;
    QImage image;
    unsigned bpp = 24;
    if (source.hasAlphaChannel()) {
        image = source.convertToFormat(QImage::Format_ARGB32);
        bpp = 32;
    } else if (source.isGrayscale() && source.depth() <= 8) {
        image = source.convertToFormat(QImage::Format_Grayscale8);
        bpp = 8;
    } else {
        image = source.convertToFormat(QImage::Format_BGR888);
    }
    if (image.isNull())
        return FALSE;
    FIBITMAP* dib = FreeImage_Allocate(image.width(), image.height(), static_cast<int>(bpp),
                                       FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK);
    if (!dib)
        return FALSE;
    if (bpp == 8) {
        RGBQUAD* palette = FreeImage_GetPalette(dib);
        for (int i = 0; i < 256; ++i)
            palette[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
    }
    const size_t lineBytes = static_cast<size_t>(image.width()) * (bpp / 8);
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(FreeImage_GetScanLine(dib, image.height() - 1 - y), image.constScanLine(y), lineBytes);
    if (bpp == 32)
        FreeImage_SetTransparent(dib, TRUE);
    FreeImage_SetDotsPerMeterX(dib, static_cast<unsigned>(std::max(0, image.dotsPerMeterX())));
    FreeImage_SetDotsPerMeterY(dib, static_cast<unsigned>(std::max(0, image.dotsPerMeterY())));
    replace(dib);
    return TRUE;
}

void fipSuperImage::drawEx(QPainter& painter, const QRect& rect, bool fillBackground, QRgb background) const
{
    if (fillBackground)
        painter.fillRect(painter.window(), QColor::fromRgb(background));
    if (!isValid() || rect.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(rect, toQImage());
    painter.restore();
}

BOOL fipSuperImage::copyToClipboard() const
{
    const QImage image = toQImage();
    if (image.isNull())
        return FALSE;
    QGuiApplication::clipboard()->setImage(image);
    return TRUE;
}

BOOL fipSuperImage::pasteFromClipboard()
{
    return copyFromQImage(QGuiApplication::clipboard()->image());
}

BOOL fipSuperImage::convertFromRawBits(const BYTE* bits, int width, int height, int pitch, unsigned bpp,
                                       unsigned redMask, unsigned greenMask, unsigned blueMask,
                                       BOOL topDown)
{
    if (!bits || width <= 0 || height <= 0)
        return FALSE;
    FIBITMAP* dib = FreeImage_ConvertFromRawBits(const_cast<BYTE*>(bits), width, height, pitch, bpp,
                                                 redMask, greenMask, blueMask, topDown);
    if (!dib)
        return FALSE;
    replace(dib);
    return TRUE;
}
