#include "platform/ItemIdList.h"

ItemIdList ItemIdList::combined(const ItemIdList& child) const
{
    std::vector<ItemId> items = m_items;
    items.insert(items.end(), child.m_items.begin(), child.m_items.end());
    return ItemIdList(std::move(items));
}

ItemIdList ItemIdList::parent() const
{
    if (m_items.empty())
        return {};
    return ItemIdList(std::vector<ItemId>(m_items.begin(), m_items.end() - 1));
}

ItemIdList ItemIdList::last() const
{
    if (m_items.empty())
        return {};
    return ItemIdList({m_items.back()});
}

namespace {

void appendU16(QByteArray& out, unsigned value)
{
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>((value >> 8) & 0xFF));
}

unsigned readU16(const QByteArray& bytes, int at)
{
    return static_cast<unsigned char>(bytes[at]) | (static_cast<unsigned char>(bytes[at + 1]) << 8);
}

}  // namespace

QByteArray ItemIdList::toBinary() const
{
    QByteArray out;
    for (const ItemId& item : m_items) {
        // An item larger than 16 bits can hold cannot be written; the layout has no escape.
        const int count = 2 + 1 + static_cast<int>(item.data.size());
        if (count > 0xFFFF)
            return {};
        appendU16(out, static_cast<unsigned>(count));
        out.append(static_cast<char>(item.tag));
        out.append(item.data);
    }
    appendU16(out, 0);
    return out;
}

std::optional<ItemIdList> ItemIdList::fromBinary(const QByteArray& bytes, int* consumed)
{
    std::vector<ItemId> items;
    int at = 0;
    for (;;) {
        if (at + 2 > bytes.size())
            return std::nullopt;
        const unsigned count = readU16(bytes, at);
        if (count == 0) {
            at += 2;
            break;
        }
        if (count < 3 || at + static_cast<int>(count) > bytes.size())
            return std::nullopt;
        const auto tag = static_cast<unsigned char>(bytes[at + 2]);
        if (tag < static_cast<unsigned char>(ItemTag::Home) || tag > static_cast<unsigned char>(ItemTag::Entry))
            return std::nullopt;
        items.push_back({static_cast<ItemTag>(tag), bytes.mid(at + 3, static_cast<int>(count) - 3)});
        at += static_cast<int>(count);
    }
    if (consumed)
        *consumed = at;
    return ItemIdList(std::move(items));
}
