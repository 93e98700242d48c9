#include "browser/HistoryFile.h"

#include "app/PlainFile.h"

#include <algorithm>

void AddressHistory::addAddress(const ItemIdList& folder, std::uint32_t source)
{
    if (static_cast<int>(m_entries.size()) >= kMaxAddresses)
        m_entries.pop_back();
    if (const int at = indexOf(folder); at >= 0)
        m_entries.erase(m_entries.begin() + at);
    m_entries.insert(m_entries.begin(), {folder, source});
}

void AddressHistory::appendLoaded(const ItemIdList& folder, std::uint32_t source)
{
    if (const int at = indexOf(folder); at >= 0)
        m_entries.erase(m_entries.begin() + at);
    if (static_cast<int>(m_entries.size()) >= kMaxAddresses)
        m_entries.back() = {folder, source};
    else
        m_entries.push_back({folder, source});
}

void AddressHistory::removeAt(int index)
{
    if (index >= 0 && index < static_cast<int>(m_entries.size()))
        m_entries.erase(m_entries.begin() + index);
}

bool AddressHistory::sameFolder(const ItemIdList& a, const ItemIdList& b) const
{
    if (a == b)
        return true;
    if (!m_key)
        return false;
    // Folders without a key (the virtual ones) have one id list only.
    const QByteArray key = m_key(a);
    return !key.isEmpty() && key == m_key(b);
}

int AddressHistory::indexOf(const ItemIdList& folder) const
{
    const auto it = std::find_if(m_entries.begin(), m_entries.end(),
                                 [&](const AddressEntry& e) { return sameFolder(e.folder, folder); });
    return it == m_entries.end() ? -1 : static_cast<int>(it - m_entries.begin());
}

namespace HistoryFile {

std::vector<AddressEntry> parse(const QByteArray& bytes, int limit)
{
    std::vector<AddressEntry> records;
    int at = 0;
    while (at < bytes.size() && static_cast<int>(records.size()) < limit) {
        int consumed = 0;
        auto list = ItemIdList::fromBinary(QByteArray::fromRawData(bytes.constData() + at, bytes.size() - at), &consumed);
        if (!list || at + consumed + 4 > bytes.size())
            break;
        at += consumed;
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData() + at);
        const std::uint32_t source = p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
        at += 4;
        records.push_back({std::move(*list), source});
    }
    return records;
}

QByteArray serialize(const std::vector<AddressEntry>& entries)
{
    QByteArray out;
    for (const auto& e : entries) {
        const QByteArray list = e.folder.toBinary();
        if (list.isEmpty())
            continue;  // an item too long for the layout; writing it would damage the rest
        out += list;
        for (int shift = 0; shift < 32; shift += 8)
            out += static_cast<char>((e.source >> shift) & 0xff);
    }
    return out;
}

AddressHistory load(const QString& path, FolderKey key)
{
    AddressHistory history(std::move(key));
    // Twenty records of even very deep folders fit easily; more is damage or foreign data, of
    // which the start is still read. A pipe or device in the file's place reads as nothing.
    const PlainFile::ReadResult file = PlainFile::read(path, 4 << 20);
    for (const auto& record : parse(file.bytes))
        history.appendLoaded(record.folder, record.source);
    return history;
}

bool save(const QString& path, const AddressHistory& history)
{
    return PlainFile::replace(path, serialize(history.entries()));
}

}  // namespace HistoryFile
