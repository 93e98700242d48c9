#include "platform/ShellActions.h"

#include "platform/DesktopApps.h"
#include "platform/ShellNamespace.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
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

}  // namespace

bool OpenWithAssociatedProgram(const QByteArray& path)
{
    return !path.isEmpty() && QDesktopServices::openUrl(urlOf(path));
}

bool OpenWithAssociatedEditor(const QByteArray& path)
{
    for (const QString& id : DesktopApps::editorsFor(path))
        if (DesktopApps::launch(id, path))
            return true;
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
