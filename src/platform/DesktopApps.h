#pragma once
// The desktop's applications for a file, as the desktop itself lists them (GIO reads the
// desktop entries and MIME associations of every XDG data folder), and their launch.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace DesktopApps {

// The desktop-entry ids of the raster-graphics editors registered for the file's type, the
// desktop's default first: entries in the RasterGraphics category, or 2DGraphics ones that
// are not mere viewers. Our own entry is never one.
QStringList editorsFor(const QByteArray& path);

// Launches the application of that desktop entry on the file; false when it cannot start.
bool launch(const QString& desktopId, const QByteArray& path);

}  // namespace DesktopApps
