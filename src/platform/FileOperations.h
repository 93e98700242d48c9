#pragma once
// File operations the browser performs directly on the file system.

#include <QByteArray>

namespace FileOperations {

// Renames `oldPath` to `newPath` (native paths). Never replaces an existing file or folder,
// and refuses mount points and the root; false on any failure.
bool RenamePath(const QByteArray& oldPath, const QByteArray& newPath);

}  // namespace FileOperations
