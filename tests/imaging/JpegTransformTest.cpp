#include "imaging/JpegTransform.h"
#include "imaging/fipSuperImage.h"

#include "TestFixtures.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>
#pragma GCC diagnostic pop

namespace {

// A JPEG with an EXIF block, an ICC-style APP2 block and a comment, spliced in after SOI.
QByteArray jpegWithMarkers(unsigned width, unsigned height)
{
    fixtures::TempDir dir;
    const QByteArray plain = fixtures::readFile(fixtures::writePatternJpeg(dir.file(QStringLiteral("p.jpg")), width, height));
    auto segment = [](char marker, const QByteArray& body) {
        const int length = static_cast<int>(body.size()) + 2;
        return QByteArray("\xFF") + marker + static_cast<char>(length >> 8) + static_cast<char>(length & 255) + body;
    };
    const QByteArray exif = QByteArray("Exif\0\0", 6) + QByteArray("MM\0\x2a\0\0\0\x08\0\0", 10);
    const QByteArray icc = QByteArray("ICC_PROFILE\0\x01\x01", 14) + QByteArray(64, '\x11');
    const QByteArray comment = "kelvra test comment";
    return plain.left(2) + segment('\xE1', exif) + segment('\xE2', icc) + segment('\xFE', comment) + plain.mid(2);
}

TEST(JpegTransformTest, FourQuarterTurnsGiveBackPixelsAndMarkers)
{
    fixtures::TempDir dir;
    const QString path = dir.file(QStringLiteral("photo.jpg"));
    const QByteArray original = jpegWithMarkers(64, 32);
    ASSERT_TRUE(fixtures::writeFile(path, original));
    fipSuperImage before;
    ASSERT_TRUE(before.load(path));

    ASSERT_TRUE(FreeImage_JPEGTransform(path.toUtf8().constData(), path.toUtf8().constData(), FIJPEG_OP_ROTATE_90, FALSE));
    fipSuperImage turned;
    ASSERT_TRUE(turned.load(path));
    EXPECT_EQ(turned.getWidth(), 32u);
    EXPECT_EQ(turned.getHeight(), 64u);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(FreeImage_JPEGTransform(path.toUtf8().constData(), path.toUtf8().constData(), FIJPEG_OP_ROTATE_90, FALSE));
    fipSuperImage after;
    ASSERT_TRUE(after.load(path));
    EXPECT_TRUE(fixtures::samePixels(before, after));
    const QByteArray result = fixtures::readFile(path);
    EXPECT_TRUE(result.contains(QByteArray("Exif\0\0MM", 8)));
    EXPECT_TRUE(result.contains(QByteArray("ICC_PROFILE\0", 12)));
    EXPECT_TRUE(result.contains("kelvra test comment"));
}

TEST(JpegTransformTest, FlipsTwiceAndHalfTurnsTwiceAreTheOriginal)
{
    fixtures::TempDir dir;
    const QString source = dir.file(QStringLiteral("s.jpg"));
    const QString target = dir.file(QStringLiteral("t.jpg"));
    ASSERT_FALSE(fixtures::writePatternJpeg(source, 48, 32).isEmpty());
    fipSuperImage original;
    ASSERT_TRUE(original.load(source));
    for (auto op : {FIJPEG_OP_FLIP_H, FIJPEG_OP_FLIP_V, FIJPEG_OP_ROTATE_180}) {
        ASSERT_TRUE(FreeImage_JPEGTransform(source.toUtf8().constData(), target.toUtf8().constData(), op, TRUE));
        fipSuperImage once;
        ASSERT_TRUE(once.load(target));
        EXPECT_FALSE(fixtures::samePixels(once, original)) << op;
        ASSERT_TRUE(FreeImage_JPEGTransform(target.toUtf8().constData(), target.toUtf8().constData(), op, TRUE));
        fipSuperImage twice;
        ASSERT_TRUE(twice.load(target));
        EXPECT_TRUE(fixtures::samePixels(twice, original)) << op;
    }
    // A 270 turn is the 90 turn the other way.
    ASSERT_TRUE(FreeImage_JPEGTransform(source.toUtf8().constData(), target.toUtf8().constData(), FIJPEG_OP_ROTATE_270, TRUE));
    fipSuperImage left;
    ASSERT_TRUE(left.load(target));
    fipSuperImage expected(original);
    ASSERT_TRUE(expected.rotate(90));
    EXPECT_EQ(left.getWidth(), expected.getWidth());
}

TEST(JpegTransformTest, PerfectRefusesPartialBlocksAndTrimmingDropsThem)
{
    fixtures::TempDir dir;
    const QString source = dir.file(QStringLiteral("odd.jpg"));
    const QString target = dir.file(QStringLiteral("out.jpg"));
    ASSERT_FALSE(fixtures::writePatternJpeg(source, 50, 30).isEmpty());
    EXPECT_FALSE(FreeImage_JPEGTransform(source.toUtf8().constData(), target.toUtf8().constData(), FIJPEG_OP_ROTATE_90, TRUE));
    EXPECT_FALSE(QFile::exists(target));
    ASSERT_TRUE(FreeImage_JPEGTransform(source.toUtf8().constData(), target.toUtf8().constData(), FIJPEG_OP_ROTATE_90, FALSE));
    fipSuperImage turned;
    ASSERT_TRUE(turned.load(target));
    // The partial blocks along the bottom would land on the left edge: they are dropped.
    EXPECT_EQ(turned.getWidth(), 16u);
    EXPECT_EQ(turned.getHeight(), 50u);
}

TEST(JpegTransformTest, FailuresLeaveBothFilesUntouched)
{
    fixtures::TempDir dir;
    const QString png = dir.file(QStringLiteral("not-a-jpeg.jpg"));
    ASSERT_TRUE(fixtures::patternImage(16, 16).save(FIF_PNG, png));
    const QString target = dir.file(QStringLiteral("target.jpg"));
    ASSERT_TRUE(fixtures::writeFile(target, "precious"));
    const QByteArray pngBytes = fixtures::readFile(png);
    for (const QString& source : {png, dir.file(QStringLiteral("missing.jpg")), dir.path()}) {
        EXPECT_FALSE(FreeImage_JPEGTransform(source.toUtf8().constData(), target.toUtf8().constData(), FIJPEG_OP_ROTATE_90, FALSE));
        EXPECT_EQ(fixtures::readFile(target), QByteArray("precious"));
    }
    EXPECT_EQ(fixtures::readFile(png), pngBytes);
    // Garbage after a JPEG signature.
    const QString broken = dir.file(QStringLiteral("broken.jpg"));
    ASSERT_TRUE(fixtures::writeFile(broken, QByteArray("\xFF\xD8\xFF\xE0", 4) + QByteArray(300, '\x42')));
    EXPECT_FALSE(FreeImage_JPEGTransform(broken.toUtf8().constData(), target.toUtf8().constData(), FIJPEG_OP_ROTATE_90, FALSE));
    EXPECT_EQ(fixtures::readFile(target), QByteArray("precious"));
    EXPECT_FALSE(FreeImage_JPEGTransform(nullptr, target.toUtf8().constData(), FIJPEG_OP_ROTATE_90, FALSE));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
}

// A camera's photo: EXIF Orientation 6, the pixel size and a preview whose left half is black
// and right half white.
QByteArray cameraJpeg(const QString& path)
{
    fixtures::writePatternJpeg(path, 64, 32);
    QImage preview(32, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x)
            preview.setPixel(x, y, x < 16 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    QBuffer previewJpeg;
    previewJpeg.open(QIODevice::WriteOnly);
    preview.save(&previewJpeg, "JPEG", 95);
    auto image = Exiv2::ImageFactory::open(path.toStdString());
    Exiv2::ExifData exif;
    exif["Exif.Image.Orientation"] = uint16_t(6);
    exif["Exif.Photo.PixelXDimension"] = uint16_t(64);
    exif["Exif.Photo.PixelYDimension"] = uint32_t(32);
    Exiv2::ExifThumb(exif).setJpegThumbnail(reinterpret_cast<const Exiv2::byte*>(previewJpeg.data().constData()),
                                            static_cast<long>(previewJpeg.data().size()));
    image->setExifData(exif);
    image->writeMetadata();
    return fixtures::readFile(path);
}

TEST(JpegTransformTest, ExifFollowsTheTurnedPixels)
{
    struct Case {
        FREE_IMAGE_JPEG_OPERATION operation;
        long width, height;                    // stored pixel size afterwards
        QPoint blackInPreview, whiteInPreview;  // where the preview's halves went
    };
    const Case cases[] = {
        {FIJPEG_OP_ROTATE_90, 32, 64, {8, 4}, {8, 27}},
        {FIJPEG_OP_ROTATE_270, 32, 64, {8, 27}, {8, 4}},
        {FIJPEG_OP_ROTATE_180, 64, 32, {27, 8}, {4, 8}},
        {FIJPEG_OP_FLIP_H, 64, 32, {27, 8}, {4, 8}},
        {FIJPEG_OP_FLIP_V, 64, 32, {4, 8}, {27, 8}},
        {FIJPEG_OP_TRANSPOSE, 32, 64, {8, 4}, {8, 27}},
    };
    fixtures::TempDir dir;
    for (const Case& c : cases) {
        const QString path = dir.file(QStringLiteral("camera.jpg"));
        cameraJpeg(path);
        ASSERT_TRUE(JpegTransform::transformFile(path, path, c.operation, true)) << c.operation;
        auto image = Exiv2::ImageFactory::open(path.toStdString());
        image->readMetadata();
        Exiv2::ExifData& exif = image->exifData();
        EXPECT_EQ(exif["Exif.Image.Orientation"].toLong(), 1) << c.operation;
        EXPECT_EQ(exif["Exif.Photo.PixelXDimension"].toLong(), c.width) << c.operation;
        EXPECT_EQ(exif["Exif.Photo.PixelYDimension"].toLong(), c.height) << c.operation;
        const Exiv2::DataBuf stored = Exiv2::ExifThumbC(exif).copy();
        const QImage preview = QImage::fromData(stored.pData_, static_cast<int>(stored.size_), "JPEG");
        ASSERT_EQ(preview.size(), c.width > c.height ? QSize(32, 16) : QSize(16, 32)) << c.operation;
        EXPECT_LT(qGray(preview.pixel(c.blackInPreview)), 40) << c.operation;
        EXPECT_GT(qGray(preview.pixel(c.whiteInPreview)), 215) << c.operation;
        fipSuperImage turned;
        ASSERT_TRUE(turned.load(path));
        EXPECT_EQ(static_cast<long>(turned.getWidth()), c.width);
    }
}

}  // namespace
