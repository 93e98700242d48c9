// libFuzzer target: the clipboard decoders over whatever another program put there.
#include "platform/FileClipboard.h"

#include <QMimeData>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype half = bytes.size() / 2;
    for (const char* format : {"x-special/gnome-copied-files", "text/uri-list"}) {
        QMimeData mime;
        mime.setData(QString::fromLatin1(format), bytes.left(half));
        mime.setData(QString::fromLatin1(FileClipboard::kKdeCutSelection), bytes.mid(half));
        FileClipboard::decode(mime);
    }
    FileClipboard::pathFromUri(bytes);
    return 0;
}
