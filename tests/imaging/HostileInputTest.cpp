#include "imaging/fipSuperImage.h"

#include "TestFixtures.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

namespace {

TEST(HostileInputTest, LoadFailsCleanlyOnBrokenFiles)
{
    fixtures::TempDir dir;
    ASSERT_TRUE(fixtures::patternImage(64, 48).save(FIF_PNG, dir.file(QStringLiteral("good.png"))));
    ASSERT_TRUE(fixtures::patternImage(64, 48).save(FIF_TIFF, dir.file(QStringLiteral("good.tif"))));
    ASSERT_FALSE(fixtures::writePatternJpeg(dir.file(QStringLiteral("good.jpg")), 64, 48).isEmpty());

    std::mt19937 random(1234);
    QByteArray noise(5000, '\0');
    for (char& c : noise)
        c = static_cast<char>(random());

    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"empty.jpg", QByteArray()},
        {"random.jpg", noise},
        {"text.png", QByteArray("This is not a picture.\n")},
        {"header-only.png", fixtures::readFile(dir.file(QStringLiteral("good.png"))).left(40)},
        {"jpeg-signature.jpg", QByteArray("\xFF\xD8\xFF\xDB", 4) + noise},
        {"tiff-signature.tif", QByteArray("II*\0", 4) + noise},
    };
    for (const auto& c : cases) {
        const QString path = dir.file(QString::fromLatin1(c.name));
        ASSERT_TRUE(fixtures::writeFile(path, c.bytes));
        fipSuperImage image;
        EXPECT_FALSE(image.load(path)) << c.name;
        EXPECT_FALSE(image.isValid()) << c.name;
    }
    // Truncated files may decode partly (the rest grey) or fail; neither may crash.
    for (const char* name : {"good.png", "good.tif", "good.jpg"}) {
        const QByteArray whole = fixtures::readFile(dir.file(QString::fromLatin1(name)));
        for (qsizetype keep : {qsizetype(1), whole.size() / 3, whole.size() / 2, whole.size() - 10}) {
            const QString path = dir.file(QStringLiteral("cut-%1-%2").arg(keep).arg(QString::fromLatin1(name)));
            ASSERT_TRUE(fixtures::writeFile(path, whole.left(keep)));
            fipSuperImage image;
            if (image.load(path)) {
                EXPECT_EQ(image.getWidth(), 64u) << name << " cut at " << keep;
            }
        }
    }
    fipSuperImage image;
    EXPECT_FALSE(image.load(dir.file(QStringLiteral("missing.jpg"))));
    EXPECT_FALSE(image.load(dir.path()));
    EXPECT_FALSE(image.load(QString()));
    EXPECT_FALSE(image.load(static_cast<const char*>(nullptr)));
    ASSERT_TRUE(QDir().mkpath(dir.file(QStringLiteral("folder.jpg"))));
    EXPECT_FALSE(image.load(dir.file(QStringLiteral("folder.jpg"))));
    EXPECT_EQ(fipSuperImage::getFileType(dir.file(QStringLiteral("folder.jpg"))), FIF_JPEG) << "by name only";
}

TEST(HostileInputTest, NamesThatAreNotUtf8Load)
{
    fixtures::TempDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    for (const char* name : {"/\xff\xfe photo.jpg", "/\xe9t\xe9.png"}) {
        const QByteArray path = folder + name;
        const QString tempPath = dir.file(QStringLiteral("plain") + QString::fromLatin1(name).right(4));
        ASSERT_TRUE(fixtures::patternImage(20, 10).save(tempPath));
        ASSERT_EQ(::rename(QFile::encodeName(tempPath).constData(), path.constData()), 0);
        fipSuperImage image;
        EXPECT_TRUE(image.load(path.constData())) << name;
        EXPECT_EQ(image.getWidth(), 20u);
    }
}

TEST(HostileInputTest, AFailedLoadKeepsTheImageThatWasThere)
{
    fixtures::TempDir dir;
    fipSuperImage image = fixtures::patternImage(10, 10);
    ASSERT_TRUE(fixtures::writeFile(dir.file(QStringLiteral("bad.png")), "nope"));
    EXPECT_FALSE(image.load(dir.file(QStringLiteral("bad.png"))));
    EXPECT_TRUE(image.isValid());
    EXPECT_EQ(image.getWidth(), 10u);
}

}  // namespace
