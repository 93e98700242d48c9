#pragma once
// Opening files the decoders may read. Only regular files are opened, and the open never
// waits: a FIFO or a device named like a picture would otherwise block the caller forever.

#include <QByteArray>

#include <optional>

namespace Decode {

// An owned file descriptor, closed when it goes out of scope.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept : m_fd(other.release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor();

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    int release();

private:
    int m_fd = -1;
};

struct OpenedFile {
    FileDescriptor fd;
    qint64 size = 0;
};

// O_NONBLOCK first, then fstat: nothing when the path is not a readable regular file.
// The descriptor is switched back to blocking reads once it is known to be a plain file.
std::optional<OpenedFile> openRegularFile(const QByteArray& nativePath);

// Reads from offset 0 up to `maxBytes`; nothing when the file is larger or unreadable.
std::optional<QByteArray> readAll(int fd, qint64 maxBytes);

// The first `count` bytes (fewer for a short file).
QByteArray readHead(int fd, int count);

}  // namespace Decode
