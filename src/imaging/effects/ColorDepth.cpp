// Colour depth: greyscale conversion, depth changes with optional grey levels and colour
// limits, and counting the distinct colours of a picture.

#include "imaging/effects/PixelAccess.h"
#include "imaging/fipSuperImage.h"

#include <memory>
#include <unordered_map>
#include <vector>

namespace {

using namespace kelvra::fx;

struct DibDeleter {
    void operator()(FIBITMAP* dib) const { FreeImage_Unload(dib); }
};
using DibPtr = std::unique_ptr<FIBITMAP, DibDeleter>;

std::uint32_t packed(const BYTE* p) {
    return (std::uint32_t(p[FI_RGBA_RED]) << 16) | (std::uint32_t(p[FI_RGBA_GREEN]) << 8) | p[FI_RGBA_BLUE];
}

bool hasTransparency(FIBITMAP* dib) {
    const unsigned width = FreeImage_GetWidth(dib), height = FreeImage_GetHeight(dib);
    for (unsigned y = 0; y < height; ++y) {
        const BYTE* p = FreeImage_GetScanLine(dib, int(y));
        for (unsigned x = 0; x < width; ++x)
            if (p[4 * x + FI_RGBA_ALPHA] != 255)
                return true;
    }
    return false;
}

// An 8-bit image with `levels` evenly spaced greys (index i is grey round(i × 255 / (levels − 1)))
// holding each pixel's luminance rounded to the nearest level.
DibPtr greyLevels(FIBITMAP* rgb, unsigned levels) {
    const unsigned width = FreeImage_GetWidth(rgb), height = FreeImage_GetHeight(rgb);
    DibPtr out(FreeImage_Allocate(int(width), int(height), 8));
    if (!out)
        return nullptr;
    RGBQUAD* palette = FreeImage_GetPalette(out.get());
    for (unsigned i = 0; i < 256; ++i) {
        const BYTE v = i < levels ? BYTE((i * 255 + (levels - 1) / 2) / (levels - 1)) : 0;
        palette[i] = RGBQUAD{v, v, v, 0};
    }
    std::array<BYTE, 256> levelOf{};
    for (unsigned v = 0; v < 256; ++v)
        levelOf[v] = BYTE((v * (levels - 1) + 127) / 255);
    for (unsigned y = 0; y < height; ++y) {
        const BYTE* p = FreeImage_GetScanLine(rgb, int(y));
        BYTE* q = FreeImage_GetScanLine(out.get(), int(y));
        for (unsigned x = 0; x < width; ++x, p += 3)
            q[x] = levelOf[luminance(p[FI_RGBA_RED], p[FI_RGBA_GREEN], p[FI_RGBA_BLUE])];
    }
    return out;
}

// An 8-bit palette image of at most `colours` colours: the image's own colours when it has
// that few, else Wu's quantiser's choice.
DibPtr quantize(FIBITMAP* rgb, unsigned colours) {
    const unsigned width = FreeImage_GetWidth(rgb), height = FreeImage_GetHeight(rgb);
    std::unordered_map<std::uint32_t, BYTE> found;
    bool few = true;
    for (unsigned y = 0; y < height && few; ++y) {
        const BYTE* p = FreeImage_GetScanLine(rgb, int(y));
        for (unsigned x = 0; x < width && few; ++x, p += 3)
            if (found.try_emplace(packed(p), BYTE(found.size())).second && found.size() > colours)
                few = false;
    }
    if (!few)
        return DibPtr(FreeImage_ColorQuantizeEx(rgb, FIQ_WUQUANT, int(colours), 0, nullptr));

    DibPtr out(FreeImage_Allocate(int(width), int(height), 8));
    if (!out)
        return nullptr;
    RGBQUAD* palette = FreeImage_GetPalette(out.get());
    std::fill(palette, palette + 256, RGBQUAD{0, 0, 0, 0});
    for (const auto& [colour, index] : found)
        palette[index] = RGBQUAD{BYTE(colour), BYTE(colour >> 8), BYTE(colour >> 16), 0};
    for (unsigned y = 0; y < height; ++y) {
        const BYTE* p = FreeImage_GetScanLine(rgb, int(y));
        BYTE* q = FreeImage_GetScanLine(out.get(), int(y));
        for (unsigned x = 0; x < width; ++x, p += 3)
            q[x] = found.at(packed(p));
    }
    return out;
}

DibPtr packTo4Bits(FIBITMAP* dib8) {
    const unsigned width = FreeImage_GetWidth(dib8), height = FreeImage_GetHeight(dib8);
    DibPtr out(FreeImage_Allocate(int(width), int(height), 4));
    if (!out)
        return nullptr;
    std::copy(FreeImage_GetPalette(dib8), FreeImage_GetPalette(dib8) + 16, FreeImage_GetPalette(out.get()));
    for (unsigned y = 0; y < height; ++y) {
        const BYTE* p = FreeImage_GetScanLine(dib8, int(y));
        BYTE* q = FreeImage_GetScanLine(out.get(), int(y));
        for (unsigned x = 0; x < width; ++x)
            q[x / 2] = (x & 1) ? BYTE(q[x / 2] | (p[x] & 0x0F)) : BYTE((p[x] & 0x0F) << 4);
    }
    return out;
}

// Writes the colours of an 8-bit palette image into a 24- or 32-bit image of the same size,
// leaving its alpha alone.
void paintFromPalette(FIBITMAP* target, FIBITMAP* dib8) {
    const unsigned width = FreeImage_GetWidth(target), height = FreeImage_GetHeight(target);
    const unsigned step = FreeImage_GetBPP(target) / 8;
    const RGBQUAD* palette = FreeImage_GetPalette(dib8);
    for (unsigned y = 0; y < height; ++y) {
        const BYTE* p = FreeImage_GetScanLine(dib8, int(y));
        BYTE* q = FreeImage_GetScanLine(target, int(y));
        for (unsigned x = 0; x < width; ++x, q += step) {
            q[FI_RGBA_RED] = palette[p[x]].rgbRed;
            q[FI_RGBA_GREEN] = palette[p[x]].rgbGreen;
            q[FI_RGBA_BLUE] = palette[p[x]].rgbBlue;
        }
    }
}

DibPtr convertDepth(FIBITMAP* dib, unsigned bpp, bool grey, unsigned maxColors) {
    if (bpp == 1)
        return DibPtr(FreeImage_Dither(dib, FID_FS));
    const DibPtr rgb(FreeImage_ConvertTo24Bits(dib));
    if (!rgb)
        return nullptr;
    const unsigned colours = maxColors ? maxColors : (bpp == 4 ? 16 : 256);

    if (bpp == 4 || bpp == 8) {
        DibPtr dib8 = grey ? greyLevels(rgb.get(), colours) : quantize(rgb.get(), colours);
        return bpp == 4 && dib8 ? packTo4Bits(dib8.get()) : std::move(dib8);
    }
    // 24 or 32 bits.
    DibPtr out(bpp == 24 ? FreeImage_Clone(rgb.get()) : FreeImage_ConvertTo32Bits(dib));
    if (!out)
        return nullptr;
    if (grey || maxColors) {
        const DibPtr dib8 = grey ? greyLevels(rgb.get(), colours) : quantize(rgb.get(), colours);
        if (!dib8)
            return nullptr;
        paintFromPalette(out.get(), dib8.get());
    }
    return out;
}

}  // namespace

BOOL fipSuperImage::convertToGrayscale() {
    if (!isBitmap(_dib))
        return FALSE;
    if (getBPP() == 32 && hasTransparency(_dib)) {
        mapColours(_dib, [](Rgb c) {
            const BYTE v = luminance(c.r, c.g, c.b);
            return Rgb{v, v, v};
        });
        _bHasChanged = TRUE;
        return TRUE;
    }
    FIBITMAP* grey = FreeImage_ConvertToGreyscale(_dib);
    if (!grey)
        return FALSE;
    copyImageInfo(grey, _dib);
    return fipImage::replace(grey);
}

BOOL fipSuperImage::adjustBPP(WORD bpp, BOOL grey, WORD maxColors) {
    if (!isBitmap(_dib) || (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32))
        return FALSE;
    if (maxColors != 0 && (maxColors < 2 || maxColors > (bpp == 4 ? 16 : 256)))
        return FALSE;
    if (bpp >= 24 && bpp == getBPP() && !grey && maxColors == 0)
        return TRUE;
    DibPtr converted = convertDepth(_dib, bpp, grey != FALSE, maxColors);
    if (!converted)
        return FALSE;
    copyImageInfo(converted.get(), _dib);
    return fipImage::replace(converted.release());
}

// Palette images count the distinct colours of the entries their pixels use; 24- and 32-bit
// images mark colours in a 2 MB bit set when that is small next to the image, else sort them.
unsigned fipSuperImage::getUniqueColors() const {
    if (!isBitmap(_dib))
        return 0;
    const unsigned width = getWidth(), height = getHeight(), bpp = getBPP();
    std::size_t count = 0;

    if (bpp <= 8) {
        std::vector<bool> used(std::size_t(1) << bpp);
        for (unsigned y = 0; y < height; ++y) {
            const BYTE* line = FreeImage_GetScanLine(_dib, int(y));
            for (unsigned x = 0; x < width; ++x)
                used[paletteIndex(line, x, bpp)] = true;
        }
        const RGBQUAD* palette = FreeImage_GetPalette(_dib);
        const unsigned entries = std::min<unsigned>(FreeImage_GetColorsUsed(_dib), unsigned(used.size()));
        std::vector<std::uint32_t> colours;
        for (unsigned i = 0; i < entries; ++i)
            if (used[i])
                colours.push_back((std::uint32_t(palette[i].rgbRed) << 16) | (palette[i].rgbGreen << 8) | palette[i].rgbBlue);
        std::sort(colours.begin(), colours.end());
        return unsigned(std::unique(colours.begin(), colours.end()) - colours.begin());
    }
    if (bpp == 16) {
        const bool six = is565(_dib);
        std::vector<bool> seen(65536);
        for (unsigned y = 0; y < height; ++y) {
            const WORD* line = reinterpret_cast<const WORD*>(FreeImage_GetScanLine(_dib, int(y)));
            for (unsigned x = 0; x < width; ++x) {
                const WORD v = six ? line[x] : WORD(line[x] & 0x7FFF);
                count += seen[v] ? 0 : 1;
                seen[v] = true;
            }
        }
        return unsigned(count);
    }
    if (bpp != 24 && bpp != 32)
        return 0;
    const unsigned step = bpp / 8;
    const std::size_t pixels = std::size_t(width) * height;
    if (pixels * 4 >= (std::size_t(1) << 21)) {
        std::vector<std::uint64_t> seen((std::size_t(1) << 24) / 64);
        for (unsigned y = 0; y < height; ++y) {
            const BYTE* p = FreeImage_GetScanLine(_dib, int(y));
            for (unsigned x = 0; x < width; ++x, p += step) {
                const std::uint32_t c = packed(p);
                seen[c >> 6] |= std::uint64_t(1) << (c & 63);
            }
        }
        for (const std::uint64_t word : seen)
            count += std::size_t(__builtin_popcountll(word));
        return unsigned(count);
    }
    std::vector<std::uint32_t> colours;
    colours.reserve(pixels);
    for (unsigned y = 0; y < height; ++y) {
        const BYTE* p = FreeImage_GetScanLine(_dib, int(y));
        for (unsigned x = 0; x < width; ++x, p += step)
            colours.push_back(packed(p));
    }
    std::sort(colours.begin(), colours.end());
    return unsigned(std::unique(colours.begin(), colours.end()) - colours.begin());
}
