#pragma once
// The few lines shown when the pointer rests on a cell.

#include "browser/FolderItem.h"

#include <QString>

// For an image whose dimensions are not known yet and whose extension is in the thumbnail
// set, the declared size is read from the header (Decode::readImageSize: regular files only);
// nothing else touches the disk.
QString HoverText(const FolderItem& item);
