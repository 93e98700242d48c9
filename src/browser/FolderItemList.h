#pragma once
// The records of the shown folder in display order, with the control state that goes with
// each index (selected, focused), and every query other panes ask of the list. No window
// is needed, so the whole of it is tested directly.

#include "browser/FolderItem.h"

#include <QHash>
#include <QStringList>

#include <cstdint>
#include <vector>

QString FormatFileSize(std::uint64_t size);

// Sorts stably by the key, folders first in both directions (`SortType`, `SortDirection`).
void SortItems(std::vector<FolderItem>& items, int sortType, int sortDirection);

class FolderItemList {
public:
    int GetItemCount() const { return static_cast<int>(m_items.size()); }
    bool isValidIndex(int i) const { return i >= 0 && i < GetItemCount(); }
    const FolderItem& at(int i) const { return m_items[static_cast<std::size_t>(i)]; }
    FolderItem& at(int i) { return m_items[static_cast<std::size_t>(i)]; }
    const std::vector<FolderItem>& records() const { return m_items; }

    // ---- membership -----------------------------------------------------------------
    void clear();
    void append(FolderItem item);
    void replace(int index, FolderItem item);
    void removeAt(int index);
    void SortItems(int sortType, int sortDirection);

    // Fills the list with the folder's items; false (and nothing changed) when the folder
    // cannot be read.
    bool populate(const ShellNamespace& shell, const ItemIdList& folder, bool includeHidden);

    struct RescanResult {
        bool changed = false;
        std::vector<QByteArray> removedPaths;  // of records dropped or replaced
    };
    // Brings the records in line with the folder: unchanged files keep their records (and
    // thumbnails), changed ones get fresh records in place, new ones are appended, gone ones
    // removed. A folder that cannot be read any more empties the list.
    RescanResult rescan(const ShellNamespace& shell, const ItemIdList& folder, bool includeHidden);

    // ---- control state --------------------------------------------------------------
    bool isSelected(int i) const { return isValidIndex(i) && m_selected[static_cast<std::size_t>(i)]; }
    void setSelected(int i, bool selected);
    int GetFocusedItem() const { return m_focused; }
    void setFocusedItem(int i) { m_focused = isValidIndex(i) ? i : -1; }
    int selectedCount() const;
    int firstSelected() const;
    void selectAll();
    void selectAllFiles();
    void selectAllImages();
    void invertSelection();
    void clearSelection();
    // Exactly first..last (either order) selected, everything else not.
    void selectOnlyRange(int first, int last);

    // ---- queries ----------------------------------------------------------------------
    int GetNextImage(int index) const;
    int GetPreviousImage(int index) const;
    int GetImageOrdinal(int index) const;
    int GetImageCount() const;
    int GetSelectedImageCount() const;
    QStringList GetAllImagePaths() const;
    QStringList GetSelectedImagePaths() const;
    QStringList GetSelectedPaths() const;
    QStringList GetAllDisplayNames() const;
    std::uint64_t GetTotalFileSize() const;
    std::uint64_t GetSelectedFileSize() const;
    // Paths are compared exactly (file names are case-sensitive here).
    int FindItemByPath(const QString& path) const;
    int FindItemIndex(const FolderItem* item) const;
    // One trailing slash on either side is ignored.
    int findByNativePath(const QByteArray& nativePath) const;
    // Type-ahead: the first item after the focused one (wrapping round to it) whose display
    // name starts with `c` ignoring case; -1 when none.
    int typeAheadMatch(QChar c) const;

private:
    void invalidateIndex() { m_pathIndexValid = false; }

    std::vector<FolderItem> m_items;
    std::vector<char> m_selected;
    int m_focused = -1;
    mutable QHash<QByteArray, int> m_pathIndex;
    mutable bool m_pathIndexValid = false;
};
