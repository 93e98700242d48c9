#pragma once
// `StepDecoder`: the images the viewer's steps lead to, decoded off the window thread.
//
// A step that arrives while an earlier one is still decoding supersedes it: the earlier decode
// is abandoned, unless the screen has shown the same picture for `keepAfter` already, or it
// was started as the screen's next picture (a held key's step while none was on its way);
// then it is kept and may finish, so that a held key still shows images going by. Once a kept
// decode has run about half its time, a second may be kept, so the two cores take turns. A
// kept decode that ends after a later one is dropped: the screen never steps back. The newest
// target is decoded once, and at most two decodes run at once.
//
// The decodes run on two worker threads that live as long as the decoder: starting a thread
// per step cost the window thread up to a tenth of a second while other threads were faulting
// in the pages of large images. A decode hands over the image alone: the view shows it at once
// with its fast stretch and makes the smooth reduction itself, a band per turn.
//
// A job belongs to the window thread; a worker writes its result and then sets `finished` as
// the last thing it does with it, and posts `WM_STEP_DECODED`.
#include "viewer/PreloadSlot.h"

#include <QString>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class QObject;

struct StepTarget {
    int listIndex = -1;
    QString path;
    int page = 0;
};

struct SteppedImage {
    StepTarget target;
    PreloadedImage image;
    bool newest = false;  // the target of the last step; otherwise an earlier one kept to be shown
};

class StepDecoder {
public:
    using Clock = std::chrono::steady_clock;

    explicit StepDecoder(QObject* owner);
    StepDecoder(const StepDecoder&) = delete;
    StepDecoder& operator=(const StepDecoder&) = delete;
    ~StepDecoder();

    // Decodes `target`, superseding the decodes under way.
    void request(const StepTarget& target);
    // Supersedes the decodes under way without starting one (the newest target comes from
    // elsewhere, the look-ahead).
    void supersede();
    // The decodes that have finished (on `WM_STEP_DECODED`): kept earlier ones first, the
    // newest target's last. Abandoned ones are dropped.
    std::vector<SteppedImage> collect();
    // Waits for the newest target's decode, abandoning every other, and hands it over.
    std::optional<SteppedImage> finishNewest();
    // The burst of steps has ended (the held key is up): the newest target's decode starts at
    // once, and decodes kept to show pictures going by are abandoned.
    void endBurst();
    // Abandons every decode and waits until none is under way.
    void abandonAll();

    // A newest target has been asked for and not yet collected.
    bool pending() const { return m_newest != nullptr; }
    // A decode is still under way (or waiting for a worker).
    bool threadsRunning() const;
    // The files decoded to the end, in order of collection (for tests: "decoded once").
    const std::vector<QString>& completedDecodes() const { return m_completed; }
    void setKeepAfter(std::chrono::milliseconds keepAfter) { m_keepAfter = keepAfter; }

private:
    struct Job {
        StepTarget target;
        std::atomic<bool> abandon{false};
        std::atomic<bool> finished{false};
        bool kept = false;
        bool forScreen = false;  // started at once to be the screen's next picture
        Clock::time_point keptAt;  // when it was kept for the screen
        // A step within a burst (a held key) starts only after this, unless it is kept first:
        // most such targets are superseded by the next repeat before then, and a decode
        // never started leaves the processor to the one kept for the screen.
        Clock::time_point startAfter;
        std::atomic<bool> startNow{false};
        std::atomic<bool> lastOfBurst{false};
        PreloadedImage result;
    };

    // Whether a decode superseded now may go on to be shown: the first for the screen, or a
    // second once the first has run a while.
    bool mayKeep(Clock::time_point now, bool forScreen) const;
    void noteCompleted(const Job& job);
    void work();
    // Waits until every job has finished; jobs no worker has started finish as abandoned.
    void waitForAll();

    QObject* m_owner;
    std::vector<std::unique_ptr<Job>> m_jobs;
    Job* m_newest = nullptr;
    Clock::time_point m_screenSince;
    Clock::time_point m_lastRequest;
    // A held key repeats every 30 ms or so: from its first repeat after a new picture, one
    // decode is always under way for the screen, while steps sent at once (a burst of
    // wheel events) still keep none.
    std::chrono::milliseconds m_keepAfter{30};
    std::vector<QString> m_completed;

    std::mutex m_mutex;
    std::condition_variable m_wake;      // a job was queued, or the workers must stop
    std::condition_variable m_finished;  // a job finished
    std::deque<Job*> m_queue;
    std::vector<Job*> m_running;
    bool m_stopping = false;
    std::array<std::thread, 2> m_workers;
};
