#pragma once
// Where the program keeps its files. Plain functions of the environment so tests can point
// them at temporary folders through the XDG variables.

#include <QString>

namespace AppPaths {

inline constexpr char kAppFolderName[] = "Kelvra Photo Viewer";

// base + "/" + name, without doubling a separator the base already ends with.
QString join(const QString& base, const QString& name);
// The folder of a program file: "/" stays "/", otherwise everything before the last "/".
QString folderOf(const QString& filePath);
// $XDG_DATA_HOME when it is an absolute path, else ~/.local/share.
QString userDataBase();
// The user's pictures folder (XDG_PICTURES_DIR of user-dirs.dirs) when it exists, else home.
QString picturesFolder();
// Parses one user-dirs.dirs text for `key` ("XDG_PICTURES_DIR"), expanding $HOME.
QString parseUserDirsValue(const QString& text, const QString& key, const QString& home);

}  // namespace AppPaths
