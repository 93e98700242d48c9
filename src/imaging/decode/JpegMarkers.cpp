#include "imaging/decode/JpegMarkers.h"

#include <cstdint>
#include <map>

namespace Decode {
namespace {

constexpr qsizetype kMaxIccBytes = 16 * 1024 * 1024;

int be16(const QByteArray& d, qsizetype at)
{
    return (static_cast<unsigned char>(d[at]) << 8) | static_cast<unsigned char>(d[at + 1]);
}

bool isFrameMarker(int marker)
{
    // SOF0..SOF15 without DHT (C4), JPG (C8) and DAC (CC).
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// TIFF fields in the block's own byte order, every read checked against its size.
class TiffReader {
public:
    explicit TiffReader(const QByteArray& tiff) : m_tiff(tiff)
    {
        if (tiff.size() >= 8 && tiff.startsWith("II*\0"))
            m_little = true;
        else if (tiff.size() >= 8 && tiff.startsWith(QByteArray("MM\0*", 4)))
            m_little = false;
        else
            m_valid = false;
    }
    bool valid() const { return m_valid; }
    std::optional<std::uint32_t> u16(std::uint64_t at) const { return read(at, 2); }
    std::optional<std::uint32_t> u32(std::uint64_t at) const { return read(at, 4); }

private:
    std::optional<std::uint32_t> read(std::uint64_t at, int bytes) const
    {
        if (at + static_cast<std::uint64_t>(bytes) > static_cast<std::uint64_t>(m_tiff.size()))
            return std::nullopt;
        std::uint32_t v = 0;
        for (int i = 0; i < bytes; ++i) {
            const auto b = static_cast<unsigned char>(m_tiff[static_cast<qsizetype>(at) + (m_little ? bytes - 1 - i : i)]);
            v = (v << 8) | b;
        }
        return v;
    }
    const QByteArray& m_tiff;
    bool m_little = true;
    bool m_valid = true;
};

}  // namespace

std::optional<JpegMarkers> readJpegMarkers(const QByteArray& d)
{
    if (d.size() < 4 || static_cast<unsigned char>(d[0]) != 0xFF || static_cast<unsigned char>(d[1]) != 0xD8)
        return std::nullopt;
    JpegMarkers m;
    std::map<int, QByteArray> iccChunks;
    int iccCount = 0;
    qsizetype pos = 2;
    while (pos + 1 < d.size()) {
        if (static_cast<unsigned char>(d[pos]) != 0xFF)
            break;  // not at a marker: damage, keep what was read
        while (pos < d.size() && static_cast<unsigned char>(d[pos]) == 0xFF)
            ++pos;  // fill bytes
        if (pos >= d.size())
            break;
        const int marker = static_cast<unsigned char>(d[pos++]);
        if (marker == 0xDA || marker == 0xD9)
            break;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;  // no length
        if (pos + 2 > d.size())
            break;
        const int length = be16(d, pos);
        if (length < 2 || pos + length > d.size())
            break;
        const QByteArray payload = d.mid(pos + 2, length - 2);
        pos += length;

        if (isFrameMarker(marker) && !m.frame && payload.size() >= 6) {
            JpegFrame f;
            f.height = be16(payload, 1);
            f.width = be16(payload, 3);
            f.components = static_cast<unsigned char>(payload[5]);
            f.progressive = marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
            f.arithmetic = marker >= 0xC9;
            m.frame = f;
        } else if (marker == 0xE0 && payload.size() >= 12 && payload.startsWith(QByteArray("JFIF\0", 5))) {
            m.densityUnit = static_cast<unsigned char>(payload[7]);
            m.densityX = be16(payload, 8);
            m.densityY = be16(payload, 10);
        } else if (marker == 0xE1 && m.exif.isEmpty() && payload.startsWith(QByteArray("Exif\0\0", 6))) {
            m.exif = payload;
        } else if (marker == 0xE1 && m.xmp.isEmpty()) {
            static const QByteArray xmpHeader("http://ns.adobe.com/xap/1.0/\0", 29);
            if (payload.startsWith(xmpHeader))
                m.xmp = payload.mid(xmpHeader.size());
        } else if (marker == 0xE2 && payload.size() > 14 && payload.startsWith(QByteArray("ICC_PROFILE\0", 12))) {
            const int sequence = static_cast<unsigned char>(payload[12]);
            const int count = static_cast<unsigned char>(payload[13]);
            if (sequence >= 1 && sequence <= count && (iccCount == 0 || iccCount == count)) {
                iccCount = count;
                iccChunks[sequence] = payload.mid(14);
            }
        } else if (marker == 0xFE && m.comment.isEmpty()) {
            m.comment = payload;
        }
    }
    if (iccCount > 0 && static_cast<int>(iccChunks.size()) == iccCount) {
        for (const auto& [sequence, chunk] : iccChunks) {
            if (m.icc.size() + chunk.size() > kMaxIccBytes) {
                m.icc.clear();
                break;
            }
            m.icc += chunk;
        }
    }
    return m;
}

QByteArray exifThumbnail(const QByteArray& exif)
{
    if (!exif.startsWith(QByteArray("Exif\0\0", 6)))
        return {};
    const QByteArray tiff = exif.mid(6);
    const TiffReader in(tiff);
    if (!in.valid())
        return {};
    const auto ifd0 = in.u32(4);
    const auto count0 = ifd0 ? in.u16(*ifd0) : std::nullopt;
    const auto ifd1 = count0 ? in.u32(*ifd0 + 2 + 12ULL * *count0) : std::nullopt;
    const auto count1 = ifd1 && *ifd1 != 0 ? in.u16(*ifd1) : std::nullopt;
    if (!count1)
        return {};
    std::optional<std::uint32_t> offset, length;
    for (std::uint32_t i = 0; i < *count1; ++i) {
        const std::uint64_t entry = *ifd1 + 2 + 12ULL * i;
        const auto tag = in.u16(entry);
        if (!tag)
            break;
        if (*tag == 0x0201)
            offset = in.u32(entry + 8);
        else if (*tag == 0x0202)
            length = in.u32(entry + 8);
    }
    // 64-bit sums: an offset near 4 GiB must not wrap around into the block.
    if (!offset || !length || *length < 4
        || static_cast<std::uint64_t>(*offset) + *length > static_cast<std::uint64_t>(tiff.size()))
        return {};
    const QByteArray thumbnail = tiff.mid(static_cast<qsizetype>(*offset), static_cast<qsizetype>(*length));
    return thumbnail.startsWith("\xFF\xD8") ? thumbnail : QByteArray();
}

}  // namespace Decode
