#pragma once
// The thumbnail loader: one thread that makes thumbnails for the items the list asks for,
// newest request first, and posts each result to the list as a `ThumbnailReadyEvent`.
// It owns its queue; the records stay with the window thread, so painting can never meet a
// thumbnail being replaced. Idle means blocked on a condition variable, never polling.

#include "browser/ThumbnailMaker.h"

#include <QByteArray>
#include <QObject>
#include <QSet>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class ThumbnailLoader {
public:
    struct Request {
        QByteArray path;      // names the item (its record is looked up by it on arrival)
        QByteArray loadPath;  // what to read: a link's target, else the path itself
    };
    using Maker = std::function<ThumbnailResult(const QByteArray& path, int boxWidth, int boxHeight)>;

    ThumbnailLoader(QObject* receiver, Maker maker);
    ~ThumbnailLoader();
    ThumbnailLoader(const ThumbnailLoader&) = delete;
    ThumbnailLoader& operator=(const ThumbnailLoader&) = delete;

    // `QueueThumbnails`: the requests go to the head of the queue in their order, ahead of
    // older ones; paths already waiting are not queued twice.
    void queue(const std::vector<Request>& requests, int boxWidth, int boxHeight);
    // `ClearThumbnailQueue`: drops every waiting request; a thumbnail being made right now is
    // posted with the old generation, which the list ignores.
    void clear();
    std::uint64_t generation() const;
    // The waiting paths, head first (the one being made included while it is made).
    std::vector<QByteArray> pendingPaths() const;
    bool idle() const;

private:
    struct Entry {
        Request request;
        int boxWidth = 0;
        int boxHeight = 0;
        std::uint64_t id = 0;
    };
    void run();

    QObject* m_receiver;
    Maker m_maker;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Entry> m_queue;
    QSet<QByteArray> m_queuedPaths;  // the paths in m_queue, for refusing duplicates quickly
    std::uint64_t m_nextId = 1;
    std::uint64_t m_working = 0;  // id of the entry being made, 0 when none
    std::uint64_t m_generation = 0;
    bool m_stop = false;
    std::thread m_thread;
};
