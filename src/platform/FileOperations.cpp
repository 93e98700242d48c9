#include "platform/FileOperations.h"

#include "platform/ShellNamespace.h"

#include <QDateTime>
#include <QDir>

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace FileOperations {

namespace {

QString describe(const char* what, const QByteArray& path, int error)
{
    return QStringLiteral("%1 '%2': %3").arg(QLatin1String(what), QFile::decodeName(path), QString::fromLocal8Bit(std::strerror(error)));
}

struct FdCloser {
    int fd;
    ~FdCloser() { if (fd >= 0) ::close(fd); }
};

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

std::vector<QByteArray> childNames(const QByteArray& folder)
{
    std::vector<QByteArray> names;
    DirHandle dir(::opendir(folder.constData()));
    if (!dir)
        return names;
    while (const dirent* e = ::readdir(dir.get())) {
        const QByteArray name(e->d_name);
        if (name != "." && name != "..")
            names.push_back(name);
    }
    return names;
}

std::uint64_t treeSize(const QByteArray& path)
{
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0)
        return 0;
    if (!S_ISDIR(st.st_mode))
        return S_ISREG(st.st_mode) ? static_cast<std::uint64_t>(st.st_size) : 0;
    std::uint64_t total = 0;
    for (const auto& name : childNames(path))
        total += treeSize(joinPath(path, name));
    return total;
}

bool removeTree(const QByteArray& path, QString* error)
{
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0) {
        if (error)
            *error = describe("Cannot delete", path, errno);
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        for (const auto& name : childNames(path))
            if (!removeTree(joinPath(path, name), error))
                return false;
        if (::rmdir(path.constData()) != 0) {
            if (error)
                *error = describe("Cannot delete", path, errno);
            return false;
        }
        return true;
    }
    if (::unlink(path.constData()) != 0) {
        if (error)
            *error = describe("Cannot delete", path, errno);
        return false;
    }
    return true;
}

class Copier {
public:
    Copier(const TransferCallbacks& callbacks, std::uint64_t total) : m_callbacks(callbacks), m_total(total) {}

    // Copies `from` to the new name `to`, which must not exist.
    bool copy(const QByteArray& from, const QByteArray& to)
    {
        struct stat st {};
        if (::lstat(from.constData(), &st) != 0)
            return fail("Cannot read", from, errno);
        if (S_ISLNK(st.st_mode)) {
            QByteArray target(static_cast<int>(st.st_size) + 256, '\0');
            const ssize_t n = ::readlink(from.constData(), target.data(), target.size());
            if (n < 0)
                return fail("Cannot read", from, errno);
            target.truncate(static_cast<int>(n));
            return ::symlink(target.constData(), to.constData()) == 0 || fail("Cannot create", to, errno);
        }
        if (S_ISDIR(st.st_mode)) {
            if (::mkdir(to.constData(), (st.st_mode & 07777) | S_IRWXU) != 0)
                return fail("Cannot create", to, errno);
            for (const auto& name : childNames(from))
                if (!copy(joinPath(from, name), joinPath(to, name)))
                    return false;
            ::chmod(to.constData(), st.st_mode & 07777);
            return true;
        }
        if (!S_ISREG(st.st_mode))
            return fail("Cannot copy special file", from, EINVAL);
        return copyFile(from, to, st);
    }

    bool cancelled() const { return m_cancelled; }
    const QString& error() const { return m_error; }

private:
    bool copyFile(const QByteArray& from, const QByteArray& to, const struct stat& st)
    {
        FdCloser in{::open(from.constData(), O_RDONLY | O_CLOEXEC)};
        if (in.fd < 0)
            return fail("Cannot read", from, errno);
        FdCloser out{::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777)};
        if (out.fd < 0)
            return fail("Cannot create", to, errno);
        std::vector<char> buffer(1 << 20);
        for (;;) {
            if (m_callbacks.progress && !m_callbacks.progress(m_done, m_total)) {
                m_cancelled = true;
                return false;
            }
            const ssize_t n = ::read(in.fd, buffer.data(), buffer.size());
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return fail("Cannot read", from, errno);
            }
            if (n == 0)
                break;
            for (ssize_t written = 0; written < n;) {
                const ssize_t w = ::write(out.fd, buffer.data() + written, static_cast<std::size_t>(n - written));
                if (w < 0) {
                    if (errno == EINTR)
                        continue;
                    return fail("Cannot write", to, errno);
                }
                written += w;
            }
            m_done += static_cast<std::uint64_t>(n);
        }
        // A full disk may only show when the data is flushed.
        if (::fsync(out.fd) != 0 && errno != EINVAL)
            return fail("Cannot write", to, errno);
        const int fd = out.fd;
        out.fd = -1;
        if (::close(fd) != 0)
            return fail("Cannot write", to, errno);
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        ::utimensat(AT_FDCWD, to.constData(), times, 0);
        return true;
    }

    bool fail(const char* what, const QByteArray& path, int error)
    {
        if (m_error.isEmpty())
            m_error = describe(what, path, error);
        return false;
    }

    const TransferCallbacks& m_callbacks;
    std::uint64_t m_total;
    std::uint64_t m_done = 0;
    bool m_cancelled = false;
    QString m_error;
};

QByteArray realPath(const QByteArray& path)
{
    char* resolved = ::realpath(path.constData(), nullptr);
    if (!resolved)
        return path;
    QByteArray result(resolved);
    ::free(resolved);
    return result;
}

QByteArray temporarySibling(const QByteArray& folder, const QByteArray& name)
{
    for (int i = 0;; ++i) {
        const QByteArray candidate = joinPath(folder, ".kelvra-" + QByteArray::number(::getpid()) + "-" + QByteArray::number(i) + "-" + name.left(100));
        struct stat st {};
        if (::lstat(candidate.constData(), &st) != 0)
            return candidate;
    }
}

bool exists(const QByteArray& path)
{
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0;
}

// Puts the finished `temp` in place of `dest`; a folder being replaced goes only once the
// new one is complete.
bool replaceWith(const QByteArray& temp, const QByteArray& dest, QString* error)
{
    struct stat st {};
    if (::lstat(dest.constData(), &st) == 0 && S_ISDIR(st.st_mode) && !removeTree(dest, error))
        return false;
    if (::rename(temp.constData(), dest.constData()) != 0) {
        if (error)
            *error = describe("Cannot replace", dest, errno);
        return false;
    }
    return true;
}

}  // namespace

bool RenamePath(const QByteArray& oldPath, const QByteArray& newPath)
{
    if (oldPath.isEmpty() || newPath.isEmpty() || oldPath == "/" || oldPath == newPath)
        return false;
    const QByteArray newName = fileNameOf(newPath);
    if (newName.isEmpty() || newName == "." || newName == "..")
        return false;
    struct stat self {};
    struct stat parent {};
    if (::lstat(oldPath.constData(), &self) != 0 || ::stat(folderOf(oldPath).constData(), &parent) != 0)
        return false;
    if (S_ISDIR(self.st_mode) && self.st_dev != parent.st_dev)
        return false;  // a mount point
    if (::renameat2(AT_FDCWD, oldPath.constData(), AT_FDCWD, newPath.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // File systems without RENAME_NOREPLACE: check, then rename (a small race we accept there).
    struct stat existing {};
    if (::lstat(newPath.constData(), &existing) == 0)
        return false;
    return ::rename(oldPath.constData(), newPath.constData()) == 0;
}

QByteArray RenameInFolder(const QByteArray& path, const QByteArray& newName)
{
    if (newName.isEmpty() || newName.contains('/') || newName.contains('\0') || newName == "." || newName == "..")
        return {};
    const QByteArray newPath = joinPath(folderOf(path), newName);
    return RenamePath(path, newPath) ? newPath : QByteArray();
}

QString MakeNewFolderName(const QStringList& names)
{
    const QString base = QStringLiteral("New Folder");
    QString candidate = base;
    for (int n = 2; names.contains(candidate, Qt::CaseInsensitive); ++n)
        candidate = QStringLiteral("%1 (%2)").arg(base).arg(n);
    return candidate;
}

bool CreateFolder(const QByteArray& path)
{
    return !path.isEmpty() && ::mkdir(path.constData(), 0777) == 0;
}

bool isSameOrInside(const QByteArray& path, const QByteArray& folder)
{
    auto trimmed = [](QByteArray p) {
        while (p.size() > 1 && p.endsWith('/'))
            p.chop(1);
        return p;
    };
    const QByteArray p = trimmed(path);
    const QByteArray f = trimmed(folder);
    if (p == f)
        return true;
    return f == "/" ? p.startsWith('/') : p.startsWith(f + '/');
}

QByteArray copyNameFor(const QByteArray& name, bool isFolder, const std::function<bool(const QByteArray&)>& exists)
{
    QByteArray stem = name;
    QByteArray ext;
    const int dot = name.lastIndexOf('.');
    if (!isFolder && dot > 0) {
        stem = name.left(dot);
        ext = name.mid(dot);
    }
    for (int n = 1;; ++n) {
        const QByteArray candidate = stem + (n == 1 ? QByteArray(" (copy)") : " (copy " + QByteArray::number(n) + ")") + ext;
        if (!exists(candidate))
            return candidate;
    }
}

TransferResult transfer(TransferKind kind, const std::vector<QByteArray>& sources, const QByteArray& targetFolder,
                        const TransferCallbacks& callbacks)
{
    TransferResult result;
    struct stat targetStat {};
    if (::stat(targetFolder.constData(), &targetStat) != 0 || !S_ISDIR(targetStat.st_mode)) {
        result.ok = false;
        result.error = QStringLiteral("The folder '%1' does not exist.").arg(QFile::decodeName(targetFolder));
        return result;
    }
    // Compared as real paths, so another spelling or a link to the folder is caught too.
    const QByteArray realTarget = realPath(targetFolder);
    for (const auto& source : sources) {
        struct stat st {};
        if (::lstat(source.constData(), &st) == 0 && S_ISDIR(st.st_mode)) {
            if (isSameOrInside(realTarget, realPath(source))) {
                result.ok = false;
                result.error = QStringLiteral("Cannot %1 '%2': the destination folder is the folder itself or inside it.")
                                   .arg(kind == TransferKind::Copy ? QStringLiteral("copy") : QStringLiteral("move"),
                                        QFile::decodeName(fileNameOf(source)));
                return result;
            }
        }
    }

    std::uint64_t total = 0;
    for (const auto& source : sources)
        total += treeSize(source);
    Copier copier(callbacks, total);

    for (const auto& source : sources) {
        struct stat st {};
        if (::lstat(source.constData(), &st) != 0) {
            result.ok = false;
            if (result.error.isEmpty())
                result.error = describe("Cannot find", source, errno);
            continue;
        }
        const QByteArray name = fileNameOf(source);
        struct stat parentStat {};
        const bool sameFolder = ::stat(folderOf(source).constData(), &parentStat) == 0
                                && parentStat.st_ino == targetStat.st_ino && parentStat.st_dev == targetStat.st_dev;
        QByteArray dest = joinPath(targetFolder, name);
        bool replacing = false;
        if (sameFolder) {
            if (kind == TransferKind::Move)
                continue;  // already there
            dest = joinPath(targetFolder, copyNameFor(name, S_ISDIR(st.st_mode), [&](const QByteArray& n) {
                                return exists(joinPath(targetFolder, n));
                            }));
        } else if (exists(dest)) {
            const ConflictChoice choice = callbacks.askConflict ? callbacks.askConflict(source, dest) : ConflictChoice::Skip;
            if (choice == ConflictChoice::Cancel) {
                result.cancelled = true;
                break;
            }
            if (choice == ConflictChoice::Skip)
                continue;
            replacing = true;
        }

        if (kind == TransferKind::Move && !replacing
            && ::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, dest.constData(), RENAME_NOREPLACE) == 0) {
            ++result.transferred;
            result.createdPaths.push_back(dest);
            continue;
        }
        if (kind == TransferKind::Move && replacing && !S_ISDIR(st.st_mode)) {
            struct stat destStat {};
            if (::lstat(dest.constData(), &destStat) == 0 && !S_ISDIR(destStat.st_mode)
                && ::rename(source.constData(), dest.constData()) == 0) {
                ++result.transferred;
                result.createdPaths.push_back(dest);
                continue;
            }
        }

        // Copy under a temporary name first, so a failure leaves nothing half-made under the
        // real name and a replaced item survives until its successor is complete.
        const QByteArray temp = temporarySibling(targetFolder, name);
        if (!copier.copy(source, temp)) {
            removeTree(temp, nullptr);
            if (copier.cancelled()) {
                result.cancelled = true;
                break;
            }
            result.ok = false;
            if (result.error.isEmpty())
                result.error = copier.error();
            continue;
        }
        QString error;
        const bool placed = replacing ? replaceWith(temp, dest, &error)
                                      : (::renameat2(AT_FDCWD, temp.constData(), AT_FDCWD, dest.constData(), RENAME_NOREPLACE) == 0
                                         || (error = describe("Cannot create", dest, errno), false));
        if (!placed) {
            removeTree(temp, nullptr);
            result.ok = false;
            if (result.error.isEmpty())
                result.error = error;
            continue;
        }
        if (kind == TransferKind::Move && !removeTree(source, &error)) {
            result.ok = false;
            if (result.error.isEmpty())
                result.error = error;
        }
        ++result.transferred;
        result.createdPaths.push_back(dest);
    }
    return result;
}

QByteArray homeTrashFolder()
{
    QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    if (dataHome.isEmpty() || !dataHome.startsWith('/'))
        dataHome = qgetenv("HOME") + "/.local/share";
    return dataHome + "/Trash";
}

QByteArray trashInfoPath(const QByteArray& path)
{
    return path.toPercentEncoding("/");
}

namespace {

// The mount point holding `path`: the highest ancestor on the same device.
QByteArray topDirectoryOf(const QByteArray& path, dev_t device)
{
    QByteArray top = path;
    for (;;) {
        const QByteArray parent = folderOf(top);
        if (parent.isEmpty() || parent == top)
            return top;
        struct stat st {};
        if (::stat(parent.constData(), &st) != 0 || st.st_dev != device)
            return top;
        top = parent;
        if (top == "/")
            return top;
    }
}

bool makeTrashFolders(const QByteArray& trash)
{
    return QDir().mkpath(QFile::decodeName(trash + "/files")) && QDir().mkpath(QFile::decodeName(trash + "/info"))
           && ::chmod(trash.constData(), 0700) == 0;
}

bool sameDevice(const QByteArray& folder, dev_t device)
{
    struct stat st {};
    return ::stat(folder.constData(), &st) == 0 && st.st_dev == device;
}

}  // namespace

bool MoveToTrash(const QByteArray& path, QString* error)
{
    auto failed = [&](const QString& message) {
        if (error)
            *error = message;
        return false;
    };
    struct stat st {};
    if (path.isEmpty() || path == "/" || ::lstat(path.constData(), &st) != 0)
        return failed(describe("Cannot delete", path, errno ? errno : ENOENT));
    QByteArray absolute = path.startsWith('/') ? path : QFile::encodeName(QDir::current().absoluteFilePath(QFile::decodeName(path)));

    QByteArray trash;
    QByteArray infoPath = absolute;
    const QByteArray home = homeTrashFolder();
    QDir().mkpath(QFile::decodeName(folderOf(home)));
    if (sameDevice(folderOf(home), st.st_dev)) {
        trash = home;
    } else {
        const QByteArray top = topDirectoryOf(folderOf(absolute), st.st_dev);
        const QByteArray uid = QByteArray::number(::getuid());
        struct stat shared {};
        const QByteArray sharedTrash = joinPath(top, ".Trash");
        if (::lstat(sharedTrash.constData(), &shared) == 0 && S_ISDIR(shared.st_mode) && (shared.st_mode & S_ISVTX)
            && makeTrashFolders(joinPath(sharedTrash, uid)))
            trash = joinPath(sharedTrash, uid);
        else if (makeTrashFolders(joinPath(top, ".Trash-" + uid)))
            trash = joinPath(top, ".Trash-" + uid);
        else
            return failed(QStringLiteral("'%1' cannot be moved to the trash: its volume has no usable trash folder.")
                              .arg(QFile::decodeName(path)));
        infoPath = top == "/" ? absolute.mid(1) : absolute.mid(top.size() + 1);
    }
    if (trash == home && !makeTrashFolders(home))
        return failed(describe("Cannot create the trash folder", home, errno));

    const QByteArray name = fileNameOf(absolute);
    const int dot = name.lastIndexOf('.');
    const QByteArray stem = dot > 0 ? name.left(dot) : name;
    const QByteArray ext = dot > 0 ? name.mid(dot) : QByteArray();
    const QByteArray contents = "[Trash Info]\nPath=" + trashInfoPath(infoPath) + "\nDeletionDate="
                                + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddThh:mm:ss")).toLatin1() + "\n";
    for (int n = 1; n < 100000; ++n) {
        const QByteArray trashName = n == 1 ? name : stem + "." + QByteArray::number(n) + ext;
        const QByteArray info = trash + "/info/" + trashName + ".trashinfo";
        const QByteArray target = trash + "/files/" + trashName;
        if (exists(target))
            continue;
        const int fd = ::open(info.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return failed(describe("Cannot write", info, errno));
        }
        const bool written = ::write(fd, contents.constData(), contents.size()) == contents.size();
        const bool closed = ::close(fd) == 0;
        if (!written || !closed) {
            ::unlink(info.constData());
            return failed(describe("Cannot write", info, errno));
        }
        if (::renameat2(AT_FDCWD, absolute.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) != 0) {
            const int saved = errno;
            ::unlink(info.constData());
            if (saved == EEXIST)
                continue;
            return failed(describe("Cannot move to the trash", path, saved));
        }
        return true;
    }
    return failed(describe("Cannot move to the trash", path, EEXIST));
}

bool DeletePermanently(const QByteArray& path, QString* error)
{
    if (path.isEmpty() || path == "/") {
        if (error)
            *error = describe("Cannot delete", path, EINVAL);
        return false;
    }
    return removeTree(path, error);
}

}  // namespace FileOperations
