#pragma once
// `FolderItem`: one item of the shown folder, and how a record is built from what the
// namespace reports.

#include "imaging/fipSuperImage.h"
#include "platform/ItemIdList.h"
#include "platform/ShellNamespace.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

enum class ItemKind { Folder = 0, Image = 1, OtherFile = 2, Shortcut = 3 };

struct FolderItem {
    ItemIdList absoluteIdList;
    ItemIdList childIdList;
    QByteArray nativePath;  // empty for items without one
    QString path;           // nativePath for display and the path queries
    QString displayName;
    fipSuperImage thumbnail;  // invalid when there is none
    ItemKind kind = ItemKind::OtherFile;
    bool hidden = false;
    bool fileSystem = false;
    bool needsThumbnail = false;
    // Set when no route could read the file, so that the cell keeps its icon without asking
    // again and again; a changed file gets a fresh record and so another try.
    bool thumbnailFailed = false;
    std::int64_t lastWriteTime = 0;  // nanoseconds since the epoch; 0 when unknown
    std::uint64_t size = 0;
    int width = 0;
    int height = 0;
    QByteArray nativeTargetPath;  // a link's resolved target, else nativePath
    QString targetPath;
    bool browsableFolder = false;
    bool targetIsImage = false;  // the target path classifies as an image
    bool targetExists = false;
    unsigned attributes = 0;     // ShellAttr bits
    bool seen = false;

    // Image in the sense of the viewer-facing queries (a link to an image counts).
    bool countsAsImage() const { return targetIsImage && (kind != ItemKind::Shortcut || targetExists); }
};

// 0 folder, 1 image, 2 other, by what is on disk at `path` and its extension.
ItemKind classifyPath(const QByteArray& nativePath);
ItemKind classifyByExtension(const QString& path, bool isDirectory);

// The extensions whose items get thumbnails ("BMP", "JPG", "PNG", ...), ignoring case.
bool isPlatformImagingExtension(const QString& extension);

// A record for `item` of the folder `folderIdList`; nullopt when it has no display name.
std::optional<FolderItem> BuildFolderItem(const ShellNamespace& shell, const ItemIdList& folderIdList,
                                          const QByteArray& folderPath, const ShellItem& item);
