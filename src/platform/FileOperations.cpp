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
#include <algorithm>
#include <memory>
#include <optional>
#include <set>

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

// Counts bytes and finished steps as one measure of progress, so a move made of renames
// advances as well as a copy.
class Copier {
public:
    Copier(const TransferProgress& progress, std::uint64_t total) : m_progress(progress), m_total(total) {}

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

    // Reports progress; false once the user has cancelled.
    bool report()
    {
        if (!m_cancelled && m_progress && !m_progress(std::min(m_done, m_total), m_total))
            m_cancelled = true;
        return !m_cancelled;
    }
    void stepDone() { ++m_done; }
    void finish()
    {
        m_done = m_total;
        if (m_progress)
            m_progress(m_done, m_total);
    }

    bool cancelled() const { return m_cancelled; }
    const QString& error() const { return m_error; }

private:
    bool copyFile(const QByteArray& from, const QByteArray& to, const struct stat& st)
    {
        FdCloser in{::open(from.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW)};
        if (in.fd < 0)
            return fail("Cannot read", from, errno);
        FdCloser out{::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777)};
        if (out.fd < 0)
            return fail("Cannot create", to, errno);
        std::vector<char> buffer(1 << 20);
        for (;;) {
            if (!report())
                return false;
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

    const TransferProgress& m_progress;
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

// rename() that never replaces; on file systems without RENAME_NOREPLACE it checks first (a
// small race accepted there). 0 or the error number.
int renameNoReplace(const QByteArray& from, const QByteArray& to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    if (exists(to))
        return EEXIST;
    return ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
}

// Puts `from` in place of `dest`, an existing file or link (never a folder: folders merge).
// A folder takes a file's place by swapping the two atomically, so the file goes only once
// its successor is there. 0 or the error number.
int replaceItem(const QByteArray& from, const QByteArray& dest)
{
    struct stat destStat {};
    struct stat fromStat {};
    if (::lstat(dest.constData(), &destStat) != 0 || ::lstat(from.constData(), &fromStat) != 0)
        return errno;
    if (S_ISDIR(destStat.st_mode))
        return EISDIR;
    if (!S_ISDIR(fromStat.st_mode))
        return ::rename(from.constData(), dest.constData()) == 0 ? 0 : errno;
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, dest.constData(), RENAME_EXCHANGE) == 0)
        return ::unlink(from.constData()) == 0 ? 0 : errno;  // the replaced file, now under the old name
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    if (::unlink(dest.constData()) != 0)
        return errno;
    return renameNoReplace(from, dest);
}

bool sameDevice(const QByteArray& folder, dev_t device)
{
    struct stat st {};
    return ::stat(folder.constData(), &st) == 0 && st.st_dev == device;
}

// Decides what each item becomes, asking about every name taken in the target; folders that
// meet a folder are merged item by item.
class Planner {
public:
    Planner(TransferPlan& plan, const ConflictQuestion& ask) : m_plan(plan), m_ask(ask) {}

    // False when a question was cancelled.
    bool add(const QByteArray& source, const QByteArray& dest)
    {
        struct stat src {};
        if (::lstat(source.constData(), &src) != 0) {
            problem(describe("Cannot find", source, errno));
            return true;
        }
        struct stat dst {};
        if (::lstat(dest.constData(), &dst) != 0) {
            m_plan.steps.push_back({TransferStep::Action::Place, source, dest});
            return true;
        }
        if (src.st_dev == dst.st_dev && src.st_ino == dst.st_ino)
            return true;  // the item itself under another name
        const bool sourceIsFolder = S_ISDIR(src.st_mode);
        const bool destIsFolder = S_ISDIR(dst.st_mode);
        if (destIsFolder && !sourceIsFolder) {
            problem(QStringLiteral("Cannot replace the folder '%1' with a file of the same name.").arg(QFile::decodeName(dest)));
            return true;
        }
        ConflictChoice choice = m_all ? *m_all : m_ask ? m_ask({source, dest, sourceIsFolder && destIsFolder}) : ConflictChoice::Skip;
        if (choice == ConflictChoice::ReplaceAll || choice == ConflictChoice::SkipAll) {
            choice = choice == ConflictChoice::ReplaceAll ? ConflictChoice::Replace : ConflictChoice::Skip;
            m_all = choice;
        }
        if (choice == ConflictChoice::Cancel)
            return false;
        if (choice == ConflictChoice::Skip)
            return true;
        if (!(sourceIsFolder && destIsFolder)) {
            m_plan.steps.push_back({TransferStep::Action::Replace, source, dest});
            return true;
        }
        // Merge: what only the destination holds stays there.
        auto names = childNames(source);
        std::sort(names.begin(), names.end());
        for (const auto& name : names)
            if (!add(joinPath(source, name), joinPath(dest, name)))
                return false;
        if (m_plan.kind == TransferKind::Move)
            m_plan.steps.push_back({TransferStep::Action::RemoveSourceFolder, source, dest});
        return true;
    }

    void problem(const QString& error)
    {
        m_plan.ok = false;
        if (m_plan.error.isEmpty())
            m_plan.error = error;
    }

private:
    TransferPlan& m_plan;
    const ConflictQuestion& m_ask;
    std::optional<ConflictChoice> m_all;
};

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
    return renameNoReplace(oldPath, newPath) == 0;
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

TransferPlan planTransfer(TransferKind kind, const std::vector<QByteArray>& sources, const QByteArray& targetFolder,
                          const ConflictQuestion& askConflict)
{
    TransferPlan plan;
    plan.kind = kind;
    Planner planner(plan, askConflict);
    struct stat targetStat {};
    if (::stat(targetFolder.constData(), &targetStat) != 0 || !S_ISDIR(targetStat.st_mode)) {
        planner.problem(QStringLiteral("The folder '%1' does not exist.").arg(QFile::decodeName(targetFolder)));
        return plan;
    }
    // Compared as real paths, so another spelling or a link to the folder is caught too.
    const QByteArray realTarget = realPath(targetFolder);
    for (const auto& source : sources) {
        struct stat st {};
        if (::lstat(source.constData(), &st) == 0 && S_ISDIR(st.st_mode) && isSameOrInside(realTarget, realPath(source))) {
            planner.problem(QStringLiteral("Cannot %1 '%2': the destination folder is the folder itself or inside it.")
                                .arg(kind == TransferKind::Copy ? QStringLiteral("copy") : QStringLiteral("move"),
                                     QFile::decodeName(fileNameOf(source))));
            return plan;
        }
    }

    std::set<QByteArray> plannedNames;  // copy names given in this plan, not yet on disk
    for (const auto& source : sources) {
        struct stat st {};
        if (::lstat(source.constData(), &st) != 0) {
            planner.problem(describe("Cannot find", source, errno));
            continue;
        }
        const QByteArray name = fileNameOf(source);
        struct stat parentStat {};
        const bool sameFolder = ::stat(folderOf(source).constData(), &parentStat) == 0
                                && parentStat.st_ino == targetStat.st_ino && parentStat.st_dev == targetStat.st_dev;
        if (sameFolder) {
            if (kind == TransferKind::Move)
                continue;  // already there
            const QByteArray copyName = copyNameFor(name, S_ISDIR(st.st_mode), [&](const QByteArray& n) {
                return plannedNames.count(n) > 0 || exists(joinPath(targetFolder, n));
            });
            plannedNames.insert(copyName);
            plan.steps.push_back({TransferStep::Action::Place, source, joinPath(targetFolder, copyName)});
        } else if (!planner.add(source, joinPath(targetFolder, name))) {
            plan.cancelled = true;
            plan.steps.clear();
            return plan;
        }
    }
    return plan;
}

TransferResult runTransfer(const TransferPlan& plan, const TransferProgress& progress)
{
    TransferResult result;
    result.ok = plan.ok;
    result.error = plan.error;
    result.cancelled = plan.cancelled;
    if (plan.cancelled)
        return result;
    const bool move = plan.kind == TransferKind::Move;
    std::uint64_t total = 0;
    for (const auto& step : plan.steps) {
        if (step.action == TransferStep::Action::RemoveSourceFolder)
            continue;
        struct stat st {};
        const bool renames = move && ::lstat(step.source.constData(), &st) == 0 && sameDevice(folderOf(step.dest), st.st_dev);
        total += 1 + (renames ? 0 : treeSize(step.source));
    }
    Copier copier(progress, total);
    auto failed = [&](const QString& error) {
        result.ok = false;
        if (result.error.isEmpty())
            result.error = error;
    };

    for (const auto& step : plan.steps) {
        if (!copier.report()) {
            result.cancelled = true;
            break;
        }
        if (step.action == TransferStep::Action::RemoveSourceFolder) {
            // Items the user chose to keep there leave it non-empty, and it stays.
            if (::rmdir(step.source.constData()) != 0 && errno != ENOTEMPTY && errno != EEXIST)
                failed(describe("Cannot delete", step.source, errno));
            continue;
        }
        const bool replacing = step.action == TransferStep::Action::Replace;
        auto place = [&](const QByteArray& from) { return replacing ? replaceItem(from, step.dest) : renameNoReplace(from, step.dest); };
        int code = EXDEV;
        if (move) {
            code = place(step.source);
            if (code != 0 && code != EXDEV) {
                failed(describe(replacing ? "Cannot replace" : "Cannot move", code == EEXIST || code == EISDIR ? step.dest : step.source, code));
                copier.stepDone();
                continue;
            }
        }
        if (code != 0) {
            // Copied under a temporary name first, so a failure leaves nothing half-made under
            // the real name and a replaced file survives until its successor is complete.
            const QByteArray temp = temporarySibling(folderOf(step.dest), fileNameOf(step.dest));
            if (!copier.copy(step.source, temp)) {
                removeTree(temp, nullptr);
                if (copier.cancelled()) {
                    result.cancelled = true;
                    break;
                }
                failed(copier.error());
                copier.stepDone();
                continue;
            }
            code = place(temp);
            if (code != 0) {
                removeTree(temp, nullptr);
                failed(describe(replacing ? "Cannot replace" : "Cannot create", step.dest, code));
                copier.stepDone();
                continue;
            }
            QString error;
            if (move && !removeTree(step.source, &error))
                failed(error);
        }
        copier.stepDone();
        ++result.transferred;
        result.createdPaths.push_back(step.dest);
    }
    if (!result.cancelled)
        copier.finish();
    return result;
}

TransferResult transfer(TransferKind kind, const std::vector<QByteArray>& sources, const QByteArray& targetFolder,
                        const ConflictQuestion& askConflict, const TransferProgress& progress)
{
    return runTransfer(planTransfer(kind, sources, targetFolder, askConflict), progress);
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
