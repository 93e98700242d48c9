#pragma once
// What the viewer needs to know about the folder's item list: where each item points and
// which items are images. The thumbnail list implements it; the frame hands it to the view.
#include <QString>
#include <QStringList>

#include <optional>

struct SequenceItem {
    QString targetPath;  // the file the item stands for (a link's resolved target)
    QString itemPath;    // the item's own path; its folder is the "item folder"
};

class ImageSequence {
public:
    virtual ~ImageSequence() = default;
    virtual int itemCount() const = 0;
    virtual std::optional<SequenceItem> itemAt(int index) const = 0;
    // `GetNextImage` / `GetPreviousImage`: -1 when there is none; no wrap. The next image of
    // -1 is the first one.
    virtual int nextImage(int index) const = 0;
    virtual int previousImage(int index) const = 0;
    virtual int imageCount() const = 0;
    // `GetImageOrdinal`: 1 + images before `index` (1 for an invalid index).
    virtual int imageOrdinal(int index) const = 0;
    // The index of the item whose own path is `itemPath`; -1 when there is none.
    virtual int findItem(const QString& itemPath) const = 0;
};

// A fixed list of files in name order; an item is an image when its extension is one the
// image library reads. Used until the browser's list is wired in, and by tests and benches.
class FileListSequence final : public ImageSequence {
public:
    explicit FileListSequence(QStringList paths);
    // Every regular file of a folder, sorted by name.
    static FileListSequence fromFolder(const QString& folder);

    int itemCount() const override { return static_cast<int>(m_paths.size()); }
    std::optional<SequenceItem> itemAt(int index) const override;
    int nextImage(int index) const override;
    int previousImage(int index) const override;
    int imageCount() const override;
    int imageOrdinal(int index) const override;
    int findItem(const QString& itemPath) const override { return static_cast<int>(m_paths.indexOf(itemPath)); }

private:
    bool isImage(int index) const;
    QStringList m_paths;
};
