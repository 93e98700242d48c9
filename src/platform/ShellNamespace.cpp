#include "platform/ShellNamespace.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <memory>
#include <set>

namespace {

FileStat fromStat(const struct stat& st)
{
    FileStat out;
    out.exists = true;
    out.isDirectory = S_ISDIR(st.st_mode);
    out.size = out.isDirectory ? 0 : static_cast<std::uint64_t>(st.st_size);
    out.mtimeNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return out;
}

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

std::set<QByteArray> readHiddenList(const QByteArray& folder)
{
    std::set<QByteArray> names;
    QFile file(QFile::decodeName(joinPath(folder, ".hidden")));
    // Names that are not UTF-8 cannot be listed through QFile's path, but they cannot be
    // typed into a .hidden file by most tools either.
    if (!file.open(QIODevice::ReadOnly))
        return names;
    const QByteArray content = file.read(1 << 20);
    for (const QByteArray& line : content.split('\n')) {
        if (!line.isEmpty())
            names.insert(line);
    }
    return names;
}

QByteArray resolvedTarget(const QByteArray& path)
{
    std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.constData(), nullptr), &std::free);
    return resolved ? QByteArray(resolved.get()) : QByteArray();
}

bool startsWithFolder(const QByteArray& path, const QByteArray& folder)
{
    if (folder == "/")
        return path.startsWith('/');
    return path == folder || path.startsWith(folder + '/');
}

}  // namespace

FileStat statPath(const QByteArray& nativePath)
{
    struct stat st {};
    if (nativePath.isEmpty() || ::stat(nativePath.constData(), &st) != 0)
        return {};
    return fromStat(st);
}

QByteArray joinPath(const QByteArray& folder, const QByteArray& name)
{
    if (folder.endsWith('/'))
        return folder + name;
    return folder + '/' + name;
}

QByteArray fileNameOf(const QByteArray& path)
{
    const int slash = path.lastIndexOf('/');
    return slash < 0 ? path : path.mid(slash + 1);
}

QByteArray folderOf(const QByteArray& path)
{
    const int slash = path.lastIndexOf('/');
    if (slash < 0)
        return {};
    return slash == 0 ? QByteArray("/") : path.left(slash);
}

QString extensionOf(const QString& path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < slash)
        return {};
    return path.mid(dot + 1);
}

std::vector<MountRecord> filterVolumes(const std::vector<MountRecord>& all, const QByteArray& home)
{
    static const std::set<QByteArray> pseudoTypes = {
        "tmpfs", "devtmpfs", "squashfs", "overlay", "autofs", "ramfs", "efivarfs",
        "fuse.portal", "fuse.gvfsd-fuse", "nsfs", "proc", "sysfs", "cgroup", "cgroup2",
        "devpts", "mqueue", "debugfs", "tracefs", "securityfs", "pstore", "bpf", "configfs",
        "fusectl", "hugetlbfs", "binfmt_misc", "rootfs"};
    std::vector<MountRecord> out;
    out.push_back({"/", {}, {}, QStringLiteral("File System")});
    std::set<QByteArray> seen = {"/"};
    for (const MountRecord& m : all) {
        if (m.mountPoint.isEmpty() || seen.count(m.mountPoint))
            continue;
        if (pseudoTypes.count(m.fsType))
            continue;
        const QByteArray& p = m.mountPoint;
        if (p.startsWith("/boot") || p.startsWith("/snap/") || p.startsWith("/var/lib/")
            || p.startsWith("/proc") || p.startsWith("/sys") || p.startsWith("/dev"))
            continue;
        const bool userPlace = p.startsWith("/media/") || p.startsWith("/run/media/")
                               || p.startsWith("/mnt/") || p == "/mnt"
                               || (!home.isEmpty() && startsWithFolder(p, home));
        if (!userPlace && !(m.device.startsWith("/dev/") && !p.startsWith("/run")))
            continue;
        seen.insert(p);
        out.push_back(m);
    }
    return out;
}

std::vector<MountRecord> mountedVolumes()
{
    std::vector<MountRecord> all;
    for (const QStorageInfo& info : QStorageInfo::mountedVolumes()) {
        if (!info.isValid() || !info.isReady())
            continue;
        all.push_back({QFile::encodeName(info.rootPath()), info.device(), info.fileSystemType(),
                       info.displayName()});
    }
    return filterVolumes(all, QFile::encodeName(QDir::homePath()));
}

ShellNamespace::ShellNamespace() : ShellNamespace(QFile::encodeName(QDir::homePath()), mountedVolumes()) {}

ShellNamespace::ShellNamespace(QByteArray home, std::vector<MountRecord> volumes)
    : m_home(std::move(home)), m_volumes(std::move(volumes))
{
    while (m_home.size() > 1 && m_home.endsWith('/'))
        m_home.chop(1);
}

std::optional<QByteArray> ShellNamespace::pathFromIdList(const ItemIdList& list) const
{
    std::optional<QByteArray> path;
    for (std::size_t i = 0; i < list.items().size(); ++i) {
        const ItemId& item = list.items()[i];
        switch (item.tag) {
        case ItemTag::Home:
            if (i != 0)
                return std::nullopt;
            path = m_home;
            break;
        case ItemTag::Computer:
            if (i != 0)
                return std::nullopt;
            break;
        case ItemTag::Volume:
            if (i != 1 || list.items()[0].tag != ItemTag::Computer || !item.data.startsWith('/'))
                return std::nullopt;
            path = item.data;
            break;
        case ItemTag::Entry:
            if (!path || item.data.isEmpty() || item.data.contains('/') || item.data == "." || item.data == "..")
                return std::nullopt;
            path = joinPath(*path, item.data);
            break;
        }
    }
    return path;
}

ItemIdList ShellNamespace::idListFromPath(const QByteArray& nativePath) const
{
    QByteArray path = nativePath;
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    std::vector<ItemId> items;
    QByteArray rest;
    if (!m_home.isEmpty() && m_home != "/" && startsWithFolder(path, m_home)) {
        items.push_back({ItemTag::Home, {}});
        rest = path.mid(m_home.size());
    } else {
        items.push_back({ItemTag::Computer, {}});
        items.push_back({ItemTag::Volume, "/"});
        rest = path;
    }
    for (const QByteArray& part : rest.split('/')) {
        if (!part.isEmpty())
            items.push_back({ItemTag::Entry, part});
    }
    return ItemIdList(std::move(items));
}

QString ShellNamespace::displayName(const ItemIdList& list) const
{
    if (list.isRoot())
        return QStringLiteral("Desktop");
    const ItemId& item = list.items().back();
    switch (item.tag) {
    case ItemTag::Home:
        return QStringLiteral("Home");
    case ItemTag::Computer:
        return QStringLiteral("Computer");
    case ItemTag::Volume:
        for (const MountRecord& m : m_volumes) {
            if (m.mountPoint == item.data)
                return m.displayName.isEmpty() ? QFile::decodeName(fileNameOf(m.mountPoint)) : m.displayName;
        }
        return item.data == "/" ? QStringLiteral("File System") : QFile::decodeName(fileNameOf(item.data));
    case ItemTag::Entry:
        return QFile::decodeName(item.data);
    }
    return {};
}

unsigned ShellNamespace::attributes(const ItemIdList& absolute) const
{
    if (absolute.isRoot())
        return ShellAttr::Folder;
    const ItemId& last = absolute.items().back();
    if (last.tag == ItemTag::Computer)
        return ShellAttr::Folder;
    const auto path = pathFromIdList(absolute);
    if (!path)
        return 0;
    unsigned attrs = ShellAttr::FileSystem | ShellAttr::CanCopy;
    struct stat lst {};
    if (::lstat(path->constData(), &lst) != 0)
        return 0;
    if (S_ISLNK(lst.st_mode))
        attrs |= ShellAttr::Link;
    else if (S_ISDIR(lst.st_mode))
        attrs |= ShellAttr::Folder;
    if (last.tag == ItemTag::Entry) {
        if (last.data.startsWith('.'))
            attrs |= ShellAttr::Hidden;
        const QByteArray parent = folderOf(*path);
        struct stat pst {};
        const bool mountPoint = ::stat(parent.constData(), &pst) == 0 && pst.st_dev != lst.st_dev
                                && !S_ISLNK(lst.st_mode);
        if (::access(parent.constData(), W_OK | X_OK) == 0) {
            attrs |= ShellAttr::CanDelete | ShellAttr::CanMove;
            if (!mountPoint)
                attrs |= ShellAttr::CanRename;
        }
    }
    return attrs;
}

std::optional<std::vector<ShellItem>> ShellNamespace::enumerate(const ItemIdList& folder, bool includeHidden) const
{
    if (folder.isRoot()) {
        std::vector<ShellItem> items;
        items.push_back({ItemIdList({{ItemTag::Home, {}}}), ShellAttr::Folder | ShellAttr::FileSystem,
                         statPath(m_home), {}});
        items.push_back({ItemIdList({{ItemTag::Computer, {}}}), ShellAttr::Folder, {}, {}});
        return items;
    }
    if (folder.size() == 1 && folder.items()[0].tag == ItemTag::Computer) {
        std::vector<ShellItem> items;
        for (const MountRecord& m : m_volumes)
            items.push_back({ItemIdList({{ItemTag::Volume, m.mountPoint}}),
                             ShellAttr::Folder | ShellAttr::FileSystem, statPath(m.mountPoint), {}});
        return items;
    }
    const auto path = pathFromIdList(folder);
    if (!path)
        return std::nullopt;
    return enumerateDirectory(*path, includeHidden);
}

std::optional<std::vector<ShellItem>> ShellNamespace::enumerateDirectory(const QByteArray& path,
                                                                         bool includeHidden) const
{
    const int dirFd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0)
        return std::nullopt;
    std::unique_ptr<DIR, DirCloser> dir(fdopendir(dirFd));
    if (!dir) {
        ::close(dirFd);
        return std::nullopt;
    }
    struct stat folderStat {};
    if (::fstat(dirFd, &folderStat) != 0)
        return std::nullopt;
    const bool writable = ::access(path.constData(), W_OK | X_OK) == 0;
    const std::set<QByteArray> hiddenNames = readHiddenList(path);

    std::vector<ShellItem> items;
    while (const dirent* entry = readdir(dir.get())) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        const bool hidden = name.startsWith('.') || hiddenNames.count(name) != 0;
        if (hidden && !includeHidden)
            continue;
        struct stat lst {};
        if (::fstatat(dirFd, entry->d_name, &lst, AT_SYMLINK_NOFOLLOW) != 0)
            continue;  // vanished between readdir and stat
        ShellItem item;
        item.child = ItemIdList::entry(name);
        item.attributes = ShellAttr::FileSystem | ShellAttr::CanCopy;
        if (hidden)
            item.attributes |= ShellAttr::Hidden;
        bool mountPoint = false;
        if (S_ISLNK(lst.st_mode)) {
            item.attributes |= ShellAttr::Link;
            struct stat st {};
            // ELOOP and ENOENT both leave the link dangling.
            if (::fstatat(dirFd, entry->d_name, &st, 0) == 0) {
                item.stat = fromStat(st);
                item.linkTarget = resolvedTarget(joinPath(path, name));
                if (item.linkTarget.isEmpty())
                    item.stat = {};
            } else {
                item.stat.mtimeNs = static_cast<std::int64_t>(lst.st_mtim.tv_sec) * 1000000000 + lst.st_mtim.tv_nsec;
            }
        } else {
            item.stat = fromStat(lst);
            if (S_ISDIR(lst.st_mode)) {
                item.attributes |= ShellAttr::Folder;
                mountPoint = lst.st_dev != folderStat.st_dev;
            }
        }
        if (writable) {
            item.attributes |= ShellAttr::CanDelete | ShellAttr::CanMove;
            if (!mountPoint)
                item.attributes |= ShellAttr::CanRename;
        }
        items.push_back(std::move(item));
    }
    return items;
}
