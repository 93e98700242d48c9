#include "ExportNaming.h"

#include "app/NativePath.h"
#include "platform/FileOperations.h"

#include <sys/stat.h>

namespace {

QByteArray joinPath(const QByteArray& folder, const QByteArray& name)
{
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

bool pathExists(const QByteArray& path)
{
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0;
}

}  // namespace

ExportNaming::ExportNaming(const QStringList& sources, const QString& folder, const QString& extension)
    : m_folder(NativePath::encode(folder)), m_extension(NativePath::encode(extension))
{
    for (const QString& source : sources) {
        struct stat st {};
        if (::stat(NativePath::encode(source).constData(), &st) == 0)
            m_sourceIds.emplace(st.st_dev, st.st_ino);
    }
}

bool ExportNaming::isSource(const QByteArray& path) const
{
    // Followed through links: a link to a source is that source.
    struct stat st {};
    return ::stat(path.constData(), &st) == 0 && m_sourceIds.count({st.st_dev, st.st_ino}) > 0;
}

QString ExportNaming::destinationFor(const QString& source)
{
    const QByteArray native = NativePath::encode(source);
    QByteArray name = native.mid(native.lastIndexOf('/') + 1);
    const qsizetype dot = name.lastIndexOf('.');
    if (dot > 0)
        name.truncate(dot);
    name += '.' + m_extension;

    QByteArray path = joinPath(m_folder, name);
    if (m_planned.count(path) || isSource(path)) {
        const QByteArray copy = FileOperations::copyNameFor(name, false, [this](const QByteArray& candidate) {
            const QByteArray candidatePath = joinPath(m_folder, candidate);
            return m_planned.count(candidatePath) > 0 || pathExists(candidatePath);
        });
        path = joinPath(m_folder, copy);
    }
    m_planned.insert(path);
    return NativePath::decode(path);
}
