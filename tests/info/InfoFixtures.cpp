#include "InfoFixtures.h"

#include "TestFixtures.h"

#include <QFile>

#include <exiv2/exiv2.hpp>

namespace infofix {

std::map<std::string, std::string> cameraTags()
{
    return {{"Exif.Image.Make", "Kestrel"},
            {"Exif.Image.Model", "K-100"},
            {"Exif.Image.Orientation", "6"},
            {"Exif.Image.XResolution", "72/1"},
            {"Exif.Image.ResolutionUnit", "2"},
            {"Exif.Image.DateTime", "2024:05:01 10:20:30"},
            {"Exif.Photo.ExposureTime", "10/2500"},
            {"Exif.Photo.FNumber", "28/10"},
            {"Exif.Photo.ExposureProgram", "3"},
            {"Exif.Photo.ISOSpeedRatings", "400"},
            {"Exif.Photo.ExposureBiasValue", "-2/3"},
            {"Exif.Photo.FocalLength", "500/10"},
            {"Exif.Photo.Flash", "25"},
            {"Exif.Photo.LightSource", "16"},
            {"Exif.Photo.ComponentsConfiguration", "1 2 3 0"},
            {"Exif.Photo.PixelXDimension", "64"},
            {"Exif.Photo.ExifVersion", "48 50 50 48"},
            {"Exif.Photo.FileSource", "3"}};
}

QString writeCameraJpeg(const QString& path, const std::map<std::string, std::string>& tags, unsigned width,
                        unsigned height)
{
    fixtures::writePatternJpeg(path, width, height);
    auto image = Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString());
    image->readMetadata();
    Exiv2::ExifData& exif = image->exifData();
    for (const auto& [key, value] : tags)
        exif[key] = value;  // parsed as the tag's standard type
    image->writeMetadata();
    return path;
}

QByteArray le16(uint16_t v)
{
    QByteArray b;
    b.append(char(v & 0xFF)).append(char(v >> 8));
    return b;
}

namespace {

QByteArray le32(uint32_t v)
{
    return le16(uint16_t(v & 0xFFFF)) + le16(uint16_t(v >> 16));
}

}  // namespace

QByteArray rational(uint32_t numerator, uint32_t denominator)
{
    return le32(numerator) + le32(denominator);
}

QByteArray tiff(const Block& block)
{
    std::vector<Entry> ifd0 = block.ifd0;
    const bool hasExif = !block.exif.empty() || block.exifPointsAtIfd0;
    const uint32_t ifd0Offset = 8;
    const uint32_t ifd0Size = 2 + 12 * uint32_t(ifd0.size() + (hasExif ? 1 : 0)) + 4;
    const uint32_t exifOffset = ifd0Offset + ifd0Size;
    const uint32_t exifSize = block.exif.empty() ? 0 : 2 + 12 * uint32_t(block.exif.size()) + 4;
    uint32_t dataOffset = exifOffset + exifSize;
    QByteArray data;
    const auto directory = [&](std::vector<Entry> entries, uint32_t next) {
        QByteArray out = le16(uint16_t(entries.size()));
        for (const Entry& e : entries) {
            out += le16(e.tag) + le16(e.type) + le32(e.count);
            if (e.offset) {
                out += le32(*e.offset);
            } else if (e.data.size() <= 4) {
                out += e.data + QByteArray(4 - e.data.size(), '\0');
            } else {
                out += le32(dataOffset + uint32_t(data.size()));
                data += e.data;
            }
        }
        return out + le32(next);
    };
    if (hasExif)
        ifd0.push_back({34665, 4, 1, le32(block.exifPointsAtIfd0 ? ifd0Offset : exifOffset), {}});
    QByteArray out = QByteArray("II*\0", 4) + le32(ifd0Offset);
    out += directory(ifd0, block.ifd0LinksToItself ? ifd0Offset : 0);
    if (!block.exif.empty())
        out += directory(block.exif, 0);
    return out + data;
}

QByteArray jpegWithExif(const QByteArray& tiffBytes, std::optional<uint16_t> declaredLength)
{
    fixtures::TempDir dir;
    const QByteArray jpeg = fixtures::readFile(fixtures::writePatternJpeg(dir.file("p.jpg"), 16, 16));
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiffBytes;
    const uint16_t length = declaredLength.value_or(uint16_t(payload.size() + 2));
    QByteArray app1 = QByteArray("\xFF\xE1", 2);
    app1.append(char(length >> 8)).append(char(length & 0xFF));
    return jpeg.left(2) + app1 + payload + jpeg.mid(2);
}

}  // namespace infofix
