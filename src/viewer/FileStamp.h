#pragma once
// What a file looked like on disk when the viewer read it: enough to notice that it was
// rewritten since (a look-ahead copy gone stale, a save that would overwrite newer work).
#include <QString>

#include <cstdint>

struct FileStamp {
    bool exists = false;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;  // modification time, nanoseconds since the epoch

    // The file `path` points to now (a link is followed: its target's content is what is shown).
    static FileStamp of(const QString& path);
    bool operator==(const FileStamp&) const = default;
};
