#pragma once
// Small images with known answers for the effect tests. Coordinates count from the top-left
// corner of the picture (FreeImage itself keeps scan lines bottom-up).

#include "imaging/fipSuperImage.h"

#include <functional>
#include <random>

namespace effects_test {

struct Colour {
    int r = 0, g = 0, b = 0, a = 255;
    bool operator==(const Colour&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Colour& c) {
    return os << "(" << c.r << ", " << c.g << ", " << c.b << ", " << c.a << ")";
}

inline BYTE* pixelAddress(const fipImage& img, unsigned x, unsigned y) {
    return img.getScanLine(img.getHeight() - 1 - y) + x * (img.getBitsPerPixel() / 8);
}

// 24- or 32-bit image filled by fn(x, y).
inline fipSuperImage makeImage(unsigned width, unsigned height, unsigned bpp,
                               const std::function<Colour(unsigned, unsigned)>& fn) {
    fipSuperImage img(FIT_BITMAP, width, height, bpp);
    for (unsigned y = 0; y < height; ++y)
        for (unsigned x = 0; x < width; ++x) {
            const Colour c = fn(x, y);
            BYTE* p = pixelAddress(img, x, y);
            p[FI_RGBA_RED] = BYTE(c.r);
            p[FI_RGBA_GREEN] = BYTE(c.g);
            p[FI_RGBA_BLUE] = BYTE(c.b);
            if (bpp == 32)
                p[FI_RGBA_ALPHA] = BYTE(c.a);
        }
    return img;
}

inline fipSuperImage flatImage(unsigned width, unsigned height, unsigned bpp, Colour c) {
    return makeImage(width, height, bpp, [c](unsigned, unsigned) { return c; });
}

inline Colour colourAt(const fipImage& img, unsigned x, unsigned y) {
    const BYTE* p = pixelAddress(img, x, y);
    return {p[FI_RGBA_RED], p[FI_RGBA_GREEN], p[FI_RGBA_BLUE],
            img.getBitsPerPixel() == 32 ? p[FI_RGBA_ALPHA] : 255};
}

inline int greyAt(const fipImage& img, unsigned x, unsigned y) { return colourAt(img, x, y).r; }

// 8-bit image with the identity grey ramp, filled by fn(x, y).
inline fipSuperImage makeGrey(unsigned width, unsigned height, const std::function<int(unsigned, unsigned)>& fn) {
    fipSuperImage img(FIT_BITMAP, width, height, 8);
    RGBQUAD* palette = img.getPalette();
    for (unsigned i = 0; i < 256; ++i)
        palette[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
    for (unsigned y = 0; y < height; ++y)
        for (unsigned x = 0; x < width; ++x)
            img.getScanLine(height - 1 - y)[x] = BYTE(fn(x, y));
    return img;
}

inline int indexAt(const fipImage& img, unsigned x, unsigned y) {
    BYTE index = 0;
    img.getPixelIndex(x, img.getHeight() - 1 - y, &index);
    return index;
}

// Colour of a palette image's pixel through its palette.
inline Colour paletteColourAt(const fipImage& img, unsigned x, unsigned y) {
    const RGBQUAD& q = img.getPalette()[indexAt(img, x, y)];
    return {q.rgbRed, q.rgbGreen, q.rgbBlue, 255};
}

// An 8-bit image with a colour palette: index i is (i, 255 - i, i / 2), pixels fn(x, y).
inline fipSuperImage makePalette8(unsigned width, unsigned height, const std::function<int(unsigned, unsigned)>& fn) {
    fipSuperImage img = makeGrey(width, height, fn);
    RGBQUAD* palette = img.getPalette();
    for (unsigned i = 0; i < 256; ++i)
        palette[i] = RGBQUAD{BYTE(i / 2), BYTE(255 - i), BYTE(i), 0};
    return img;
}

inline bool samePixels(const fipImage& a, const fipImage& b) {
    if (a.getWidth() != b.getWidth() || a.getHeight() != b.getHeight() ||
        a.getBitsPerPixel() != b.getBitsPerPixel() || a.getImageType() != b.getImageType())
        return false;
    const unsigned bytes = (a.getWidth() * a.getBitsPerPixel() + 7) / 8;
    for (unsigned y = 0; y < a.getHeight(); ++y)
        if (!std::equal(a.getScanLine(y), a.getScanLine(y) + bytes, b.getScanLine(y)))
            return false;
    const unsigned entries = a.getPaletteSize() / sizeof(RGBQUAD);
    if (entries != b.getPaletteSize() / sizeof(RGBQUAD))
        return false;
    for (unsigned i = 0; i < entries; ++i) {
        const RGBQUAD &p = a.getPalette()[i], &q = b.getPalette()[i];
        if (p.rgbRed != q.rgbRed || p.rgbGreen != q.rgbGreen || p.rgbBlue != q.rgbBlue)
            return false;
    }
    return true;
}

// Random colours (and alpha) from a fixed seed: every channel value occurs.
inline fipSuperImage noisyImage(unsigned width, unsigned height, unsigned bpp, unsigned seed = 1) {
    std::mt19937 random(seed);
    return makeImage(width, height, bpp, [&](unsigned, unsigned) {
        return Colour{int(random() % 256), int(random() % 256), int(random() % 256), int(random() % 256)};
    });
}

}  // namespace effects_test
