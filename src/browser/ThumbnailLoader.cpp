#include "browser/ThumbnailLoader.h"

#include "browser/BrowserEvents.h"

#include <QCoreApplication>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>

ThumbnailLoader::ThumbnailLoader(QObject* receiver, Maker maker)
    : m_receiver(receiver), m_maker(std::move(maker))
{
    m_thread = std::thread([this] { run(); });
}

ThumbnailLoader::~ThumbnailLoader()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
        m_queue.clear();
        m_queuedPaths.clear();
    }
    m_wake.notify_all();
    m_thread.join();
}

void ThumbnailLoader::queue(const std::vector<Request>& requests, int boxWidth, int boxHeight)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_stop)
            return;
        auto insertAt = m_queue.begin();
        for (const Request& r : requests) {
            if (m_queuedPaths.contains(r.path))
                continue;
            m_queuedPaths.insert(r.path);
            insertAt = m_queue.insert(insertAt, Entry{r, boxWidth, boxHeight, m_nextId++});
            ++insertAt;
        }
    }
    m_wake.notify_one();
}

void ThumbnailLoader::clear()
{
    std::lock_guard lock(m_mutex);
    // The entry being made stays until the thread is done with it; its result is stale.
    std::erase_if(m_queue, [&](const Entry& e) { return e.id != m_working; });
    m_queuedPaths.clear();
    for (const Entry& e : m_queue)
        m_queuedPaths.insert(e.request.path);
    ++m_generation;
}

std::uint64_t ThumbnailLoader::generation() const
{
    std::lock_guard lock(m_mutex);
    return m_generation;
}

std::vector<QByteArray> ThumbnailLoader::pendingPaths() const
{
    std::lock_guard lock(m_mutex);
    std::vector<QByteArray> out;
    for (const Entry& e : m_queue)
        out.push_back(e.request.path);
    return out;
}

bool ThumbnailLoader::idle() const
{
    std::lock_guard lock(m_mutex);
    return m_queue.empty() && m_working == 0;
}

void ThumbnailLoader::run()
{
    // Decoding must never take the processor from the window thread: on a machine whose cores
    // are all busy the window thread would otherwise wait whole scheduler slices for its turn.
    const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), std::min(nice + 10, 19));
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [&] {
            return m_stop || std::any_of(m_queue.begin(), m_queue.end(), [&](const Entry& e) { return e.id != m_working; });
        });
        if (m_stop)
            return;
        const Entry entry = m_queue.front();
        const std::uint64_t generation = m_generation;
        m_working = entry.id;
        lock.unlock();

        ThumbnailResult made = m_maker(entry.request.loadPath, entry.boxWidth, entry.boxHeight);
        auto event = std::make_unique<ThumbnailReadyEvent>();
        event->path = entry.request.path;
        event->generation = generation;
        event->image = std::move(made.image);
        event->fullWidth = made.fullWidth;
        event->fullHeight = made.fullHeight;

        lock.lock();
        // Newer requests may have been put in front of it meanwhile.
        const auto done = std::find_if(m_queue.begin(), m_queue.end(), [&](const Entry& e) { return e.id == entry.id; });
        if (done != m_queue.end()) {
            m_queuedPaths.remove(done->request.path);
            m_queue.erase(done);
        }
        m_working = 0;
        if (m_stop)
            return;
        QCoreApplication::postEvent(m_receiver, event.release());
    }
}
