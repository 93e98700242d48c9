#pragma once
// The process-wide paths and the one application-level setting, without any window, so the
// start-up and shut-down rules can be tested on their own.

#include "ProcessTempFolder.h"

#include <QString>

class AppContext {
public:
    enum class StartResult { Ok, NoProgramFile, NoDataFolder };

    // Builds every path from the program file and the environment and creates the data
    // folder with its parents. Reads App/ShowHiddenFiles.
    StartResult start(const QString& programFilePath);

    const QString& programFolder() const { return m_programFolder; }
    const QString& dataFolder() const { return m_dataFolder; }
    const QString& settingsPath() const { return m_settingsPath; }
    const QString& favoritesFolder() const { return m_favoritesFolder; }
    // This process's own folder inside the data folder's `Temp` (made and locked at start);
    // empty when none could be made there.
    const QString& tempFolder() const { return m_temp.path(); }
    const QString& tempRootFolder() const { return m_tempRoot; }
    bool showHiddenFiles() const { return m_showHiddenFiles; }

    // Deletes this process's temporary folder with everything in it; `Temp` itself and what
    // other processes keep there stay. Symbolic links are removed, never followed.
    void emptyTempFolder();
    // Writes App/ShowHiddenFiles back as "1" or "0".
    void writeSettings() const;

private:
    QString m_programFolder;
    QString m_dataFolder;
    QString m_settingsPath;
    QString m_favoritesFolder;
    QString m_tempRoot;
    ProcessTempFolder m_temp;
    bool m_showHiddenFiles = false;
};
