// The effect dialogs' previews on a dense screen: worked out and drawn at the screen's pixels,
// with lengths scaled so the effect looks as it does at 1x.
#include "imaging/dialogs/CThumbWnd.h"
#include "DensityRerun.h"
#include "imaging/dialogs/ValueDialogs.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// White, with black columns one pixel wide at x = 1, 5, 9, ...
fipSuperImage columns(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::white);
    for (int x = 1; x < width; x += 4)
        for (int y = 0; y < height; ++y)
            picture.setPixel(x, y, qRgb(0, 0, 0));
    fipSuperImage image;
    EXPECT_TRUE(image.copyFromQImage(picture));
    return image;
}

TEST(EffectPreview, IsWorkedOutAndDrawnAtTheScreensPixels)
{
    if (qApp->devicePixelRatio() == 1) {
        fixtures::rerunAtDensity(QStringLiteral("2"));
        return;
    }
    ASSERT_EQ(qApp->devicePixelRatio(), 2.0);
    // The preview is 240 x 180 logical, 480 x 360 screen pixels: the source fills it exactly.
    const fipSuperImage source = columns(480, 360);

    CDlgThreshold threshold(&source);
    threshold.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&threshold));
    EXPECT_EQ(threshold.preview()->image().getWidth(), 480u);
    const QImage shot = threshold.preview()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shot.size(), QSize(480, 360));
    // Edge sharpness: each line one screen pixel wide between white neighbours.
    for (const int x : {201, 205}) {
        EXPECT_LT(qGray(shot.pixel(x, 180)), 30) << x;
        EXPECT_GT(qGray(shot.pixel(x - 1, 180)), 225) << x;
        EXPECT_GT(qGray(shot.pixel(x + 1, 180)), 225) << x;
    }

    // A mosaic of 4 preview pixels has blocks of 8 screen pixels: as coarse as at 1x.
    QImage ramp(480, 360, QImage::Format_RGB32);
    for (int y = 0; y < ramp.height(); ++y)
        for (int x = 0; x < ramp.width(); ++x)
            ramp.setPixel(x, y, qRgb(x / 2, x / 2, x / 2));
    fipSuperImage rising;
    ASSERT_TRUE(rising.copyFromQImage(ramp));
    CDlgMosaic mosaic(&rising);
    mosaic.show();
    mosaic.edit(0)->setText(QStringLiteral("4"));
    const QImage blocks = mosaic.preview()->image().toQImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(blocks.width(), 480);
    int run = 1;
    while (run < blocks.width() && blocks.pixel(run, 0) == blocks.pixel(0, 0))
        ++run;
    EXPECT_EQ(run, 8);
}

}  // namespace
