#include "platform/FolderWatcher.h"

#include <QCoreApplication>

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <array>
#include <cstdint>

namespace {

constexpr std::uint32_t kWatchMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_CLOSE_WRITE
                                     | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

void drain(int fd)
{
    std::array<char, 8192> buffer{};
    while (::read(fd, buffer.data(), buffer.size()) > 0) {
    }
}

}  // namespace

FolderWatcher::FolderWatcher(QObject* receiver, QEvent::Type changedEvent, std::chrono::milliseconds pause)
    : m_receiver(receiver), m_eventType(changedEvent), m_pause(pause)
{
    m_wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    m_thread = std::thread([this] { run(); });
}

FolderWatcher::~FolderWatcher()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    signal();
    m_thread.join();
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
}

void FolderWatcher::setFolder(const QByteArray& nativePath)
{
    {
        std::lock_guard lock(m_mutex);
        m_folder = nativePath;
        m_rearm = true;
    }
    signal();
}

void FolderWatcher::refreshDone()
{
    {
        std::lock_guard lock(m_mutex);
        m_refreshed = true;
    }
    signal();
}

bool FolderWatcher::isWatching(const QByteArray& nativePath)
{
    std::lock_guard lock(m_mutex);
    return !m_rearm && !nativePath.isEmpty() && m_armedFolder == nativePath;
}

void FolderWatcher::signal()
{
    const std::uint64_t one = 1;
    if (m_wakeFd >= 0)
        [[maybe_unused]] auto written = ::write(m_wakeFd, &one, sizeof one);
}

FolderWatcher::Wake FolderWatcher::waitFor(int watchFd, int timeoutMs, bool wantRefreshed)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    for (;;) {
        {
            std::lock_guard lock(m_mutex);
            if (m_stop)
                return Wake::Stop;
            if (m_rearm)
                return Wake::Rearm;
            if (wantRefreshed && m_refreshed) {
                m_refreshed = false;
                return Wake::Refreshed;
            }
        }
        int wait = -1;
        if (timeoutMs >= 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0)
                return Wake::Timeout;
            wait = static_cast<int>(left);
        }
        std::array<pollfd, 2> fds{{{m_wakeFd, POLLIN, 0}, {watchFd, POLLIN, 0}}};
        const int count = watchFd >= 0 ? 2 : 1;
        const int ready = ::poll(fds.data(), count, wait);
        if (ready < 0)
            continue;  // EINTR
        if (fds[0].revents & POLLIN)
            drain(m_wakeFd);
        if (count == 2 && (fds[1].revents & POLLIN))
            return Wake::Changed;
    }
}

void FolderWatcher::run()
{
    if (m_wakeFd < 0)
        return;
    for (;;) {
        QByteArray folder;
        {
            std::lock_guard lock(m_mutex);
            if (m_stop)
                return;
            m_rearm = false;
            folder = m_folder;
        }
        int watchFd = -1;
        if (!folder.isEmpty()) {
            watchFd = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
            if (watchFd >= 0 && ::inotify_add_watch(watchFd, folder.constData(), kWatchMask) < 0) {
                ::close(watchFd);
                watchFd = -1;
            }
        }
        {
            std::lock_guard lock(m_mutex);
            m_armedFolder = watchFd >= 0 ? folder : QByteArray();
        }
        // One inotify instance per folder: closing it drops the watch and any queued events
        // of the previous folder together.
        bool rearm = false;
        while (!rearm) {
            Wake wake = waitFor(watchFd, -1, false);
            if (wake == Wake::Changed) {
                drain(watchFd);
                {
                    std::lock_guard lock(m_mutex);
                    m_refreshed = false;
                }
                QCoreApplication::postEvent(m_receiver, new QEvent(m_eventType));
                // Changes during the pause and the refresh stay queued in inotify and
                // trigger one more refresh afterwards.
                wake = waitFor(-1, static_cast<int>(m_pause.count()), false);
                if (wake == Wake::Timeout)
                    wake = waitFor(-1, -1, true);
            }
            if (wake == Wake::Stop) {
                if (watchFd >= 0)
                    ::close(watchFd);
                return;
            }
            if (wake == Wake::Rearm)
                rearm = true;
        }
        if (watchFd >= 0)
            ::close(watchFd);
    }
}
