#pragma once
// Opening files the decoders may read. Only regular files are opened, and the open never
// waits: a FIFO or a device named like a picture would otherwise block the caller forever.

#include "app/FileDescriptor.h"

#include <QByteArray>

#include <optional>

namespace Decode {

using FileDescriptor = ::FileDescriptor;

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
