#include "platform/FileOperations.h"

#include "platform/ShellNamespace.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>

#include <cerrno>

namespace FileOperations {

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

}  // namespace FileOperations
