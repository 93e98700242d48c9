// The lossless JPEG commands' file handling: every file either turns with its markers kept or
// stays byte for byte as it was, and the rest of the list still turns.
#include "imaging/geometry/JpegLossless.h"

#include "app/CommandIds.h"
#include "imaging/fipSuperImage.h"

#include "HostileFiles.h"
#include "TestFixtures.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <turbojpeg.h>

namespace {

// A CMYK (YCCK) JPEG as print work flows write them.
QByteArray cmykJpeg(int width, int height)
{
    QByteArray cmyk(width * height * 4, '\0');
    for (int i = 0; i < cmyk.size(); ++i)
        cmyk[i] = char((i * 7) & 0xFF);
    tjhandle tj = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    const int failed = tjCompress2(tj, reinterpret_cast<const unsigned char*>(cmyk.constData()), width, width * 4,
                                   height, TJPF_CMYK, &out, &size, TJSAMP_444, 90, 0);
    QByteArray jpeg = failed ? QByteArray() : QByteArray(reinterpret_cast<const char*>(out), int(size));
    tjFree(out);
    tjDestroy(tj);
    return jpeg;
}

QSize sizeOf(const QString& path)
{
    fipSuperImage image;
    return image.load(path) ? QSize(int(image.getWidth()), int(image.getHeight())) : QSize();
}

TEST(JpegLossless, EnablingAndOperations)
{
    EXPECT_EQ(JpegLossless::operationFor(cmd::JpegRotateLeft), FIJPEG_OP_ROTATE_270);
    EXPECT_EQ(JpegLossless::operationFor(cmd::JpegRotateRight), FIJPEG_OP_ROTATE_90);
    EXPECT_EQ(JpegLossless::operationFor(cmd::JpegRotate180), FIJPEG_OP_ROTATE_180);
    EXPECT_EQ(JpegLossless::operationFor(cmd::JpegVerticalFlip), FIJPEG_OP_FLIP_V);
    EXPECT_EQ(JpegLossless::operationFor(cmd::JpegHorizontalFlip), FIJPEG_OP_FLIP_H);
    EXPECT_TRUE(JpegLossless::enabledForSelection(2, {"/a/b.JPG", "/a/c.jpeg"}));
    EXPECT_TRUE(JpegLossless::enabledForSelection(1, {}));  // items without paths
    EXPECT_FALSE(JpegLossless::enabledForSelection(0, {}));
    EXPECT_FALSE(JpegLossless::enabledForSelection(2, {"/a/b.jpg", "/a/c.png"}));
}

TEST(JpegLossless, EveryFileTurnsWithItsMarkersOrStaysAsItWas)
{
    fixtures::TempDir dir;
    const QByteArray thumb = fixtures::readFile(fixtures::writePatternJpeg(dir.file("thumb.jpg"), 16, 8));
    const QByteArray plain = fixtures::readFile(fixtures::writePatternJpeg(dir.file("plain.jpg"), 33, 17));
    const QByteArray withExif = fixtures::withExifThumbnail(plain, thumb);
    ASSERT_FALSE(withExif.isEmpty());
    struct File { QString name; QByteArray bytes; bool turns; };
    const File files[] = {
        {"trimmed-edge.jpg", withExif, true},
        {"progressive.jpg", hostile::progressiveJpeg(48, 32), true},
        {"cmyk.jpg", cmykJpeg(32, 16), true},
        {"truncated.jpg", plain.left(plain.size() / 2), false},
        {"read-only.jpg", plain, false},
        {"vanished.jpg", {}, false},
    };
    QStringList paths;
    for (const File& f : files) {
        if (!f.bytes.isEmpty())
            ASSERT_TRUE(fixtures::writeFile(dir.file(f.name), f.bytes)) << f.name.toStdString();
        paths << dir.file(f.name);
    }
    QFile::setPermissions(dir.file("read-only.jpg"), QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    ASSERT_TRUE(fixtures::writeFile(dir.file("target.jpg"), plain));
    ASSERT_TRUE(QFile::link(dir.file("target.jpg"), dir.file("link.jpg")));
    paths << dir.file("link.jpg");
    // The run stops at the first file that is not a JPEG by name.
    ASSERT_TRUE(fixtures::writeFile(dir.file("after-png.png"), plain));
    ASSERT_TRUE(fixtures::writeFile(dir.file("after.jpg"), plain));
    paths << dir.file("after-png.png") << dir.file("after.jpg");

    const JpegLossless::Outcome outcome = JpegLossless::transformFiles(paths, FIJPEG_OP_ROTATE_90);
    EXPECT_EQ(outcome.transformed, 4);
    EXPECT_EQ(outcome.failed, 3);
    for (const File& f : files) {
        const QByteArray now = fixtures::readFile(dir.file(f.name));
        if (f.turns)
            EXPECT_NE(now, f.bytes) << f.name.toStdString();
        else
            EXPECT_EQ(now, f.bytes) << f.name.toStdString();
    }
    // The partial edge block that would move to the top is trimmed; the EXIF block stays.
    EXPECT_EQ(sizeOf(dir.file("trimmed-edge.jpg")), QSize(16, 33));
    EXPECT_TRUE(fixtures::readFile(dir.file("trimmed-edge.jpg")).contains(QByteArray("Exif\0\0", 6)));
    EXPECT_EQ(sizeOf(dir.file("progressive.jpg")), QSize(32, 48));
    EXPECT_TRUE(QFileInfo(dir.file("link.jpg")).isSymLink());
    EXPECT_EQ(sizeOf(dir.file("target.jpg")), QSize(16, 33));
    EXPECT_EQ(fixtures::readFile(dir.file("after.jpg")), plain);
}

}  // namespace
