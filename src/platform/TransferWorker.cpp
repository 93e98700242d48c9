#include "platform/TransferWorker.h"

#include <QCoreApplication>

QEvent::Type TransferWorker::ProgressEvent::type()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

QEvent::Type TransferWorker::finishedEventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

TransferWorker::TransferWorker(FileOperations::TransferPlan plan, QObject* receiver)
    : m_plan(std::move(plan)), m_receiver(receiver), m_thread([this] { run(); })
{
}

TransferWorker::~TransferWorker()
{
    if (m_thread.joinable()) {
        cancel();
        m_thread.join();
    }
}

void TransferWorker::cancel()
{
    m_cancel.store(true);
}

bool TransferWorker::waitFor(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    return m_ended.wait_for(lock, timeout, [this] { return m_done; });
}

FileOperations::TransferResult TransferWorker::finish()
{
    if (m_thread.joinable())
        m_thread.join();
    return std::move(m_result);
}

void TransferWorker::run()
{
    std::uint64_t lastShown = ~std::uint64_t(0);
    m_result = FileOperations::runTransfer(m_plan, [this, &lastShown](std::uint64_t done, std::uint64_t total) {
        const std::uint64_t shown = total ? done * 1000 / total : 0;
        if (shown != lastShown) {
            lastShown = shown;
            QCoreApplication::postEvent(m_receiver, new ProgressEvent(done, total));
        }
        return !m_cancel.load();
    });
    {
        std::lock_guard lock(m_mutex);
        m_done = true;
    }
    m_ended.notify_all();
    QCoreApplication::postEvent(m_receiver, new QEvent(finishedEventType()));
}
