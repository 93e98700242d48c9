#pragma once
// What the file properties dialog says about a file apart from its camera properties: the
// size as text, the three times, and the size of a whole folder, which may take long and so
// runs on a thread of its own.

#include <QString>

#include <atomic>
#include <cstdint>
#include <optional>

namespace filefacts {

// "1.50 MB (1,572,864 bytes)", "1 byte (1 byte)".
QString sizeText(uint64_t bytes);
QString readableSize(uint64_t bytes);
QString groupedDigits(uint64_t value);
// Local time as "%Y-%m-%d %H:%M:%S".
QString timeText(int64_t secondsSinceEpoch);

struct Times {
    QString created;   // empty where the file system keeps no birth time
    QString modified;
    QString accessed;
};

struct Facts {
    bool isFolder = false;
    uint64_t size = 0;  // a file's length; 0 for folders (see folderSize)
    Times times;
};
// Without following a symbolic link at the end of the path; none when it does not exist.
std::optional<Facts> statPath(const QString& path);

// The bytes of every regular file below the folder, at any depth, never following symbolic
// links; none when `cancel` was set before the walk ended.
std::optional<uint64_t> folderSize(const QString& path, const std::atomic<bool>& cancel);

}  // namespace filefacts
