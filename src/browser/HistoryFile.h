#pragma once
// The address bar's recent folders and the file that keeps them between sessions.
//
// The file has no header and no count: record after record, each an id list in its binary
// form followed by a 32-bit little-endian source value. Files written by earlier versions
// must keep loading, so the layout is fixed; a damaged tail is dropped without a word.

#include "platform/ItemIdList.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

struct AddressEntry {
    ItemIdList folder;
    std::uint32_t source = 0;  // 0 folder tree or typed, 1 favorites tree
    bool operator==(const AddressEntry&) const = default;
};

// What names a folder when entries are compared. One folder has several id lists (through
// Home, or through File System down to it, or through its volume), so the address bar
// compares paths; without a key the id lists are compared.
using FolderKey = std::function<QByteArray(const ItemIdList&)>;

// Newest first, at most `kMaxAddresses`, no folder twice.
class AddressHistory {
public:
    static constexpr int kMaxAddresses = 20;

    explicit AddressHistory(FolderKey key = {}) : m_key(std::move(key)) {}

    // Puts the folder at the top. At the limit the oldest entry goes first, then an older
    // entry for the same folder, so revisiting a folder among twenty leaves nineteen.
    void addAddress(const ItemIdList& folder, std::uint32_t source);
    // Adds at the bottom as loading does: an older entry for the folder is removed and, at
    // the limit, the bottom entry is replaced.
    void appendLoaded(const ItemIdList& folder, std::uint32_t source);
    void clear() { m_entries.clear(); }
    void removeAt(int index);
    int indexOf(const ItemIdList& folder) const;
    bool sameFolder(const ItemIdList& a, const ItemIdList& b) const;

    const std::vector<AddressEntry>& entries() const { return m_entries; }

private:
    FolderKey m_key;
    std::vector<AddressEntry> m_entries;
};

namespace HistoryFile {

// Records up to the first damaged one; never more than `limit` records are decoded, so a
// huge file cannot make the program wait.
std::vector<AddressEntry> parse(const QByteArray& bytes, int limit = 1 << 16);
QByteArray serialize(const std::vector<AddressEntry>& entries);

// A missing or unreadable file yields an empty history; `key` tells which records name one
// folder (the older goes).
AddressHistory load(const QString& path, FolderKey key = {});
// False when the file could not be replaced (the old one stays); closing goes on regardless,
// as losing the history must not stop the program from closing.
bool save(const QString& path, const AddressHistory& history);

}  // namespace HistoryFile
