#pragma once
// The frame's Back/Forward history of folders: the current folder and up to 100 earlier or
// later ones, each an item id list with the tree it was chosen in.

#include <QByteArray>

#include <array>
#include <optional>

struct HistoryEntry {
    QByteArray idList;
    int source = 0;  // 0 the folder tree, 1 the favorites tree

    bool operator==(const HistoryEntry&) const = default;
};

class FolderHistory {
public:
    static constexpr int kCapacity = 100;

    // Records a newly chosen folder: the forward part is dropped, the current folder goes
    // behind, and the oldest entry is dropped when the history is full.
    void push(const QByteArray& idList, int source);
    // Each returns the new current entry, or nothing when there is nowhere to go.
    std::optional<HistoryEntry> back();
    std::optional<HistoryEntry> forward();

    bool canGoBack() const { return m_position > 0; }
    bool canGoForward() const { return m_position < kCapacity && m_entries[m_position].has_value(); }
    const std::optional<HistoryEntry>& current() const { return m_current; }
    int position() const { return m_position; }

private:
    std::optional<HistoryEntry> m_current;
    std::array<std::optional<HistoryEntry>, kCapacity> m_entries;
    int m_position = 0;
};
