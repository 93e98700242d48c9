#include "SafeSave.h"

#include "app/NativePath.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

mode_t currentUmask()
{
    // umask() cannot be read without setting it, which would race other threads.
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("Umask:")) {
                bool ok = false;
                const uint mask = line.mid(6).trimmed().toUInt(&ok, 8);
                if (ok)
                    return static_cast<mode_t>(mask);
            }
        }
    }
    return 022;
}

bool syncFile(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

namespace SafeSave {

bool writeReplacing(const QString& target, const std::function<bool(const QString& tempPath)>& write)
{
    if (target.isEmpty())
        return false;
    // A link is followed so the file it points to is replaced, not the link.
    QString realTarget = target;
    const QFileInfo targetInfo(target);
    if (targetInfo.isSymLink() && targetInfo.exists())
        realTarget = targetInfo.canonicalFilePath();
    const QFileInfo realInfo(realTarget);
    if (realInfo.exists() && !realInfo.isFile())
        return false;

    QTemporaryFile temp(realInfo.absolutePath() + QStringLiteral("/.kelvra-save-XXXXXX"));
    temp.setAutoRemove(false);
    if (!temp.open())
        return false;
    const QString tempPath = temp.fileName();
    temp.close();
    const QByteArray tempName = QFile::encodeName(tempPath);
    const QByteArray targetName = NativePath::encode(realTarget);

    auto fail = [&] {
        ::unlink(tempName.constData());
        return false;
    };
    if (!write(tempPath) || !QFileInfo(tempPath).isFile())
        return fail();

    struct stat existing = {};
    if (::stat(targetName.constData(), &existing) == 0) {
        ::chmod(tempName.constData(), existing.st_mode & 07777);
        // Keeping the owner only works for root or the owner itself; either is fine.
        [[maybe_unused]] const int r = ::chown(tempName.constData(), existing.st_uid, existing.st_gid);
    } else {
        ::chmod(tempName.constData(), 0666 & ~currentUmask());
    }
    if (!syncFile(tempName))
        return fail();
    if (std::rename(tempName.constData(), targetName.constData()) != 0)
        return fail();
    return true;
}

}  // namespace SafeSave
