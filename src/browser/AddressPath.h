#pragma once
// What a path typed into the address bar names.

#include <QByteArray>
#include <QString>

struct TypedPath {
    enum Result { Empty, Folder, Invalid } result = Empty;
    QByteArray path;  // the folder, without trailing slashes ("/" stays)
};

// Accepts absolute paths and "~" or "~/…" (the shell's home shorthand, which users type);
// relative paths, files and paths that do not exist are Invalid.
TypedPath resolveTypedPath(const QString& text, const QByteArray& home);
