#include "ProgramFiles.h"

#include <QDir>
#include <QFileInfo>

namespace ProgramFiles {

QString locate(const QString& programFolder, const QString& name, const QString& installedFolder)
{
    const QString beside = QDir(programFolder).filePath(name);
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = QDir::cleanPath(programFolder + QStringLiteral("/../") + installedFolder + QLatin1Char('/') + name);
    return QFileInfo::exists(installed) ? installed : beside;
}

QIcon applicationIcon(const QString& programFolder)
{
    const QString name = QStringLiteral("kelvra");
    if (QIcon::hasThemeIcon(name))
        return QIcon::fromTheme(name);
    QIcon icon;
    for (const QString& root : {programFolder + QStringLiteral("/icons/hicolor"),
                                programFolder + QStringLiteral("/../share/icons/hicolor")}) {
        const QDir sizes(root);
        for (const QString& size : sizes.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            const QString png = sizes.filePath(size + QStringLiteral("/apps/kelvra.png"));
            if (QFileInfo::exists(png))
                icon.addFile(png);
        }
        if (!icon.isNull())
            break;
    }
    return icon;
}

}  // namespace ProgramFiles
