#pragma once
// Files the program reads at run time (the tool-bar picture, the decoder helper, the icon)
// sit beside the executable in a build tree and under the prefix's share/ or libexec/ once
// installed.

#include <QIcon>
#include <QString>

namespace ProgramFiles {

// The first of programFolder/name and programFolder/../<installed>/name that exists; the
// first when neither does, so a message names where the file was expected.
QString locate(const QString& programFolder, const QString& name, const QString& installedFolder);

inline QString dataFile(const QString& programFolder, const QString& name)
{
    return locate(programFolder, name, QStringLiteral("share/kelvra"));
}

inline QString helperProgram(const QString& programFolder, const QString& name)
{
    return locate(programFolder, name, QStringLiteral("libexec/kelvra"));
}

// The application icon: the icon theme's "kelvra" when the desktop knows it, else the
// pictures of the build tree or of the prefix the program was installed into.
QIcon applicationIcon(const QString& programFolder);

}  // namespace ProgramFiles
