#include "browser/AddressPath.h"

#include "platform/ShellNamespace.h"

#include <QFile>

TypedPath resolveTypedPath(const QString& text, const QByteArray& home)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return {};
    QByteArray path = QFile::encodeName(trimmed);
    if (path == "~" || path.startsWith("~/"))
        path = home + path.mid(1);
    if (!path.startsWith('/'))
        return {TypedPath::Invalid, {}};
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    if (!statPath(path).isDirectory)
        return {TypedPath::Invalid, {}};
    return {TypedPath::Folder, path};
}
