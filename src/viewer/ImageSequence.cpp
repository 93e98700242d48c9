#include "viewer/ImageSequence.h"

#include "imaging/fipSuperImage.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

FileListSequence::FileListSequence(QStringList paths) : m_paths(std::move(paths))
{
    std::sort(m_paths.begin(), m_paths.end());
}

FileListSequence FileListSequence::fromFolder(const QString& folder)
{
    QStringList paths;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name))
        paths << dir.filePath(name);
    return FileListSequence(paths);
}

std::optional<SequenceItem> FileListSequence::itemAt(int index) const
{
    if (index < 0 || index >= itemCount())
        return std::nullopt;
    return SequenceItem{m_paths[index], m_paths[index]};
}

bool FileListSequence::isImage(int index) const
{
    return fipSuperImage::isImageExtension(QFileInfo(m_paths[index]).suffix());
}

int FileListSequence::nextImage(int index) const
{
    for (int i = std::max(index + 1, 0); i < itemCount(); ++i)
        if (isImage(i))
            return i;
    return -1;
}

int FileListSequence::previousImage(int index) const
{
    for (int i = std::min(index, itemCount()) - 1; i >= 0; --i)
        if (isImage(i))
            return i;
    return -1;
}

int FileListSequence::imageCount() const
{
    int count = 0;
    for (int i = 0; i < itemCount(); ++i)
        count += isImage(i) ? 1 : 0;
    return count;
}

int FileListSequence::imageOrdinal(int index) const
{
    if (index < 0 || index >= itemCount())
        return 1;
    int before = 0;
    for (int i = 0; i < index; ++i)
        before += isImage(i) ? 1 : 0;
    return before + 1;
}
