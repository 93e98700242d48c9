#pragma once
// Item id lists in the classic binary layout: a sequence of items, each a little-endian
// 16-bit byte count (counting the count itself) followed by its data, ended by a 16-bit zero.
// The address history file stores these bytes as they are, so the layout must not drift.
//
// Our items carry a one-byte tag and then their bytes: the two children of the virtual root
// (Home, Computer), a mounted volume (its mount point) and a file-system entry (its name as
// the raw bytes the kernel gave us, so names that are not UTF-8 survive a round trip).

#include <QByteArray>

#include <optional>
#include <vector>

enum class ItemTag : unsigned char {
    Home = 1,
    Computer = 2,
    Volume = 3,  // data: absolute mount point path
    Entry = 4,   // data: one file name
};

struct ItemId {
    ItemTag tag = ItemTag::Entry;
    QByteArray data;
    bool operator==(const ItemId&) const = default;
};

class ItemIdList {
public:
    ItemIdList() = default;  // the empty list names the virtual root ("Desktop")
    explicit ItemIdList(std::vector<ItemId> items) : m_items(std::move(items)) {}

    static ItemIdList entry(const QByteArray& name) { return ItemIdList({{ItemTag::Entry, name}}); }

    const std::vector<ItemId>& items() const { return m_items; }
    bool isRoot() const { return m_items.empty(); }
    std::size_t size() const { return m_items.size(); }

    // This list followed by `child`'s items (an absolute id list from a folder's and a child's).
    ItemIdList combined(const ItemIdList& child) const;
    // Everything but the last item; the root stays the root.
    ItemIdList parent() const;
    // The last item alone (the id list relative to the parent).
    ItemIdList last() const;

    QByteArray toBinary() const;
    // Fails on truncated data, an item shorter than its own count, an unknown tag or a
    // missing terminator; `consumed` tells how many bytes the list took.
    static std::optional<ItemIdList> fromBinary(const QByteArray& bytes, int* consumed = nullptr);

    bool operator==(const ItemIdList&) const = default;

private:
    std::vector<ItemId> m_items;
};
