#include "browser/FolderItemList.h"

#include "browser/ThumbSettings.h"

#include <algorithm>
#include <numeric>

QString FormatFileSize(std::uint64_t size)
{
    constexpr std::uint64_t KiB = 1024;
    constexpr std::uint64_t MiB = KiB * 1024;
    constexpr std::uint64_t GiB = MiB * 1024;
    if (size < KiB)
        return QString::number(size) + (size == 1 ? QStringLiteral(" byte") : QStringLiteral(" bytes"));
    if (size < MiB)
        return QString::asprintf("%.2f", static_cast<double>(size) / KiB) + QStringLiteral(" KB");
    if (size < GiB)
        return QString::asprintf("%.2f", static_cast<double>(size) / MiB) + QStringLiteral(" MB");
    return QString::asprintf("%.2f", static_cast<double>(size) / GiB) + QStringLiteral(" GB");
}

namespace {

// Negative, zero or positive as a's key is below, equal to or above b's.
int compareKeys(const FolderItem& a, const FolderItem& b, int sortType)
{
    auto threeWay = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
    switch (sortType) {
    case SortBySize:
        return threeWay(a.size, b.size);
    case SortByType:
        return extensionOf(a.path).compare(extensionOf(b.path), Qt::CaseInsensitive);
    case SortByDate:
        return threeWay(a.lastWriteTime, b.lastWriteTime);
    case SortByPhotoSize:
        return threeWay(static_cast<std::uint64_t>(a.width) * static_cast<std::uint64_t>(a.height),
                        static_cast<std::uint64_t>(b.width) * static_cast<std::uint64_t>(b.height));
    case SortByName:
    default:
        return a.displayName.compare(b.displayName, Qt::CaseInsensitive);
    }
}

}  // namespace

void SortItems(std::vector<FolderItem>& items, int sortType, int sortDirection)
{
    // A stable sort under "folders first, then the key" gives exactly the order that
    // exchanging neighbours only when strictly out of order would, in O(n log n).
    std::vector<std::size_t> order(items.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t ia, std::size_t ib) {
        const FolderItem& a = items[ia];
        const FolderItem& b = items[ib];
        const bool aFolder = a.kind == ItemKind::Folder;
        const bool bFolder = b.kind == ItemKind::Folder;
        if (aFolder != bFolder)
            return aFolder;
        const int c = compareKeys(a, b, sortType);
        return sortDirection == SortBackward ? c > 0 : c < 0;
    });
    std::vector<FolderItem> sorted;
    sorted.reserve(items.size());
    for (std::size_t i : order)
        sorted.push_back(std::move(items[i]));
    items = std::move(sorted);
}

void FolderItemList::clear()
{
    m_items.clear();
    m_selected.clear();
    m_focused = -1;
    invalidateIndex();
}

void FolderItemList::append(FolderItem item)
{
    m_items.push_back(std::move(item));
    m_selected.push_back(0);
    invalidateIndex();
}

void FolderItemList::replace(int index, FolderItem item)
{
    if (!isValidIndex(index))
        return;
    m_items[static_cast<std::size_t>(index)] = std::move(item);
    invalidateIndex();
}

void FolderItemList::removeAt(int index)
{
    if (!isValidIndex(index))
        return;
    m_items.erase(m_items.begin() + index);
    m_selected.erase(m_selected.begin() + index);
    if (m_focused == index)
        m_focused = -1;
    else if (m_focused > index)
        --m_focused;
    invalidateIndex();
}

void FolderItemList::SortItems(int sortType, int sortDirection)
{
    ::SortItems(m_items, sortType, sortDirection);
    invalidateIndex();
}

bool FolderItemList::populate(const ShellNamespace& shell, const ItemIdList& folder, bool includeHidden)
{
    auto children = shell.enumerate(folder, includeHidden);
    if (!children)
        return false;
    const QByteArray folderPath = shell.pathFromIdList(folder).value_or(QByteArray());
    clear();
    m_items.reserve(children->size());
    m_selected.reserve(children->size());
    for (const ShellItem& child : *children) {
        if (!(child.attributes & (ShellAttr::FileSystem | ShellAttr::Folder)))
            continue;
        if (auto record = BuildFolderItem(shell, folder, folderPath, child))
            append(std::move(*record));
    }
    return true;
}

FolderItemList::RescanResult FolderItemList::rescan(const ShellNamespace& shell, const ItemIdList& folder,
                                                    bool includeHidden)
{
    RescanResult result;
    auto children = shell.enumerate(folder, includeHidden);
    if (!children) {
        for (const FolderItem& item : m_items)
            result.removedPaths.push_back(item.nativePath);
        result.changed = !m_items.empty();
        clear();
        return result;
    }
    const QByteArray folderPath = shell.pathFromIdList(folder).value_or(QByteArray());
    QHash<QByteArray, int> byChild;
    byChild.reserve(static_cast<qsizetype>(m_items.size()));
    for (int i = 0; i < GetItemCount(); ++i)
        byChild.insert(at(i).childIdList.toBinary(), i);

    for (const ShellItem& child : *children) {
        if (!(child.attributes & (ShellAttr::FileSystem | ShellAttr::Folder)))
            continue;
        const auto found = byChild.constFind(child.child.toBinary());
        if (found == byChild.constEnd()) {
            if (auto record = BuildFolderItem(shell, folder, folderPath, child)) {
                record->seen = true;
                append(std::move(*record));
                result.changed = true;
            }
            continue;
        }
        FolderItem& existing = at(found.value());
        existing.seen = true;
        const bool stale = existing.path.isEmpty()
                           || (existing.kind != ItemKind::Folder && child.stat.exists
                               && child.stat.mtimeNs != existing.lastWriteTime);
        if (!stale)
            continue;
        if (auto record = BuildFolderItem(shell, folder, folderPath, child)) {
            record->seen = true;
            result.removedPaths.push_back(existing.nativePath);
            existing = std::move(*record);
            result.changed = true;
            invalidateIndex();
        }
    }
    for (int i = GetItemCount() - 1; i >= 0; --i) {
        if (at(i).seen) {
            at(i).seen = false;
        } else {
            result.removedPaths.push_back(at(i).nativePath);
            removeAt(i);
            result.changed = true;
        }
    }
    return result;
}

void FolderItemList::setSelected(int i, bool selected)
{
    if (isValidIndex(i))
        m_selected[static_cast<std::size_t>(i)] = selected;
}

int FolderItemList::selectedCount() const
{
    return static_cast<int>(std::count(m_selected.begin(), m_selected.end(), 1));
}

int FolderItemList::firstSelected() const
{
    const auto it = std::find(m_selected.begin(), m_selected.end(), 1);
    return it == m_selected.end() ? -1 : static_cast<int>(it - m_selected.begin());
}

void FolderItemList::selectAll()
{
    std::fill(m_selected.begin(), m_selected.end(), 1);
}

void FolderItemList::selectAllFiles()
{
    for (int i = 0; i < GetItemCount(); ++i)
        setSelected(i, at(i).kind != ItemKind::Folder);
}

void FolderItemList::selectAllImages()
{
    for (int i = 0; i < GetItemCount(); ++i)
        setSelected(i, at(i).kind == ItemKind::Image);
}

void FolderItemList::invertSelection()
{
    for (char& s : m_selected)
        s = !s;
}

void FolderItemList::clearSelection()
{
    std::fill(m_selected.begin(), m_selected.end(), 0);
}

void FolderItemList::selectOnlyRange(int first, int last)
{
    if (first > last)
        std::swap(first, last);
    for (int i = 0; i < GetItemCount(); ++i)
        setSelected(i, i >= first && i <= last);
}

int FolderItemList::GetNextImage(int index) const
{
    for (int i = std::max(index + 1, 0); i < GetItemCount(); ++i) {
        if (at(i).countsAsImage())
            return i;
    }
    return -1;
}

int FolderItemList::GetPreviousImage(int index) const
{
    for (int i = std::min(index, GetItemCount()) - 1; i >= 0; --i) {
        if (at(i).countsAsImage())
            return i;
    }
    return -1;
}

int FolderItemList::GetImageOrdinal(int index) const
{
    if (!isValidIndex(index))
        return 1;
    int ordinal = 1;
    for (int i = 0; i < index; ++i)
        ordinal += at(i).targetIsImage ? 1 : 0;
    return ordinal;
}

int FolderItemList::GetImageCount() const
{
    return static_cast<int>(std::count_if(m_items.begin(), m_items.end(),
                                          [](const FolderItem& r) { return r.targetIsImage; }));
}

int FolderItemList::GetSelectedImageCount() const
{
    int count = 0;
    for (int i = 0; i < GetItemCount(); ++i)
        count += isSelected(i) && at(i).kind == ItemKind::Image ? 1 : 0;
    return count;
}

QStringList FolderItemList::GetAllImagePaths() const
{
    QStringList out;
    for (const FolderItem& r : m_items) {
        if (r.kind == ItemKind::Image)
            out << r.path;
    }
    return out;
}

QStringList FolderItemList::GetSelectedImagePaths() const
{
    QStringList out;
    for (int i = 0; i < GetItemCount(); ++i) {
        if (isSelected(i) && at(i).kind == ItemKind::Image)
            out << at(i).path;
    }
    return out;
}

QStringList FolderItemList::GetSelectedPaths() const
{
    QStringList out;
    for (int i = 0; i < GetItemCount(); ++i) {
        if (isSelected(i) && !at(i).path.isEmpty())
            out << at(i).path;
    }
    return out;
}

QStringList FolderItemList::GetAllDisplayNames() const
{
    QStringList out;
    for (const FolderItem& r : m_items)
        out << r.displayName;
    return out;
}

std::uint64_t FolderItemList::GetTotalFileSize() const
{
    std::uint64_t sum = 0;
    for (const FolderItem& r : m_items)
        sum += r.kind != ItemKind::Folder ? r.size : 0;
    return sum;
}

std::uint64_t FolderItemList::GetSelectedFileSize() const
{
    std::uint64_t sum = 0;
    for (int i = 0; i < GetItemCount(); ++i)
        sum += isSelected(i) && at(i).kind != ItemKind::Folder ? at(i).size : 0;
    return sum;
}

int FolderItemList::FindItemByPath(const QString& path) const
{
    for (int i = 0; i < GetItemCount(); ++i) {
        if (at(i).path == path)
            return i;
    }
    return -1;
}

int FolderItemList::FindItemIndex(const FolderItem* item) const
{
    if (!item || m_items.empty() || item < m_items.data() || item >= m_items.data() + m_items.size())
        return -1;
    return static_cast<int>(item - m_items.data());
}

int FolderItemList::findByNativePath(const QByteArray& nativePath) const
{
    auto key = [](QByteArray p) {
        if (p.size() > 1 && p.endsWith('/'))
            p.chop(1);
        return p;
    };
    if (!m_pathIndexValid) {
        m_pathIndex.clear();
        m_pathIndex.reserve(static_cast<qsizetype>(m_items.size()));
        for (int i = GetItemCount() - 1; i >= 0; --i)
            m_pathIndex.insert(key(at(i).nativePath), i);
        m_pathIndexValid = true;
    }
    return m_pathIndex.value(key(nativePath), -1);
}

int FolderItemList::typeAheadMatch(QChar c) const
{
    const int count = GetItemCount();
    if (count == 0)
        return -1;
    const QChar wanted = c.toCaseFolded();
    const int start = m_focused < 0 ? 0 : m_focused + 1;
    for (int n = 0; n < count; ++n) {
        const int i = (start + n) % count;
        const QString& name = at(i).displayName;
        if (!name.isEmpty() && name.front().toCaseFolded() == wanted)
            return i;
    }
    return -1;
}
