#pragma once
// The thumbnail loader: one thread that makes thumbnails for the items the list asks for,
// newest request first, and posts each result to the list as a `ThumbnailReadyEvent`.
// It owns its queue; the records stay with the window thread, so painting can never meet a
// thumbnail being replaced. Idle means blocked on a condition variable, never polling.
// Each request is keyed by its record's path and modification time: a picture is never
// delivered for a file that changed since it was asked for.

#include "browser/ThumbnailMaker.h"

#include <QByteArray>
#include <QObject>
#include <QHash>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class ThumbnailLoader {
public:
    // A request names a record and the state of its file when the record was made; a result
    // is only delivered for that state.
    struct Request {
        QByteArray path;      // names the item (its record is looked up by it on arrival)
        QByteArray loadPath;  // what to read: a link's target, else the path itself
        std::int64_t mtimeNs = 0;  // the record's modification time; 0 when unknown
        std::uint64_t size = 0;    // the record's file size (compared when mtimeNs is known)
    };
    using Maker = std::function<ThumbnailResult(const QByteArray& path, int boxWidth, int boxHeight)>;

    ThumbnailLoader(QObject* receiver, Maker maker);
    ~ThumbnailLoader();
    ThumbnailLoader(const ThumbnailLoader&) = delete;
    ThumbnailLoader& operator=(const ThumbnailLoader&) = delete;

    // `QueueThumbnails`: the requests go to the head of the queue in their order, ahead of
    // older ones. A request already waiting unchanged is not queued twice; one for the same
    // path with another state or box replaces the waiting one. A request for the path being
    // made takes over its result when it asks for the same state and box, else supersedes it
    // (that result is then dropped).
    void queue(const std::vector<Request>& requests, int boxWidth, int boxHeight);
    // `ClearThumbnailQueue`: drops every waiting request; a thumbnail being made right now is
    // posted with the old generation, which the list ignores, unless it is asked for again.
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
        std::uint64_t generation = 0;  // the list's generation the result is for
        bool superseded = false;       // a newer request for the path came in while it was made
    };
    void run();
    // Makes the entry's picture from a file that stood still while it was read; nullopt when
    // the file no longer has the state the request names.
    std::optional<ThumbnailResult> make(const Entry& entry);

    QObject* m_receiver;
    Maker m_maker;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Entry> m_queue;
    QHash<QByteArray, std::uint64_t> m_waiting;  // path -> id of its waiting entry (not the one in work)
    std::uint64_t m_nextId = 1;
    std::uint64_t m_working = 0;  // id of the entry being made, 0 when none
    QByteArray m_workingPath;
    std::uint64_t m_generation = 0;
    bool m_stop = false;
    std::thread m_thread;
};
