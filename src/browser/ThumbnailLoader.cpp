#include "browser/ThumbnailLoader.h"

#include "browser/BrowserEvents.h"
#include "platform/ShellNamespace.h"

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
        m_waiting.clear();
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
        auto asks = [&](const Entry& e, const Request& r) {
            return e.request.loadPath == r.loadPath && e.request.mtimeNs == r.mtimeNs && e.request.size == r.size
                   && e.boxWidth == boxWidth && e.boxHeight == boxHeight;
        };
        auto byId = [&](std::uint64_t id) {
            return std::find_if(m_queue.begin(), m_queue.end(), [&](const Entry& e) { return e.id == id; });
        };
        std::size_t insertAt = 0;
        for (const Request& r : requests) {
            if (const auto waiting = m_waiting.constFind(r.path); waiting != m_waiting.constEnd()) {
                const auto old = byId(waiting.value());
                if (asks(*old, r))
                    continue;
                // The record was replaced (its file changed) or the box changed: only the new
                // request counts.
                if (static_cast<std::size_t>(old - m_queue.begin()) < insertAt)
                    --insertAt;
                m_queue.erase(old);
                m_waiting.erase(waiting);
            }
            if (m_working != 0 && r.path == m_workingPath) {
                Entry& working = *byId(m_working);
                if (asks(working, r)) {
                    // Asked again for exactly what is being made (say, after going into a folder
                    // and straight back): its result serves the new request.
                    working.generation = m_generation;
                    working.superseded = false;
                    continue;
                }
                working.superseded = true;
            }
            const std::uint64_t id = m_nextId++;
            m_queue.insert(m_queue.begin() + static_cast<std::ptrdiff_t>(insertAt),
                           Entry{r, boxWidth, boxHeight, id, m_generation, false});
            m_waiting.insert(r.path, id);
            ++insertAt;
        }
    }
    m_wake.notify_one();
}

void ThumbnailLoader::clear()
{
    std::lock_guard lock(m_mutex);
    // The entry being made stays until the thread is done with it; its result is stale unless
    // it is asked for again.
    std::erase_if(m_queue, [&](const Entry& e) { return e.id != m_working; });
    m_waiting.clear();
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

std::optional<ThumbnailResult> ThumbnailLoader::make(const Entry& entry)
{
    const Request& r = entry.request;
    auto same = [](const FileStat& a, const FileStat& b) {
        return a.exists == b.exists && a.mtimeNs == b.mtimeNs && a.size == b.size;
    };
    // A file rewritten while it was read gives a picture of neither version: read it again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const FileStat before = statPath(r.loadPath);
        // The record no longer describes the file; the rescan that follows asks again.
        if (r.mtimeNs != 0 && (!before.exists || before.mtimeNs != r.mtimeNs || before.size != r.size))
            return std::nullopt;
        ThumbnailResult made = m_maker(r.loadPath, entry.boxWidth, entry.boxHeight);
        if (same(before, statPath(r.loadPath)))
            return made;
    }
    return std::nullopt;
}

void ThumbnailLoader::run()
{
    // Decoding must never take the processor from the window thread: on a machine whose cores
    // are all busy the window thread would otherwise wait whole scheduler slices for its turn.
    const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), std::min(nice + 10, 19));
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [&] { return m_stop || !m_queue.empty(); });
        if (m_stop)
            return;
        const Entry entry = m_queue.front();
        m_working = entry.id;
        m_workingPath = entry.request.path;
        if (const auto waiting = m_waiting.constFind(entry.request.path);
            waiting != m_waiting.constEnd() && waiting.value() == entry.id)
            m_waiting.erase(waiting);
        lock.unlock();

        std::optional<ThumbnailResult> made = make(entry);

        lock.lock();
        // Newer requests may have been put in front of it meanwhile, or taken it over.
        const auto done = std::find_if(m_queue.begin(), m_queue.end(), [&](const Entry& e) { return e.id == entry.id; });
        std::uint64_t generation = entry.generation;
        bool superseded = false;
        if (done != m_queue.end()) {
            generation = done->generation;
            superseded = done->superseded;
            m_queue.erase(done);
        }
        m_working = 0;
        m_workingPath.clear();
        if (m_stop)
            return;
        if (!made || superseded)
            continue;
        auto event = std::make_unique<ThumbnailReadyEvent>();
        event->path = entry.request.path;
        event->generation = generation;
        event->image = std::move(made->image);
        event->fullWidth = made->fullWidth;
        event->fullHeight = made->fullHeight;
        QCoreApplication::postEvent(m_receiver, event.release());
    }
}
