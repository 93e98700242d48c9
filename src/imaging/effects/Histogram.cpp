#include "imaging/effects/Histogram.h"

#include "imaging/effects/PixelAccess.h"

#include <vector>

namespace kelvra::fx {

namespace {

BYTE channelOf(Rgb c, FREE_IMAGE_COLOR_CHANNEL channel) {
    switch (channel) {
    case FICC_RED: return c.r;
    case FICC_GREEN: return c.g;
    case FICC_BLUE: return c.b;
    default: return luminance(c.r, c.g, c.b);
    }
}

}  // namespace

bool histogram(FIBITMAP* dib, DWORD* histo, FREE_IMAGE_COLOR_CHANNEL channel) {
    if (!histo || !hasPixels(dib))
        return false;
    if (channel != FICC_RED && channel != FICC_GREEN && channel != FICC_BLUE &&
        channel != FICC_BLACK && channel != FICC_RGB)
        return false;
    const FREE_IMAGE_TYPE type = FreeImage_GetImageType(dib);
    const unsigned width = FreeImage_GetWidth(dib), height = FreeImage_GetHeight(dib);
    const unsigned bpp = FreeImage_GetBPP(dib);
    std::vector<DWORD> counts(256, 0);

    if (type == FIT_BITMAP && bpp <= 8) {
        const RGBQUAD* palette = FreeImage_GetPalette(dib);
        const unsigned entries = std::min(FreeImage_GetColorsUsed(dib), 1u << bpp);
        if (!palette || entries == 0)
            return false;
        std::vector<DWORD> perIndex(std::size_t(1) << bpp, 0);
        for (unsigned y = 0; y < height; ++y) {
            const BYTE* line = FreeImage_GetScanLine(dib, int(y));
            for (unsigned x = 0; x < width; ++x)
                ++perIndex[paletteIndex(line, x, bpp)];
        }
        for (std::size_t i = 0; i < perIndex.size(); ++i) {
            const RGBQUAD& q = palette[std::min<std::size_t>(i, entries - 1)];
            counts[channelOf({q.rgbRed, q.rgbGreen, q.rgbBlue}, channel)] += perIndex[i];
        }
    } else if (type == FIT_BITMAP && bpp == 16) {
        const bool six = is565(dib);
        for (unsigned y = 0; y < height; ++y) {
            const WORD* line = reinterpret_cast<const WORD*>(FreeImage_GetScanLine(dib, int(y)));
            for (unsigned x = 0; x < width; ++x)
                ++counts[channelOf(unpack16(line[x], six), channel)];
        }
    } else if (type == FIT_BITMAP && (bpp == 24 || bpp == 32)) {
        const unsigned step = bpp / 8;
        for (unsigned y = 0; y < height; ++y) {
            const BYTE* p = FreeImage_GetScanLine(dib, int(y));
            for (unsigned x = 0; x < width; ++x, p += step)
                ++counts[channelOf({p[FI_RGBA_RED], p[FI_RGBA_GREEN], p[FI_RGBA_BLUE]}, channel)];
        }
    } else if (type == FIT_UINT16 || type == FIT_RGB16 || type == FIT_RGBA16) {
        const unsigned channels = type == FIT_UINT16 ? 1 : (type == FIT_RGB16 ? 3 : 4);
        for (unsigned y = 0; y < height; ++y) {
            const WORD* p = reinterpret_cast<const WORD*>(FreeImage_GetScanLine(dib, int(y)));
            for (unsigned x = 0; x < width; ++x, p += channels) {
                const Rgb c = channels == 1 ? Rgb{BYTE(p[0] >> 8), BYTE(p[0] >> 8), BYTE(p[0] >> 8)}
                                            : Rgb{BYTE(p[0] >> 8), BYTE(p[1] >> 8), BYTE(p[2] >> 8)};
                ++counts[channelOf(c, channel)];
            }
        }
    } else {
        return false;
    }
    std::copy(counts.begin(), counts.end(), histo);
    return true;
}

}  // namespace kelvra::fx
