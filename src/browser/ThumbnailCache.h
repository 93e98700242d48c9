#pragma once
// The freedesktop thumbnail cache shared with the desktop's other programs: where entries
// live, how they are named, when one is valid, and writing one that GLib-based programs
// accept (plain tEXt chunks, 0600 files, written through a temporary file and renamed), and
// the fail entries of files that cannot be thumbnailed.

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace ThumbnailCache {

struct SizeClass {
    const char* folder;  // "normal", "large", "x-large", "xx-large"
    int size;            // 128, 256, 512, 1024
};

// $XDG_CACHE_HOME/thumbnails (or ~/.cache/thumbnails).
QString root();
// The smallest class holding thumbnails at least `box` pixels large; nullopt beyond 1024.
std::optional<SizeClass> sizeClassFor(int box);
// "file://" and the path escaped as GLib's g_filename_to_uri does.
QByteArray uriForPath(const QByteArray& nativePath);
// Lower-case hex MD5 of the URI and ".png".
QString fileNameForUri(const QByteArray& uri);

struct Entry {
    QImage image;
    int imageWidth = 0;   // Thumb::Image::Width/Height when the entry has them, else 0
    int imageHeight = 0;
};

// A valid entry for the file (URI and MTime match; Size when present), looking in the class
// for `box` first and then the larger ones. Files inside the cache are never looked up.
std::optional<Entry> find(const QByteArray& nativePath, std::int64_t mtimeSeconds, std::uint64_t fileSize, int box);

// Writes `image` (already fitted to the class size) as the entry of the file.
bool store(const SizeClass& sizeClass, const QByteArray& nativePath, std::int64_t mtimeSeconds,
           std::uint64_t fileSize, const QImage& image, int imageWidth, int imageHeight);

// The fail entry of a file no route could read: other programs still try it, we do not until
// the file's modification time changes.
bool storeFailure(const QByteArray& nativePath, std::int64_t mtimeSeconds);
bool hasFailure(const QByteArray& nativePath, std::int64_t mtimeSeconds);

// Removes every entry of the file (each size class and our fail entry): called when the
// program deletes, trashes, moves or renames it, so the next file under that name does not
// inherit its picture.
void forget(const QByteArray& nativePath);
void forget(const std::vector<QByteArray>& nativePaths);

// Whether `nativePath` lies inside the cache (such files get no entries of their own).
bool isInsideCache(const QByteArray& nativePath);

}  // namespace ThumbnailCache
