#pragma once
// What the desktop does for a file: open it, edit it, show it in the file manager, show its
// properties; and the folder chooser. Dialog questions go through a seam tests can answer.

#include <QByteArray>
#include <QString>

#include <functional>

class QWidget;

namespace ShellActions {

bool OpenWithAssociatedProgram(const QByteArray& path);
// Linux has no "edit" verb: the first raster-graphics editor associated with the file's
// type, else the associated program.
bool OpenWithAssociatedEditor(const QByteArray& path);
// The file manager with the item selected (FileManager1), else its folder opened.
bool LocateOnDisk(const QByteArray& path);
// The file manager's properties window through FileManager1; false where there is none.
bool ShowShellProperties(const QByteArray& path);

// A folder chosen by the user, empty when cancelled. Only existing local folders return.
using FolderChooser = std::function<QString(QWidget* owner, const QString& title, const QString& prompt)>;
QString ChooseFolder(QWidget* owner, const QString& title, const QString& prompt);
// Installs a chooser for tests; returns the previous one. Empty restores the dialog.
FolderChooser setFolderChooser(FolderChooser chooser);

}  // namespace ShellActions
