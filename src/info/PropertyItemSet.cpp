#include "info/PropertyItemSet.h"

#include <QFile>

#include <exiv2/exiv2.hpp>

#include <sys/stat.h>

#include <cmath>
#include <exception>
#include <memory>
#include <mutex>

namespace {

// exiv2 reports damaged blocks on stderr; the panels show what was read and say nothing.
void muteLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute); });
}

bool isRegularFile(const QByteArray& native)
{
    struct stat st {};
    return ::stat(native.constData(), &st) == 0 && S_ISREG(st.st_mode);
}

uint32_t littleEndian(const std::vector<uint8_t>& bytes, size_t offset, size_t width)
{
    uint32_t v = 0;
    for (size_t i = 0; i < width; ++i)
        v |= static_cast<uint32_t>(bytes[offset + i]) << (8 * i);
    return v;
}

}  // namespace

std::optional<uint8_t> PropertyItem::byteAt(size_t index) const
{
    if (index >= value.size())
        return std::nullopt;
    return value[index];
}

std::optional<uint16_t> PropertyItem::uint16At(size_t index) const
{
    if (value.size() / 2 <= index)
        return std::nullopt;
    return static_cast<uint16_t>(littleEndian(value, index * 2, 2));
}

std::optional<uint32_t> PropertyItem::uint32At(size_t index) const
{
    if (value.size() / 4 <= index)
        return std::nullopt;
    return littleEndian(value, index * 4, 4);
}

std::optional<double> PropertyItem::rational() const
{
    const auto n = uint32At(0), d = uint32At(1);
    if (!n || !d)
        return std::nullopt;
    return static_cast<double>(*n) / static_cast<double>(*d);
}

std::optional<double> PropertyItem::srational() const
{
    const auto n = uint32At(0), d = uint32At(1);
    if (!n || !d)
        return std::nullopt;
    return static_cast<double>(static_cast<int32_t>(*n)) / static_cast<double>(static_cast<int32_t>(*d));
}

QString PropertyItem::text() const
{
    size_t end = 0;
    while (end < value.size() && value[end] != 0)
        ++end;
    return QString::fromLatin1(reinterpret_cast<const char*>(value.data()), static_cast<qsizetype>(end));
}

bool PropertyItemSet::Load(const QString& path)
{
    m_items.clear();
    const QByteArray native = QFile::encodeName(path);
    if (native.isEmpty() || !isRegularFile(native))
        return false;
    muteLibrary();
    try {
        std::unique_ptr<Exiv2::Image> image = Exiv2::ImageFactory::open(native.toStdString());
        if (!image)
            return false;
        try {
            image->readMetadata();
        } catch (const std::exception&) {
            // A damaged block: keep whatever was decoded before the fault.
        }
        const Exiv2::ExifData& exif = image->exifData();
        for (const Exiv2::Exifdatum& datum : exif) {
            // "Image" is the first image directory, "Photo" the EXIF directory.
            const std::string group = datum.groupName();
            if (group != "Image" && group != "Photo")
                continue;
            PropertyItem item;
            item.id = datum.tag();
            item.type = static_cast<uint16_t>(datum.typeId());
            item.count = static_cast<uint32_t>(datum.count());
            const long size = datum.size();
            if (size > 0) {
                item.value.resize(static_cast<size_t>(size));
                const long written = datum.copy(item.value.data(), Exiv2::littleEndian);
                item.value.resize(static_cast<size_t>(std::max(0L, std::min(written, size))));
            }
            m_items.push_back(std::move(item));
        }
    } catch (const std::exception&) {
        // Unreadable or unknown files are simply without properties.
    }
    return !m_items.empty();
}

const PropertyItem* PropertyItemSet::Find(uint16_t id) const
{
    for (const PropertyItem& item : m_items)
        if (item.id == id)
            return &item;
    return nullptr;
}
