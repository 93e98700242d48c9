#include "ExportWorker.h"

#include "ExportNaming.h"

#include <QCoreApplication>

#include <algorithm>

ExportWorker::ExportWorker(ExportJob job, QObject* receiver, int threadCount)
    : m_job(std::move(job)), m_receiver(receiver)
{
    const int count = std::max(1, threadCount);
    m_running = count;
    m_threads.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        m_threads.emplace_back([this] { run(); });
}

ExportWorker::~ExportWorker()
{
    join();
}

void ExportWorker::issueUpTo(int count)
{
    {
        const std::lock_guard lock(m_mutex);
        m_issued = std::max(m_issued, std::min(count, static_cast<int>(m_job.sources.size())));
    }
    m_wake.notify_all();
}

void ExportWorker::requestStop()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
}

void ExportWorker::join()
{
    requestStop();
    for (std::thread& thread : m_threads)
        if (thread.joinable())
            thread.join();
}

void ExportWorker::run()
{
    for (;;) {
        int index = 0;
        QString destination;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stop || m_next < m_issued; });
            if (m_stop) {
                if (--m_running == 0)
                    QCoreApplication::postEvent(m_receiver, new ExportWorkerEndedEvent);
                return;
            }
            index = m_next++;
            // Names are planned in the order of the images, whichever thread converts them.
            if (!m_naming)
                m_naming = std::make_unique<ExportNaming>(m_job.sources, m_job.folder, m_job.extension);
            destination = m_naming->destinationFor(m_job.sources.at(index));
        }
        ExportImageResult result;
        result.index = index;
        result.source = m_job.sources.at(index);
        result.destination = destination;
        result.outcome = ImageExport::exportImage(result.source, destination, m_job.maxSide);
        QCoreApplication::postEvent(m_receiver, new ExportImageDoneEvent(std::move(result)));
    }
}
