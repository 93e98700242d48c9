#pragma once
// The texts of the EXIF strip and of the file properties' list: how each camera property
// reads. Everything here works on a PropertyItemSet and needs no window.

#include <QString>

#include <optional>
#include <utility>
#include <vector>

class PropertyItemSet;

// The strip's eight facts, empty when the file does not record them.
struct ExifTexts {
    QString make;
    QString model;
    QString exposureProgram;
    QString exposureBias;
    QString focalLength;
    QString exposureTime;
    QString aperture;
    QString isoSpeed;

    bool isEmpty() const;
    // The first row's left text: make, one space, model.
    QString camera() const { return make + QLatin1Char(' ') + model; }
};

namespace exiftext {

// The extensions whose files may carry camera properties (compared ignoring case).
bool hasExifExtension(const QString& path);
ExifTexts fromProperties(const PropertyItemSet& set);
// The strip's texts of a file: empty for other extensions and unreadable files.
ExifTexts forFile(const QString& path);

QString exposureTime(double seconds);
QString exposureProgramName(unsigned program);
QString version(const QString& fourCharacters);
QString lightSourceName(unsigned value);
QString flashName(unsigned value);
QString meteringModeName(unsigned value);
QString sensingMethodName(unsigned value);

// The properties list's rows in order; the two separator rows have empty texts and are
// always there.
using Row = std::pair<QString, QString>;
std::vector<Row> propertyRows(const PropertyItemSet& set);

}  // namespace exiftext
