#include "AppContext.h"

#include "AppPaths.h"
#include "ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

AppContext::StartResult AppContext::start(const QString& programFilePath)
{
    if (programFilePath.isEmpty())
        return StartResult::NoProgramFile;
    m_programFolder = AppPaths::folderOf(programFilePath);

    m_dataFolder = AppPaths::join(AppPaths::userDataBase(), QLatin1String(AppPaths::kAppFolderName));
    if (!QFileInfo(m_dataFolder).isDir() && !QDir().mkpath(m_dataFolder))
        return StartResult::NoDataFolder;

    m_settingsPath = AppPaths::join(m_dataFolder, QStringLiteral("Config.ini"));
    m_favoritesFolder = AppPaths::join(m_dataFolder, QStringLiteral("Favorites"));
    m_tempRoot = AppPaths::join(m_dataFolder, QStringLiteral("Temp"));
    // Without a folder of its own the program still runs; undo then keeps its states in memory.
    m_temp.create(m_tempRoot);

    const ProfileFile settings(m_settingsPath);
    m_showHiddenFiles = settings.getInt(QStringLiteral("App"), QStringLiteral("ShowHiddenFiles"), 0) == 1;
    return StartResult::Ok;
}

void AppContext::emptyTempFolder()
{
    m_temp.remove();
}

void AppContext::writeSettings() const
{
    if (m_settingsPath.isEmpty())
        return;
    ProfileFile(m_settingsPath).writeBool(QStringLiteral("App"), QStringLiteral("ShowHiddenFiles"),
                                          m_showHiddenFiles);
}
