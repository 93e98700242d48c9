#pragma once
// EXIF fixtures: camera JPEGs written with exiv2, and hand-made EXIF blocks for the damaged
// cases exiv2 would never write.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace infofix {

// Writes a pattern JPEG and sets each "Exif.*" key to its value through exiv2.
QString writeCameraJpeg(const QString& path, const std::map<std::string, std::string>& tags,
                        unsigned width = 64, unsigned height = 48);
// The usual tags of a camera photo.
std::map<std::string, std::string> cameraTags();

// One directory entry of a hand-made block. `data` up to four bytes is stored in the entry,
// longer data after the directories; `offset` (when set) replaces the stored offset.
struct Entry {
    uint16_t tag;
    uint16_t type;
    uint32_t count;
    QByteArray data;
    std::optional<uint32_t> offset = std::nullopt;
};
struct Block {
    std::vector<Entry> ifd0;
    std::vector<Entry> exif;        // a pointer to it is added to IFD0 when not empty
    bool ifd0LinksToItself = false;
    bool exifPointsAtIfd0 = false;
};
// The little-endian TIFF structure of the block.
QByteArray tiff(const Block& block);
// A small JPEG with the TIFF structure in its APP1 segment; the segment's declared length
// can be given to lie.
QByteArray jpegWithExif(const QByteArray& tiff, std::optional<uint16_t> declaredLength = {});
QByteArray rational(uint32_t numerator, uint32_t denominator);
QByteArray le16(uint16_t v);

}  // namespace infofix
