// Depth changes, greyscale, colour counting, the histogram and text art.

#include "EffectImages.h"
#include "imaging/effects/Histogram.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <cstring>

using namespace effects_test;

namespace {

// Five colours in vertical bands.
fipSuperImage fiveColours(unsigned bpp) {
    return makeImage(10, 4, bpp, [](unsigned x, unsigned) {
        const Colour c[] = {{255, 0, 0, 10}, {0, 255, 0, 20}, {0, 0, 255, 30}, {9, 9, 9, 40}, {200, 100, 50, 50}};
        return c[x / 2];
    });
}

TEST(AdjustBPP, GreyLevelsAndColourLimits) {
    fipSuperImage greys = noisyImage(50, 40, 24);
    ASSERT_TRUE(greys.adjustBPP(8, TRUE, 8));
    EXPECT_EQ(greys.getBitsPerPixel(), 8u);
    EXPECT_LE(greys.getUniqueColors(), 8u);
    for (unsigned x = 0; x < 50; ++x) {
        const Colour c = paletteColourAt(greys, x, 3);
        const int levels[] = {0, 36, 73, 109, 146, 182, 219, 255};
        EXPECT_TRUE(c.r == c.g && c.g == c.b && std::count(std::begin(levels), std::end(levels), c.r) == 1) << c;
    }

    fipSuperImage few = fiveColours(24);
    ASSERT_TRUE(few.adjustBPP(8, FALSE, 16));
    EXPECT_EQ(few.getUniqueColors(), 5u);
    EXPECT_EQ(paletteColourAt(few, 8, 0), (Colour{200, 100, 50}));

    fipSuperImage four = noisyImage(40, 30, 24);
    ASSERT_TRUE(four.adjustBPP(4, FALSE, 0));
    EXPECT_EQ(four.getBitsPerPixel(), 4u);
    EXPECT_LE(four.getUniqueColors(), 16u);
    EXPECT_GT(four.getUniqueColors(), 8u);

    fipSuperImage limited = noisyImage(40, 30, 32);
    ASSERT_TRUE(limited.adjustBPP(32, FALSE, 8));
    EXPECT_EQ(limited.getBitsPerPixel(), 32u);
    EXPECT_LE(limited.getUniqueColors(), 8u);
    EXPECT_EQ(colourAt(limited, 0, 0).a, colourAt(noisyImage(40, 30, 32), 0, 0).a) << "alpha kept";

    fipSuperImage bw = noisyImage(30, 30, 24);
    ASSERT_TRUE(bw.adjustBPP(1, TRUE, 0));
    EXPECT_EQ(bw.getBitsPerPixel(), 1u);

    fipSuperImage grey24 = fiveColours(8 * 4);
    ASSERT_TRUE(grey24.adjustBPP(24, TRUE, 0));
    EXPECT_EQ(grey24.getBitsPerPixel(), 24u);
    EXPECT_EQ(colourAt(grey24, 0, 0), (Colour{54, 54, 54}));
}

TEST(AdjustBPP, RejectsWhatItCannotMake) {
    fipSuperImage img = fiveColours(24);
    const fipSuperImage before = img;
    EXPECT_FALSE(img.adjustBPP(16, FALSE, 0));
    EXPECT_FALSE(img.adjustBPP(2, FALSE, 0));
    EXPECT_FALSE(img.adjustBPP(4, FALSE, 200));
    EXPECT_FALSE(img.adjustBPP(8, FALSE, 1));
    EXPECT_TRUE(samePixels(img, before));
    fipSuperImage wide = fiveColours(24);
    ASSERT_TRUE(wide.convertToRGB16());
    EXPECT_FALSE(wide.adjustBPP(8, FALSE, 0));
    EXPECT_EQ(wide.getImageType(), FIT_RGB16);
}

TEST(ConvertToGrayscale, OpaqueBecomes8BitAndTransparentKeepsAlpha) {
    fipSuperImage opaque = flatImage(4, 4, 24, {255, 0, 0});
    ASSERT_TRUE(opaque.convertToGrayscale());
    EXPECT_EQ(opaque.getBitsPerPixel(), 8u);
    EXPECT_EQ(paletteColourAt(opaque, 1, 1), (Colour{54, 54, 54}));

    fipSuperImage clear = fiveColours(32);
    ASSERT_TRUE(clear.convertToGrayscale());
    EXPECT_EQ(clear.getBitsPerPixel(), 32u);
    EXPECT_EQ(colourAt(clear, 2, 1), (Colour{182, 182, 182, 20}));
}

TEST(GetUniqueColors, CountsKnownImages) {
    EXPECT_EQ(fiveColours(24).getUniqueColors(), 5u);
    EXPECT_EQ(fiveColours(32).getUniqueColors(), 5u) << "alpha does not make colours";
    // Large enough for the bit-set path: a 1024 × 1024 image with 65536 colours.
    const fipSuperImage big = makeImage(1024, 1024, 24, [](unsigned x, unsigned y) {
        return Colour{int(x % 256), int(y % 256), int((x / 256) * 4 + y / 256)};
    });
    EXPECT_EQ(big.getUniqueColors(), 1024u * 1024u);
    // Two palette entries with the same colour count once; unused entries not at all.
    fipSuperImage palette = makePalette8(4, 1, [](unsigned x, unsigned) { return int(x); });
    palette.getPalette()[3] = palette.getPalette()[2];
    EXPECT_EQ(palette.getUniqueColors(), 3u);
    fipSuperImage packed = fiveColours(24);
    ASSERT_TRUE(packed.convertTo16Bits565());
    EXPECT_EQ(packed.getUniqueColors(), 5u);
    fipSuperImage wide = fiveColours(24);
    ASSERT_TRUE(wide.convertToRGB16());
    EXPECT_EQ(wide.getUniqueColors(), 0u);
}

TEST(Histogram, CountsAddUpAtEveryDepthAndFollowThePalette) {
    std::vector<fipSuperImage> images;
    for (const unsigned bpp : {24u, 32u})
        images.push_back(noisyImage(33, 17, bpp));
    images.push_back(makePalette8(33, 17, [](unsigned x, unsigned y) { return int(x * y % 256); }));
    for (const int depth : {1, 4, 16}) {
        fipSuperImage img = noisyImage(33, 17, 24);
        ASSERT_TRUE(depth == 1 ? img.threshold(128) : depth == 4 ? img.convertTo4Bits() : img.convertTo16Bits555());
        images.push_back(img);
    }
    for (fipSuperImage& img : images)
        for (const auto channel : {FICC_RED, FICC_GREEN, FICC_BLUE, FICC_BLACK}) {
            DWORD histo[256];
            ASSERT_TRUE(kelvra::fx::histogram(img, histo, channel)) << img.getBitsPerPixel();
            EXPECT_EQ(std::accumulate(histo, histo + 256, 0u), 33u * 17u);
        }
    // Palette index 100 is (100, 155, 50).
    fipSuperImage palette = makePalette8(5, 2, [](unsigned, unsigned) { return 100; });
    DWORD histo[256];
    ASSERT_TRUE(kelvra::fx::histogram(palette, histo, FICC_GREEN));
    EXPECT_EQ(histo[155], 10u);
    ASSERT_TRUE(kelvra::fx::histogram(palette, histo, FICC_RED));
    EXPECT_EQ(histo[100], 10u);
}

TEST(ConvertToAsciiText, FitsTheBufferAndDrawsDarkAsDense) {
    // Left half black, right half white.
    const fipSuperImage img = makeImage(400, 300, 24, [](unsigned x, unsigned) {
        return x < 200 ? Colour{0, 0, 0} : Colour{255, 255, 255};
    });
    for (const std::size_t size : {std::size_t(10001), std::size_t(500), std::size_t(3)}) {
        std::string buffer(size + 8, 'X');
        ASSERT_TRUE(img.convertToAsciiText(buffer.data(), size)) << size;
        const std::size_t length = std::strlen(buffer.c_str());
        EXPECT_LT(length, size);
        EXPECT_EQ(buffer[size], 'X') << "nothing written past the buffer";
        if (size >= 500) {
            EXPECT_EQ(buffer[0], '@');
        }
        EXPECT_EQ(buffer[length - 1], '\n');
        if (length > 3) {
            EXPECT_EQ(buffer[length - 2], ' ');
        }
    }
    char tiny[2] = {'X', 'X'};
    EXPECT_FALSE(img.convertToAsciiText(tiny, 2));
    EXPECT_EQ(tiny[0], '\0');
    fipSuperImage one = flatImage(1, 1, 24, {255, 255, 255});
    char text[16];
    ASSERT_TRUE(one.convertToAsciiText(text, sizeof text));
    EXPECT_STREQ(text, " \n");
}

}  // namespace
