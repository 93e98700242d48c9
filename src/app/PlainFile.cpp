#include "app/PlainFile.h"

#include "app/FileDescriptor.h"
#include "app/NativePath.h"

#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool writeAll(int fd, const QByteArray& bytes)
{
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

// The regular file that writing `native` must replace, or nullopt when it may not be written.
std::optional<QByteArray> writableTarget(const QByteArray& native, struct stat& existing, bool& exists)
{
    exists = false;
    if (::lstat(native.constData(), &existing) != 0)
        return errno == ENOENT ? std::optional(native) : std::nullopt;
    QByteArray target = native;
    if (S_ISLNK(existing.st_mode)) {
        const std::unique_ptr<char, decltype(&std::free)> real(::realpath(native.constData(), nullptr), &std::free);
        if (!real || ::stat(real.get(), &existing) != 0)
            return std::nullopt;  // dangling, looping or unreadable link
        target = real.get();
    }
    if (!S_ISREG(existing.st_mode))
        return std::nullopt;
    exists = true;
    return target;
}

}  // namespace

namespace PlainFile {

ReadResult read(const QString& path, qint64 maxBytes)
{
    ReadResult result;
    const QByteArray native = NativePath::encode(path);
    FileDescriptor fd(::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        result.status = errno == ENOENT || errno == ENOTDIR ? ReadStatus::Missing : ReadStatus::Refused;
        return result;
    }
    struct stat st = {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        result.status = ReadStatus::Refused;
        return result;
    }
    // The declared size is only a hint (the file may change while read), never a promise.
    result.bytes.reserve(static_cast<qsizetype>(std::min<qint64>(st.st_size, maxBytes)));
    QByteArray chunk(64 * 1024, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::read(fd.get(), chunk.data(), static_cast<size_t>(chunk.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            result.status = ReadStatus::Refused;
            result.bytes.clear();
            return result;
        }
        if (n == 0)
            break;
        result.bytes.append(chunk.constData(), static_cast<qsizetype>(n));
        if (result.bytes.size() > maxBytes) {
            result.bytes.truncate(static_cast<qsizetype>(maxBytes));
            result.status = ReadStatus::TooLarge;
            return result;
        }
    }
    result.status = ReadStatus::Read;
    return result;
}

bool replace(const QString& path, const QByteArray& bytes)
{
    const QByteArray native = NativePath::encode(path);
    if (native.isEmpty())
        return false;
    struct stat existing = {};
    bool exists = false;
    const auto target = writableTarget(native, existing, exists);
    if (!target)
        return false;

    const qsizetype slash = target->lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : target->left(std::max<qsizetype>(slash, 1));
    const QByteArray base = slash < 0 ? *target : target->mid(slash + 1);
    QByteArray temp;
    int rawFd = -1;
    for (int attempt = 0; attempt < 100 && rawFd < 0; ++attempt) {
        temp = folder + "/." + base + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        // A new file gets what the user's umask allows of 0666.
        rawFd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (rawFd < 0 && errno != EEXIST)
            return false;
    }
    if (rawFd < 0)
        return false;
    FileDescriptor fd(rawFd);
    auto fail = [&] {
        ::unlink(temp.constData());
        return false;
    };
    if (exists) {
        ::fchmod(fd.get(), existing.st_mode & 07777);
        // Keeping the owner only works for root or the owner itself; either is fine.
        [[maybe_unused]] const int r = ::fchown(fd.get(), existing.st_uid, existing.st_gid);
    }
    if (!writeAll(fd.get(), bytes) || ::fsync(fd.get()) != 0 || !fd.close())
        return fail();
    if (std::rename(temp.constData(), target->constData()) != 0)
        return fail();
    return true;
}

}  // namespace PlainFile
