#include "browser/FolderItem.h"

#include "app/NativePath.h"

#include <QFile>

#include <array>

ItemKind classifyByExtension(const QString& path, bool isDirectory)
{
    if (isDirectory)
        return ItemKind::Folder;
    return fipSuperImage::isImageExtension(extensionOf(path)) ? ItemKind::Image : ItemKind::OtherFile;
}

ItemKind classifyPath(const QByteArray& nativePath)
{
    const FileStat st = statPath(nativePath);
    return classifyByExtension(QFile::decodeName(nativePath), st.exists && st.isDirectory);
}

bool isPlatformImagingExtension(const QString& extension)
{
    static const std::array<QLatin1StringView, 14> set = {
        QLatin1StringView("bmp"), QLatin1StringView("rle"), QLatin1StringView("dib"), QLatin1StringView("gif"),
        QLatin1StringView("jpg"), QLatin1StringView("jpeg"), QLatin1StringView("jpe"), QLatin1StringView("jif"),
        QLatin1StringView("jfif"), QLatin1StringView("jfi"), QLatin1StringView("png"), QLatin1StringView("tif"),
        QLatin1StringView("tiff"), QLatin1StringView("ico")};
    for (const QLatin1StringView& e : set) {
        if (extension.compare(e, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

std::optional<FolderItem> BuildFolderItem(const ShellNamespace& shell, const ItemIdList& folderIdList,
                                          const QByteArray& folderPath, const ShellItem& item)
{
    FolderItem r;
    r.childIdList = item.child;
    r.absoluteIdList = folderIdList.combined(item.child);
    r.displayName = shell.displayName(r.absoluteIdList);
    if (r.displayName.isEmpty())
        return std::nullopt;
    if (!folderPath.isEmpty() && item.child.size() == 1 && item.child.items()[0].tag == ItemTag::Entry)
        r.nativePath = joinPath(folderPath, item.child.items()[0].data);
    else
        r.nativePath = shell.pathFromIdList(r.absoluteIdList).value_or(QByteArray());
    r.path = NativePath::decode(r.nativePath);
    r.attributes = item.attributes;
    r.hidden = item.attributes & ShellAttr::Hidden;
    r.fileSystem = item.attributes & ShellAttr::FileSystem;

    const bool isLink = item.attributes & ShellAttr::Link;
    if (item.attributes & ShellAttr::Folder) {
        // Archives that present themselves as folders are listed as files.
        const bool zip = extensionOf(r.path).compare(QLatin1String("zip"), Qt::CaseInsensitive) == 0;
        r.kind = zip && !item.stat.isDirectory ? ItemKind::OtherFile : ItemKind::Folder;
    } else if (isLink) {
        // A dangling link (or a loop) has nothing to show; it is an ordinary other file.
        r.kind = item.linkTarget.isEmpty() ? ItemKind::OtherFile : ItemKind::Shortcut;
    } else {
        r.kind = classifyByExtension(r.path, item.stat.isDirectory);
    }

    if (r.kind == ItemKind::Shortcut) {
        r.nativeTargetPath = item.linkTarget;
        r.targetExists = item.stat.exists;
    } else {
        r.nativeTargetPath = r.nativePath;
        r.targetExists = item.stat.exists || r.kind == ItemKind::Folder;
    }
    r.targetPath = NativePath::decode(r.nativeTargetPath);
    const bool targetIsDirectory = item.stat.exists && item.stat.isDirectory;
    r.targetIsImage = !r.targetPath.isEmpty() && classifyByExtension(r.targetPath, targetIsDirectory) == ItemKind::Image;
    const bool driveRoot = r.nativePath == "/" || (item.child.items().size() == 1 && item.child.items()[0].tag == ItemTag::Volume);
    r.browsableFolder = targetIsDirectory && !r.nativePath.isEmpty() && !driveRoot
                        && (r.kind == ItemKind::Folder || r.kind == ItemKind::Shortcut);
    r.needsThumbnail = (r.kind == ItemKind::Image || r.kind == ItemKind::Shortcut) && !targetIsDirectory
                       && isPlatformImagingExtension(extensionOf(r.targetPath));
    if (r.fileSystem) {
        r.lastWriteTime = item.stat.mtimeNs;
        r.size = item.stat.size;
    }
    return r;
}
