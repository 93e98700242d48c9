// The image as one byte buffer: header, palette, transparency, rows, ICC profile and
// metadata. It restores every image type and depth exactly; undo snapshots live in it.

#include "ImageLibrary.h"
#include "fipSuperImage.h"
#include "imaging/geometry/ParallelRows.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

struct HandleHeader {
    char magic[4];
    uint32_t version;
    uint32_t type;
    uint32_t width;
    uint32_t height;
    uint32_t bpp;
    uint32_t redMask;
    uint32_t greenMask;
    uint32_t blueMask;
    uint32_t paletteCount;
    uint32_t transparencyCount;
    uint32_t transparent;
    uint32_t dotsPerMeterX;
    uint32_t dotsPerMeterY;
    uint32_t hasBackground;
    RGBQUAD background;
    uint32_t lineBytes;
    uint32_t iccSize;
    uint32_t iccFlags;
    uint32_t metadataSize;
};

constexpr char kMagic[4] = {'K', 'V', 'I', 'H'};
constexpr uint32_t kVersion = 1;

// The metadata models the library knows, from comments to the raw EXIF block.
constexpr FREE_IMAGE_MDMODEL kModels[] = {
    FIMD_COMMENTS, FIMD_EXIF_MAIN, FIMD_EXIF_EXIF, FIMD_EXIF_GPS, FIMD_EXIF_MAKERNOTE,
    FIMD_EXIF_INTEROP, FIMD_IPTC, FIMD_XMP, FIMD_GEOTIFF, FIMD_ANIMATION, FIMD_EXIF_RAW};

void appendU32(QByteArray& out, uint32_t v)
{
    out.append(reinterpret_cast<const char*>(&v), sizeof v);
}

QByteArray metadataBlob(FIBITMAP* dib)
{
    QByteArray blob;
    for (FREE_IMAGE_MDMODEL model : kModels) {
        FITAG* tag = nullptr;
        FIMETADATA* find = FreeImage_FindFirstMetadata(model, dib, &tag);
        if (!find)
            continue;
        do {
            const char* key = FreeImage_GetTagKey(tag);
            const uint32_t keyLength = key ? static_cast<uint32_t>(std::strlen(key)) : 0;
            const uint32_t length = FreeImage_GetTagLength(tag);
            appendU32(blob, static_cast<uint32_t>(model));
            appendU32(blob, keyLength);
            blob.append(key, keyLength);
            appendU32(blob, FreeImage_GetTagID(tag));
            appendU32(blob, static_cast<uint32_t>(FreeImage_GetTagType(tag)));
            appendU32(blob, FreeImage_GetTagCount(tag));
            appendU32(blob, length);
            if (length > 0 && FreeImage_GetTagValue(tag))
                blob.append(static_cast<const char*>(FreeImage_GetTagValue(tag)), length);
            else
                blob.append(QByteArray(length, '\0'));
        } while (FreeImage_FindNextMetadata(find, &tag));
        FreeImage_FindCloseMetadata(find);
    }
    return blob;
}

// Reads the fields back; a blob cut short stops the restore without failing the image.
class Reader {
public:
    Reader(const char* data, size_t size) : m_data(data), m_size(size) {}
    std::optional<uint32_t> u32()
    {
        uint32_t v = 0;
        if (!bytes(&v, sizeof v))
            return std::nullopt;
        return v;
    }
    bool bytes(void* out, size_t n)
    {
        if (n > m_size - m_pos)
            return false;
        std::memcpy(out, m_data + m_pos, n);
        m_pos += n;
        return true;
    }
    const char* take(size_t n)
    {
        if (n > m_size - m_pos)
            return nullptr;
        const char* p = m_data + m_pos;
        m_pos += n;
        return p;
    }

private:
    const char* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

void restoreMetadata(FIBITMAP* dib, const char* data, size_t size)
{
    Reader in(data, size);
    while (true) {
        const auto model = in.u32();
        const auto keyLength = model ? in.u32() : std::nullopt;
        const char* key = keyLength ? in.take(*keyLength) : nullptr;
        if (!key && (!keyLength || *keyLength != 0))
            return;
        const auto id = in.u32();
        const auto type = id ? in.u32() : std::nullopt;
        const auto count = type ? in.u32() : std::nullopt;
        const auto length = count ? in.u32() : std::nullopt;
        const char* value = length ? in.take(*length) : nullptr;
        if (!length || (!value && *length != 0))
            return;
        FITAG* tag = FreeImage_CreateTag();
        if (!tag)
            return;
        const std::string keyText(key ? key : "", *keyLength);
        FreeImage_SetTagKey(tag, keyText.c_str());
        FreeImage_SetTagID(tag, static_cast<WORD>(*id));
        FreeImage_SetTagType(tag, static_cast<FREE_IMAGE_MDTYPE>(*type));
        FreeImage_SetTagCount(tag, *count);
        FreeImage_SetTagLength(tag, *length);
        if (*length > 0)
            FreeImage_SetTagValue(tag, value);
        FreeImage_SetMetadata(static_cast<FREE_IMAGE_MDMODEL>(*model), dib, keyText.c_str(), tag);
        FreeImage_DeleteTag(tag);
    }
}

HandleHeader headerOf(FIBITMAP* dib, uint32_t metadataSize)
{
    HandleHeader h = {};
    std::memcpy(h.magic, kMagic, sizeof kMagic);
    h.version = kVersion;
    h.type = static_cast<uint32_t>(FreeImage_GetImageType(dib));
    h.width = FreeImage_GetWidth(dib);
    h.height = FreeImage_GetHeight(dib);
    h.bpp = FreeImage_GetBPP(dib);
    h.redMask = FreeImage_GetRedMask(dib);
    h.greenMask = FreeImage_GetGreenMask(dib);
    h.blueMask = FreeImage_GetBlueMask(dib);
    h.paletteCount = FreeImage_GetPalette(dib) ? FreeImage_GetColorsUsed(dib) : 0;
    h.transparencyCount = FreeImage_GetTransparencyCount(dib);
    h.transparent = FreeImage_IsTransparent(dib) ? 1 : 0;
    h.dotsPerMeterX = FreeImage_GetDotsPerMeterX(dib);
    h.dotsPerMeterY = FreeImage_GetDotsPerMeterY(dib);
    h.hasBackground = FreeImage_GetBackgroundColor(dib, &h.background) ? 1 : 0;
    h.lineBytes = FreeImage_GetLine(dib);
    const FIICCPROFILE* icc = FreeImage_GetICCProfile(dib);
    h.iccSize = icc && icc->data ? icc->size : 0;
    h.iccFlags = icc ? icc->flags : 0;
    h.metadataSize = metadataSize;
    return h;
}

size_t bodySize(const HandleHeader& h)
{
    return static_cast<size_t>(h.paletteCount) * sizeof(RGBQUAD) + h.transparencyCount
           + static_cast<size_t>(h.lineBytes) * h.height + h.iccSize + h.metadataSize;
}

}  // namespace

namespace ImageLibrary {

size_t handleSize(FIBITMAP* dib)
{
    if (!dib || !FreeImage_HasPixels(dib))
        return 0;
    const HandleHeader h = headerOf(dib, static_cast<uint32_t>(metadataBlob(dib).size()));
    return sizeof(HandleHeader) + bodySize(h);
}

namespace {

// Everything of a handle but its rows: what comes before them and what follows them.
struct HandleFrame {
    QByteArray head;
    QByteArray tail;
    unsigned lineBytes = 0;
    unsigned height = 0;
};

HandleFrame frameOf(FIBITMAP* dib)
{
    HandleFrame f;
    const QByteArray metadata = metadataBlob(dib);
    const HandleHeader h = headerOf(dib, static_cast<uint32_t>(metadata.size()));
    f.head.append(reinterpret_cast<const char*>(&h), sizeof h);
    if (h.paletteCount)
        f.head.append(reinterpret_cast<const char*>(FreeImage_GetPalette(dib)),
                      static_cast<qsizetype>(h.paletteCount * sizeof(RGBQUAD)));
    if (h.transparencyCount)
        f.head.append(reinterpret_cast<const char*>(FreeImage_GetTransparencyTable(dib)),
                      static_cast<qsizetype>(h.transparencyCount));
    if (h.iccSize)
        f.tail.append(static_cast<const char*>(FreeImage_GetICCProfile(dib)->data), static_cast<qsizetype>(h.iccSize));
    f.tail.append(metadata);
    f.lineBytes = h.lineBytes;
    f.height = h.height;
    return f;
}

}  // namespace

HandleBuilder::HandleBuilder(FIBITMAP* dib)
{
    if (!dib || !FreeImage_HasPixels(dib))
        return;
    const HandleFrame f = frameOf(dib);
    m_rowsOffset = static_cast<size_t>(f.head.size());
    m_lineBytes = f.lineBytes;
    m_height = f.height;
    const size_t rows = static_cast<size_t>(m_lineBytes) * m_height;
    // No zero fill: copyRows writes every row.
    m_bytes = QByteArray(static_cast<qsizetype>(m_rowsOffset + rows + f.tail.size()), Qt::Uninitialized);
    std::memcpy(m_bytes.data(), f.head.constData(), m_rowsOffset);
    std::memcpy(m_bytes.data() + m_rowsOffset + rows, f.tail.constData(), static_cast<size_t>(f.tail.size()));
}

bool HandleBuilder::fits(FIBITMAP* dib) const
{
    return isValid() && dib && FreeImage_GetHeight(dib) == m_height && FreeImage_GetLine(dib) == m_lineBytes;
}

void HandleBuilder::copyRowRange(FIBITMAP* dib, char* out, unsigned begin, unsigned end) const
{
    for (unsigned y = begin; y < end; ++y)
        std::memcpy(out + static_cast<size_t>(y) * m_lineBytes, FreeImage_GetScanLine(dib, static_cast<int>(y)),
                    m_lineBytes);
}

bool HandleBuilder::copyRows(FIBITMAP* dib, unsigned rows)
{
    if (!fits(dib))
        return false;
    const unsigned end = m_height - m_nextRow > rows ? m_nextRow + rows : m_height;
    copyRowRange(dib, m_bytes.data() + m_rowsOffset, m_nextRow, end);
    m_nextRow = end;
    return true;
}

bool HandleBuilder::matches(FIBITMAP* dib) const
{
    if (!isComplete() || !dib || !FreeImage_HasPixels(dib))
        return false;
    const HandleFrame now = frameOf(dib);
    const size_t rowsEnd = m_rowsOffset + static_cast<size_t>(m_lineBytes) * m_height;
    const char* mine = m_bytes.constData();
    if (now.lineBytes != m_lineBytes || now.height != m_height || static_cast<size_t>(now.head.size()) != m_rowsOffset
        || static_cast<size_t>(now.tail.size()) != static_cast<size_t>(m_bytes.size()) - rowsEnd
        || std::memcmp(mine, now.head.constData(), m_rowsOffset) != 0
        || std::memcmp(mine + rowsEnd, now.tail.constData(), static_cast<size_t>(now.tail.size())) != 0)
        return false;
    const auto sameRow = [&](unsigned y) {
        return std::memcmp(mine + m_rowsOffset + static_cast<size_t>(y) * m_lineBytes,
                           FreeImage_GetScanLine(dib, static_cast<int>(y)), m_lineBytes) == 0;
    };
    for (unsigned y = 0; y < m_height; y += 64)
        if (!sameRow(y))
            return false;
    return sameRow(m_height - 1);
}

bool HandleBuilder::copyAllRows(FIBITMAP* dib)
{
    if (!fits(dib))
        return false;
    char* out = m_bytes.data() + m_rowsOffset;
    const auto copy = [&](unsigned begin, unsigned end) { copyRowRange(dib, out, begin, end); };
    // Two cores fault in and fill a new buffer faster than one; small images stay on this one.
    if (static_cast<size_t>(m_lineBytes) * m_height < (size_t(8) << 20))
        copy(0, m_height);
    else
        geometry::parallelRows(m_height, copy);
    m_nextRow = m_height;
    return true;
}

QByteArray toHandle(FIBITMAP* dib)
{
    HandleBuilder builder(dib);
    return builder.copyAllRows(dib) ? builder.take() : QByteArray();
}

FIBITMAP* fromHandle(const QByteArray& handle)
{
    HandleHeader h;
    if (static_cast<size_t>(handle.size()) < sizeof h)
        return nullptr;
    std::memcpy(&h, handle.constData(), sizeof h);
    if (std::memcmp(h.magic, kMagic, sizeof kMagic) != 0 || h.version != kVersion
        || h.width == 0 || h.height == 0 || h.paletteCount > 256 || h.transparencyCount > 256
        || static_cast<size_t>(handle.size()) != sizeof h + bodySize(h))
        return nullptr;
    FIBITMAP* dib = FreeImage_AllocateT(static_cast<FREE_IMAGE_TYPE>(h.type), static_cast<int>(h.width),
                                        static_cast<int>(h.height), static_cast<int>(h.bpp), h.redMask,
                                        h.greenMask, h.blueMask);
    if (!dib)
        return nullptr;
    const bool paletteFits = h.paletteCount == 0
                             || (FreeImage_GetPalette(dib) && FreeImage_GetColorsUsed(dib) == h.paletteCount);
    if (FreeImage_GetLine(dib) != h.lineBytes || !paletteFits) {
        FreeImage_Unload(dib);
        return nullptr;
    }
    Reader in(handle.constData() + sizeof h, handle.size() - sizeof h);
    if (h.paletteCount)
        in.bytes(FreeImage_GetPalette(dib), h.paletteCount * sizeof(RGBQUAD));
    if (h.transparencyCount) {
        std::vector<BYTE> table(h.transparencyCount);
        in.bytes(table.data(), table.size());
        FreeImage_SetTransparencyTable(dib, table.data(), static_cast<int>(table.size()));
    }
    FreeImage_SetTransparent(dib, h.transparent ? TRUE : FALSE);
    for (unsigned y = 0; y < h.height; ++y)
        in.bytes(FreeImage_GetScanLine(dib, static_cast<int>(y)), h.lineBytes);
    if (h.iccSize) {
        const char* icc = in.take(h.iccSize);
        if (FIICCPROFILE* profile = FreeImage_CreateICCProfile(dib, const_cast<char*>(icc),
                                                                static_cast<long>(h.iccSize)))
            profile->flags = static_cast<WORD>(h.iccFlags);
    }
    if (h.metadataSize)
        restoreMetadata(dib, in.take(h.metadataSize), h.metadataSize);
    FreeImage_SetDotsPerMeterX(dib, h.dotsPerMeterX);
    FreeImage_SetDotsPerMeterY(dib, h.dotsPerMeterY);
    if (h.hasBackground)
        FreeImage_SetBackgroundColor(dib, &h.background);
    return dib;
}

}  // namespace ImageLibrary

QByteArray fipSuperImage::copyToHandle() const
{
    return isValid() ? ImageLibrary::toHandle(_dib) : QByteArray();
}

BOOL fipSuperImage::copyFromHandle(const QByteArray& handle)
{
    FIBITMAP* dib = ImageLibrary::fromHandle(handle);
    if (!dib)
        return FALSE;
    replace(dib);
    return TRUE;
}
