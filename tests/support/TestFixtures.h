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

// A temporary folder removed at the end of the test, also when it holds names that are not
// UTF-8 (which Qt's own removal cannot list).
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
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

// A tmpfs of `bytes` mounted on a temporary folder for the fixture's lifetime, to fill a file
// system for real; `mounted()` is false where the test may not mount (not root, no
// privilege), and such tests skip.
class SmallTmpfs {
public:
    explicit SmallTmpfs(qint64 bytes);
    ~SmallTmpfs();
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;
    bool mounted() const { return m_mounted; }
    QString file(const QString& name) const { return m_dir.filePath(name); }
    // Writes a file of zeros until the file system is full.
    void fill() const;

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

// For its lifetime the C library and Qt's default locale write decimal commas (German), as a
// user's session may; `active()` is false when the system has no such locale.
class CommaDecimalLocale {
public:
    CommaDecimalLocale();
    ~CommaDecimalLocale();
    CommaDecimalLocale(const CommaDecimalLocale&) = delete;
    CommaDecimalLocale& operator=(const CommaDecimalLocale&) = delete;
    bool active() const { return m_active; }

private:
    QByteArray m_saved;
    bool m_active = false;
};

}  // namespace fixtures
