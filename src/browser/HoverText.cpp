#include "browser/HoverText.h"

#include "browser/FolderItemList.h"

#include "imaging/decode/ImageDecoding.h"

#include <QDateTime>
#include <QFile>

namespace {

QString formatTime(std::int64_t ns)
{
    if (ns == 0)
        return {};
    return QDateTime::fromMSecsSinceEpoch(ns / 1000000).toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString nameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString folderOfPath(const QString& path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

}  // namespace

QString HoverText(const FolderItem& item)
{
    const bool imageLines = item.kind == ItemKind::Image || (item.kind == ItemKind::Shortcut && item.countsAsImage());
    if (imageLines) {
        const QString& path = item.kind == ItemKind::Shortcut ? item.targetPath : item.path;
        int width = item.width;
        int height = item.height;
        if ((width <= 0 || height <= 0) && isPlatformImagingExtension(extensionOf(path))) {
            // Only a regular file's declared size, read by bytes, never the file's own readers
            // by name: a FIFO named like a photo would block the window.
            const QByteArray& native = item.nativeTargetPath.isEmpty() ? item.nativePath : item.nativeTargetPath;
            const QSize size = Decode::readImageSize(native);
            width = size.width();
            height = size.height();
        }
        FileStat st;
        std::uint64_t size = item.size;
        std::int64_t time = item.lastWriteTime;
        if (item.kind == ItemKind::Shortcut) {
            st = statPath(item.nativeTargetPath);
            size = st.size;
            time = st.mtimeNs;
        }
        QString text = QStringLiteral("Filename: ") + nameOf(path) + QStringLiteral("\nFile Location: ")
                       + folderOfPath(path) + QStringLiteral("\nSize: ") + FormatFileSize(size)
                       + QStringLiteral("\nModified Date: ") + formatTime(time)
                       + QStringLiteral("\nImage Dimenstions: ");
        if (width > 0 && height > 0)
            text += QString::number(width) + QLatin1Char('x') + QString::number(height);
        return text;
    }
    if (item.kind == ItemKind::Folder)
        return QStringLiteral("Filename: ") + nameOf(item.path) + QStringLiteral("\nModified Date: ")
               + formatTime(item.lastWriteTime);
    return QStringLiteral("Filename: ") + nameOf(item.path) + QStringLiteral("\nSize: ") + FormatFileSize(item.size)
           + QStringLiteral("\nModified Date: ") + formatTime(item.lastWriteTime);
}
