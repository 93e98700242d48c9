#pragma once
// `StepDecoder`: the images the viewer's steps lead to, decoded off the window thread.
//
// A step that arrives while an earlier one is still decoding supersedes it: the earlier decode
// is abandoned, unless the screen has shown the same picture for `keepAfter` already; then it
// may finish, so that a held key still shows images going by, while the newest target decodes
// beside it. So at most two decodes run at once, and the newest target is decoded once.
//
// Each decode runs on a thread of its own, which owns its result until it has finished and
// posted `WM_STEP_DECODED` to the owner; the window thread joins it in `collect`.
#include "viewer/PreloadSlot.h"

#include <QString>

#include <atomic>
#include <chrono>
#include <memory>
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
    // Abandons every decode and waits for their threads.
    void abandonAll();

    // A newest target has been asked for and not yet collected.
    bool pending() const { return m_newest != nullptr; }
    bool threadsRunning() const { return !m_jobs.empty(); }
    // The files decoded to the end, in order of collection (for tests: "decoded once").
    const std::vector<QString>& completedDecodes() const { return m_completed; }
    void setKeepAfter(std::chrono::milliseconds keepAfter) { m_keepAfter = keepAfter; }

private:
    struct Job {
        StepTarget target;
        std::atomic<bool> abandon{false};
        std::atomic<bool> finished{false};
        bool kept = false;
        PreloadedImage result;
        std::thread thread;
    };

    void noteCompleted(const Job& job);

    QObject* m_owner;
    std::vector<std::unique_ptr<Job>> m_jobs;
    Job* m_newest = nullptr;
    Clock::time_point m_screenSince;
    // A held key repeats every 30 ms or so; a decode allowed to finish after this much still
    // puts a new picture up within about a quarter of a second.
    std::chrono::milliseconds m_keepAfter{100};
    std::vector<QString> m_completed;
};
