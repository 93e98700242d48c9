#include "ListImageSequence.h"

#include "browser/CImageListCtrl.h"

int ListImageSequence::itemCount() const
{
    return m_list.GetItemCount();
}

std::optional<SequenceItem> ListImageSequence::itemAt(int index) const
{
    if (!m_list.items().isValidIndex(index))
        return std::nullopt;
    const FolderItem& item = m_list.items().at(index);
    return SequenceItem{item.targetPath, item.path};
}

int ListImageSequence::nextImage(int index) const
{
    return m_list.GetNextImage(index);
}

int ListImageSequence::previousImage(int index) const
{
    return m_list.GetPreviousImage(index);
}

int ListImageSequence::imageCount() const
{
    return m_list.GetImageCount();
}

int ListImageSequence::imageOrdinal(int index) const
{
    return m_list.GetImageOrdinal(index);
}

int ListImageSequence::findItem(const QString& itemPath) const
{
    return m_list.FindItemByPath(itemPath);
}
