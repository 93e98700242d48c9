#include "imaging/decode/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace Decode {

std::optional<OpenedFile> openRegularFile(const QByteArray& nativePath)
{
    if (nativePath.isEmpty())
        return std::nullopt;
    FileDescriptor fd(::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd.valid())
        return std::nullopt;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        return std::nullopt;
    return OpenedFile{std::move(fd), static_cast<qint64>(st.st_size)};
}

std::optional<QByteArray> readAll(int fd, qint64 maxBytes)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_size < 0 || st.st_size > maxBytes)
        return std::nullopt;
    QByteArray data;
    data.resize(static_cast<qsizetype>(st.st_size));
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::pread(fd, data.data() + done, static_cast<size_t>(data.size() - done), done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    data.truncate(done);  // the file shrank while we read it: decode what we have
    return data;
}

QByteArray readHead(int fd, int count)
{
    QByteArray head(count, '\0');
    ssize_t n = 0;
    do
        n = ::pread(fd, head.data(), static_cast<size_t>(count), 0);
    while (n < 0 && errno == EINTR);
    head.truncate(n > 0 ? static_cast<qsizetype>(n) : 0);
    return head;
}

}  // namespace Decode
