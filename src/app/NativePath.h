#pragma once
// File names as the kernel knows them are bytes; Qt decodes them as UTF-8 and turns bytes that
// are not UTF-8 into U+FFFD, so such a name no longer names its file once it is a QString.
// These two functions carry every byte through a QString: a byte that does not start valid
// UTF-8 becomes the lone surrogate U+DC00 + byte (the convention other runtimes use too), and
// encoding turns those back into the byte. Names that are valid UTF-8 decode exactly as
// QFile::decodeName does.

#include <QByteArray>
#include <QString>

namespace NativePath {

QString decode(const QByteArray& native);
QByteArray encode(const QString& path);

}  // namespace NativePath
