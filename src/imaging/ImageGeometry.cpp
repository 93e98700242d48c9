// Exact quarter-turn rotation and fitting into a box.

#include "ImageLibrary.h"
#include "imaging/geometry/Resample.h"

#include <FreeImagePlus.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Pixel access by bit position, for every depth from 1 to 128 bits.
unsigned pixelBits(const BYTE* line, unsigned x, unsigned bpp)
{
    if (bpp == 1)
        return (line[x >> 3] >> (7 - (x & 7))) & 1u;
    const unsigned shift = (x & 1u) ? 0 : 4;  // 4-bit: high nibble is the left pixel
    return (line[x >> 1] >> shift) & 0x0Fu;
}

void setPixelBits(BYTE* line, unsigned x, unsigned bpp, unsigned value)
{
    if (bpp == 1) {
        const BYTE mask = static_cast<BYTE>(0x80u >> (x & 7));
        line[x >> 3] = value ? (line[x >> 3] | mask) : (line[x >> 3] & ~mask);
        return;
    }
    const unsigned shift = (x & 1u) ? 0 : 4;
    line[x >> 1] = static_cast<BYTE>((line[x >> 1] & ~(0x0Fu << shift)) | ((value & 0x0Fu) << shift));
}

FIBITMAP* allocateLike(FIBITMAP* src, unsigned width, unsigned height)
{
    FIBITMAP* dst = FreeImage_AllocateT(FreeImage_GetImageType(src), static_cast<int>(width),
                                        static_cast<int>(height), static_cast<int>(FreeImage_GetBPP(src)),
                                        FreeImage_GetRedMask(src), FreeImage_GetGreenMask(src),
                                        FreeImage_GetBlueMask(src));
    if (!dst)
        return nullptr;
    if (FreeImage_GetPalette(src) && FreeImage_GetPalette(dst))
        std::memcpy(FreeImage_GetPalette(dst), FreeImage_GetPalette(src),
                    FreeImage_GetColorsUsed(src) * sizeof(RGBQUAD));
    if (FreeImage_GetTransparencyCount(src) > 0)
        FreeImage_SetTransparencyTable(dst, FreeImage_GetTransparencyTable(src),
                                       static_cast<int>(FreeImage_GetTransparencyCount(src)));
    FreeImage_SetTransparent(dst, FreeImage_IsTransparent(src));
    RGBQUAD bk;
    if (FreeImage_GetBackgroundColor(src, &bk))
        FreeImage_SetBackgroundColor(dst, &bk);
    if (FIICCPROFILE* icc = FreeImage_GetICCProfile(src); icc && icc->size > 0)
        FreeImage_CreateICCProfile(dst, icc->data, static_cast<long>(icc->size));
    return dst;
}

}  // namespace

namespace ImageLibrary {

FIBITMAP* rotateQuarterTurns(FIBITMAP* src, int quarterTurns)
{
    quarterTurns = ((quarterTurns % 4) + 4) % 4;
    if (!src || !FreeImage_HasPixels(src))
        return nullptr;
    if (quarterTurns == 0)
        return FreeImage_Clone(src);
    const unsigned w = FreeImage_GetWidth(src);
    const unsigned h = FreeImage_GetHeight(src);
    const bool swap = quarterTurns != 2;
    const unsigned dw = swap ? h : w;
    const unsigned dh = swap ? w : h;
    FIBITMAP* dst = allocateLike(src, dw, dh);
    if (!dst)
        return nullptr;
    const unsigned bpp = FreeImage_GetBPP(src);
    const unsigned bytes = bpp / 8;

    // Rows are counted from the top here; the library stores the bottom row first.
    auto srcRow = [&](unsigned r) { return FreeImage_GetScanLine(src, static_cast<int>(h - 1 - r)); };
    for (unsigned r = 0; r < dh; ++r) {
        BYTE* out = FreeImage_GetScanLine(dst, static_cast<int>(dh - 1 - r));
        for (unsigned c = 0; c < dw; ++c) {
            unsigned sr = 0;
            unsigned sc = 0;
            switch (quarterTurns) {
            case 1: sr = c; sc = w - 1 - r; break;          // counter-clockwise
            case 2: sr = h - 1 - r; sc = w - 1 - c; break;
            default: sr = h - 1 - c; sc = r; break;         // clockwise
            }
            const BYTE* in = srcRow(sr);
            if (bytes > 0)
                std::memcpy(out + static_cast<size_t>(c) * bytes, in + static_cast<size_t>(sc) * bytes, bytes);
            else
                setPixelBits(out, c, bpp, pixelBits(in, sc, bpp));
        }
    }
    FreeImage_SetDotsPerMeterX(dst, swap ? FreeImage_GetDotsPerMeterY(src) : FreeImage_GetDotsPerMeterX(src));
    FreeImage_SetDotsPerMeterY(dst, swap ? FreeImage_GetDotsPerMeterX(src) : FreeImage_GetDotsPerMeterY(src));
    return dst;
}

namespace {

// A bitmap seen through fipImage's interface without taking it over.
class BorrowedImage : public fipImage {
public:
    explicit BorrowedImage(FIBITMAP* dib) { _dib = dib; }
    ~BorrowedImage() override { _dib = nullptr; }
    BorrowedImage(const BorrowedImage&) = delete;
    BorrowedImage& operator=(const BorrowedImage&) = delete;
};

}  // namespace

FIBITMAP* fitInside(fipImage& src, unsigned maxWidth, unsigned maxHeight, bool convert)
{
    FIBITMAP* dib = src;
    if (!dib || maxWidth == 0 || maxHeight == 0)
        return nullptr;
    FIBITMAP* standard = nullptr;
    if (convert && FreeImage_GetImageType(dib) != FIT_BITMAP) {
        standard = FreeImage_ConvertToStandardType(dib, TRUE);
        if (!standard)
            return nullptr;
        dib = standard;
    }
    const unsigned w = FreeImage_GetWidth(dib);
    const unsigned h = FreeImage_GetHeight(dib);
    FIBITMAP* result = nullptr;
    if (w <= maxWidth && h <= maxHeight) {
        result = FreeImage_Clone(dib);
    } else {
        unsigned nw = maxWidth;
        unsigned nh = maxHeight;
        if (static_cast<double>(maxHeight) * w < static_cast<double>(maxWidth) * h)
            nw = static_cast<unsigned>(std::lround(static_cast<double>(w) / h * maxHeight));
        else
            nh = static_cast<unsigned>(std::lround(static_cast<double>(h) / w * maxWidth));
        nw = std::max(1u, std::min(nw, maxWidth));
        nh = std::max(1u, std::min(nh, maxHeight));
        // Our reduction runs on every core with the library's bilinear weights; images it
        // leaves alone go to the library's own rescale.
        const BorrowedImage source(dib);
        fipImage reduced;
        if (Resample::rescale(source, reduced, nw, nh, FILTER_BILINEAR))
            result = FreeImage_Clone(reduced);
        else
            result = FreeImage_Rescale(dib, static_cast<int>(nw), static_cast<int>(nh), FILTER_BILINEAR);
    }
    if (standard)
        FreeImage_Unload(standard);
    return result;
}

}  // namespace ImageLibrary
