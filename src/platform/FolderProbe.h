#pragma once
// Cheap questions about folders that the folder tree asks for every node it shows.

#include <QByteArray>

// Whether the folder holds at least one sub-folder (links to folders count). Stops at the
// first one, so a huge folder of files costs one pass of names and no stat calls for most.
bool hasSubfolders(const QByteArray& path, bool includeHidden);
