#pragma once
// Change notices for the folder tree: folders created, removed or renamed inside the folders
// it has expanded (inotify), and volumes mounted or unmounted (the mount table). Runs on the
// window thread through socket notifiers, so there is no thread to stop and no lock to take.

#include <QByteArray>
#include <QObject>

#include <map>

class QSocketNotifier;

class TreeWatcher : public QObject {
    Q_OBJECT
public:
    explicit TreeWatcher(QObject* parent = nullptr);
    ~TreeWatcher() override;

    void watch(const QByteArray& folder);
    void unwatch(const QByteArray& folder);
    void clear();
    bool isWatching(const QByteArray& folder) const;

signals:
    // Sub-folders of `folder` changed (created, removed, renamed in or out); a watched
    // folder that went away itself is reported as a change of its parent.
    void folderChanged(const QByteArray& folder);
    // A volume was mounted or unmounted.
    void mountsChanged();

private:
    void readEvents();

    int m_fd = -1;
    int m_mountsFd = -1;
    QSocketNotifier* m_notifier = nullptr;
    QSocketNotifier* m_mountsNotifier = nullptr;
    std::map<int, QByteArray> m_byWatch;
    std::map<QByteArray, int> m_byFolder;
};
