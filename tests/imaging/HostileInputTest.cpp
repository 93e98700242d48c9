#include "imaging/JpegPreview.h"
#include "imaging/PageRotation.h"
#include "imaging/decode/ImageDecoding.h"
#include "imaging/fipSuperImage.h"

#include "HostileFiles.h"
#include "TestFixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <thread>

namespace {

// A TIFF with one page per width, each `height` high.
void writeTiffPages(const QString& path, std::initializer_list<unsigned> widths, unsigned height)
{
    FIMULTIBITMAP* pages = FreeImage_OpenMultiBitmap(FIF_TIFF, QFile::encodeName(path).constData(), TRUE, FALSE);
    ASSERT_TRUE(pages);
    for (unsigned width : widths) {
        fipSuperImage page = fixtures::patternImage(width, height);
        FreeImage_AppendPage(pages, page);
    }
    FreeImage_CloseMultiBitmap(pages, 0);
}

// This process's children, ended but not yet reaped ones included.
int childProcesses()
{
    int count = 0;
    const QString self = QString::number(::getpid());
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid ...": the name may hold spaces and parentheses.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields[1] == self.toLatin1())
            ++count;
    }
    return count;
}

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

// ---- Decoding routes against hostile files -----------------------------------------------


// Damaged files of the library's exotic formats, named like photos: whatever their loaders do
// (crash, spin, allocate), every route answers "cannot be decoded" in time and the next file
// decodes again.
TEST(HostileInputTest, ExoticLoadersCannotTakeTheProgramDown)
{
    using namespace std::chrono_literals;
    fixtures::TempDir dir;
    const hostile::ShortTimeout timeout(1500ms);
    const int helpersBefore = Decode::IsolatedDecoder::shared().helpersStarted();
    const QString good = dir.file(QStringLiteral("good.png"));
    ASSERT_TRUE(fixtures::patternImage(30, 20).save(FIF_PNG, good));
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"holiday.jpg", hostile::psdWithBadChannels()},
        {"scan.pct", hostile::pictWithBadOpcodeLength()},
        {"loop.jpg", hostile::loopingIff()},
    };
    for (const auto& c : cases) {
        const QString path = dir.file(QString::fromLatin1(c.name));
        ASSERT_TRUE(fixtures::writeFile(path, c.bytes));
        const QByteArray name = QFile::encodeName(path);
        const auto started = std::chrono::steady_clock::now();
        fipSuperImage image;
        EXPECT_FALSE(image.load(path)) << c.name;
        EXPECT_FALSE(Decode::decodeThumbnail(name, 96, 96, 80'000'000).ok()) << c.name;
        EXPECT_FALSE(Decode::decodeImage(name, 0, 0, Decode::imageMemoryBudget()).ok()) << c.name;
        EXPECT_LT(std::chrono::steady_clock::now() - started, 3 * 2000ms) << c.name;
        fipSuperImage next;
        EXPECT_TRUE(next.load(good)) << "after " << c.name;
        EXPECT_EQ(next.getWidth(), 30u);
    }
    EXPECT_GT(Decode::IsolatedDecoder::shared().helpersStarted(), helpersBefore + 1) << "helpers ended and restarted";
}

TEST(HostileInputTest, AHelperThatDiesIsStartedAgainForTheNextFile)
{
    fixtures::TempDir dir;
    const QString good = dir.file(QStringLiteral("good.tif"));
    ASSERT_TRUE(fixtures::patternImage(12, 9).save(FIF_TIFF, good));
    auto& decoder = Decode::IsolatedDecoder::shared();
    const auto file = Decode::openRegularFile(QFile::encodeName(good));
    ASSERT_TRUE(file);
    Decode::RequestMessage crash;
    crash.kind = Decode::Kind::Abort;
    const int before = decoder.helpersStarted();
    // More crashes than helpers: at least one is started again.
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(decoder.run(file->fd.get(), crash).status, Decode::Status::NotDecoded);
        fipSuperImage image;
        EXPECT_TRUE(image.load(good)) << "after crash " << round;
        EXPECT_EQ(image.getWidth(), 12u);
    }
    EXPECT_GT(decoder.helpersStarted(), before);
}

// A helper that dies on a file leaves the page count the viewer goes by: 1 for a file of one
// page, 0 for a multi-page file it could not open.
TEST(HostileInputTest, AHelperThatDiesLeavesTheRightPageCount)
{
    fixtures::TempDir dir;
    const QString png = dir.file(QStringLiteral("one.png"));
    ASSERT_TRUE(fixtures::patternImage(12, 9).save(FIF_PNG, png));
    const QString bmp = dir.file(QStringLiteral("one.tif"));  // named like a multi-page file
    ASSERT_TRUE(fixtures::patternImage(12, 9).save(FIF_BMP, bmp));
    const QString tiff = dir.file(QStringLiteral("pages.tif"));
    writeTiffPages(tiff, {10u, 20u}, 8);
    const QString noise = dir.file(QStringLiteral("noise.jpg"));
    ASSERT_TRUE(fixtures::writeFile(noise, QByteArray(300, '\x5a')));
    const struct {
        QString path;
        int pages;
        int pagesAfterCrash;
    } cases[] = {{png, 1, 1}, {bmp, 1, 1}, {tiff, 2, 0}, {noise, 1, 1}};
    auto& decoder = Decode::IsolatedDecoder::shared();
    for (const auto& c : cases) {
        const QByteArray name = QFile::encodeName(c.path);
        const std::string label = QFileInfo(c.path).fileName().toStdString();
        EXPECT_EQ(Decode::decodeImage(name, 0, 0, Decode::imageMemoryBudget()).pageCount, c.pages) << label;
        EXPECT_EQ(Decode::countPages(name), c.pages) << label;
        decoder.abortRequests(1);
        const Decode::Decoded crashed = Decode::decodeImage(name, 0, 0, Decode::imageMemoryBudget());
        decoder.abortRequests(0);
        EXPECT_FALSE(crashed.ok()) << label;
        EXPECT_EQ(crashed.pageCount, c.pagesAfterCrash) << label;
    }
}

// Shutting down (as the application does when it is about to quit) ends every helper, idle or
// busy with a file that never finishes, and leaves no process behind; so does the decoder's end.
TEST(HostileInputTest, HelpersAreGoneWhenTheirDecoderShutsDown)
{
    using namespace std::chrono_literals;
    fixtures::TempDir dir;
    const QString good = dir.file(QStringLiteral("good.tif"));
    ASSERT_TRUE(fixtures::patternImage(12, 9).save(FIF_TIFF, good));
    const QString loop = dir.file(QStringLiteral("loop.jpg"));
    ASSERT_TRUE(fixtures::writeFile(loop, hostile::loopingIff()));
    const auto goodFile = Decode::openRegularFile(QFile::encodeName(good));
    const auto loopFile = Decode::openRegularFile(QFile::encodeName(loop));
    ASSERT_TRUE(goodFile && loopFile);
    Decode::RequestMessage request;
    request.kind = Decode::Kind::Image;
    const int before = childProcesses();
    {
        Decode::IsolatedDecoder decoder(Decode::HelperLimits{}, 2);
        ASSERT_EQ(decoder.run(goodFile->fd.get(), request).status, Decode::Status::Ok);
        EXPECT_EQ(childProcesses(), before + 1);
    }
    EXPECT_EQ(childProcesses(), before) << "an idle helper outlived its decoder";

    Decode::IsolatedDecoder decoder(Decode::HelperLimits{}, 2);
    Decode::Status hung = Decode::Status::Ok;
    std::thread loader([&] { hung = decoder.run(loopFile->fd.get(), request).status; });
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (childProcesses() == before && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(5ms);
    const auto shutDownAt = std::chrono::steady_clock::now();
    decoder.shutDown();
    loader.join();
    EXPECT_LT(std::chrono::steady_clock::now() - shutDownAt, 2s) << "the loader waited for the helper's time-out";
    EXPECT_NE(hung, Decode::Status::Ok);
    EXPECT_EQ(childProcesses(), before) << "a busy helper outlived the shut-down";
    EXPECT_NE(decoder.run(goodFile->fd.get(), request).status, Decode::Status::Ok) << "nothing starts after it";
    EXPECT_EQ(childProcesses(), before);
}

// A look-ahead thread starts a helper and ends; the helper goes on serving the other threads
// instead of dying with the thread that started it.
TEST(HostileInputTest, AHelperOutlivesTheThreadThatStartedIt)
{
    fixtures::TempDir dir;
    const QString good = dir.file(QStringLiteral("good.tif"));
    ASSERT_TRUE(fixtures::patternImage(12, 9).save(FIF_TIFF, good));
    const auto file = Decode::openRegularFile(QFile::encodeName(good));
    ASSERT_TRUE(file);
    Decode::IsolatedDecoder decoder(Decode::HelperLimits{}, 1);
    Decode::RequestMessage request;
    request.kind = Decode::Kind::Image;
    Decode::Status first = Decode::Status::NotDecoded;
    std::thread([&] { first = decoder.run(file->fd.get(), request).status; }).join();
    ASSERT_EQ(first, Decode::Status::Ok);
    EXPECT_EQ(decoder.run(file->fd.get(), request).status, Decode::Status::Ok);
    EXPECT_EQ(decoder.helpersStarted(), 1) << "the helper was not started again";
}

// Sizes declared by the header decide before any allocation; a JPEG beyond the memory budget
// comes reduced, one whose progressive buffers alone exceed it is refused.
TEST(HostileInputTest, DeclaredSizesAreCheckedAgainstTheBudget)
{
    fixtures::TempDir dir;
    const QByteArray small = hostile::progressiveJpeg(64, 64);
    ASSERT_FALSE(small.isEmpty());
    const QString bomb = dir.file(QStringLiteral("bomb.jpg"));
    ASSERT_TRUE(fixtures::writeFile(bomb, hostile::withFrameSize(small, 65500, 65500)));
    const QString photo = dir.file(QStringLiteral("photo.jpg"));
    ASSERT_FALSE(fixtures::writePatternJpeg(photo, 512, 512).isEmpty());
    const QString png = dir.file(QStringLiteral("wide.png"));
    ASSERT_TRUE(fixtures::patternImage(400, 300).save(FIF_PNG, png));

    const std::uint64_t budget = 256ull << 20;
    const struct {
        QString path;
        std::uint64_t budget;
        Decode::Status status;
        QSize decoded;
    } cases[] = {
        {bomb, budget, Decode::Status::TooLarge, QSize()},
        {photo, 512 * 512 * 3, Decode::Status::Ok, QSize(512, 512)},
        {photo, 512 * 512 * 3 / 3, Decode::Status::Ok, QSize(256, 256)},
        {photo, 512 * 512 * 3 / 40, Decode::Status::Ok, QSize(64, 64)},
        {photo, 100, Decode::Status::TooLarge, QSize()},
        {png, 400 * 300 * 3, Decode::Status::Ok, QSize(400, 300)},
        {png, 400 * 300, Decode::Status::TooLarge, QSize()},
    };
    for (const auto& c : cases) {
        const Decode::Decoded d = Decode::decodeImage(QFile::encodeName(c.path), -1, 0, c.budget);
        const QString label = QFileInfo(c.path).fileName() + QStringLiteral(" within %1").arg(c.budget);
        EXPECT_EQ(d.status, c.status) << label.toStdString();
        if (c.status == Decode::Status::Ok) {
            ASSERT_TRUE(d.dib) << label.toStdString();
            EXPECT_EQ(QSize(int(FreeImage_GetWidth(d.dib.get())), int(FreeImage_GetHeight(d.dib.get()))), c.decoded)
                << label.toStdString();
        }
        if (c.path != png)
            EXPECT_EQ(d.fullSize, c.path == bomb ? QSize(65500, 65500) : QSize(512, 512)) << label.toStdString();
    }
    // Frames far larger than their few bytes could cover are refused however large the budget,
    // baseline or progressive, before any allocation (each used to take gigabytes and seconds).
    const std::uint64_t plenty = 64ull << 30;
    for (const QByteArray& liar : {hostile::withFrameSize(fixtures::readFile(photo), 30000, 30000),
                                   hostile::withFrameSize(small, 20000, 20000)}) {
        const QString path = dir.file(QStringLiteral("liar.jpg"));
        ASSERT_TRUE(fixtures::writeFile(path, liar));
        const Decode::Decoded d = Decode::decodeImage(QFile::encodeName(path), -1, 0, plenty);
        EXPECT_EQ(d.status, Decode::Status::NotDecoded);
        EXPECT_FALSE(d.dib);
    }
    // The header-only answers of the Open dialog read the bomb's size without decoding it.
    EXPECT_EQ(Decode::readImageSize(QFile::encodeName(bomb)), QSize(65500, 65500));
    EXPECT_EQ(Decode::readImageSize(QFile::encodeName(png)), QSize(400, 300));
    QByteArray padded = fixtures::readFile(photo);
    for (int i = 0; i < 5; ++i)  // a third of a megabyte of comments before the frame
        padded.insert(2, QByteArray("\xFF\xFE\xFF\xFF", 4) + QByteArray(0xFFFD, 'c'));
    const QString bmp = dir.file(QStringLiteral("wide.bmp"));
    ASSERT_TRUE(fixtures::patternImage(70, 50).save(FIF_BMP, bmp));
    const struct {
        const char* name;
        QByteArray bytes;
        QSize size;
    } headers[] = {
        {"padded.jpg", padded, QSize(512, 512)},
        {"wide.bmp", fixtures::readFile(bmp), QSize(70, 50)},
        {"screen.gif", QByteArray("GIF89a\x10\x27\x20\x4E", 10) + QByteArray(20, '\0'), QSize(10000, 20000)},
        {"empty.gif", QByteArray("GIF89a\0\0\x20\x4E", 10), QSize()},
    };
    for (const auto& h : headers) {
        const QString path = dir.file(QString::fromLatin1(h.name));
        ASSERT_TRUE(fixtures::writeFile(path, h.bytes));
        EXPECT_EQ(Decode::readImageSize(QFile::encodeName(path)), h.size) << h.name;
    }
}

// The EXIF thumbnail is taken only when its pointer stays inside the block and its size is
// modest; otherwise the JPEG is read without it.
TEST(HostileInputTest, EmbeddedThumbnailsAreCheckedBeforeUse)
{
    fixtures::TempDir dir;
    const QString base = dir.file(QStringLiteral("base.jpg"));
    ASSERT_FALSE(fixtures::writePatternJpeg(base, 320, 240).isEmpty());
    const QByteArray jpeg = fixtures::readFile(base);
    const QString thumbPath = dir.file(QStringLiteral("thumb.jpg"));
    ASSERT_FALSE(fixtures::writePatternJpeg(thumbPath, 160, 120).isEmpty());
    const QByteArray thumb = fixtures::readFile(thumbPath);
    const QByteArray hugeThumb = hostile::withFrameSize(thumb, 65500, 65500);
    const unsigned at = 14 + 2 + 2 * 12 + 4;
    const struct {
        const char* name;
        QByteArray bytes;
        QSize thumbnail;
    } cases[] = {
        {"fine.jpg", hostile::withExifPointer(jpeg, at, unsigned(thumb.size()), thumb), QSize(160, 120)},
        {"wrapping.jpg", hostile::withExifPointer(jpeg, 0xFFFFFFF0u, 0x20, thumb), QSize(0, 0)},
        {"past-end.jpg", hostile::withExifPointer(jpeg, at, unsigned(thumb.size()) + 4096, thumb), QSize(0, 0)},
        {"huge-thumb.jpg", hostile::withExifPointer(jpeg, at, unsigned(hugeThumb.size()), hugeThumb), QSize(0, 0)},
    };
    for (const auto& c : cases) {
        const QString path = dir.file(QString::fromLatin1(c.name));
        ASSERT_TRUE(fixtures::writeFile(path, c.bytes));
        const auto header = readJpegHeader(path);
        ASSERT_TRUE(header) << c.name;
        EXPECT_EQ(header->fullSize, QSize(320, 240)) << c.name;
        EXPECT_EQ(header->embeddedThumbnail.size(), c.thumbnail) << c.name;
        fipSuperImage image;
        EXPECT_TRUE(image.load(path)) << c.name;
        EXPECT_EQ(image.getWidth(), 320u) << c.name;
        EXPECT_EQ(decodeJpegReduced(path, 80).width(), 80) << c.name;
    }
}

// A FIFO or a device named like a picture is never opened for reading by any route.
TEST(HostileInputTest, OnlyRegularFilesAreOpened)
{
    fixtures::TempDir dir;
    const QString fifo = dir.file(QStringLiteral("pipe.jpg"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& path : {fifo, QStringLiteral("/dev/zero"), dir.path()}) {
        const QByteArray name = QFile::encodeName(path);
        fipSuperImage image;
        EXPECT_FALSE(image.load(path));
        EXPECT_EQ(Decode::decodeImage(name, 0, 0, Decode::imageMemoryBudget()).status, Decode::Status::NotRegularFile);
        EXPECT_EQ(Decode::decodeThumbnail(name, 96, 96, 80'000'000).status, Decode::Status::NotRegularFile);
        EXPECT_FALSE(readJpegHeader(path));
        EXPECT_TRUE(decodeJpegReduced(path, 80).isNull());
        EXPECT_FALSE(Decode::readImageSize(name).isValid());
        EXPECT_EQ(Decode::identifyFile(name), FIF_UNKNOWN);
    }
}

TEST(HostileInputTest, PagesOfMultiPageFilesComeFromTheHelper)
{
    fixtures::TempDir dir;
    const QString path = dir.file(QStringLiteral("pages.tif"));
    writeTiffPages(path, {10u, 20u, 30u}, 8);
    const QByteArray name = QFile::encodeName(path);
    for (int page : {0, 2, 3}) {
        const Decode::Decoded d = Decode::decodeImage(name, page, 0, Decode::imageMemoryBudget());
        EXPECT_EQ(d.pageCount, 3);
        EXPECT_EQ(d.ok(), page < 3);
        if (d.ok())
            EXPECT_EQ(FreeImage_GetWidth(d.dib.get()), 10u * unsigned(page + 1));
    }
    EXPECT_EQ(fipSuperImage::getFileType(path), FIF_TIFF);

    // Turning every page reads them through the helper too: without it, the file stays.
    const QByteArray before = fixtures::readFile(path);
    auto& decoder = Decode::IsolatedDecoder::shared();
    decoder.abortRequests(1000);
    const bool turnedWithoutHelper = PageRotation::rotateEveryPage(path, 90);
    decoder.abortRequests(0);
    EXPECT_FALSE(turnedWithoutHelper);
    EXPECT_EQ(fixtures::readFile(path), before);
    ASSERT_TRUE(PageRotation::rotateEveryPage(path, 90));
    EXPECT_EQ(Decode::countPages(name), 3);
    EXPECT_EQ(FreeImage_GetHeight(Decode::decodeImage(name, 2, 0, Decode::imageMemoryBudget()).dib.get()), 30u);
}

}  // namespace
