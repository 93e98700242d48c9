#include "TestFixtures.h"

#include "imaging/fipSuperImage.h"

#include <QFile>
#include <QLocale>

#include <clocale>
#include <cstdio>
#include <ftw.h>
#include <sys/mount.h>
#include <unistd.h>
#include <cstring>

namespace fixtures {

TempDir::TempDir() = default;

TempDir::~TempDir()
{
    // Depth first, links removed as links, names as the bytes they are.
    ::nftw(QFile::encodeName(m_dir.path()).constData(),
           [](const char* path, const struct stat*, int, FTW*) {
               std::remove(path);
               return 0;
           },
           16, FTW_DEPTH | FTW_PHYS);
}

SmallTmpfs::SmallTmpfs(qint64 bytes)
{
    const QByteArray options = "size=" + QByteArray::number(bytes);
    m_mounted = ::geteuid() == 0
                && ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                           options.constData()) == 0;
}

SmallTmpfs::~SmallTmpfs()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
}

void SmallTmpfs::fill() const
{
    QFile filler(file(QStringLiteral("filler")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return;
    const QByteArray block(4096, '\0');
    while (filler.write(block) == block.size()) {
    }
}

CommaDecimalLocale::CommaDecimalLocale() : m_saved(std::setlocale(LC_ALL, nullptr))
{
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"}) {
        if (std::setlocale(LC_ALL, name)) {
            m_active = *std::localeconv()->decimal_point == ',';
            break;
        }
    }
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
}

CommaDecimalLocale::~CommaDecimalLocale()
{
    std::setlocale(LC_ALL, m_saved.constData());
    QLocale::setDefault(QLocale::system());
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

RGBQUAD patternColor(unsigned x, unsigned y)
{
    RGBQUAD c;
    c.rgbRed = static_cast<BYTE>((x * 7 + y) & 255);
    c.rgbGreen = static_cast<BYTE>((x * 3 + y * 5) & 255);
    c.rgbBlue = static_cast<BYTE>((x + y * 11) & 255);
    c.rgbReserved = static_cast<BYTE>((x + y) & 255);
    return c;
}

fipSuperImage patternImage(unsigned width, unsigned height, unsigned bpp)
{
    fipSuperImage image(FIT_BITMAP, width, height, bpp);
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            RGBQUAD c = patternColor(x, y);
            image.setPixelColor(x, height - 1 - y, &c);
        }
    }
    return image;
}

RGBQUAD pixelAt(const fipSuperImage& image, unsigned x, unsigned y)
{
    RGBQUAD c = {};
    const unsigned row = image.getHeight() - 1 - y;
    if (image.getBPP() <= 8 && image.getPalette()) {
        BYTE index = 0;
        image.getPixelIndex(x, row, &index);
        return image.getPalette()[index];
    }
    image.getPixelColor(x, row, &c);
    return c;
}

bool samePixels(const fipSuperImage& a, const fipSuperImage& b)
{
    if (a.getWidth() != b.getWidth() || a.getHeight() != b.getHeight() || a.getBPP() != b.getBPP()
        || a.getImageType() != b.getImageType() || a.getLine() != b.getLine())
        return false;
    for (unsigned y = 0; y < a.getHeight(); ++y)
        if (std::memcmp(a.getScanLine(y), b.getScanLine(y), a.getLine()) != 0)
            return false;
    return true;
}

QString writePatternJpeg(const QString& path, unsigned width, unsigned height, int quality)
{
    fipSuperImage image = patternImage(width, height);
    return image.save(FIF_JPEG, path, quality) ? path : QString();
}

}  // namespace fixtures

QByteArray fixtures::withExifThumbnail(const QByteArray& jpeg, const QByteArray& thumbnail)
{
    if (!jpeg.startsWith("\xFF\xD8"))
        return {};
    QByteArray tiff;
    const auto put16 = [&](unsigned v) { tiff.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); };
    const auto put32 = [&](unsigned v) { put16(v & 0xFFFF); put16(v >> 16); };
    tiff.append("II*\0", 4);
    put32(8);
    put16(0);   // IFD0: no entries
    put32(14);  // IFD1 follows: the thumbnail's directory
    put16(3);
    const unsigned dataOffset = 14 + 2 + 3 * 12 + 4;
    put16(0x0103); put16(3); put32(1); put32(6);  // compression: JPEG
    put16(0x0201); put16(4); put32(1); put32(dataOffset);
    put16(0x0202); put16(4); put32(1); put32(static_cast<unsigned>(thumbnail.size()));
    put32(0);
    tiff.append(thumbnail);
    const int length = 2 + 6 + static_cast<int>(tiff.size());
    if (length > 0xFFFF)
        return {};
    QByteArray app1("\xFF\xE1", 2);
    app1.append(char(length >> 8)).append(char(length & 0xFF));
    app1.append("Exif\0\0", 6).append(tiff);
    return jpeg.left(2) + app1 + jpeg.mid(2);
}
