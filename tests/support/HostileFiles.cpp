#include "HostileFiles.h"

#include "TestFixtures.h"
#include "imaging/fipSuperImage.h"

#include <QImage>

#include <turbojpeg.h>

namespace hostile {


namespace {

void put16be(QByteArray& out, unsigned v)
{
    out.append(char((v >> 8) & 0xFF)).append(char(v & 0xFF));
}
void put32be(QByteArray& out, unsigned v)
{
    put16be(out, v >> 16);
    put16be(out, v & 0xFFFF);
}

}  // namespace

// A Photoshop header with more channels than the format allows, then run-length rows.
QByteArray psdWithBadChannels()
{
    QByteArray f("8BPS");
    put16be(f, 1);
    f.append(QByteArray(6, '\0'));
    put16be(f, 57);  // channels: at most 56
    put32be(f, 16);
    put32be(f, 16);
    put16be(f, 8);
    put16be(f, 3);
    put32be(f, 0);
    put32be(f, 0);
    put32be(f, 0);
    put16be(f, 1);  // run-length rows
    f.append(QByteArray(256, '\x7f'));
    return f;
}

// A PICT whose packed rows are longer than the row bytes their pixmap declares.
QByteArray pictWithBadOpcodeLength()
{
    QByteArray f(512, '\0');
    const auto rect = [&] {
        for (unsigned v : {0u, 0u, 4u, 4u})
            put16be(f, v);
    };
    put16be(f, 0);
    rect();
    f.append(QByteArray("\x00\x11\x02\xFF\x0C\x00", 6)).append(QByteArray(24, '\0'));
    put16be(f, 0x0098);      // PackBitsRect
    put16be(f, 0x8000 | 4);  // row bytes: a quarter of what 16-bit pixels need
    rect();
    put16be(f, 0);  // version, pack type, pack size, resolutions
    put16be(f, 0);
    put32be(f, 0);
    put32be(f, 0x480000);
    put32be(f, 0x480000);
    for (unsigned v : {0u, 16u, 1u, 16u})  // pixel type, size, components, component size
        put16be(f, v);
    f.append(QByteArray(12, '\0'));
    put32be(f, 0);  // colour table: seed, flags, one entry
    put16be(f, 0);
    put16be(f, 0);
    f.append(QByteArray(8, '\0'));
    rect();
    rect();
    put16be(f, 0);
    for (int row = 0; row < 4; ++row) {
        f.append(char(200));  // packed length of the row
        for (int i = 0; i < 200; ++i)
            f.append("\x81\xAA", 2);
    }
    return f;
}

// An IFF whose form never ends: its chunk loop runs on past the end of the file.
QByteArray loopingIff()
{
    QByteArray f("FORM");
    put32be(f, 0xFFFFFFFB);
    f.append("ILBM");
    f.append("ABCD");
    put32be(f, 0);
    return f;
}

// `jpeg` with an EXIF block whose second directory points at `offset`, `length` bytes,
// followed by `thumbnail`.
QByteArray withExifPointer(const QByteArray& jpeg, unsigned offset, unsigned length, const QByteArray& thumbnail)
{
    QByteArray tiff("II*\0", 4);
    const auto le16 = [&](unsigned v) { tiff.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); };
    const auto le32 = [&](unsigned v) { le16(v & 0xFFFF); le16(v >> 16); };
    le32(8);
    le16(0);
    le32(14);
    le16(2);
    le16(0x0201); le16(4); le32(1); le32(offset);
    le16(0x0202); le16(4); le32(1); le32(length);
    le32(0);
    tiff.append(thumbnail);
    QByteArray app1("\xFF\xE1", 2);
    put16be(app1, static_cast<unsigned>(2 + 6 + tiff.size()));
    app1.append("Exif\0\0", 6).append(tiff);
    return jpeg.left(2) + app1 + jpeg.mid(2);
}

// The JPEG with the frame's declared size replaced.
QByteArray withFrameSize(QByteArray jpeg, unsigned width, unsigned height)
{
    for (qsizetype i = 2; i + 9 < jpeg.size(); ++i) {
        const auto m = static_cast<unsigned char>(jpeg[i + 1]);
        if (static_cast<unsigned char>(jpeg[i]) == 0xFF && (m == 0xC0 || m == 0xC2)) {
            jpeg[i + 5] = char(height >> 8), jpeg[i + 6] = char(height & 0xFF);
            jpeg[i + 7] = char(width >> 8), jpeg[i + 8] = char(width & 0xFF);
            return jpeg;
        }
    }
    return {};
}

QByteArray progressiveJpeg(int width, int height)
{
    const fipSuperImage pattern = fixtures::patternImage(static_cast<unsigned>(width), static_cast<unsigned>(height));
    const QImage rgb = pattern.toQImage().convertToFormat(QImage::Format_RGB888);
    tjhandle tj = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    const int failed = tjCompress2(tj, rgb.constBits(), width, static_cast<int>(rgb.bytesPerLine()), height, TJPF_RGB,
                                   &out, &size, TJSAMP_420, 85, TJFLAG_PROGRESSIVE);
    QByteArray bytes = failed ? QByteArray() : QByteArray(reinterpret_cast<const char*>(out), static_cast<qsizetype>(size));
    tjFree(out);
    tjDestroy(tj);
    return bytes;
}

}  // namespace hostile

hostile::ShortTimeout::ShortTimeout(std::chrono::milliseconds t) : m_saved(Decode::IsolatedDecoder::shared().timeout())
{
    Decode::IsolatedDecoder::shared().setTimeout(t);
}

hostile::ShortTimeout::~ShortTimeout()
{
    Decode::IsolatedDecoder::shared().setTimeout(m_saved);
}
