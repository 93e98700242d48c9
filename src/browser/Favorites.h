#pragma once
// Favorites are shortcuts (symbolic links named after their target + ".lnk") kept in the data
// folder's "Favorites" and its sub-folders, which act as categories. This is the part that
// needs no window: names, the links themselves and the category folders.

#include <QString>
#include <QStringList>

namespace favorites {

// The target's display name without " * / : < > ? \ | and with ".lnk" added.
QString shortcutFileName(const QString& displayName);
QString shortcutPath(const QString& folder, const QString& displayName);

// Makes the favorites folder when missing; false when it cannot be had (a file is in its way).
bool ensureFolder(const QString& path);

// The categories inside `folder`: real sub-folders (never links to folders, which are
// shortcuts) that are not hidden, in the order the file system lists them.
QStringList subfolders(const QString& folder);

struct Target {
    QString path;         // the item's own path
    QString displayName;
};

// `AddFavorite`: a link to the target in `folder`. A target that is itself a link is copied
// (the new link points where it points) rather than linked to. False when the shortcut exists
// and `overwrite` is not set, or it cannot be made; an existing folder is never replaced.
bool AddFavorite(const QString& folder, const Target& target, bool overwrite);

}  // namespace favorites
