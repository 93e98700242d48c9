#pragma once
// The save dialog's choices that need no dialog: which filter entry fits a file name, the
// default extension of an entry, and a name given another extension. Filters use Qt's
// syntax: entries "Description (*.a *.b)" joined by ";;".
#include <QString>
#include <QStringList>

QStringList splitFilter(const QString& filter);
// 1-based entry whose text contains the file's extension (compared in upper case); 1 when
// none does or the name has no extension.
int initialFilterIndex(const QString& filter, const QString& fileName);
// The characters after "(*." up to the first separator or ")": "png" for "PNG (*.png)".
QString firstExtension(const QString& filterEntry);
// `name` without its extension plus "." and `extension`.
QString withExtension(const QString& name, const QString& extension);
