#pragma once
// Fixtures the tests make themselves: temporary folders, images with known pixels, files
// with given bytes.

#include <FreeImage.h>

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>

class fipSuperImage;

namespace fixtures {

// A temporary folder removed at the end of the test.
class TempDir {
public:
    TempDir();
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

QByteArray readFile(const QString& path);
bool writeFile(const QString& path, const QByteArray& bytes);

// A 24-bit image whose pixel (x, y) (y counted from the top) is
// (x * 7 + y) & 255, (x * 3 + y * 5) & 255, (x + y * 11) & 255 — every pixel distinct
// enough that a misplaced one is noticed.
fipSuperImage patternImage(unsigned width, unsigned height, unsigned bpp = 24);
// Colour of the top-down pixel (x, y) of patternImage as RGB.
RGBQUAD patternColor(unsigned x, unsigned y);
// Top-down pixel access.
RGBQUAD pixelAt(const fipSuperImage& image, unsigned x, unsigned y);
bool samePixels(const fipSuperImage& a, const fipSuperImage& b);
// Writes a baseline JPEG of the pattern (size multiple of 16 unless asked otherwise).
QString writePatternJpeg(const QString& path, unsigned width, unsigned height, int quality = 90);
// The JPEG `jpeg` with an EXIF block whose second directory holds `thumbnail` (a JPEG too),
// as cameras store their previews; empty when `jpeg` is not a JPEG or the block too large.
QByteArray withExifThumbnail(const QByteArray& jpeg, const QByteArray& thumbnail);

}  // namespace fixtures
