#include "viewer/ViewerStepping.h"

#include "viewer/ViewerEvents.h"

#include <QCoreApplication>

#include <algorithm>

StepDecoder::StepDecoder(QObject* owner) : m_owner(owner) {}

StepDecoder::~StepDecoder()
{
    abandonAll();
}

void StepDecoder::supersede()
{
    const auto now = Clock::now();
    if (!m_newest) {
        m_screenSince = now;  // a new burst of steps: the screen was up to date until now
        return;
    }
    const bool oneKept = std::any_of(m_jobs.begin(), m_jobs.end(), [](const auto& j) { return j->kept; });
    if (!oneKept && !m_newest->finished.load(std::memory_order_acquire) && now - m_screenSince >= m_keepAfter)
        m_newest->kept = true;
    else if (!m_newest->kept)
        m_newest->abandon.store(true, std::memory_order_relaxed);
    m_newest = nullptr;
}

void StepDecoder::request(const StepTarget& target)
{
    supersede();
    auto job = std::make_unique<Job>();
    job->target = target;
    Job* raw = job.get();
    QObject* owner = m_owner;
    // The owner joins every thread (in `collect`, or in its destructor) before it goes away.
    raw->thread = std::thread([raw, owner] {
        PreloadedImage result;
        result.stamp = FileStamp::of(raw->target.path);
        result.loaded = LoadImageFile(raw->target.path, raw->target.page, &raw->abandon);
        const fipSuperImage* image = result.loaded.image.get();
        if (image && image->getBPP() != 24 && !raw->abandon.load(std::memory_order_relaxed))
            result.display = makeDisplayImage(*image);
        raw->result = std::move(result);
        raw->finished.store(true, std::memory_order_release);
        if (owner)
            QCoreApplication::postEvent(owner, new QEvent(WM_STEP_DECODED));
    });
    m_jobs.push_back(std::move(job));
    m_newest = raw;
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
    for (auto it = m_jobs.begin(); it != m_jobs.end();) {
        Job& job = **it;
        if (!job.finished.load(std::memory_order_acquire)) {
            ++it;
            continue;
        }
        if (job.thread.joinable())
            job.thread.join();
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
    for (const auto& job : m_jobs)
        if (job->thread.joinable())
            job->thread.join();
    std::vector<SteppedImage> done = collect();
    if (done.empty() || !done.back().newest)
        return std::nullopt;
    return std::move(done.back());
}

void StepDecoder::abandonAll()
{
    for (const auto& job : m_jobs)
        job->abandon.store(true, std::memory_order_relaxed);
    for (const auto& job : m_jobs) {
        if (job->thread.joinable())
            job->thread.join();
        noteCompleted(*job);
    }
    m_jobs.clear();
    m_newest = nullptr;
}
