#pragma once
// Carries out a planned copy or move on a thread of its own, so the window keeps painting and
// answering while bytes move. The worker owns its plan; it tells the receiver how far it got
// and that it has ended by posted events, and it is always joined.

#include "platform/FileOperations.h"

#include <QEvent>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

class QObject;

class TransferWorker {
public:
    // Posted while the work goes on, at most once per thousandth of the total.
    class ProgressEvent : public QEvent {
    public:
        ProgressEvent(std::uint64_t done, std::uint64_t total) : QEvent(type()), done(done), total(total) {}
        static QEvent::Type type();
        const std::uint64_t done;
        const std::uint64_t total;
    };
    // Posted once, when the work has ended; finish() then returns at once.
    static QEvent::Type finishedEventType();

    // Starts at once. `receiver` must outlive the worker.
    TransferWorker(FileOperations::TransferPlan plan, QObject* receiver);
    // Cancels unfinished work and joins the thread.
    ~TransferWorker();
    TransferWorker(const TransferWorker&) = delete;
    TransferWorker& operator=(const TransferWorker&) = delete;

    // Stops before the next chunk; the item in work is removed from the target.
    void cancel();
    // Whether the work ends within `timeout`.
    bool waitFor(std::chrono::milliseconds timeout);
    // Joins the thread and hands over the result.
    FileOperations::TransferResult finish();

private:
    void run();

    const FileOperations::TransferPlan m_plan;
    QObject* const m_receiver;
    std::atomic<bool> m_cancel{false};
    std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_done = false;                     // guarded by m_mutex
    FileOperations::TransferResult m_result; // written by the worker, read after the join
    std::thread m_thread;                    // last, so it starts once the rest is built
};
