#pragma once
// The threads of one export run. The dialog issues jobs by count ("go"); a thread takes the
// next issued image, converts it and posts an ExportImageDoneEvent to the receiver. With two
// threads the next image is converted while the first is written; the receiver puts the
// reports back in order. Stop wins over go: after stop no thread takes another image, the
// images in hand are finished, and the last thread to end posts ExportWorkerEndedEvent.

#include "ImageExport.h"

#include <QEvent>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class ExportNaming;
class QObject;

struct ExportJob {
    QStringList sources;
    QString folder;
    QString extension;  // of the chosen format, without the dot
    int maxSide = 0;    // 0 keeps the size
};

struct ExportImageResult {
    int index = -1;
    QString source;
    QString destination;
    ImageExport::Outcome outcome = ImageExport::Outcome::NotRead;
};

class ExportImageDoneEvent : public QEvent {
public:
    static constexpr QEvent::Type kType = static_cast<QEvent::Type>(QEvent::User + 116);
    explicit ExportImageDoneEvent(ExportImageResult result) : QEvent(kType), m_result(std::move(result)) {}
    const ExportImageResult& result() const { return m_result; }

private:
    ExportImageResult m_result;
};

class ExportWorkerEndedEvent : public QEvent {
public:
    static constexpr QEvent::Type kType = static_cast<QEvent::Type>(QEvent::User + 119);
    ExportWorkerEndedEvent() : QEvent(kType) {}
};

class ExportWorker {
public:
    ExportWorker(ExportJob job, QObject* receiver, int threadCount);
    // Stops and joins.
    ~ExportWorker();
    ExportWorker(const ExportWorker&) = delete;
    ExportWorker& operator=(const ExportWorker&) = delete;

    // Images 0 .. count-1 may be taken.
    void issueUpTo(int count);
    void requestStop();
    // Stops and waits for every thread to end.
    void join();

private:
    void run();

    const ExportJob m_job;
    QObject* const m_receiver;
    std::unique_ptr<ExportNaming> m_naming;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    int m_issued = 0;
    int m_next = 0;
    int m_running = 0;
    bool m_stop = false;
    std::vector<std::thread> m_threads;
};
