// libFuzzer target: the thumbnail cache's PNG reader, over an entry another program wrote.
#include "FuzzFiles.h"

#include "browser/ThumbnailCache.h"

#include <QDir>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QByteArray image = [] {
        qputenv("XDG_CACHE_HOME", QFile::encodeName(fuzz::folder().filePath(QStringLiteral("cache"))));
        return fuzz::writeInput("photo.jpg", reinterpret_cast<const std::uint8_t*>("x"), 1);
    }();
    const QString entryFolder = fuzz::folder().filePath(QStringLiteral("cache/thumbnails/normal"));
    QDir().mkpath(entryFolder);
    const QString entry = entryFolder + u'/' + ThumbnailCache::fileNameForUri(ThumbnailCache::uriForPath(image));
    QFile file(entry);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    file.close();
    ThumbnailCache::find(image, 0, 1, 96);
    return 0;
}
