#include "platform/TreeWatcher.h"

#include "platform/ShellNamespace.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <set>

namespace {
constexpr std::uint32_t kMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF
                                | IN_ONLYDIR | IN_EXCL_UNLINK;
}

TreeWatcher::TreeWatcher(QObject* parent) : QObject(parent)
{
    m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd >= 0) {
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &TreeWatcher::readEvents);
    }
    // The kernel marks the mount table with an exceptional condition when it changes.
    m_mountsFd = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
    if (m_mountsFd >= 0) {
        m_mountsNotifier = new QSocketNotifier(m_mountsFd, QSocketNotifier::Exception, this);
        connect(m_mountsNotifier, &QSocketNotifier::activated, this, [this] {
            char buffer[4096];
            ::lseek(m_mountsFd, 0, SEEK_SET);
            while (::read(m_mountsFd, buffer, sizeof buffer) > 0) {
            }
            emit mountsChanged();
        });
    }
}

TreeWatcher::~TreeWatcher()
{
    delete m_notifier;
    delete m_mountsNotifier;
    if (m_fd >= 0)
        ::close(m_fd);
    if (m_mountsFd >= 0)
        ::close(m_mountsFd);
}

void TreeWatcher::watch(const QByteArray& folder)
{
    if (m_fd < 0 || folder.isEmpty() || m_byFolder.count(folder))
        return;
    const int wd = ::inotify_add_watch(m_fd, folder.constData(), kMask);
    if (wd < 0)
        return;  // out of watches or unreadable: the node just does not follow outside changes
    // Two paths can name one folder (a link); the newer path is the one reported.
    if (const auto old = m_byWatch.find(wd); old != m_byWatch.end())
        m_byFolder.erase(old->second);
    m_byWatch[wd] = folder;
    m_byFolder[folder] = wd;
}

void TreeWatcher::unwatch(const QByteArray& folder)
{
    const auto it = m_byFolder.find(folder);
    if (it == m_byFolder.end())
        return;
    ::inotify_rm_watch(m_fd, it->second);
    m_byWatch.erase(it->second);
    m_byFolder.erase(it);
}

void TreeWatcher::clear()
{
    while (!m_byFolder.empty())
        unwatch(m_byFolder.begin()->first);
}

bool TreeWatcher::isWatching(const QByteArray& folder) const
{
    return m_byFolder.count(folder) > 0;
}

void TreeWatcher::readEvents()
{
    std::set<QByteArray> changed;
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        for (ssize_t at = 0; at < n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
            if (e->mask & IN_Q_OVERFLOW) {
                for (const auto& [folder, wd] : m_byFolder)
                    changed.insert(folder);
                continue;
            }
            const auto it = m_byWatch.find(e->wd);
            if (it == m_byWatch.end())
                continue;
            if (e->mask & (IN_DELETE_SELF | IN_MOVE_SELF))
                changed.insert(folderOf(it->second));
            else if (e->mask & IN_ISDIR)
                changed.insert(it->second);
            if (e->mask & IN_IGNORED) {
                m_byFolder.erase(it->second);
                m_byWatch.erase(it);
            }
        }
    }
    for (const auto& folder : changed)
        emit folderChanged(folder);
}
