#include "viewer/ViewerStepping.h"

#include "viewer/ViewerEvents.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

// Keyboards repeat every 30 to 40 ms; steps closer than this belong to one burst.
constexpr std::chrono::milliseconds kBurstGap{60};
constexpr std::chrono::milliseconds kBurstDelay{35};
// Wheels and touchpads send their steps closer than this; a held key repeats more slowly.
constexpr std::chrono::milliseconds kFloodGap{15};
// About half the decode of a large photo.
constexpr std::chrono::milliseconds kSecondKeptAfter{90};

}  // namespace

StepDecoder::StepDecoder(QObject* owner) : m_owner(owner) {}

StepDecoder::~StepDecoder()
{
    abandonAll();
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    for (std::thread& worker : m_workers)
        if (worker.joinable())
            worker.join();
}

void StepDecoder::work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_stopping)
            return;
        Job* job = m_queue.front();
        m_queue.pop_front();
        const bool waited = !m_wake.wait_until(lock, job->startAfter, [&] {
            return m_stopping || job->startNow.load(std::memory_order_relaxed)
                   || job->abandon.load(std::memory_order_relaxed);
        });
        if ((waited && job->startAfter != Clock::time_point()) || job->lastOfBurst.load(std::memory_order_relaxed)) {
            // No step came for a while: the burst is over, and its last target is all the
            // screen still needs. A decode kept to show an image going by only slows it.
            for (Job* running : m_running)
                running->abandon.store(true, std::memory_order_relaxed);
        }
        m_running.push_back(job);
        lock.unlock();
        if (!job->abandon.load(std::memory_order_relaxed))
            job->result = loadForView(job->target.path, job->target.page, &job->abandon, nullptr, {});
        QObject* owner = m_owner;
        lock.lock();
        m_running.erase(std::find(m_running.begin(), m_running.end(), job));
        job->finished.store(true, std::memory_order_release);
        m_finished.notify_all();
        // The owner outlives the decoder, whose destructor joins this thread.
        if (owner)
            QCoreApplication::postEvent(owner, new QEvent(WM_STEP_DECODED));
    }
}

void StepDecoder::endBurst()
{
    if (!m_newest || m_newest->kept)
        return;
    {
        std::lock_guard lock(m_mutex);
        m_newest->lastOfBurst.store(true, std::memory_order_relaxed);
        m_newest->startNow.store(true, std::memory_order_relaxed);
        // Both workers may be busy with kept decodes: the newest target must not wait for one.
        for (const auto& job : m_jobs)
            if (job.get() != m_newest)
                job->abandon.store(true, std::memory_order_relaxed);
    }
    m_wake.notify_all();
}

bool StepDecoder::threadsRunning() const
{
    return std::any_of(m_jobs.begin(), m_jobs.end(),
                       [](const auto& j) { return !j->finished.load(std::memory_order_acquire); });
}

void StepDecoder::waitForAll()
{
    std::unique_lock lock(m_mutex);
    for (Job* queued : m_queue)
        queued->finished.store(true, std::memory_order_release);
    m_queue.clear();
    m_wake.notify_all();  // a worker holding back a burst's step sees it abandoned at once
    m_finished.wait(lock, [this] { return !threadsRunning(); });
}

void StepDecoder::supersede()
{
    const auto now = Clock::now();
    if (!m_newest) {
        m_screenSince = now;  // a new burst of steps: the screen was up to date until now
        return;
    }
    if (!m_newest->finished.load(std::memory_order_acquire) && mayKeep(now, m_newest->forScreen)) {
        m_newest->kept = true;
        m_newest->keptAt = now;
        std::lock_guard lock(m_mutex);
        m_newest->startNow.store(true, std::memory_order_relaxed);
    } else if (!m_newest->kept) {
        std::lock_guard lock(m_mutex);
        m_newest->abandon.store(true, std::memory_order_relaxed);
    }
    m_wake.notify_all();
    m_newest = nullptr;
}

bool StepDecoder::mayKeep(Clock::time_point now, bool forScreen) const
{
    int kept = 0;
    Clock::time_point latest;
    for (const auto& j : m_jobs)
        if (j->kept && !j->finished.load(std::memory_order_acquire)) {
            ++kept;
            latest = std::max(latest, j->keptAt);
        }
    if (kept == 0)
        return forScreen || now - m_screenSince >= m_keepAfter;
    // Once the picture on its way is about half decoded, the other core starts the next one:
    // pictures then go by twice as often while a key is held.
    return kept == 1 && now - latest >= kSecondKeptAfter;
}

void StepDecoder::request(const StepTarget& target)
{
    supersede();
    const auto now = Clock::now();
    auto job = std::make_unique<Job>();
    job->target = target;
    const bool burst = m_lastRequest != Clock::time_point() && now - m_lastRequest < kBurstGap;
    const bool flood = burst && now - m_lastRequest < kFloodGap;
    // With no picture on its way, a held key's step starts at once and is kept when the next
    // repeat supersedes it: the screen's next picture is then never more than one decode off.
    job->forScreen = burst && !flood && mayKeep(now, true);
    job->startAfter = burst && !job->forScreen ? now + kBurstDelay : Clock::time_point();
    m_lastRequest = now;
    Job* raw = job.get();
    m_jobs.push_back(std::move(job));
    m_newest = raw;
    {
        std::lock_guard lock(m_mutex);
        // Started at the first step, so a viewer that never steps never holds them.
        for (std::thread& worker : m_workers)
            if (!worker.joinable())
                worker = std::thread([this] { work(); });
        m_queue.push_back(raw);
    }
    m_wake.notify_all();
}

void StepDecoder::noteCompleted(const Job& job)
{
    if (job.result.loaded.image)
        m_completed.push_back(job.target.path);
}

std::vector<SteppedImage> StepDecoder::collect()
{
    std::vector<SteppedImage> shown;
    std::optional<SteppedImage> newest;
    // A kept decode that ends after a later one would take the screen back a picture.
    for (auto it = m_jobs.rbegin(); it != m_jobs.rend(); ++it)
        if ((*it)->kept && (*it)->finished.load(std::memory_order_acquire)) {
            for (auto older = std::next(it); older != m_jobs.rend(); ++older)
                if ((*older)->kept)
                    (*older)->abandon.store(true, std::memory_order_relaxed);
            break;
        }
    for (auto it = m_jobs.begin(); it != m_jobs.end();) {
        Job& job = **it;
        if (!job.finished.load(std::memory_order_acquire)) {
            ++it;
            continue;
        }
        noteCompleted(job);
        const bool abandoned = job.abandon.load(std::memory_order_relaxed);
        if (&job == m_newest) {
            newest = SteppedImage{job.target, std::move(job.result), true};
            m_newest = nullptr;
        } else if (job.kept && !abandoned && job.result.loaded.image) {
            shown.push_back(SteppedImage{job.target, std::move(job.result), false});
        }
        it = m_jobs.erase(it);
    }
    if (newest) {
        // Nothing older is worth showing once the newest target is there.
        shown.clear();
        for (const auto& job : m_jobs)
            job->abandon.store(true, std::memory_order_relaxed);
        shown.push_back(std::move(*newest));
    }
    if (!shown.empty())
        m_screenSince = Clock::now();
    return shown;
}

std::optional<SteppedImage> StepDecoder::finishNewest()
{
    if (!m_newest)
        return std::nullopt;
    for (const auto& job : m_jobs)
        if (job.get() != m_newest)
            job->abandon.store(true, std::memory_order_relaxed);
    {
        // The newest may still be waiting for a worker, or held back as a burst's step; it must
        // be decoded now, not dropped.
        std::unique_lock lock(m_mutex);
        m_newest->startNow.store(true, std::memory_order_relaxed);
        m_wake.notify_all();
        m_finished.wait(lock, [this] { return !threadsRunning(); });
    }
    std::vector<SteppedImage> done = collect();
    if (done.empty() || !done.back().newest)
        return std::nullopt;
    return std::move(done.back());
}

void StepDecoder::abandonAll()
{
    for (const auto& job : m_jobs)
        job->abandon.store(true, std::memory_order_relaxed);
    waitForAll();
    for (const auto& job : m_jobs)
        noteCompleted(*job);
    m_jobs.clear();
    m_newest = nullptr;
}
