#pragma once
// Where each exported image goes. An export never destroys an original: a destination that
// is one of the run's sources (the same file, through links or another spelling) gets the
// program's copy name instead, and so does a name an earlier image of the same run took.
// Any other file already at a destination is replaced.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <set>
#include <sys/types.h>
#include <utility>

class ExportNaming {
public:
    // `extension` without the dot. Reads the sources' identities (one stat each).
    ExportNaming(const QStringList& sources, const QString& folder, const QString& extension);

    // The destination of `source`, to be asked for in the order the images are written.
    QString destinationFor(const QString& source);

private:
    bool isSource(const QByteArray& path) const;

    std::set<std::pair<dev_t, ino_t>> m_sourceIds;
    std::set<QByteArray> m_planned;
    QByteArray m_folder;
    QByteArray m_extension;
};
