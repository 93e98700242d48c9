#include "ProcessTempFolder.h"

#include "app/FileDescriptor.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <utility>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kFolderPrefix[] = "run-";
// A folder is made under this prefix, gets its locked lock file, and only then is renamed to
// its "run-" name: a sweep never sees a "run-" folder whose owner has not locked it yet.
constexpr char kNewFolderPrefix[] = ".new-";
constexpr char kLockName[] = ".lock";
// Deeper trees are not made by the program; the sweep stops there rather than recurse on.
constexpr int kMaxDepth = 32;


int openFolderAt(int parentFd, const char* name)
{
    return ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// Calls `visit` with the name of every entry of the folder `folderFd` but "." and "..".
template <typename Visit>
void forEachEntry(int folderFd, Visit visit)
{
    const int listFd = ::dup(folderFd);
    if (listFd < 0)
        return;
    DIR* dir = ::fdopendir(listFd);
    if (!dir) {
        ::close(listFd);
        return;
    }
    for (const dirent* entry = ::readdir(dir); entry; entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0)
            visit(name);
    }
    ::closedir(dir);
}

// Deletes everything inside the folder `folderFd`; links are unlinked, never followed.
void removeContents(int folderFd, int depth)
{
    if (depth > kMaxDepth)
        return;
    forEachEntry(folderFd, [&](const char* name) {
        struct stat st = {};
        if (::fstatat(folderFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            return;
        if (S_ISDIR(st.st_mode)) {
            const FileDescriptor sub(openFolderAt(folderFd, name));
            if (sub.get() >= 0)
                removeContents(sub.get(), depth + 1);
            ::unlinkat(folderFd, name, AT_REMOVEDIR);
        } else {
            ::unlinkat(folderFd, name, 0);
        }
    });
}

bool startsWith(const char* name, const char* prefix)
{
    return std::strncmp(name, prefix, std::strlen(prefix)) == 0;
}

// A folder of ours whose owner has ended: its lock can be taken (or it has none left, when
// an earlier removal was cut short). A folder still being made has no lock yet and is left.
void removeIfStale(int rootFd, const char* name)
{
    const bool made = startsWith(name, kFolderPrefix);
    if (!made && !startsWith(name, kNewFolderPrefix))
        return;
    const FileDescriptor folder(openFolderAt(rootFd, name));
    if (folder.get() < 0)
        return;  // a link or a file under our name: not ours to touch
    const FileDescriptor lock(::openat(folder.get(), kLockName, O_RDWR | O_NOFOLLOW | O_CLOEXEC));
    if (lock.get() < 0) {
        if (!made || errno != ENOENT)
            return;
    } else if (::flock(lock.get(), LOCK_EX | LOCK_NB) != 0) {
        return;  // its process is running
    }
    removeContents(folder.get(), 0);
    ::unlinkat(rootFd, name, AT_REMOVEDIR);
}

void sweep(int rootFd)
{
    forEachEntry(rootFd, [&](const char* name) { removeIfStale(rootFd, name); });
}

QByteArray randomLetters()
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray letters;
    for (int i = 0; i < 10; ++i)
        letters += kLetters[QRandomGenerator::global()->bounded(static_cast<int>(sizeof kLetters - 1))];
    return letters;
}

}  // namespace

ProcessTempFolder::~ProcessTempFolder()
{
    remove();
}

void ProcessTempFolder::removeStaleFolders(const QString& root)
{
    const FileDescriptor rootFd(::open(QFile::encodeName(root).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (rootFd.get() >= 0)
        sweep(rootFd.get());
}

bool ProcessTempFolder::create(const QString& root)
{
    remove();
    const QByteArray rootName = QFile::encodeName(root);
    if (::mkdir(rootName.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    FileDescriptor rootFd(::open(rootName.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (rootFd.get() < 0)
        return false;
    sweep(rootFd.get());

    for (int attempt = 0; attempt < 16; ++attempt) {
        const QByteArray letters = randomLetters();
        const QByteArray newName = kNewFolderPrefix + letters;
        const QByteArray finalName = kFolderPrefix + letters;
        if (::mkdirat(rootFd.get(), newName.constData(), 0700) != 0) {
            if (errno == EEXIST)
                continue;
            return false;
        }
        FileDescriptor folder(openFolderAt(rootFd.get(), newName.constData()));
        FileDescriptor lock(folder.get() >= 0 ? ::openat(folder.get(), kLockName, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600)
                                  : -1);
        if (lock.get() < 0 || ::flock(lock.get(), LOCK_EX | LOCK_NB) != 0
            || ::renameat2(rootFd.get(), newName.constData(), rootFd.get(), finalName.constData(), RENAME_NOREPLACE)
                   != 0) {
            // Another process took the name, or swept the folder before its lock was taken.
            const bool retry = errno == EEXIST || errno == ENOENT;
            if (folder.get() >= 0)
                removeContents(folder.get(), 0);
            ::unlinkat(rootFd.get(), newName.constData(), AT_REMOVEDIR);
            if (retry)
                continue;
            return false;
        }
        m_rootFd = rootFd.release();
        m_folderFd = folder.release();
        m_lockFd = lock.release();
        m_name = QString::fromLatin1(finalName);
        m_path = root.endsWith(u'/') ? root + m_name : root + u'/' + m_name;
        return true;
    }
    return false;
}

void ProcessTempFolder::remove()
{
    if (m_folderFd >= 0) {
        // By the descriptors taken when the folder was made: a path swapped for a link
        // since then leads nowhere else.
        removeContents(m_folderFd, 0);
        ::unlinkat(m_rootFd, QFile::encodeName(m_name).constData(), AT_REMOVEDIR);
    }
    for (int* fd : {&m_folderFd, &m_lockFd, &m_rootFd}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
    m_path.clear();
    m_name.clear();
}
