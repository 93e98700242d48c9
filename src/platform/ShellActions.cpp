#include "platform/ShellActions.h"

#include "platform/ShellNamespace.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>

namespace ShellActions {

namespace {

FolderChooser& chooser()
{
    static FolderChooser installed;  // a test seam, like the message box handler
    return installed;
}

QUrl urlOf(const QByteArray& path)
{
    return QUrl::fromLocalFile(QFile::decodeName(path));
}

bool callFileManager(const char* method, const QByteArray& path)
{
    auto bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.FileManager1"),
                                                       QStringLiteral("/org/freedesktop/FileManager1"),
                                                       QStringLiteral("org.freedesktop.FileManager1"),
                                                       QString::fromLatin1(method));
    call << QStringList{urlOf(path).toString(QUrl::FullyEncoded)} << QString();
    const QDBusMessage reply = bus.call(call, QDBus::Block, 5000);
    return reply.type() == QDBusMessage::ReplyMessage;
}

// The desktop entries of applications registered for a MIME type, default first.
QStringList applicationsFor(const QString& mimeType)
{
    QStringList ids;
    QStringList dirs = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    for (const QString& data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        dirs << data + QStringLiteral("/applications");
    for (const QString& dir : dirs) {
        for (const QString& name : {QStringLiteral("mimeapps.list"), QStringLiteral("mimeinfo.cache")}) {
            QSettings list(dir + QLatin1Char('/') + name, QSettings::IniFormat);
            for (const QString& group : {QStringLiteral("Default Applications"), QStringLiteral("Added Associations"),
                                         QStringLiteral("MIME Cache")}) {
                const QStringList entries = list.value(group + QLatin1Char('/') + mimeType).toStringList();
                for (QString entry : entries) {
                    for (const QString& id : entry.split(QLatin1Char(';'), Qt::SkipEmptyParts))
                        if (!ids.contains(id))
                            ids << id;
                }
            }
        }
    }
    return ids;
}

QString desktopFile(const QString& id)
{
    for (const QString& data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        const QString path = data + QStringLiteral("/applications/") + id;
        if (QFileInfo::exists(path))
            return path;
    }
    return {};
}

}  // namespace

bool OpenWithAssociatedProgram(const QByteArray& path)
{
    return !path.isEmpty() && QDesktopServices::openUrl(urlOf(path));
}

bool OpenWithAssociatedEditor(const QByteArray& path)
{
    const QString mime = QMimeDatabase().mimeTypeForFile(QFile::decodeName(path)).name();
    for (const QString& id : applicationsFor(mime)) {
        const QString file = desktopFile(id);
        if (file.isEmpty())
            continue;
        QSettings entry(file, QSettings::IniFormat);
        entry.beginGroup(QStringLiteral("Desktop Entry"));
        const QStringList categories = entry.value(QStringLiteral("Categories")).toStringList().join(QLatin1Char(';')).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        const bool editor = categories.contains(QStringLiteral("RasterGraphics"))
                            || (categories.contains(QStringLiteral("2DGraphics")) && !categories.contains(QStringLiteral("Viewer")));
        if (!editor)
            continue;
        QString exec = entry.value(QStringLiteral("Exec")).toStringList().join(QLatin1Char(','));
        QStringList args = QProcess::splitCommand(exec);
        if (args.isEmpty())
            continue;
        const QString program = args.takeFirst();
        QStringList expanded;
        bool placed = false;
        for (const QString& arg : args) {
            if (arg == QLatin1String("%f") || arg == QLatin1String("%F") || arg == QLatin1String("%u") || arg == QLatin1String("%U")) {
                expanded << (arg.endsWith(QLatin1Char('u'), Qt::CaseInsensitive) ? urlOf(path).toString() : QFile::decodeName(path));
                placed = true;
            } else if (!(arg.size() == 2 && arg.startsWith(QLatin1Char('%')))) {
                expanded << arg;
            }
        }
        if (!placed)
            expanded << QFile::decodeName(path);
        if (QProcess::startDetached(program, expanded))
            return true;
    }
    return OpenWithAssociatedProgram(path);
}

bool LocateOnDisk(const QByteArray& path)
{
    if (path.isEmpty())
        return false;
    if (callFileManager("ShowItems", path))
        return true;
    return QDesktopServices::openUrl(urlOf(folderOf(path).isEmpty() ? QByteArray("/") : folderOf(path)));
}

bool ShowShellProperties(const QByteArray& path)
{
    return !path.isEmpty() && callFileManager("ShowItemProperties", path);
}

QString ChooseFolder(QWidget* owner, const QString& title, const QString& prompt)
{
    if (chooser())
        return chooser()(owner, title, prompt);
    const QString folder = QFileDialog::getExistingDirectory(owner, title, QDir::homePath(), QFileDialog::ShowDirsOnly);
    return folder.isEmpty() || !QFileInfo(folder).isDir() ? QString() : folder;
}

FolderChooser setFolderChooser(FolderChooser next)
{
    FolderChooser previous = std::move(chooser());
    chooser() = std::move(next);
    return previous;
}

}  // namespace ShellActions
