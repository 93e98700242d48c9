// Per-colour operations: exact values where the answer is arithmetic, neutral settings that
// must change nothing, and the properties a photographer relies on (greys stay grey, the
// chosen hue comes out, alpha and palettes survive).

#include "EffectImages.h"

#include <gtest/gtest.h>

#include <random>

using namespace effects_test;

namespace {

// The colour tests' noisy picture: 37 x 23, odd sizes on both axes.
fipSuperImage noisyImage(unsigned bpp, unsigned seed = 1) {
    return effects_test::noisyImage(37, 23, bpp, seed);
}

TEST(Invert, NegativeKeepsAlphaAndPalettes) {
    fipSuperImage rgba = flatImage(3, 2, 32, {10, 200, 255, 40});
    ASSERT_TRUE(rgba.invert());
    EXPECT_EQ(colourAt(rgba, 2, 1), (Colour{245, 55, 0, 40}));

    fipSuperImage grey = makeGrey(4, 1, [](unsigned x, unsigned) { return int(x * 50); });
    ASSERT_TRUE(grey.invert());
    EXPECT_TRUE(grey.isGrayscale()) << "an 8-bit grey image keeps its ramp";
    EXPECT_EQ(indexAt(grey, 3, 0), 105);

    fipSuperImage palette = makePalette8(2, 1, [](unsigned x, unsigned) { return int(x * 100); });
    ASSERT_TRUE(palette.invert());
    EXPECT_EQ(indexAt(palette, 1, 0), 100) << "indices untouched";
    EXPECT_EQ(paletteColourAt(palette, 1, 0), (Colour{155, 100, 205}));

    fipSuperImage rgb16 = noisyImage(24);
    ASSERT_TRUE(rgb16.convertToRGB16());
    EXPECT_FALSE(rgb16.invert());
}

TEST(Threshold, SplitsAtTheLevelByColourNotByPaletteIndex) {
    fipSuperImage ramp = makeImage(256, 1, 32, [](unsigned x, unsigned) { return Colour{int(x), int(x), int(x), 0}; });
    ASSERT_TRUE(ramp.threshold(128));
    ASSERT_EQ(ramp.getBitsPerPixel(), 1u);
    for (unsigned x = 0; x < 256; ++x)
        ASSERT_EQ(paletteColourAt(ramp, x, 0).r, x < 128 ? 0 : 255) << x;
    // Index 200 is a dark colour (200, 55, 100): it must come out black.
    fipSuperImage palette = makePalette8(2, 1, [](unsigned x, unsigned) { return x == 0 ? 200 : 20; });
    ASSERT_TRUE(palette.threshold(128));
    EXPECT_EQ(paletteColourAt(palette, 0, 0).r, 0);
    EXPECT_EQ(paletteColourAt(palette, 1, 0).r, 255);
}

TEST(Dither, MiddleGreyBecomesHalfWhite) {
    fipSuperImage grey = flatImage(64, 64, 24, {128, 128, 128});
    ASSERT_TRUE(grey.dither(FID_FS));
    ASSERT_EQ(grey.getBitsPerPixel(), 1u);
    int white = 0;
    for (unsigned y = 0; y < 64; ++y)
        for (unsigned x = 0; x < 64; ++x)
            white += paletteColourAt(grey, x, y).r == 255;
    EXPECT_NEAR(white, 64 * 64 / 2, 64 * 64 / 20);
}

TEST(SwapChannels, AllFiveOrders) {
    const Colour expected[] = {{10, 30, 20}, {30, 20, 10}, {30, 10, 20}, {20, 10, 30}, {20, 30, 10}};
    for (int order = 0; order < 5; ++order) {
        fipSuperImage img = flatImage(2, 2, 32, {10, 20, 30, 9});
        ASSERT_TRUE(img.swapChannels(order));
        EXPECT_EQ(colourAt(img, 1, 1), (Colour{expected[order].r, expected[order].g, expected[order].b, 9}))
            << "order " << order;
    }
    fipSuperImage img = flatImage(2, 2, 24, {10, 20, 30});
    EXPECT_FALSE(img.swapChannels(5));
    EXPECT_FALSE(img.swapChannels(-1));
    EXPECT_EQ(colourAt(img, 0, 0), (Colour{10, 20, 30}));
}

TEST(Solarize, InvertsOnlyBeyondTheThreshold) {
    fipSuperImage img = makeImage(4, 1, 24, [](unsigned x, unsigned) {
        const int v[] = {0, 100, 101, 255};
        return Colour{v[x], v[x], 50};
    });
    fipSuperImage below = img;
    ASSERT_TRUE(img.solarize(100, TRUE));
    EXPECT_EQ(colourAt(img, 0, 0), (Colour{0, 0, 50}));
    EXPECT_EQ(colourAt(img, 1, 0), (Colour{100, 100, 50}));
    EXPECT_EQ(colourAt(img, 2, 0), (Colour{154, 154, 50}));
    EXPECT_EQ(colourAt(img, 3, 0), (Colour{0, 0, 50}));
    ASSERT_TRUE(below.solarize(100, FALSE));
    EXPECT_EQ(colourAt(below, 0, 0), (Colour{255, 255, 205}));
    EXPECT_EQ(colourAt(below, 2, 0), (Colour{101, 101, 205}));

    fipSuperImage untouched = noisyImage(24);
    const fipSuperImage before = untouched;
    ASSERT_TRUE(untouched.solarize(255, TRUE));
    EXPECT_TRUE(samePixels(untouched, before)) << "the dialog's default changes nothing";
}

TEST(AdjustColors, NeutralSettingsChangeNothing) {
    for (const unsigned bpp : {24u, 32u}) {
        const fipSuperImage original = noisyImage(bpp);
        fipSuperImage img = original;
        ASSERT_TRUE(img.adjustColors(0, 0, 1, FALSE));
        ASSERT_TRUE(img.adjustGammaRGB(1, 1, 1));
        EXPECT_TRUE(samePixels(img, original));
    }
    const fipSuperImage grey = makeGrey(16, 16, [](unsigned x, unsigned y) { return int(16 * y + x); });
    fipSuperImage img = grey;
    ASSERT_TRUE(img.adjustColors(0, 0, 1, FALSE));
    EXPECT_TRUE(samePixels(img, grey));
}

TEST(AdjustColors, DirectionOfEachControl) {
    const auto after = [](double b, double c, double g, BOOL inv, int v) {
        fipSuperImage img = flatImage(1, 1, 24, {v, v, v});
        EXPECT_TRUE(img.adjustColors(b, c, g, inv));
        return greyAt(img, 0, 0);
    };
    EXPECT_EQ(after(-100, 0, 1, FALSE, 200), 0);
    EXPECT_GT(after(50, 0, 1, FALSE, 100), 100);
    EXPECT_GT(after(0, 50, 1, FALSE, 200), 200);
    EXPECT_LT(after(0, 50, 1, FALSE, 50), 50);
    EXPECT_EQ(after(0, -100, 1, FALSE, 30), 128);
    EXPECT_GT(after(0, 0, 2.0, FALSE, 64), 64) << "gamma above 1 brightens";
    EXPECT_EQ(after(0, 0, 1, TRUE, 30), 225);

    fipSuperImage img = flatImage(1, 1, 24, {100, 100, 100});
    ASSERT_TRUE(img.adjustGammaRGB(6.99, 1, 0.01));
    const Colour c = colourAt(img, 0, 0);
    EXPECT_GT(c.r, 200);
    EXPECT_EQ(c.g, 100);
    EXPECT_EQ(c.b, 0);
    EXPECT_FALSE(img.adjustGammaRGB(0, 1, 1));
    EXPECT_FALSE(img.adjustColors(0, 0, 0, FALSE));
}

TEST(AdjustHSL, HueKeepsGreysAndTurnsColours) {
    fipSuperImage grey = makeImage(256, 1, 32, [](unsigned x, unsigned) {
        return Colour{int(x), int(x), int(x), 5};
    });
    const fipSuperImage before = grey;
    ASSERT_TRUE(grey.adjustHSL(73, 0, 0));
    EXPECT_TRUE(samePixels(grey, before));
    ASSERT_TRUE(grey.adjustHSL(0, 100, 0));
    EXPECT_TRUE(samePixels(grey, before)) << "saturation cannot colour a grey";

    fipSuperImage red = flatImage(1, 1, 24, {255, 0, 0});
    ASSERT_TRUE(red.adjustHSL(100, 0, 0));
    EXPECT_EQ(colourAt(red, 0, 0), (Colour{0, 255, 255})) << "half a turn of the wheel";
    ASSERT_TRUE(red.adjustHSL(0, -100, 0));
    const Colour c = colourAt(red, 0, 0);
    EXPECT_TRUE(c.r == c.g && c.g == c.b);
    ASSERT_TRUE(red.adjustHSL(0, 0, 100));
    EXPECT_EQ(colourAt(red, 0, 0), (Colour{255, 255, 255}));

    fipSuperImage palette4 = noisyImage(24);
    ASSERT_TRUE(palette4.convertTo4Bits());
    ASSERT_TRUE(palette4.adjustHSL(50, 50, -20));
    EXPECT_EQ(palette4.getBitsPerPixel(), 4u);
}

TEST(AdjustHSL, AgreesWithTheConversionFunctions) {
    const fipSuperImage before = noisyImage(24, 4);
    fipSuperImage img = before;
    ASSERT_TRUE(img.adjustHSL(50, -30, 20));
    for (unsigned y = 0; y < before.getHeight(); ++y)
        for (unsigned x = 0; x < before.getWidth(); ++x) {
            const Colour c = colourAt(before, x, y);
            double h, s, l;
            fipSuperImage::RGBtoHSL(BYTE(c.r), BYTE(c.g), BYTE(c.b), h, s, l);
            BYTE r, g, b;
            fipSuperImage::HSLtoRGB(h + 90, s * 0.7, l + (1 - l) * 0.2, r, g, b);
            const Colour got = colourAt(img, x, y);
            ASSERT_LE(std::abs(got.r - r), 1) << c;
            ASSERT_LE(std::abs(got.g - g), 1) << c;
            ASSERT_LE(std::abs(got.b - b), 1) << c;
        }
}

TEST(HSL, ConversionsRoundTripAndUseDegrees) {
    double h, s, l;
    fipSuperImage::RGBtoHSL(0, 0, 255, h, s, l);
    EXPECT_DOUBLE_EQ(h, 240);
    EXPECT_DOUBLE_EQ(s, 1);
    EXPECT_DOUBLE_EQ(l, 0.5);
    fipSuperImage::RGBtoHSL(90, 90, 90, h, s, l);
    EXPECT_EQ(s, 0);
    std::mt19937 random(3);
    for (int i = 0; i < 2000; ++i) {
        const BYTE r = BYTE(random()), g = BYTE(random()), b = BYTE(random());
        fipSuperImage::RGBtoHSL(r, g, b, h, s, l);
        BYTE r2, g2, b2;
        fipSuperImage::HSLtoRGB(h, s, l, r2, g2, b2);
        ASSERT_EQ((Colour{r, g, b}), (Colour{r2, g2, b2}));
    }
}

TEST(Colorize, GivesTheChosenHueAndKeepsTheTones) {
    double hue, sat, light;
    fipSuperImage::RGBtoHSL(29, 203, 234, hue, sat, light);  // "Cyan" preset
    fipSuperImage img = makeImage(3, 1, 32, [](unsigned x, unsigned) {
        const int v[] = {60, 128, 200};
        return Colour{v[x], 255 - v[x], v[x] / 2, 17};
    });
    ASSERT_TRUE(img.colorize(hue, sat, 1.0));
    int previous = -1;
    for (unsigned x = 0; x < 3; ++x) {
        const Colour c = colourAt(img, x, 0);
        double h, s, l;
        fipSuperImage::RGBtoHSL(BYTE(c.r), BYTE(c.g), BYTE(c.b), h, s, l);
        EXPECT_NEAR(h, hue, 3.0) << x;
        EXPECT_EQ(c.a, 17);
        const int lum = int(0.2126 * c.r + 0.7152 * c.g + 0.0722 * c.b);
        EXPECT_NE(lum, previous);
        previous = lum;
    }
    fipSuperImage none = noisyImage(24);
    const fipSuperImage before = none;
    ASSERT_TRUE(none.colorize(hue, sat, 0.0));
    EXPECT_TRUE(samePixels(none, before));
}

TEST(Sepia, TurnsGreysWarmBrown) {
    fipSuperImage img = flatImage(2, 2, 24, {128, 128, 128});
    ASSERT_TRUE(img.sepia());
    const Colour c = colourAt(img, 0, 0);
    EXPECT_GT(c.r, c.g);
    EXPECT_GT(c.g, c.b);
}

TEST(RemoveRedEye, DarkensRedPupilsButNotSkin) {
    fipSuperImage img = makeImage(3, 1, 24, [](unsigned x, unsigned) {
        const Colour c[] = {{200, 40, 50}, {220, 160, 130}, {30, 30, 30}};
        return c[x];
    });
    ASSERT_TRUE(img.removeRedEye());
    EXPECT_EQ(colourAt(img, 0, 0), (Colour{45, 40, 50}));
    EXPECT_EQ(colourAt(img, 1, 0), (Colour{220, 160, 130}));
    EXPECT_EQ(colourAt(img, 2, 0), (Colour{30, 30, 30}));
}

}  // namespace
