#pragma once
// The fuzz targets that read files write each input to a file in one temporary folder made
// for the process, and find the decoder helper beside themselves or at $KELVRA_DECODER.
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace fuzz {

inline const QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

// The input as a file of that name in the folder; its native path.
inline QByteArray writeInput(const char* name, const std::uint8_t* data, std::size_t size)
{
    const QString path = folder().filePath(QString::fromLatin1(name));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    return QFile::encodeName(path);
}

}  // namespace fuzz
