#include "browser/ThumbnailCache.h"
#include "browser/ThumbnailMaker.h"

#include "imaging/fipSuperImage.h"

#include "HostileFiles.h"
#include "TestFixtures.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <future>
#include <sys/stat.h>
#include <zlib.h>

namespace {

const ThumbnailOptions kNoCache{false};

QString writePng(const QString& path, int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb((x * 7) & 255, (y * 5) & 255, (x + y) & 255));
    image.save(path, "PNG");
    return path;
}

void putU32(QByteArray& bytes, int at, quint32 v)
{
    bytes[at] = char(v >> 24);
    bytes[at + 1] = char(v >> 16);
    bytes[at + 2] = char(v >> 8);
    bytes[at + 3] = char(v);
}

// A real small PNG whose header (with a correct checksum) claims 40,000 × 40,000 pixels.
QString writeHugeClaimPng(const QString& path)
{
    writePng(path, 16, 16);
    QByteArray bytes = fixtures::readFile(path);
    putU32(bytes, 16, 40000);
    putU32(bytes, 20, 40000);
    const quint32 crc = crc32(0, reinterpret_cast<const Bytef*>(bytes.constData() + 12), 17);
    putU32(bytes, 29, crc);
    fixtures::writeFile(path, bytes);
    return path;
}

}  // namespace

TEST(FitThumbnailSize, FitsRoundsAndNeverEnlarges)
{
    EXPECT_EQ(fitThumbnailSize({85, 85}, 85, 85), QSize(85, 85));
    EXPECT_EQ(fitThumbnailSize({86, 85}, 85, 85), QSize(85, 84));
    EXPECT_EQ(fitThumbnailSize({40, 20}, 85, 85), QSize(40, 20));
    EXPECT_EQ(fitThumbnailSize({6000, 4000}, 85, 85), QSize(85, 57));  // 56.67 rounds up
    EXPECT_EQ(fitThumbnailSize({100, 1}, 85, 85), QSize(85, 1));
    EXPECT_EQ(fitThumbnailSize({1, 10000}, 85, 85), QSize(1, 85));
    EXPECT_EQ(fitThumbnailSize({0, 5}, 85, 85), QSize());
}

TEST(MakeThumbnail, JpegIsScaledWhileDecodingAndPngThroughTheReader)
{
    fixtures::TempDir dir;
    const QString jpeg = fixtures::writePatternJpeg(dir.file("big photo.jpg"), 1600, 1200);
    const auto fromJpeg = MakeThumbnail(QFile::encodeName(jpeg), 85, 85, kNoCache);
    ASSERT_TRUE(fromJpeg.ok());
    EXPECT_EQ(fromJpeg.fullWidth, 1600);
    EXPECT_EQ(fromJpeg.fullHeight, 1200);
    EXPECT_EQ(fromJpeg.image.getWidth(), 85u);
    EXPECT_EQ(fromJpeg.image.getHeight(), 64u);

    // Exactly the box: unscaled; one pixel wider: scaled.
    writePng(dir.file("exact.png"), 85, 85);
    const auto exact = MakeThumbnail(QFile::encodeName(dir.file("exact.png")), 85, 85, kNoCache);
    ASSERT_TRUE(exact.ok());
    EXPECT_EQ(exact.image.getWidth(), 85u);
    EXPECT_TRUE(exact.image.toQImage().convertToFormat(QImage::Format_RGB32)
                == QImage(dir.file("exact.png")).convertToFormat(QImage::Format_RGB32));
    writePng(dir.file("wider.png"), 86, 85);
    const auto wider = MakeThumbnail(QFile::encodeName(dir.file("wider.png")), 85, 85, kNoCache);
    EXPECT_EQ(wider.image.getWidth(), 85u);
    EXPECT_EQ(wider.image.getHeight(), 84u);
    EXPECT_EQ(wider.fullWidth, 86);

    // Formats outside the thumbnail set go through the image library.
    fipSuperImage pattern = fixtures::patternImage(300, 100);
    ASSERT_TRUE(pattern.save(dir.file("p.pcx")) || pattern.save(dir.file("p.tga")));
    const QString other = QFile::exists(dir.file("p.pcx")) ? dir.file("p.pcx") : dir.file("p.tga");
    const auto fromLibrary = MakeThumbnail(QFile::encodeName(other), 85, 85, kNoCache);
    ASSERT_TRUE(fromLibrary.ok());
    EXPECT_EQ(fromLibrary.fullWidth, 300);
    EXPECT_EQ(fromLibrary.image.getWidth(), 85u);
}

TEST(MakeThumbnail, DownscalingAveragesInsteadOfAliasing)
{
    fixtures::TempDir dir;
    // One-pixel black and white stripes must become mid grey, not a stripe colour.
    QImage stripes(400, 400, QImage::Format_RGB32);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 400; ++x)
            stripes.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    stripes.save(dir.file("stripes.png"));
    const auto result = MakeThumbnail(QFile::encodeName(dir.file("stripes.png")), 50, 50, kNoCache);
    ASSERT_TRUE(result.ok());
    const QImage small = result.image.toQImage();
    const int grey = qGray(small.pixel(25, 25));
    EXPECT_GT(grey, 100);
    EXPECT_LT(grey, 155);
}

TEST(MakeThumbnail, BrokenFilesFailCleanlyAndHugeHeadersStayBounded)
{
    fixtures::TempDir dir;
    fixtures::writeFile(dir.file("empty.jpg"), "");
    fixtures::writeFile(dir.file("garbage.png"), QByteArray(5000, '\x5a'));
    const QString jpeg = fixtures::writePatternJpeg(dir.file("whole.jpg"), 64, 64);
    fixtures::writeFile(dir.file("truncated.jpg"), fixtures::readFile(jpeg).left(40));
    fixtures::writeFile(dir.file("named.jpg"), fixtures::readFile(writePng(dir.file("x.png"), 20, 10)));
    writeHugeClaimPng(dir.file("huge.png"));
    fixtures::writeFile(dir.file("huge.bin"), fixtures::readFile(dir.file("huge.png")));
    QDir(dir.path()).mkdir("folder.jpg");

    // Any route that tried to allocate 40000² pixels would fail under this limit anyway; the
    // point is that none tries, so the call stays fast and returns nothing.
    for (const char* name : {"empty.jpg", "garbage.png", "truncated.jpg", "huge.png", "huge.bin", "folder.jpg", "gone.png"}) {
        const auto result = MakeThumbnail(QFile::encodeName(dir.file(name)), 85, 85, kNoCache);
        EXPECT_FALSE(result.ok()) << name;
    }
    // Names that are not UTF-8 (or hold newlines) are read through their raw bytes.
    const QByteArray odd = QFile::encodeName(dir.path()) + "/\xff odd\nname.jpg";
    const QByteArray jpegBytes = fixtures::readFile(jpeg);
    FILE* file = std::fopen(odd.constData(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(jpegBytes.constData(), 1, static_cast<std::size_t>(jpegBytes.size()), file);
    std::fclose(file);
    EXPECT_TRUE(MakeThumbnail(odd, 85, 85, kNoCache).ok());
    EXPECT_TRUE(MakeThumbnail(odd, 85, 85, ThumbnailOptions{true}).ok());

    // A PNG named .jpg is still read (the content decides).
    EXPECT_TRUE(MakeThumbnail(QFile::encodeName(dir.file("named.jpg")), 85, 85, kNoCache).ok());
}

// Files named like photos that crashed, hung or exhausted the loader: no thumbnail, in time,
// and the next file of the folder still gets one.
TEST(MakeThumbnail, HostileFilesNamedLikePhotosGiveNoThumbnailAndDoNotStopTheNext)
{
    using namespace std::chrono_literals;
    fixtures::TempDir dir;
    const hostile::ShortTimeout timeout(1500ms);
    const QString good = fixtures::writePatternJpeg(dir.file("good.jpg"), 64, 48);
    fixtures::writeFile(dir.file("psd.jpg"), hostile::psdWithBadChannels());
    fixtures::writeFile(dir.file("pict.jpg"), hostile::pictWithBadOpcodeLength());
    fixtures::writeFile(dir.file("iff.jpg"), hostile::loopingIff());
    fixtures::writeFile(dir.file("bomb.jpg"), hostile::withFrameSize(hostile::progressiveJpeg(64, 64), 65500, 65500));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.file("fifo.jpg")).constData(), 0600), 0);
    for (const char* name : {"psd.jpg", "pict.jpg", "iff.jpg", "bomb.jpg", "fifo.jpg"}) {
        const auto started = std::chrono::steady_clock::now();
        for (const ThumbnailOptions& options : {kNoCache, ThumbnailOptions{true}})
            EXPECT_FALSE(MakeThumbnail(QFile::encodeName(dir.file(name)), 96, 96, options).ok()) << name;
        EXPECT_LT(std::chrono::steady_clock::now() - started, 6s) << name;
        EXPECT_TRUE(MakeThumbnail(QFile::encodeName(good), 96, 96, kNoCache).ok()) << "after " << name;
    }
}

TEST(ThumbnailCache, UrisAreEscapedAsGLibDoesAndNamedByTheirHash)
{
    EXPECT_EQ(ThumbnailCache::uriForPath("/home/jens/photos/me.png"), QByteArray("file:///home/jens/photos/me.png"));
    EXPECT_EQ(ThumbnailCache::fileNameForUri("file:///home/jens/photos/me.png"), "c6ee772d9e49320e97ec29a7eb5b1697.png");
    EXPECT_EQ(ThumbnailCache::uriForPath("/a b/[x];#%?(1)~,=.jpg"),
              QByteArray("file:///a%20b/%5Bx%5D%3B%23%25%3F(1)~,=.jpg"));
    EXPECT_EQ(ThumbnailCache::uriForPath("/caf\xc3\xa9/\xff.png"), QByteArray("file:///caf%C3%A9/%FF.png"));
    EXPECT_EQ(ThumbnailCache::sizeClassFor(85)->size, 128);
    EXPECT_EQ(ThumbnailCache::sizeClassFor(200)->size, 256);
    EXPECT_FALSE(ThumbnailCache::sizeClassFor(2000));
}

TEST(ThumbnailCache, EntriesWeWriteAreFoundValidHereAndByGio)
{
    fixtures::TempDir dir;
    const QString jpeg = fixtures::writePatternJpeg(dir.file("My holiday photo number 1 (long name) [x].jpg"), 640, 480);
    const QByteArray native = QFile::encodeName(jpeg);
    const auto made = MakeThumbnail(native, 85, 85, ThumbnailOptions{true});
    ASSERT_TRUE(made.ok());
    EXPECT_EQ(made.image.getWidth(), 85u);

    const QString entry = ThumbnailCache::root() + "/normal/" +
                          ThumbnailCache::fileNameForUri(ThumbnailCache::uriForPath(native));
    ASSERT_TRUE(QFile::exists(entry));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(entry).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    QImageReader reader(entry);
    EXPECT_EQ(reader.size(), QSize(128, 96));
    EXPECT_EQ(QImage(entry).text("Thumb::URI").toUtf8(), ThumbnailCache::uriForPath(native));
    // GLib reads only uncompressed text chunks.
    EXPECT_FALSE(fixtures::readFile(entry).contains("zTXt"));
    EXPECT_TRUE(fixtures::readFile(entry).contains("tEXtThumb::URI"));

    // A second call is served from the cache with the full size it recorded.
    const auto cached = MakeThumbnail(native, 85, 85, ThumbnailOptions{true});
    ASSERT_TRUE(cached.ok());
    EXPECT_EQ(cached.fullWidth, 640);
    EXPECT_TRUE(ThumbnailCache::find(native, QFileInfo(jpeg).lastModified().toSecsSinceEpoch(), QFileInfo(jpeg).size(), 85));

    // An entry whose MTime no longer matches is not used: the picture is made again.
    {
        QFile f(jpeg);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    }
    EXPECT_FALSE(ThumbnailCache::find(native, 12345, 1, 85));
    const auto remade = MakeThumbnail(native, 85, 85, ThumbnailOptions{true});
    EXPECT_TRUE(remade.ok());

    const QString gio = QStandardPaths::findExecutable("gio");
    if (gio.isEmpty())
        return;
    QProcess process;
    process.start(gio, {"info", "-a", "thumbnail::is-valid,thumbnail::path", jpeg});
    ASSERT_TRUE(process.waitForFinished(30000));
    const QByteArray out = process.readAllStandardOutput();
    EXPECT_TRUE(out.contains("thumbnail::is-valid: TRUE")) << out.constData();
}

namespace {

// Left half one colour, right half another, in the pixel format under test.
QImage twoHalves(QImage::Format format, QRgb left, QRgb right)
{
    QImage image(340, 204, format);
    if (format == QImage::Format_Indexed8 || format == QImage::Format_Mono) {
        image.setColorTable({left, right});
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, x < 170 ? 0 : 1);
        return image;
    }
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixelColor(x, y, QColor(x < 170 ? left : right));
    return image;
}

bool near(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) <= 3 && std::abs(qGreen(a) - qGreen(b)) <= 3 && std::abs(qBlue(a) - qBlue(b)) <= 3;
}

}  // namespace

TEST(MakeThumbnail, PaletteGreyAndDeepSourcesKeepTheirColoursInTheListAndTheCache)
{
    struct Case {
        const char* name;
        QImage::Format format;
        QRgb left, right;
        int pngDepth, pngColourType;  // what the file must really hold
    };
    const Case cases[] = {
        {"palette", QImage::Format_Indexed8, qRgb(200, 40, 30), qRgb(20, 90, 210), 8, 3},
        {"one-bit", QImage::Format_Mono, qRgb(200, 40, 30), qRgb(20, 90, 210), 1, 3},
        {"grey", QImage::Format_Grayscale8, qRgb(60, 60, 60), qRgb(190, 190, 190), 8, 0},
        {"grey16", QImage::Format_Grayscale16, qRgb(60, 60, 60), qRgb(190, 190, 190), 16, 0},
        {"rgb16", QImage::Format_RGBX64, qRgb(200, 40, 30), qRgb(20, 90, 210), 16, 2},
    };
    fixtures::TempDir dir;
    for (const Case& c : cases) {
        const QString path = dir.file(QString::fromLatin1(c.name) + ".png");
        ASSERT_TRUE(twoHalves(c.format, c.left, c.right).save(path, "PNG")) << c.name;
        const QByteArray png = fixtures::readFile(path);
        ASSERT_EQ(int(png.at(24)), c.pngDepth) << c.name;
        ASSERT_EQ(int(png.at(25)), c.pngColourType) << c.name;
        const QByteArray native = QFile::encodeName(path);
        for (const bool useCache : {false, true}) {
            const auto made = MakeThumbnail(native, 85, 85, ThumbnailOptions{useCache});
            ASSERT_TRUE(made.ok()) << c.name;
            const QImage small = made.image.toQImage();
            ASSERT_EQ(small.size(), QSize(85, 51)) << c.name;
            EXPECT_TRUE(near(small.pixel(10, 25), c.left)) << c.name << " cache " << useCache;
            EXPECT_TRUE(near(small.pixel(75, 25), c.right)) << c.name << " cache " << useCache;
        }
        const QImage entry(ThumbnailCache::root() + "/normal/" + ThumbnailCache::fileNameForUri(ThumbnailCache::uriForPath(native)));
        ASSERT_EQ(entry.size(), QSize(128, 77)) << c.name;
        EXPECT_TRUE(near(entry.pixel(10, 38), c.left)) << c.name;
        EXPECT_TRUE(near(entry.pixel(118, 38), c.right)) << c.name;
    }
}

// Other programs write to the cache too: FIFOs in place of a file's entries are passed over
// without blocking the loader, and the file still gets its thumbnail.
TEST(ThumbnailCache, EntriesThatAreNotRegularFilesArePassedOver)
{
    fixtures::TempDir dir;
    const QString photo = fixtures::writePatternJpeg(dir.file("photo.jpg"), 640, 480);
    const QByteArray native = QFile::encodeName(photo);
    const QString name = ThumbnailCache::fileNameForUri(ThumbnailCache::uriForPath(native));
    const QStringList fifos = {ThumbnailCache::root() + "/normal/" + name, ThumbnailCache::root() + "/fail/kelvra-1.0/" + name};
    for (const QString& fifo : fifos) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(fifo).path()));
        ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0) << fifo.toStdString();
    }
    auto made = std::async(std::launch::async, [&] { return MakeThumbnail(native, 85, 85, ThumbnailOptions{true}); });
    const bool prompt = made.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    for (int round = 0; !prompt && round < 2; ++round) {  // lets blocked opens end
        for (const QString& fifo : fifos)
            ::close(::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK));
    }
    EXPECT_TRUE(prompt);
    EXPECT_TRUE(made.get().ok());
    ThumbnailCache::forget(native);
}

TEST(ThumbnailCache, UnreadableFilesGetAFailEntryUntilTheyChangeAndForgetRemovesEveryEntry)
{
    fixtures::TempDir dir;
    const QString path = dir.file("broken.png");
    ASSERT_TRUE(fixtures::writeFile(path, QByteArray(5000, '\x5a')));
    const QByteArray native = QFile::encodeName(path);
    const QDateTime stamp = QFileInfo(path).lastModified();
    EXPECT_FALSE(MakeThumbnail(native, 85, 85, ThumbnailOptions{true}).ok());
    const QString name = ThumbnailCache::fileNameForUri(ThumbnailCache::uriForPath(native));
    const QString failEntry = ThumbnailCache::root() + "/fail/kelvra-1.0/" + name;
    ASSERT_TRUE(QFile::exists(failEntry));
    const QImage fail(failEntry);
    EXPECT_EQ(fail.text("Thumb::URI").toUtf8(), ThumbnailCache::uriForPath(native));
    EXPECT_EQ(fail.text("Thumb::MTime"), QString::number(stamp.toSecsSinceEpoch()));

    // While the entry is valid the file is not decoded again: a picture written under the same
    // modification time stays unseen, a newer time is tried.
    writePng(path, 300, 200);
    auto setTime = [&](const QDateTime& time) {
        QFile f(path);
        return f.open(QIODevice::ReadWrite) && f.setFileTime(time, QFileDevice::FileModificationTime);
    };
    ASSERT_TRUE(setTime(stamp));
    EXPECT_FALSE(MakeThumbnail(native, 85, 85, ThumbnailOptions{true}).ok());
    EXPECT_TRUE(MakeThumbnail(native, 85, 85, kNoCache).ok());
    ASSERT_TRUE(setTime(stamp.addSecs(10)));
    EXPECT_TRUE(MakeThumbnail(native, 85, 85, ThumbnailOptions{true}).ok());
    ASSERT_TRUE(MakeThumbnail(native, 200, 200, ThumbnailOptions{true}).ok());
    const QStringList entries = {ThumbnailCache::root() + "/normal/" + name, ThumbnailCache::root() + "/large/" + name, failEntry};
    for (const QString& entry : entries)
        EXPECT_TRUE(QFile::exists(entry)) << entry.toStdString();

    ThumbnailCache::forget(native);
    for (const QString& entry : entries)
        EXPECT_FALSE(QFile::exists(entry)) << entry.toStdString();
}
