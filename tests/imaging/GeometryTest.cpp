#include "imaging/fipSuperImage.h"

#include "TestFixtures.h"

#include <gtest/gtest.h>

namespace {

using fixtures::patternColor;
using fixtures::patternImage;
using fixtures::pixelAt;

bool sameRgb(RGBQUAD a, RGBQUAD b)
{
    return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue;
}

// Where the source pixel (x, y) of a w × h image lands after turning counter-clockwise.
struct Turn {
    double degrees;
    unsigned (*x)(unsigned x, unsigned y, unsigned w, unsigned h);
    unsigned (*y)(unsigned x, unsigned y, unsigned w, unsigned h);
};

const Turn kTurns[] = {
    {90, [](unsigned, unsigned y, unsigned, unsigned) { return y; },
     [](unsigned x, unsigned, unsigned w, unsigned) { return w - 1 - x; }},
    {180, [](unsigned x, unsigned, unsigned w, unsigned) { return w - 1 - x; },
     [](unsigned, unsigned y, unsigned, unsigned h) { return h - 1 - y; }},
    {270, [](unsigned, unsigned y, unsigned, unsigned h) { return h - 1 - y; },
     [](unsigned x, unsigned, unsigned, unsigned) { return x; }},
};

TEST(GeometryTest, QuarterTurnsMovePixelsExactly)
{
    for (unsigned bpp : {24u, 32u}) {
        for (const Turn& turn : kTurns) {
            fipSuperImage image = patternImage(100, 50, bpp);
            ASSERT_TRUE(image.rotate(turn.degrees));
            const bool swapped = turn.degrees != 180;
            ASSERT_EQ(image.getWidth(), swapped ? 50u : 100u);
            ASSERT_EQ(image.getHeight(), swapped ? 100u : 50u);
            ASSERT_EQ(image.getBPP(), bpp);
            for (unsigned y = 0; y < 50; ++y)
                for (unsigned x = 0; x < 100; ++x)
                    ASSERT_TRUE(sameRgb(pixelAt(image, turn.x(x, y, 100, 50), turn.y(x, y, 100, 50)), patternColor(x, y)))
                        << turn.degrees << " degrees at " << x << "," << y;
        }
    }
}

TEST(GeometryTest, QuarterTurnsWorkAtEveryDepthAndFourMakeTheOriginal)
{
    for (unsigned bpp : {1u, 4u, 8u, 16u, 24u, 32u}) {
        fipSuperImage image = patternImage(13, 7);
        switch (bpp) {
        case 1: image.threshold(100); break;
        case 4: image.convertTo4Bits(); break;
        case 8: image.convertTo8Bits(); break;
        case 16: image.convertTo16Bits555(); break;
        case 32: image.convertTo32Bits(); break;
        default: break;
        }
        image.setResolution(10, 20);
        const fipSuperImage original(image);
        fipSuperImage half(image);
        ASSERT_TRUE(half.rotate(90)) << bpp;
        EXPECT_DOUBLE_EQ(half.getResolutionX(), 20) << "resolution turns with the image";
        ASSERT_TRUE(half.rotate(-90)) << bpp;
        EXPECT_TRUE(fixtures::samePixels(half, original)) << bpp << " bits: +90 then -90";
        for (int i = 0; i < 4; ++i)
            ASSERT_TRUE(image.rotate(90)) << bpp;
        EXPECT_TRUE(fixtures::samePixels(image, original)) << bpp << " bits";
        EXPECT_EQ(image.getColorsUsed(), original.getColorsUsed());
    }
    // Non-standard types too.
    fipSuperImage wide = patternImage(9, 4);
    ASSERT_TRUE(wide.convertToRGB16());
    const fipSuperImage original(wide);
    ASSERT_TRUE(wide.rotate(180) && wide.rotate(180));
    EXPECT_TRUE(fixtures::samePixels(wide, original));
}

TEST(GeometryTest, CropAndSubImages)
{
    fipSuperImage image = patternImage(40, 30);
    fipSuperImage piece;
    ASSERT_TRUE(image.copySubImage(piece, 5, 7, 25, 17));
    ASSERT_EQ(piece.getWidth(), 20u);
    ASSERT_EQ(piece.getHeight(), 10u);
    for (unsigned y = 0; y < 10; ++y)
        for (unsigned x = 0; x < 20; ++x)
            ASSERT_TRUE(sameRgb(pixelAt(piece, x, y), patternColor(x + 5, y + 7)));

    fipSuperImage target = patternImage(40, 30);
    fipSuperImage patch(FIT_BITMAP, 6, 4, 24);
    RGBQUAD white = {255, 255, 255, 0};
    FreeImage_FillBackground(patch, &white, 0);
    ASSERT_TRUE(target.pasteSubImage(patch, 10, 12, 256));
    for (unsigned y = 0; y < 30; ++y)
        for (unsigned x = 0; x < 40; ++x) {
            const bool inside = x >= 10 && x < 16 && y >= 12 && y < 16;
            ASSERT_TRUE(sameRgb(pixelAt(target, x, y), inside ? white : patternColor(x, y))) << x << "," << y;
        }

    ASSERT_TRUE(image.crop(5, 7, 25, 17));
    EXPECT_TRUE(fixtures::samePixels(image, piece));
}

TEST(GeometryTest, ClearSubImageFillsOnlyTheRectangle)
{
    fipSuperImage image = patternImage(20, 20);
    const RGBQUAD red = {0, 0, 255, 0};
    ASSERT_TRUE(image.clearSubImage(15, 15, 10, 10, red));  // clipped to the image
    for (unsigned y = 0; y < 20; ++y)
        for (unsigned x = 0; x < 20; ++x)
            ASSERT_TRUE(sameRgb(pixelAt(image, x, y), x >= 15 && y >= 15 ? red : patternColor(x, y)));
    EXPECT_FALSE(image.clearSubImage(30, 30, 5, 5, red));
    EXPECT_FALSE(image.clearSubImage(0, 0, 0, 5, red));
}

TEST(GeometryTest, CanvasSizeAtAllNinePositions)
{
    const RGBQUAD fill = {10, 20, 30, 0};
    for (int position = 0; position < 9; ++position) {
        fipSuperImage image = patternImage(10, 6);
        ASSERT_TRUE(image.setCanvasSize(15, 10, position, fill)) << position;
        ASSERT_EQ(image.getWidth(), 15u);
        ASSERT_EQ(image.getHeight(), 10u);
        const unsigned left = (position % 3) == 0 ? 0 : (position % 3) == 1 ? 2 : 5;
        const unsigned top = (position / 3) == 0 ? 0 : (position / 3) == 1 ? 2 : 4;
        for (unsigned y = 0; y < 10; ++y)
            for (unsigned x = 0; x < 15; ++x) {
                const bool inside = x >= left && x < left + 10 && y >= top && y < top + 6;
                ASSERT_TRUE(sameRgb(pixelAt(image, x, y), inside ? patternColor(x - left, y - top) : fill))
                    << "position " << position << " at " << x << "," << y;
            }
    }
    // A smaller canvas cuts the image at the chosen place.
    fipSuperImage image = patternImage(10, 6);
    ASSERT_TRUE(image.setCanvasSize(4, 2, 8, fill));
    EXPECT_TRUE(sameRgb(pixelAt(image, 0, 0), patternColor(6, 4)));
    EXPECT_FALSE(image.setCanvasSize(4, 2, 9, fill));
}

TEST(GeometryTest, ThumbnailsFitTheBoxKeepTheAspectAndNeverEnlarge)
{
    const fipSuperImage landscape = patternImage(400, 100);
    fipSuperImage thumb;
    ASSERT_TRUE(fipSuperImage::makeThumbnail(thumb, landscape, 85, 85));
    EXPECT_EQ(thumb.getWidth(), 85u);
    EXPECT_EQ(thumb.getHeight(), 21u);  // 100 * 85 / 400 = 21.25

    const fipSuperImage portrait = patternImage(100, 300);
    ASSERT_TRUE(fipSuperImage::makeThumbnail(thumb, portrait, 200, 150));
    EXPECT_EQ(thumb.getWidth(), 50u);
    EXPECT_EQ(thumb.getHeight(), 150u);

    const fipSuperImage small = patternImage(30, 20);
    ASSERT_TRUE(fipSuperImage::makeThumbnail(thumb, small, 85, 85));
    EXPECT_TRUE(fixtures::samePixels(thumb, small));

    fipSuperImage line = patternImage(4000, 1);
    ASSERT_TRUE(line.makeThumbnail(85, 85));
    EXPECT_EQ(line.getWidth(), 85u);
    EXPECT_EQ(line.getHeight(), 1u);
    EXPECT_FALSE(fipSuperImage::makeThumbnail(thumb, fipSuperImage(), 85, 85));
}

}  // namespace
