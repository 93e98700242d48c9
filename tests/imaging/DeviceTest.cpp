#include "imaging/fipSuperImage.h"

#include "TestFixtures.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

using fixtures::patternColor;

TEST(DeviceTest, QImageConversionKeepsPixelsAndOrientation)
{
    for (unsigned bpp : {8u, 24u, 32u, 1u, 4u, 16u}) {
        fipSuperImage image = fixtures::patternImage(21, 9);
        switch (bpp) {
        case 1: image.threshold(128); break;
        case 4: image.convertTo4Bits(); break;
        case 8: image.convertTo8Bits(); break;
        case 16: image.convertTo16Bits565(); break;
        case 32: image.convertTo32Bits(); break;
        default: break;
        }
        const QImage q = image.toQImage();
        ASSERT_EQ(q.width(), 21) << bpp;
        ASSERT_EQ(q.height(), 9) << bpp;
        for (unsigned y = 0; y < 9; ++y)
            for (unsigned x = 0; x < 21; ++x) {
                const RGBQUAD c = fixtures::pixelAt(image, x, y);
                const QRgb p = q.pixel(static_cast<int>(x), static_cast<int>(y));
                ASSERT_EQ(qRed(p), c.rgbRed) << bpp << " bits at " << x << "," << y;
                ASSERT_EQ(qGreen(p), c.rgbGreen);
                ASSERT_EQ(qBlue(p), c.rgbBlue);
            }
    }
}

TEST(DeviceTest, QImageBackAndClipboard)
{
    const fipSuperImage image = fixtures::patternImage(13, 5);
    fipSuperImage back;
    ASSERT_TRUE(back.copyFromQImage(image.toQImage()));
    EXPECT_TRUE(fixtures::samePixels(back, image));

    ASSERT_TRUE(image.copyToClipboard());
    fipSuperImage pasted;
    ASSERT_TRUE(pasted.pasteFromClipboard());
    EXPECT_EQ(pasted.getWidth(), 13u);
    const RGBQUAD c = fixtures::pixelAt(pasted, 3, 2);
    EXPECT_EQ(c.rgbRed, patternColor(3, 2).rgbRed);

    // Cut puts the piece on the clipboard and fills its place.
    fipSuperImage cutFrom = fixtures::patternImage(13, 5);
    const RGBQUAD white = {255, 255, 255, 0};
    ASSERT_TRUE(cutFrom.cut(2, 1, 4, 3, white));
    const QImage onClipboard = QGuiApplication::clipboard()->image();
    EXPECT_EQ(onClipboard.size(), QSize(4, 3));
    EXPECT_EQ(qRed(onClipboard.pixel(0, 0)), patternColor(2, 1).rgbRed);
    EXPECT_EQ(fixtures::pixelAt(cutFrom, 2, 1).rgbRed, 255);

    QGuiApplication::clipboard()->clear();
    fipSuperImage nothing = fixtures::patternImage(3, 3);
    EXPECT_FALSE(nothing.pasteFromClipboard());
    EXPECT_EQ(nothing.getWidth(), 3u);
}

TEST(DeviceTest, DrawExStretchesIntoTheRectangle)
{
    fipSuperImage image(FIT_BITMAP, 2, 2, 24);
    RGBQUAD red = {0, 0, 255, 0};
    FreeImage_FillBackground(image, &red, 0);
    QImage canvas(20, 10, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    {
        QPainter painter(&canvas);
        image.drawEx(painter, QRect(5, 0, 10, 10), true, qRgb(0x8A, 0x8A, 0x8A));
    }
    EXPECT_EQ(canvas.pixel(0, 5), qRgb(0x8A, 0x8A, 0x8A));
    EXPECT_EQ(canvas.pixel(10, 5), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.pixel(19, 9), qRgb(0x8A, 0x8A, 0x8A));
}

}  // namespace
