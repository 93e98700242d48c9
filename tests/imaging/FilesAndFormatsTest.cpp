#include "imaging/ImageLibrary.h"
#include "imaging/JpegQuality.h"
#include "imaging/SafeSave.h"
#include "imaging/fipSuperImage.h"

#include "TestFixtures.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

using fixtures::patternImage;

// The pattern at `bpp` bits, made the way the program's colour-depth commands make them.
fipSuperImage imageAtDepth(unsigned bpp)
{
    fipSuperImage image = patternImage(32, 32);  // icons take only square sizes
    switch (bpp) {
    case 1: image.threshold(128); break;
    case 4: image.convertTo4Bits(); break;
    case 8: image.colorQuantize(FIQ_WUQUANT); break;
    case 16: image.convertTo16Bits565(); break;
    case 32: image.convertTo32Bits(); break;
    default: break;
    }
    return image;
}

// Formats that store pixels exactly with their default options.
bool isLossless(FREE_IMAGE_FORMAT fif)
{
    // (The PNM family writes by depth rather than by format, and is left out.)
    switch (fif) {
    case FIF_BMP: case FIF_PNG: case FIF_TIFF: case FIF_TARGA: case FIF_GIF: case FIF_ICO: case FIF_WBMP:
        return true;
    default:
        return false;
    }
}

// Compares colours as the eye sees them, whatever palette or masks the file chose.
void expectSameColours(const fipSuperImage& a, const fipSuperImage& b, const char* what)
{
    ASSERT_EQ(a.getWidth(), b.getWidth()) << what;
    ASSERT_EQ(a.getHeight(), b.getHeight()) << what;
    fipSuperImage ca(a);
    fipSuperImage cb(b);
    ASSERT_TRUE(ca.convertTo24Bits() && cb.convertTo24Bits()) << what;
    // 16-bit files may store 5-6-5 pixels as 5-5-5: the lowest bits of green may differ.
    const int tolerance = a.getBPP() == 16 ? 8 : 0;
    for (unsigned y = 0; y < a.getHeight(); ++y)
        for (unsigned i = 0; i < ca.getLine(); ++i)
            ASSERT_LE(std::abs(ca.getScanLine(y)[i] - cb.getScanLine(y)[i]), tolerance) << what << " row " << y;
}

TEST(FormatsTest, EveryWritableFormatRoundTripsAtEachDepthItTakes)
{
    fixtures::TempDir dir;
    int roundTrips = 0;
    for (FREE_IMAGE_FORMAT fif : fipSuperImage::getSupportsWritingFormats()) {
        const QString ext = fipSuperImage::getFIFExtension(fif);
        for (unsigned bpp : {1u, 4u, 8u, 16u, 24u, 32u}) {
            fipSuperImage image = imageAtDepth(bpp);
            // JPEG takes 8 bits only as greyscale.
            if (fif == FIF_JPEG && bpp == 8)
                image.convertToGrayscale();
            if (!ImageLibrary::canStore(fif, image))
                continue;
            const QString name = QStringLiteral("%1-%2.%3").arg(ext).arg(bpp).arg(ext);
            const QString what = FreeImage_GetFormatFromFIF(fif) + QStringLiteral(" %1 bits").arg(bpp);
            const QByteArray label = what.toUtf8();
            if (!image.save(fif, dir.file(name))) {
                // Some writers take a depth only with particular content (PBM: black and white).
                ADD_FAILURE() << "cannot save " << label.constData();
                continue;
            }
            fipSuperImage loaded;
            ASSERT_TRUE(loaded.load(dir.file(name))) << label.constData();
            EXPECT_EQ(loaded.getWidth(), 32u) << label.constData();
            EXPECT_EQ(loaded.getHeight(), 32u) << label.constData();
            // The PNM formats share one signature check, which names the first of them.
            if (!QStringLiteral("pbm pgm ppm").contains(ext)) {
                EXPECT_EQ(fipSuperImage::getFileType(dir.file(name)), fif) << label.constData();
            }
            if (isLossless(fif))
                expectSameColours(image, loaded, label.constData());
            ++roundTrips;
        }
    }
    EXPECT_GT(roundTrips, 30);
}

TEST(FormatsTest, SaveFitBppConvertsWhatTheFormatCannotStoreAndKeepsTheImage)
{
    fixtures::TempDir dir;
    const struct {
        unsigned bpp;
        const char* name;
        unsigned expectedBpp;
    } cases[] = {{32, "a.jpg", 24}, {24, "b.gif", 8}, {16, "c.jpg", 24}, {4, "d.jpg", 24}, {32, "e.ppm", 24}};
    for (const auto& c : cases) {
        fipSuperImage image = imageAtDepth(c.bpp);
        ASSERT_FALSE(image.save(dir.file(QString::fromLatin1(c.name)))) << c.name;
        ASSERT_TRUE(image.saveFitBPP(dir.file(QString::fromLatin1(c.name)))) << c.name;
        EXPECT_EQ(image.getBPP(), c.bpp) << "the image itself keeps its depth";
        fipSuperImage loaded;
        ASSERT_TRUE(loaded.load(dir.file(QString::fromLatin1(c.name))));
        EXPECT_EQ(loaded.getBPP(), c.expectedBpp) << c.name;
    }
    // A float image written as PNG becomes a standard bitmap.
    fipSuperImage grey = imageAtDepth(24);
    ASSERT_TRUE(grey.convertToFloat());
    ASSERT_TRUE(grey.saveFitBPP(dir.file(QStringLiteral("f.png"))));
    fipSuperImage loaded;
    ASSERT_TRUE(loaded.load(dir.file(QStringLiteral("f.png"))));
    EXPECT_EQ(loaded.getWidth(), 32u);
    // An unknown extension fails.
    EXPECT_FALSE(grey.saveFitBPP(dir.file(QStringLiteral("g.unknown"))));
}

TEST(FormatsTest, ResolutionSurvivesInDotsPerCentimetre)
{
    fixtures::TempDir dir;
    for (const char* name : {"r.png", "r.tif", "r.jpg", "r.bmp"}) {
        fipSuperImage image = patternImage(16, 16);
        image.setResolution(118.11, 39.37);  // 300 and 100 dots per inch
        ASSERT_TRUE(image.save(dir.file(QString::fromLatin1(name))));
        fipSuperImage loaded;
        ASSERT_TRUE(loaded.load(dir.file(QString::fromLatin1(name))));
        EXPECT_NEAR(loaded.getResolutionX() * 2.54, 300.0, 0.5) << name;
        EXPECT_NEAR(loaded.getResolutionY() * 2.54, 100.0, 0.5) << name;
    }
}

TEST(FormatsTest, FiltersAndExtensionLists)
{
    const auto& extensions = fipSuperImage::getAllFifExtList();
    for (const char* e : {"jpg", "jpeg", "png", "tif", "tiff", "bmp", "gif", "webp"})
        EXPECT_NE(std::find(extensions.begin(), extensions.end(), QString::fromLatin1(e)), extensions.end()) << e;
    EXPECT_TRUE(fipSuperImage::isImageExtension(QStringLiteral("JPG")));
    EXPECT_FALSE(fipSuperImage::isImageExtension(QStringLiteral("txt")));
    EXPECT_FALSE(fipSuperImage::isImageExtension(QString()));

    EXPECT_EQ(fipSuperImage::getFIFExtension(FIF_JPEG), QStringLiteral("jpg"));
    EXPECT_EQ(fipSuperImage::getFIFExtension(FIF_TIFF), QStringLiteral("tif"));
    EXPECT_EQ(fipSuperImage::getFIFFromFilename(QStringLiteral("/a.b/IMG.JPEG")), FIF_JPEG);
    EXPECT_EQ(fipSuperImage::getFIFFromFilename(QStringLiteral("/a.png/noext")), FIF_UNKNOWN);
    // Our thread-safe lookup must name the format the library's own lookup names, for every
    // extension and format name it knows, whatever the case.
    for (int i = 0; i < FreeImage_GetFIFCount(); ++i) {
        const auto fif = static_cast<FREE_IMAGE_FORMAT>(i);
        QList<QByteArray> names = QByteArray(FreeImage_GetFIFExtensionList(fif)).split(',');
        names << FreeImage_GetFormatFromFIF(fif) << "nosuchformat";
        for (const QByteArray& n : names) {
            const QByteArray file = "/d.x/IMG." + n.toUpper();
            EXPECT_EQ(ImageLibrary::formatFromName(file), FreeImage_GetFIFFromFilename(file.constData())) << file.constData();
        }
    }

    const QString open = fipSuperImage::getOpenFileFilter();
    EXPECT_TRUE(open.startsWith(QStringLiteral("All image files (*.")));
    EXPECT_TRUE(open.endsWith(QStringLiteral(";;All files (*)")));
    EXPECT_TRUE(open.contains(QStringLiteral("*.jpg *.jif *.jpeg *.jpe")));
    const QString save = patternImage(4, 4).getSaveFileFilter();
    const QStringList entries = save.split(QStringLiteral(";;"));
    EXPECT_EQ(static_cast<size_t>(entries.size()), fipSuperImage::getSupportsWritingFormats().size());
    for (const QString& e : entries)
        EXPECT_TRUE(e.contains(QStringLiteral(" (*.")) && e.endsWith(u')')) << qPrintable(e);
}

TEST(FormatsTest, JpegQualityIsReadBackFromTheQuantisationTables)
{
    fixtures::TempDir dir;
    fipSuperImage image = patternImage(40, 24);
    for (const int quality : {5, 25, 50, 75, 90, 97, 100}) {
        const QString path = dir.file(QStringLiteral("q%1.jpg").arg(quality));
        ASSERT_TRUE(image.save(FIF_JPEG, path, quality));
        EXPECT_EQ(JpegQuality::estimate(path), quality);
    }
    // Not a JPEG, or one cut off before its tables: nothing to go by.
    ASSERT_TRUE(image.save(dir.file(QStringLiteral("p.png"))));
    EXPECT_FALSE(JpegQuality::estimate(dir.file(QStringLiteral("p.png"))));
    const QByteArray whole = fixtures::readFile(dir.file(QStringLiteral("q90.jpg")));
    ASSERT_TRUE(fixtures::writeFile(dir.file(QStringLiteral("cut.jpg")), whole.left(30)));
    EXPECT_FALSE(JpegQuality::estimate(dir.file(QStringLiteral("cut.jpg"))));
    EXPECT_FALSE(JpegQuality::estimate(dir.file(QStringLiteral("missing.jpg"))));
}

TEST(SafeSaveTest, ReplacingKeepsPermissionsAndAFailureKeepsTheOriginal)
{
    fixtures::TempDir dir;
    const QString target = dir.file(QStringLiteral("photo.png"));
    fipSuperImage image = patternImage(20, 10);
    ASSERT_TRUE(image.save(target));
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0640), 0);
    const QByteArray before = fixtures::readFile(target);

    // A writer that fails half-way.
    EXPECT_FALSE(SafeSave::writeReplacing(target, [](const QString& temp) {
        fixtures::writeFile(temp, "partial");
        return false;
    }));
    EXPECT_EQ(fixtures::readFile(target), before);

    // A format that cannot take the image fails before anything is written.
    EXPECT_FALSE(image.save(FIF_GIF, target));
    EXPECT_EQ(fixtures::readFile(target), before);

    fipSuperImage other = patternImage(30, 10);
    ASSERT_TRUE(other.save(target));
    struct stat st = {};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    fipSuperImage loaded;
    ASSERT_TRUE(loaded.load(target));
    EXPECT_EQ(loaded.getWidth(), 30u);

    // Saving through a link replaces the file it points to and keeps the link.
    const QString link = dir.file(QStringLiteral("link.png"));
    ASSERT_TRUE(QFile::link(target, link));
    ASSERT_TRUE(patternImage(5, 5).save(link));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    ASSERT_TRUE(loaded.load(target));
    EXPECT_EQ(loaded.getWidth(), 5u);

    // No temporary file is left behind, and a missing folder fails cleanly.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 2);
    EXPECT_FALSE(image.save(dir.file(QStringLiteral("missing/x.png"))));
}

// A disk that fills up half-way through: every writer must fail and keep the original, the
// PNG writer included (it does not notice short writes itself).
TEST(SafeSaveTest, AWriteThatRunsOutOfSpaceFailsAndKeepsTheOriginal)
{
    fixtures::TempDir dir;
    for (const char* name : {"big.png", "big.bmp", "big.tif", "big.jpg"}) {
        const QString target = dir.file(QString::fromLatin1(name));
        fipSuperImage original = patternImage(300, 200);
        ASSERT_TRUE(original.save(target)) << name;
        const QByteArray before = fixtures::readFile(target);

        struct rlimit old = {};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = old;
        small.rlim_cur = 4096;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        // Noise does not compress below the limit in any format.
        fipSuperImage other(FIT_BITMAP, 320, 240, 24);
        std::mt19937 random(7);
        for (unsigned y = 0; y < 240; ++y)
            for (unsigned i = 0; i < other.getLine(); ++i)
                other.getScanLine(y)[i] = static_cast<BYTE>(random());
        const BOOL saved = other.save(target);
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);

        EXPECT_FALSE(saved) << name;
        EXPECT_EQ(fixtures::readFile(target), before) << name;
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 4) << "no temporary file is left";
}

}  // namespace
