#include "FolderHistory.h"

#include <algorithm>
#include <utility>

void FolderHistory::push(const QByteArray& idList, int source)
{
    if (m_position == kCapacity) {
        std::move(m_entries.begin() + 1, m_entries.end(), m_entries.begin());
        m_entries.back().reset();
        m_position = kCapacity - 1;
    }
    std::fill(m_entries.begin() + m_position, m_entries.end(), std::nullopt);
    if (m_current)
        m_entries[m_position++] = std::move(m_current);
    m_current = HistoryEntry{idList, source};
}

std::optional<HistoryEntry> FolderHistory::back()
{
    if (m_position <= 0)
        return std::nullopt;
    --m_position;
    std::swap(m_current, m_entries[m_position]);
    return m_current;
}

std::optional<HistoryEntry> FolderHistory::forward()
{
    if (!canGoForward())
        return std::nullopt;
    std::swap(m_current, m_entries[m_position]);
    ++m_position;
    return m_current;
}
