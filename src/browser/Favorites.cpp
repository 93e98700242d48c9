#include "browser/Favorites.h"


#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cstdio>
#include <unistd.h>

namespace favorites {

QString shortcutFileName(const QString& displayName)
{
    QString name;
    for (const QChar c : displayName)
        if (!QStringLiteral("\"*/:<>?\\|").contains(c))
            name += c;
    return name + QStringLiteral(".lnk");
}

QString shortcutPath(const QString& folder, const QString& displayName)
{
    return folder + u'/' + shortcutFileName(displayName);
}

bool ensureFolder(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        return true;
    if (info.exists() || info.isSymLink())
        return false;
    return QDir().mkpath(path);
}

namespace {

// Names a folder's ".hidden" file hides, as file managers honour it.
QSet<QString> hiddenNames(const QString& folder)
{
    QSet<QString> names;
    const QFileInfo list(folder + QStringLiteral("/.hidden"));
    if (!list.isFile() || list.size() > 1 << 20)
        return names;
    QFile file(list.filePath());
    if (!file.open(QIODevice::ReadOnly))
        return names;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (!line.isEmpty())
            names.insert(QFile::decodeName(line));
    return names;
}

}  // namespace

QStringList subfolders(const QString& folder)
{
    const QSet<QString> hidden = hiddenNames(folder);
    QStringList names;
    for (const QString& name : QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Unsorted))
        if (!name.startsWith(u'.') && !hidden.contains(name))
            names << name;
    return names;
}

bool AddFavorite(const QString& folder, const Target& target, bool overwrite)
{
    const QString path = shortcutPath(folder, target.displayName);
    const QFileInfo existing(path);
    const bool taken = existing.exists() || existing.isSymLink();
    if (taken && (!overwrite || (existing.isDir() && !existing.isSymLink())))
        return false;
    const QFileInfo source(target.path);
    QString linkTo = target.path;
    if (source.isSymLink()) {
        if (source.absoluteFilePath() == existing.absoluteFilePath())
            return true;  // the shortcut is already itself
        linkTo = QFile::decodeName(QFile::encodeName(source.symLinkTarget()));
    }
    // Made beside the old one under a passing name, then renamed over it, so a failure never
    // leaves the user without the shortcut that was there.
    const QByteArray finalName = QFile::encodeName(path);
    const QByteArray temporary = finalName + ".new-" + QByteArray::number(qint64(::getpid()));
    ::unlink(temporary.constData());
    if (::symlink(QFile::encodeName(linkTo).constData(), temporary.constData()) != 0)
        return false;
    if (::rename(temporary.constData(), finalName.constData()) != 0) {
        ::unlink(temporary.constData());
        return false;
    }
    return true;
}

}  // namespace favorites
