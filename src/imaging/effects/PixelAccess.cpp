#include "imaging/effects/PixelAccess.h"

#include "imaging/ImageLibrary.h"

#include <memory>
#include <new>
#include <unordered_map>
#include <vector>

namespace kelvra::fx {

namespace {

struct DibDeleter {
    void operator()(FIBITMAP* dib) const { FreeImage_Unload(dib); }
};
using DibPtr = std::unique_ptr<FIBITMAP, DibDeleter>;

unsigned paletteIndexImpl(const BYTE* line, unsigned x, unsigned bpp) {
    switch (bpp) {
    case 1: return (line[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4: return (x & 1) ? (line[x >> 1] & 0x0Fu) : (line[x >> 1] >> 4);
    default: return line[x];
    }
}

void setPaletteIndex(BYTE* line, unsigned x, unsigned bpp, unsigned index) {
    switch (bpp) {
    case 1: {
        const BYTE bit = BYTE(0x80u >> (x & 7));
        line[x >> 3] = index ? BYTE(line[x >> 3] | bit) : BYTE(line[x >> 3] & ~bit);
        break;
    }
    case 4:
        if (x & 1)
            line[x >> 1] = BYTE((line[x >> 1] & 0xF0u) | (index & 0x0Fu));
        else
            line[x >> 1] = BYTE((line[x >> 1] & 0x0Fu) | ((index & 0x0Fu) << 4));
        break;
    default: line[x] = BYTE(index);
    }
}

// 5- and 6-bit fields widened with rounding; narrowing with rounding restores them exactly.
inline BYTE widen(unsigned v, unsigned maxValue) { return BYTE((v * 255 + maxValue / 2) / maxValue); }
inline unsigned narrow(BYTE v, unsigned maxValue) { return (unsigned(v) * maxValue + 127) / 255; }

WORD pack16(Rgb c, bool six) {
    if (six)
        return WORD((narrow(c.r, 31) << 11) | (narrow(c.g, 63) << 5) | narrow(c.b, 31));
    return WORD((narrow(c.r, 31) << 10) | (narrow(c.g, 31) << 5) | narrow(c.b, 31));
}

unsigned paletteEntries(FIBITMAP* dib) {
    return std::min(FreeImage_GetColorsUsed(dib), 1u << FreeImage_GetBPP(dib));
}

bool isPaletteBitmap(FIBITMAP* dib) {
    const unsigned bpp = FreeImage_GetBPP(dib);
    return isBitmap(dib) && (bpp == 1 || bpp == 4 || bpp == 8) && FreeImage_GetPalette(dib) &&
           paletteEntries(dib) > 0;
}

// Finds the palette entry nearest to a colour: exact matches first (so unchanged pixels keep
// their colour), then the nearest entry to the colour's 5-5-5 cell, remembered per cell.
class NearestPaletteEntry {
public:
    NearestPaletteEntry(const RGBQUAD* palette, unsigned count)
        : palette_(palette, palette + count), cells_(32768, -1) {
        for (unsigned i = 0; i < count; ++i)
            exact_.try_emplace(key(palette[i].rgbRed, palette[i].rgbGreen, palette[i].rgbBlue), BYTE(i));
    }

    BYTE operator()(BYTE r, BYTE g, BYTE b) {
        if (const auto it = exact_.find(key(r, g, b)); it != exact_.end())
            return it->second;
        const unsigned cell = (unsigned(r >> 3) << 10) | (unsigned(g >> 3) << 5) | (b >> 3);
        if (cells_[cell] < 0)
            cells_[cell] = nearest((r & 0xF8) | 4, (g & 0xF8) | 4, (b & 0xF8) | 4);
        return BYTE(cells_[cell]);
    }

private:
    static std::uint32_t key(BYTE r, BYTE g, BYTE b) { return (std::uint32_t(r) << 16) | (g << 8) | b; }

    int nearest(int r, int g, int b) const {
        int best = 0;
        long bestDistance = -1;
        for (std::size_t i = 0; i < palette_.size(); ++i) {
            const long dr = palette_[i].rgbRed - r, dg = palette_[i].rgbGreen - g,
                       db = palette_[i].rgbBlue - b;
            const long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
            if (bestDistance < 0 || d < bestDistance) {
                bestDistance = d;
                best = int(i);
            }
        }
        return best;
    }

    std::vector<RGBQUAD> palette_;
    std::unordered_map<std::uint32_t, BYTE> exact_;
    std::vector<int> cells_;
};

bool runOnPaletteImage(FIBITMAP* dib, const std::function<bool(const ImageView&)>& op) {
    const unsigned width = FreeImage_GetWidth(dib), height = FreeImage_GetHeight(dib);
    const unsigned bpp = FreeImage_GetBPP(dib);
    const RGBQUAD* palette = FreeImage_GetPalette(dib);
    const unsigned entries = paletteEntries(dib);
    const bool grey = std::all_of(palette, palette + entries, [](const RGBQUAD& q) {
        return q.rgbRed == q.rgbGreen && q.rgbGreen == q.rgbBlue;
    });

    const PixelLayout layout{SampleKind::U8, grey ? 1u : 3u, grey ? 1u : 3u};
    DibPtr work(FreeImage_Allocate(int(width), int(height), grey ? 8 : 24));
    if (!work)
        return false;
    if (grey)
        ImageLibrary::setGreyRamp(work.get());
    for (unsigned y = 0; y < height; ++y) {
        const BYTE* src = FreeImage_GetScanLine(dib, int(y));
        BYTE* dst = FreeImage_GetScanLine(work.get(), int(y));
        for (unsigned x = 0; x < width; ++x) {
            const RGBQUAD& q = palette[std::min(paletteIndexImpl(src, x, bpp), entries - 1)];
            if (grey) {
                dst[x] = q.rgbRed;
            } else {
                dst[3 * x + FI_RGBA_RED] = q.rgbRed;
                dst[3 * x + FI_RGBA_GREEN] = q.rgbGreen;
                dst[3 * x + FI_RGBA_BLUE] = q.rgbBlue;
            }
        }
    }
    if (!op(viewOf(work.get(), layout)))
        return false;

    if (grey) {
        std::array<BYTE, 256> nearestIndex{};
        for (int g = 0; g < 256; ++g) {
            unsigned best = 0;
            for (unsigned i = 1; i < entries; ++i)
                if (std::abs(palette[i].rgbRed - g) < std::abs(palette[best].rgbRed - g))
                    best = i;
            nearestIndex[std::size_t(g)] = BYTE(best);
        }
        for (unsigned y = 0; y < height; ++y) {
            BYTE* dst = FreeImage_GetScanLine(dib, int(y));
            const BYTE* src = FreeImage_GetScanLine(work.get(), int(y));
            for (unsigned x = 0; x < width; ++x)
                setPaletteIndex(dst, x, bpp, nearestIndex[src[x]]);
        }
    } else {
        NearestPaletteEntry nearest(palette, entries);
        for (unsigned y = 0; y < height; ++y) {
            BYTE* dst = FreeImage_GetScanLine(dib, int(y));
            const BYTE* src = FreeImage_GetScanLine(work.get(), int(y));
            for (unsigned x = 0; x < width; ++x, src += 3)
                setPaletteIndex(dst, x, bpp, nearest(src[FI_RGBA_RED], src[FI_RGBA_GREEN], src[FI_RGBA_BLUE]));
        }
    }
    return true;
}

bool runOn16BitImage(FIBITMAP* dib, const std::function<bool(const ImageView&)>& op) {
    const unsigned width = FreeImage_GetWidth(dib), height = FreeImage_GetHeight(dib);
    const bool six = is565(dib);
    DibPtr work(FreeImage_Allocate(int(width), int(height), 24));
    if (!work)
        return false;
    for (unsigned y = 0; y < height; ++y) {
        const WORD* src = reinterpret_cast<const WORD*>(FreeImage_GetScanLine(dib, int(y)));
        BYTE* dst = FreeImage_GetScanLine(work.get(), int(y));
        for (unsigned x = 0; x < width; ++x, dst += 3) {
            const Rgb c = unpack16(src[x], six);
            dst[FI_RGBA_RED] = c.r;
            dst[FI_RGBA_GREEN] = c.g;
            dst[FI_RGBA_BLUE] = c.b;
        }
    }
    if (!op(viewOf(work.get(), PixelLayout{SampleKind::U8, 3, 3})))
        return false;
    for (unsigned y = 0; y < height; ++y) {
        WORD* dst = reinterpret_cast<WORD*>(FreeImage_GetScanLine(dib, int(y)));
        const BYTE* src = FreeImage_GetScanLine(work.get(), int(y));
        for (unsigned x = 0; x < width; ++x, src += 3)
            dst[x] = pack16({src[FI_RGBA_RED], src[FI_RGBA_GREEN], src[FI_RGBA_BLUE]}, six);
    }
    return true;
}

}  // namespace

bool is565(FIBITMAP* dib) {
    return FreeImage_GetRedMask(dib) == FI16_565_RED_MASK &&
           FreeImage_GetGreenMask(dib) == FI16_565_GREEN_MASK &&
           FreeImage_GetBlueMask(dib) == FI16_565_BLUE_MASK;
}

Rgb unpack16(WORD v, bool six) {
    if (six)
        return {widen((v >> 11) & 31u, 31), widen((v >> 5) & 63u, 63), widen(v & 31u, 31)};
    return {widen((v >> 10) & 31u, 31), widen((v >> 5) & 31u, 31), widen(v & 31u, 31)};
}

unsigned paletteIndex(const BYTE* line, unsigned x, unsigned bpp) { return paletteIndexImpl(line, x, bpp); }

bool hasPixels(FIBITMAP* dib) {
    return dib && FreeImage_HasPixels(dib) && FreeImage_GetWidth(dib) > 0 &&
           FreeImage_GetHeight(dib) > 0;
}

bool isBitmap(FIBITMAP* dib) { return hasPixels(dib) && FreeImage_GetImageType(dib) == FIT_BITMAP; }

bool isGreyRamp(FIBITMAP* dib) {
    if (!isBitmap(dib) || FreeImage_GetBPP(dib) != 8 || paletteEntries(dib) != 256)
        return false;
    const RGBQUAD* palette = FreeImage_GetPalette(dib);
    for (unsigned i = 0; i < 256; ++i)
        if (palette[i].rgbRed != i || palette[i].rgbGreen != i || palette[i].rgbBlue != i)
            return false;
    return true;
}

std::optional<PixelLayout> directLayout(FIBITMAP* dib) {
    if (!hasPixels(dib))
        return std::nullopt;
    switch (FreeImage_GetImageType(dib)) {
    case FIT_BITMAP:
        switch (FreeImage_GetBPP(dib)) {
        case 8: return isGreyRamp(dib) ? std::optional(PixelLayout{SampleKind::U8, 1, 1}) : std::nullopt;
        case 24: return PixelLayout{SampleKind::U8, 3, 3};
        case 32: return PixelLayout{SampleKind::U8, 4, 3};
        default: return std::nullopt;
        }
    case FIT_UINT16: return PixelLayout{SampleKind::U16, 1, 1};
    case FIT_RGB16: return PixelLayout{SampleKind::U16, 3, 3};
    case FIT_RGBA16: return PixelLayout{SampleKind::U16, 4, 3};
    case FIT_FLOAT: return PixelLayout{SampleKind::F32, 1, 1};
    case FIT_RGBF: return PixelLayout{SampleKind::F32, 3, 3};
    case FIT_RGBAF: return PixelLayout{SampleKind::F32, 4, 3};
    default: return std::nullopt;
    }
}

ImageView viewOf(FIBITMAP* dib, const PixelLayout& layout) {
    return ImageView{FreeImage_GetBits(dib), std::ptrdiff_t(FreeImage_GetPitch(dib)),
                     FreeImage_GetWidth(dib), FreeImage_GetHeight(dib), layout};
}

bool runOnWorkingImage(FIBITMAP* dib, const std::function<bool(const ImageView&)>& op) {
    if (!hasPixels(dib))
        return false;
    // Operations make their buffers before they write a pixel: without the memory the
    // operation fails and the image stays as it was.
    try {
        if (const auto layout = directLayout(dib))
            return op(viewOf(dib, *layout));
        if (isPaletteBitmap(dib))
            return runOnPaletteImage(dib, op);
        if (isBitmap(dib) && FreeImage_GetBPP(dib) == 16)
            return runOn16BitImage(dib, op);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return false;
}

bool splitPays(unsigned count, std::size_t costPerItem) {
    constexpr std::size_t kMinimumWorkForThreads = std::size_t(1) << 18;
    return count >= 2 && std::size_t(count) * costPerItem >= kMinimumWorkForThreads;
}

bool parallelRanges(unsigned count, std::size_t costPerItem,
                    const std::function<void(unsigned, unsigned)>& fn) {
    return parallelBands(count, splitPays(count, costPerItem),
                         [&fn](unsigned begin, unsigned end) { return [&fn, begin, end] { fn(begin, end); }; });
}

bool mapPaletteOr16BitColours(FIBITMAP* dib, const std::function<Rgb(Rgb)>& fn) {
    if (!isBitmap(dib))
        return false;
    const unsigned width = FreeImage_GetWidth(dib), height = FreeImage_GetHeight(dib);
    const unsigned bpp = FreeImage_GetBPP(dib);

    if (isGreyRamp(dib)) {
        std::array<Rgb, 256> mapped{};
        for (unsigned i = 0; i < 256; ++i)
            mapped[i] = fn({BYTE(i), BYTE(i), BYTE(i)});
        const bool stillGrey = std::all_of(mapped.begin(), mapped.end(), [](Rgb c) {
            return c.r == c.g && c.g == c.b;
        });
        if (!stillGrey) {
            RGBQUAD* palette = FreeImage_GetPalette(dib);
            for (unsigned i = 0; i < 256; ++i)
                palette[i] = RGBQUAD{mapped[i].b, mapped[i].g, mapped[i].r, palette[i].rgbReserved};
            return true;
        }
        return parallelRanges(height, width, [&](unsigned y0, unsigned y1) {
            for (unsigned y = y0; y < y1; ++y) {
                BYTE* line = FreeImage_GetScanLine(dib, int(y));
                for (unsigned x = 0; x < width; ++x)
                    line[x] = mapped[line[x]].r;
            }
        });
    }
    if (isPaletteBitmap(dib)) {
        RGBQUAD* palette = FreeImage_GetPalette(dib);
        const unsigned entries = paletteEntries(dib);
        for (unsigned i = 0; i < entries; ++i) {
            const Rgb c = fn({palette[i].rgbRed, palette[i].rgbGreen, palette[i].rgbBlue});
            palette[i].rgbRed = c.r;
            palette[i].rgbGreen = c.g;
            palette[i].rgbBlue = c.b;
        }
        return true;
    }
    if (bpp == 16) {
        const bool six = is565(dib);
        for (unsigned y = 0; y < height; ++y) {
            WORD* line = reinterpret_cast<WORD*>(FreeImage_GetScanLine(dib, int(y)));
            for (unsigned x = 0; x < width; ++x)
                line[x] = pack16(fn(unpack16(line[x], six)), six);
        }
        return true;
    }
    return false;
}

bool mapChannels(FIBITMAP* dib, const std::array<BYTE, 256>& red,
                 const std::array<BYTE, 256>& green, const std::array<BYTE, 256>& blue) {
    if (!isBitmap(dib))
        return false;
    const unsigned bpp = FreeImage_GetBPP(dib);
    if (bpp != 24 && bpp != 32)
        return mapColours(dib, [&](Rgb c) { return Rgb{red[c.r], green[c.g], blue[c.b]}; });
    const unsigned width = FreeImage_GetWidth(dib), height = FreeImage_GetHeight(dib);
    const unsigned step = bpp / 8;
    return parallelRanges(height, width, [&](unsigned y0, unsigned y1) {
        for (unsigned y = y0; y < y1; ++y) {
            BYTE* p = FreeImage_GetScanLine(dib, int(y));
            for (unsigned x = 0; x < width; ++x, p += step) {
                p[FI_RGBA_RED] = red[p[FI_RGBA_RED]];
                p[FI_RGBA_GREEN] = green[p[FI_RGBA_GREEN]];
                p[FI_RGBA_BLUE] = blue[p[FI_RGBA_BLUE]];
            }
        }
    });
}

void copyImageInfo(FIBITMAP* dst, FIBITMAP* src) {
    FreeImage_SetDotsPerMeterX(dst, FreeImage_GetDotsPerMeterX(src));
    FreeImage_SetDotsPerMeterY(dst, FreeImage_GetDotsPerMeterY(src));
    FreeImage_CloneMetadata(dst, src);
}

}  // namespace kelvra::fx
