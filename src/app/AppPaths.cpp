#include "AppPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace AppPaths {

QString join(const QString& base, const QString& name)
{
    if (base.endsWith(u'/'))
        return base + name;
    return base + u'/' + name;
}

QString folderOf(const QString& filePath)
{
    const qsizetype slash = filePath.lastIndexOf(u'/');
    if (slash < 0)
        return QString();
    if (slash == 0)
        return QStringLiteral("/");
    return filePath.left(slash);
}

QString userDataBase()
{
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return QDir::cleanPath(xdg);
    return join(QDir::homePath(), QStringLiteral(".local/share"));
}

QString parseUserDirsValue(const QString& text, const QString& key, const QString& home)
{
    for (const QString& rawLine : text.split(u'\n')) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(u'#') || !line.startsWith(key))
            continue;
        QString value = line.mid(key.size()).trimmed();
        if (!value.startsWith(u'='))
            continue;
        value = value.mid(1).trimmed();
        if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
            value = value.mid(1, value.size() - 2);
        if (value.startsWith(QStringLiteral("$HOME")))
            value = home + value.mid(5);
        value.replace(QStringLiteral("\\\""), QStringLiteral("\""));
        if (!QDir::isAbsolutePath(value))
            continue;  // relative values are not allowed by the format
        return QDir::cleanPath(value);
    }
    return QString();
}

QString picturesFolder()
{
    const QString home = QDir::homePath();
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (configHome.isEmpty() || !QDir::isAbsolutePath(configHome))
        configHome = join(home, QStringLiteral(".config"));
    QFile file(join(configHome, QStringLiteral("user-dirs.dirs")));
    if (file.open(QIODevice::ReadOnly)) {
        const QString dir = parseUserDirsValue(QString::fromUtf8(file.readAll()),
                                               QStringLiteral("XDG_PICTURES_DIR"), home);
        // A pictures folder equal to home means the user has switched it off.
        if (!dir.isEmpty() && dir != QDir::cleanPath(home) && QFileInfo(dir).isDir())
            return dir;
    }
    return home;
}

}  // namespace AppPaths
