#pragma once
// This process's own folder inside the data folder's `Temp`.
//
// Several instances of the program may run on one data folder; each works in a folder of its
// own ("run-" and random letters) that holds a lock file, locked (flock) for as long as the
// process lives. At start the folders whose lock can be taken belong to processes that ended
// without cleaning up and are removed. Removing never follows a symbolic link: a link is
// deleted as a link, whatever it points to stays.

#include <QString>

class ProcessTempFolder {
public:
    ProcessTempFolder() = default;
    ProcessTempFolder(const ProcessTempFolder&) = delete;
    ProcessTempFolder& operator=(const ProcessTempFolder&) = delete;
    // Removes the folder, as remove() does.
    ~ProcessTempFolder();

    // Makes `root` when missing, clears out the folders of ended processes and makes and locks
    // this one's. False, with an empty path, when `root` is not a real folder (a link, a file)
    // or nothing can be made in it.
    bool create(const QString& root);
    // Empty when create() failed or after remove().
    const QString& path() const { return m_path; }
    // Deletes the folder with everything in it, its lock last.
    void remove();

    // The stale-folder sweep on its own, for a root this process does not work in.
    static void removeStaleFolders(const QString& root);

private:
    QString m_path;
    QString m_name;
    int m_rootFd = -1;
    int m_folderFd = -1;
    int m_lockFd = -1;
};
