#pragma once
// Watches one folder with inotify on a thread of its own and posts an event to a receiver when
// files in it are created, deleted, renamed or rewritten, or the folder itself goes away.
// After each notice it pauses, then waits until the receiver says it has refreshed, so bursts
// of changes fold into at most one refresh per pause plus the refresh's own time.
// Destruction never waits for the receiver: stopping ends every wait at once.

#include <QByteArray>
#include <QEvent>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

class QObject;

class FolderWatcher {
public:
    FolderWatcher(QObject* receiver, QEvent::Type changedEvent,
                  std::chrono::milliseconds pause = std::chrono::milliseconds(2000));
    ~FolderWatcher();
    FolderWatcher(const FolderWatcher&) = delete;
    FolderWatcher& operator=(const FolderWatcher&) = delete;

    // Watch another folder (empty: none). Also the "re-arm" after a folder change.
    void setFolder(const QByteArray& nativePath);
    // The receiver finished the refresh that the last event asked for.
    void refreshDone();
    // Whether the watch on `nativePath` is in place (the thread arms it shortly after
    // setFolder); changes made before that are not seen.
    bool isWatching(const QByteArray& nativePath);

private:
    enum class Wake { Stop, Rearm, Refreshed, Timeout, Changed };
    void run();
    // Waits for control signals (and inotify input when `watchFd` ≥ 0) up to `timeoutMs`
    // (-1: no limit). Consumes the flag it reports.
    Wake waitFor(int watchFd, int timeoutMs, bool wantRefreshed);
    void signal();

    QObject* m_receiver;
    QEvent::Type m_eventType;
    std::chrono::milliseconds m_pause;

    std::mutex m_mutex;
    QByteArray m_folder;
    bool m_stop = false;
    bool m_rearm = false;
    bool m_refreshed = false;
    QByteArray m_armedFolder;

    int m_wakeFd = -1;
    std::thread m_thread;
};
