#pragma once
// The camera properties of one image file: each EXIF entry of the first image directory and
// of the EXIF directory as tag id, type, count and value bytes, read through exiv2 without
// decoding any pixels. Values are kept in little-endian order whatever the file used, so
// the readers below never need to know the file's byte order, and every read is checked
// against the bytes that were actually stored.

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

struct PropertyItem {
    uint16_t id = 0;
    uint16_t type = 0;   // TIFF type: 1 byte, 2 ASCII, 3 short, 4 long, 5 rational, 7 undefined, 10 srational
    uint32_t count = 0;  // as the entry declares it
    std::vector<uint8_t> value;

    // The `index`th value of each width; none when the stored bytes do not reach it.
    std::optional<uint8_t> byteAt(size_t index = 0) const;
    std::optional<uint16_t> uint16At(size_t index = 0) const;
    std::optional<uint32_t> uint32At(size_t index = 0) const;
    // Numerator ÷ denominator as a double (a zero denominator gives what the division gives).
    std::optional<double> rational() const;
    std::optional<double> srational() const;
    // The stored characters up to the first zero or the end of the value bytes.
    QString text() const;
};

class PropertyItemSet {
public:
    // Replaces the set with the file's items; false when the file cannot be read or holds
    // none. A damaged block keeps the items that were read before the damage.
    bool Load(const QString& path);
    // The first item with the tag, in stored order.
    const PropertyItem* Find(uint16_t id) const;
    const std::vector<PropertyItem>& items() const { return m_items; }
    size_t count() const { return m_items.size(); }

private:
    std::vector<PropertyItem> m_items;
};
