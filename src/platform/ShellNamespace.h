#pragma once
// The folder namespace the browser walks: a virtual root ("Desktop") whose children are Home
// and "Computer"; Computer holds File System (/) and the mounted volumes a user cares about;
// below those the file system. Items are named by `ItemIdList`s; paths are native bytes so
// that names which are not valid UTF-8 keep working.

#include "platform/ItemIdList.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace ShellAttr {
enum : unsigned {
    Folder = 1u << 0,
    FileSystem = 1u << 1,
    Hidden = 1u << 2,
    Link = 1u << 3,
    CanCopy = 1u << 4,
    CanMove = 1u << 5,
    CanDelete = 1u << 6,
    CanRename = 1u << 7,
};
}

// What a stat call told us. For a symbolic link these describe its target; a dangling link
// or a loop is `exists == false`.
struct FileStat {
    bool exists = false;
    bool isDirectory = false;
    std::uint64_t size = 0;
    std::int64_t mtimeNs = 0;  // nanoseconds since the epoch; 0 when unknown
    std::int64_t mtimeSeconds() const { return mtimeNs / 1000000000; }
};

FileStat statPath(const QByteArray& nativePath);

struct ShellItem {
    ItemIdList child;         // relative to the enumerated folder
    unsigned attributes = 0;  // ShellAttr bits
    FileStat stat;            // of the item, or of a link's target
    QByteArray linkTarget;    // a link's resolved absolute target; empty when it dangles
};

struct MountRecord {
    QByteArray mountPoint;
    QByteArray device;
    QByteArray fsType;
    QString displayName;
};

// The volumes shown under "Computer": real devices and mounts under /media, /run/media, /mnt
// or home; pseudo and system-internal file systems are left out. "/" is always first.
std::vector<MountRecord> filterVolumes(const std::vector<MountRecord>& all, const QByteArray& home);
std::vector<MountRecord> mountedVolumes();

class ShellNamespace {
public:
    // Home folder and volumes of the running system.
    ShellNamespace();
    ShellNamespace(QByteArray home, std::vector<MountRecord> volumes);

    // The native path of an item; nullopt for the virtual ones (root, Computer) and for
    // lists that name nothing we know.
    std::optional<QByteArray> pathFromIdList(const ItemIdList& list) const;
    // Paths inside home are named through Home, others through Computer / File System.
    ItemIdList idListFromPath(const QByteArray& nativePath) const;
    QString displayName(const ItemIdList& list) const;
    unsigned attributes(const ItemIdList& absolute) const;

    // The children of a folder; nullopt when it cannot be read at all. Without
    // `includeHidden`, dot files and the names in the folder's ".hidden" file are left out.
    std::optional<std::vector<ShellItem>> enumerate(const ItemIdList& folder, bool includeHidden) const;

    const QByteArray& home() const { return m_home; }
    const std::vector<MountRecord>& volumes() const { return m_volumes; }

private:
    std::optional<std::vector<ShellItem>> enumerateDirectory(const QByteArray& path, bool includeHidden) const;

    QByteArray m_home;
    std::vector<MountRecord> m_volumes;
};

// Native path helpers: "/a/b" + "c" → "/a/b/c"; the file name after the last '/'.
QByteArray joinPath(const QByteArray& folder, const QByteArray& name);
QByteArray fileNameOf(const QByteArray& path);
QByteArray folderOf(const QByteArray& path);
// Text after the last dot of the last path element, without the dot; empty when none.
QString extensionOf(const QString& path);
