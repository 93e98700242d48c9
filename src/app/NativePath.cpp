#include "app/NativePath.h"

#include <QFile>

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool isEscape(char16_t c)
{
    return c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF;
}

// Length of the valid UTF-8 sequence at `p` (at most `left` bytes), 0 when it is not one.
int validSequence(const unsigned char* p, qsizetype left)
{
    const unsigned char lead = p[0];
    if (lead < 0x80)
        return 1;
    int length = 0;
    unsigned min = 0;
    unsigned code = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, min = 0x80, code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, min = 0x800, code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, min = 0x10000, code = lead & 0x07;
    } else {
        return 0;
    }
    if (left < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (p[i] & 0x3F);
    }
    // Overlong forms, surrogates and code points past Unicode are not UTF-8.
    if (code < min || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
        return 0;
    return length;
}

}  // namespace

namespace NativePath {

QString decode(const QByteArray& native)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(native.constData());
    const qsizetype size = native.size();
    QString out;
    qsizetype runStart = 0;
    qsizetype at = 0;
    while (at < size) {
        const int length = validSequence(bytes + at, size - at);
        if (length > 0) {
            at += length;
            continue;
        }
        out += QString::fromUtf8(native.constData() + runStart, at - runStart);
        out += QChar(static_cast<char16_t>(kEscapeBase + bytes[at]));
        runStart = ++at;
    }
    if (runStart == 0)
        return QFile::decodeName(native);
    out += QString::fromUtf8(native.constData() + runStart, size - runStart);
    return out;
}

QByteArray encode(const QString& path)
{
    const char16_t* units = reinterpret_cast<const char16_t*>(path.utf16());
    const qsizetype size = path.size();
    QByteArray out;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < size; ++i) {
        // A low surrogate that follows a high one is half of an ordinary character.
        if (!isEscape(units[i]) || (i > 0 && QChar::isHighSurrogate(units[i - 1])))
            continue;
        out += QFile::encodeName(path.mid(runStart, i - runStart));
        out += static_cast<char>(units[i] - kEscapeBase);
        runStart = i + 1;
    }
    if (runStart == 0)
        return QFile::encodeName(path);
    out += QFile::encodeName(path.mid(runStart));
    return out;
}

}  // namespace NativePath
