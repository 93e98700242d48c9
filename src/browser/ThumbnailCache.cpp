#include "browser/ThumbnailCache.h"

#include "imaging/decode/RegularFile.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QStandardPaths>

#include <png.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <vector>

namespace ThumbnailCache {

namespace {

// An entry at most `maxSide` pixels a side. Every program of the user writes to the cache:
// only a small regular file is read, through its bytes (a FIFO in place of an entry would
// block the loader thread on opening it by name).
QImage readEntry(const QString& path, int maxSide)
{
    const auto file = Decode::openRegularFile(QFile::encodeName(path));
    if (!file)
        return {};
    const auto bytes = Decode::readAll(file->fd.get(), 16LL << 20);
    if (!bytes)
        return {};
    QBuffer buffer;
    buffer.setData(*bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    const QSize dims = reader.size();
    if (!reader.canRead() || !dims.isValid() || dims.width() > maxSide || dims.height() > maxSide)
        return {};
    // The keys hold "::", which QImageReader::text() cannot parse; QImage keeps them whole.
    QImage image;
    if (!reader.read(&image))
        return {};
    return image;
}

// Our own fail folder: another program may well read what we cannot.
constexpr char kFailFolder[] = "fail/kelvra-1.0";

constexpr std::array<SizeClass, 4> kClasses = {{{"normal", 128}, {"large", 256}, {"x-large", 512}, {"xx-large", 1024}}};

struct TextChunk {
    QByteArray key;
    QByteArray value;
};

// Plain C state only between setjmp and longjmp: libpng reports errors by jumping here.
bool writePng(FILE* file, const QImage& rgba, const std::vector<TextChunk>& texts)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    std::vector<png_text> chunks(texts.size());
    std::vector<png_bytep> rows(static_cast<std::size_t>(rgba.height()));
    for (int y = 0; y < rgba.height(); ++y)
        rows[static_cast<std::size_t>(y)] = const_cast<png_bytep>(rgba.constScanLine(y));
    for (std::size_t i = 0; i < texts.size(); ++i) {
        chunks[i] = png_text{};
        chunks[i].compression = PNG_TEXT_COMPRESSION_NONE;
        chunks[i].key = const_cast<char*>(texts[i].key.constData());
        chunks[i].text = const_cast<char*>(texts[i].value.constData());
        chunks[i].text_length = static_cast<std::size_t>(texts[i].value.size());
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(rgba.width()), static_cast<png_uint_32>(rgba.height()), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_text(png, info, chunks.data(), static_cast<int>(chunks.size()));
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

// Writes an entry into `subFolder` of the cache through a temporary file and a rename, so
// another program never reads half an entry.
bool writeEntry(const QString& subFolder, const QByteArray& nativePath, const QImage& image,
                const std::vector<TextChunk>& texts)
{
    if (isInsideCache(nativePath))
        return false;
    const QString folder = root() + '/' + subFolder;
    if (!QDir().mkpath(folder))
        return false;
    // Every level we may have made holds names of the user's files: private to the user.
    for (QString level = folder; level.size() >= root().size(); level = QFileInfo(level).path())
        ::chmod(QFile::encodeName(level).constData(), 0700);

    const QByteArray target = QFile::encodeName(folder + '/' + fileNameForUri(uriForPath(nativePath)));
    const QByteArray temp = target + ".kelvra-" + QByteArray::number(::getpid()) + "-" +
                            QByteArray::number(reinterpret_cast<quintptr>(&image), 16);
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    FILE* file = ::fdopen(fd, "wb");
    if (!file) {
        ::close(fd);
        ::unlink(temp.constData());
        return false;
    }
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    const bool written = writePng(file, rgba, texts);
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed || ::rename(temp.constData(), target.constData()) != 0) {
        ::unlink(temp.constData());
        return false;
    }
    return true;
}

}  // namespace

QString root()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/thumbnails");
}

std::optional<SizeClass> sizeClassFor(int box)
{
    for (const SizeClass& c : kClasses) {
        if (box <= c.size)
            return c;
    }
    return std::nullopt;
}

QByteArray uriForPath(const QByteArray& nativePath)
{
    return QByteArray("file://") + nativePath.toPercentEncoding("/!$&'()*+,=:@");
}

QString fileNameForUri(const QByteArray& uri)
{
    return QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex()) + QStringLiteral(".png");
}

bool isInsideCache(const QByteArray& nativePath)
{
    const QByteArray cache = QFile::encodeName(root()) + '/';
    return nativePath.startsWith(cache);
}

std::optional<Entry> find(const QByteArray& nativePath, std::int64_t mtimeSeconds, std::uint64_t fileSize, int box)
{
    if (isInsideCache(nativePath))
        return std::nullopt;
    const QByteArray uri = uriForPath(nativePath);
    const QString name = fileNameForUri(uri);
    for (const SizeClass& c : kClasses) {
        if (c.size < box)
            continue;
        // A cache entry is small by definition; refuse anything that claims otherwise.
        Entry entry;
        entry.image = readEntry(root() + '/' + QLatin1String(c.folder) + '/' + name, 1024);
        if (entry.image.isNull())
            continue;
        const QImage& image = entry.image;
        if (image.text(QStringLiteral("Thumb::URI")).toUtf8() != uri)
            continue;
        if (image.text(QStringLiteral("Thumb::MTime")) != QString::number(mtimeSeconds))
            continue;
        const QString size = image.text(QStringLiteral("Thumb::Size"));
        if (!size.isEmpty() && size != QString::number(fileSize))
            continue;
        entry.imageWidth = image.text(QStringLiteral("Thumb::Image::Width")).toInt();
        entry.imageHeight = image.text(QStringLiteral("Thumb::Image::Height")).toInt();
        return entry;
    }
    return std::nullopt;
}

bool store(const SizeClass& sizeClass, const QByteArray& nativePath, std::int64_t mtimeSeconds,
           std::uint64_t fileSize, const QImage& image, int imageWidth, int imageHeight)
{
    if (image.isNull())
        return false;
    const QByteArray uri = uriForPath(nativePath);
    const std::vector<TextChunk> texts = {
        {"Thumb::URI", uri},
        {"Thumb::MTime", QByteArray::number(static_cast<qlonglong>(mtimeSeconds))},
        {"Thumb::Size", QByteArray::number(static_cast<qulonglong>(fileSize))},
        {"Thumb::Image::Width", QByteArray::number(imageWidth)},
        {"Thumb::Image::Height", QByteArray::number(imageHeight)},
        {"Software", "Kelvra Photo Viewer"},
    };
    return writeEntry(QLatin1String(sizeClass.folder), nativePath, image, texts);
}

bool storeFailure(const QByteArray& nativePath, std::int64_t mtimeSeconds)
{
    // The freedesktop cache's fail entry: an empty picture that only carries the keys.
    QImage empty(1, 1, QImage::Format_RGBA8888);
    empty.fill(Qt::transparent);
    const std::vector<TextChunk> texts = {
        {"Thumb::URI", uriForPath(nativePath)},
        {"Thumb::MTime", QByteArray::number(static_cast<qlonglong>(mtimeSeconds))},
        {"Software", "Kelvra Photo Viewer"},
    };
    return writeEntry(QLatin1String(kFailFolder), nativePath, empty, texts);
}

bool hasFailure(const QByteArray& nativePath, std::int64_t mtimeSeconds)
{
    if (isInsideCache(nativePath))
        return false;
    const QByteArray uri = uriForPath(nativePath);
    const QImage image = readEntry(root() + '/' + QLatin1String(kFailFolder) + '/' + fileNameForUri(uri), 16);
    return !image.isNull() && image.text(QStringLiteral("Thumb::URI")).toUtf8() == uri
           && image.text(QStringLiteral("Thumb::MTime")) == QString::number(mtimeSeconds);
}

void forget(const QByteArray& nativePath)
{
    if (nativePath.isEmpty() || isInsideCache(nativePath))
        return;
    const QString name = fileNameForUri(uriForPath(nativePath));
    for (const SizeClass& c : kClasses)
        ::unlink(QFile::encodeName(root() + '/' + QLatin1String(c.folder) + '/' + name).constData());
    ::unlink(QFile::encodeName(root() + '/' + QLatin1String(kFailFolder) + '/' + name).constData());
}

void forget(const std::vector<QByteArray>& nativePaths)
{
    for (const QByteArray& path : nativePaths)
        forget(path);
}

}  // namespace ThumbnailCache
