// Neighbourhood effects other than the kernels: erode, wind, spread, stripe, emboss, edge
// detection and noise.

#include "EffectImages.h"

#include <gtest/gtest.h>


using namespace effects_test;

namespace {

// A dark row with one bright pixel at x = 10.
fipSuperImage brightDot(unsigned bpp = 24) {
    return makeImage(21, 3, bpp, [](unsigned x, unsigned) {
        return x == 10 ? Colour{250, 250, 250, 60} : Colour{10, 10, 10, 60};
    });
}

TEST(Erode, NeverBrightensAndGrowsDarkSpots) {
    const fipSuperImage original = noisyImage(301, 257, 32);
    fipSuperImage img = original;
    ASSERT_TRUE(img.erode(5));
    for (unsigned y = 0; y < 257; ++y)
        for (unsigned x = 0; x < 301; ++x) {
            const Colour a = colourAt(img, x, y), b = colourAt(original, x, y);
            ASSERT_TRUE(a.r <= b.r && a.g <= b.g && a.b <= b.b) << x << "," << y;
            ASSERT_EQ(a.a, b.a);
        }

    fipSuperImage spot = makeImage(11, 11, 24, [](unsigned x, unsigned y) {
        return x == 5 && y == 5 ? Colour{0, 0, 0} : Colour{200, 200, 200};
    });
    ASSERT_TRUE(spot.erode(5));
    for (unsigned y = 0; y < 11; ++y)
        for (unsigned x = 0; x < 11; ++x) {
            const bool inside = x >= 3 && x <= 7 && y >= 3 && y <= 7;
            EXPECT_EQ(greyAt(spot, x, y), inside ? 0 : 200) << x << "," << y;
        }
}

TEST(Wind, SmearsOnlyDownwind) {
    for (const BOOL smooth : {FALSE, TRUE}) {
        fipSuperImage right = brightDot(32);
        ASSERT_TRUE(right.wind(4, 1, smooth));
        fipSuperImage left = brightDot(32);
        ASSERT_TRUE(left.wind(4, 0, smooth));
        for (unsigned x = 0; x < 10; ++x) {
            EXPECT_EQ(greyAt(right, x, 1), 10) << "upwind of a right wind, x " << x;
            EXPECT_EQ(greyAt(left, 20 - x, 1), 10) << "upwind of a left wind, x " << 20 - x;
        }
        EXPECT_EQ(greyAt(right, 10, 1), 250);
        EXPECT_GT(greyAt(right, 11, 1), 10);
        EXPECT_GT(greyAt(left, 9, 1), 10);
        EXPECT_EQ(colourAt(right, 12, 1).a, 60);
    }
    // Hard streaks are exactly `level` pixels long, the bright pixel included.
    fipSuperImage hard = brightDot();
    ASSERT_TRUE(hard.wind(4, 1, FALSE));
    for (unsigned x = 10; x < 21; ++x)
        EXPECT_EQ(greyAt(hard, x, 0), x < 14 ? 250 : 10) << x;
    // Smooth streaks fade.
    fipSuperImage smooth = brightDot();
    ASSERT_TRUE(smooth.wind(4, 1, TRUE));
    EXPECT_GT(greyAt(smooth, 11, 0), greyAt(smooth, 12, 0));
    EXPECT_GT(greyAt(smooth, 12, 0), greyAt(smooth, 13, 0));
    EXPECT_FALSE(smooth.wind(4, 2, TRUE));
    EXPECT_FALSE(smooth.wind(0, 1, TRUE));
}

TEST(Spread, TakesNearbyPixelsReproducibly) {
    // Every pixel of the ramp is unique, so each result tells where it came from.
    const fipSuperImage ramp = makeImage(200, 150, 24, [](unsigned x, unsigned y) {
        return Colour{int(x), int(y), 0};
    });
    fipSuperImage a = ramp, b = ramp, c = ramp;
    fipSuperImage::setRandomSeed(42);
    ASSERT_TRUE(a.spread(5));
    fipSuperImage::setRandomSeed(42);
    ASSERT_TRUE(b.spread(5));
    fipSuperImage::setRandomSeed(43);
    ASSERT_TRUE(c.spread(5));
    EXPECT_TRUE(samePixels(a, b));
    EXPECT_FALSE(samePixels(a, c));
    for (unsigned y = 0; y < 150; ++y)
        for (unsigned x = 0; x < 200; ++x) {
            const Colour p = colourAt(a, x, y);
            ASSERT_LE(std::abs(p.r - int(x)), 5);
            ASSERT_LE(std::abs(p.g - int(y)), 5);
        }
    fipSuperImage still = ramp;
    ASSERT_TRUE(still.spread(0));
    EXPECT_TRUE(samePixels(still, ramp));
}

TEST(Stripe, HorizontalBandsOfChangingBrightness) {
    const fipSuperImage grey = flatImage(8, 40, 24, {100, 100, 100});
    fipSuperImage img = grey;
    ASSERT_TRUE(img.stripe(50, 4));
    int lightest = 0, darkest = 255;
    for (unsigned y = 0; y < 40; ++y) {
        for (unsigned x = 1; x < 8; ++x)
            ASSERT_EQ(colourAt(img, x, y), colourAt(img, 0, y)) << "bands are horizontal";
        lightest = std::max(lightest, greyAt(img, 0, y));
        darkest = std::min(darkest, greyAt(img, 0, y));
    }
    EXPECT_GE(lightest, 145);
    EXPECT_LE(darkest, 55);
    for (const auto& [swing, frequency] : {std::pair{0, 35}, {25, 0}}) {
        fipSuperImage none = grey;
        ASSERT_TRUE(none.stripe(swing, frequency));
        EXPECT_TRUE(samePixels(none, grey));
    }
}

TEST(Emboss, FlatIsMiddleGreyAndReliefIsLitFromTopLeft) {
    fipSuperImage flat = flatImage(5, 5, 32, {200, 10, 60, 70});
    ASSERT_TRUE(flat.emboss(5));
    EXPECT_EQ(colourAt(flat, 2, 2), (Colour{128, 128, 128, 70}));

    // A bright block in the bottom-right quarter: its top and left edges face the light.
    fipSuperImage block = makeImage(10, 10, 24, [](unsigned x, unsigned y) {
        return x >= 5 && y >= 5 ? Colour{200, 200, 200} : Colour{50, 50, 50};
    });
    ASSERT_TRUE(block.emboss(3));
    EXPECT_GT(greyAt(block, 4, 7), 128);
    EXPECT_GT(greyAt(block, 7, 4), 128);
    EXPECT_EQ(greyAt(block, 7, 7), 128);
    fipSuperImage inverse = makeImage(10, 10, 24, [](unsigned x, unsigned y) {
        return x < 5 && y < 5 ? Colour{200, 200, 200} : Colour{50, 50, 50};
    });
    ASSERT_TRUE(inverse.emboss(3));
    EXPECT_LT(greyAt(inverse, 5, 2), 128) << "the far side of a raised block is in shadow";
}

TEST(EdgeDetect, BrightEdgesOnBlackInThreeStrengths) {
    const fipSuperImage step = makeImage(8, 4, 24, [](unsigned x, unsigned) {
        return x < 4 ? Colour{20, 20, 20} : Colour{60, 60, 60};
    });
    int previous = 0;
    for (int strength = 0; strength < 3; ++strength) {
        fipSuperImage img = step;
        ASSERT_TRUE(strength == 0 ? img.edgeDetectLight()
                                  : strength == 1 ? img.edgeDetectMedium() : img.edgeDetectHeavy());
        EXPECT_EQ(greyAt(img, 0, 1), 0);
        EXPECT_EQ(greyAt(img, 7, 1), 0);
        EXPECT_GT(greyAt(img, 4, 1), previous);
        previous = greyAt(img, 4, 1);
    }
    EXPECT_EQ(previous, 80) << "heavy: (4 × 40) / 2";
}

TEST(AddNoise, BoundedReproducibleAndKeepsAlpha) {
    const fipSuperImage grey = flatImage(64, 64, 32, {128, 128, 128, 3});
    fipSuperImage a = grey, b = grey;
    fipSuperImage::setRandomSeed(9);
    ASSERT_TRUE(a.addNoise(40));
    fipSuperImage::setRandomSeed(9);
    ASSERT_TRUE(b.addNoise(40));
    EXPECT_TRUE(samePixels(a, b));
    EXPECT_FALSE(samePixels(a, grey));
    int lowest = 255, highest = 0;
    for (unsigned y = 0; y < 64; ++y)
        for (unsigned x = 0; x < 64; ++x) {
            const Colour c = colourAt(a, x, y);
            lowest = std::min({lowest, c.r, c.g, c.b});
            highest = std::max({highest, c.r, c.g, c.b});
            ASSERT_EQ(c.a, 3);
        }
    EXPECT_EQ(lowest, 108);
    EXPECT_EQ(highest, 148);
    fipSuperImage none = grey;
    ASSERT_TRUE(none.addNoise(0));
    EXPECT_TRUE(samePixels(none, grey));
}

}  // namespace
