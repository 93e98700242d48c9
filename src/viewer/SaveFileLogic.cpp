#include "viewer/SaveFileLogic.h"

#include <QFileInfo>

QStringList splitFilter(const QString& filter)
{
    return filter.split(QStringLiteral(";;"), Qt::SkipEmptyParts);
}

int initialFilterIndex(const QString& filter, const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toUpper();
    if (suffix.isEmpty())
        return 1;
    const QStringList entries = splitFilter(filter);
    // The pattern "*.EXT" followed by a separator, so "TIF" does not pick "*.TIFF" first.
    const QString pattern = QStringLiteral("*.") + suffix;
    for (int i = 0; i < entries.size(); ++i) {
        const QString upper = entries[i].toUpper();
        for (qsizetype at = upper.indexOf(pattern); at >= 0; at = upper.indexOf(pattern, at + 1)) {
            const qsizetype end = at + pattern.size();
            if (end < upper.size() && (upper[end] == u' ' || upper[end] == u';' || upper[end] == u')'))
                return i + 1;
        }
    }
    return 1;
}

QString firstExtension(const QString& entry)
{
    const qsizetype start = entry.indexOf(QStringLiteral("(*."));
    if (start < 0)
        return {};
    QString ext;
    for (qsizetype i = start + 3; i < entry.size(); ++i) {
        const QChar c = entry[i];
        if (c == u';' || c == u')' || c == u' ')
            break;
        ext += c;
    }
    return ext;
}

QString withExtension(const QString& name, const QString& extension)
{
    if (extension.isEmpty())
        return name;
    const qsizetype slash = name.lastIndexOf(u'/');
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString stem = dot > slash + 1 ? name.left(dot) : name;  // a leading dot is no extension
    return stem + u'.' + extension;
}
