#pragma once
// Reading and replacing the program's own small files (settings, history) without trusting
// what sits at their path.
//
// Reading opens without blocking and checks the opened file itself, so a pipe or a device put
// in place of the file cannot hang the program or feed it endless bytes. Replacing writes a
// temporary file beside the target with checked writes, syncs it and renames it over the
// target: a full disk or any other failure leaves the old file and says so. A symbolic link is
// followed only to an existing regular file, which is then replaced; a link to anything else
// (a device, a folder, nothing) is refused, as is a path that is itself no regular file.

#include <QByteArray>
#include <QString>

#include <optional>

namespace PlainFile {

enum class ReadStatus { Read, Missing, Refused, TooLarge };

struct ReadResult {
    ReadStatus status = ReadStatus::Missing;
    QByteArray bytes;
};

// Refused: not a regular file or unreadable. TooLarge: `bytes` holds the first `maxBytes`.
ReadResult read(const QString& path, qint64 maxBytes);

bool replace(const QString& path, const QByteArray& bytes);

}  // namespace PlainFile
