#pragma once
// Timing helpers shared by the benchmark commands: medians over repeated runs, whole-process
// timings of anchor tools, and the one-line report format.
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace bench {

struct Stats {
    double minMs = 0;
    double medianMs = 0;
    double maxMs = 0;
};

// Minimum, median and maximum of samples in milliseconds (all zero for none).
Stats statsOf(std::vector<double> samples);
// Runs `fn` `runs` times (after one untimed warm-up) and returns its wall-clock figures.
Stats timeRuns(int runs, const std::function<void()>& fn, bool warmUp = true);
// Times a whole external process; returns false when it cannot be started or fails.
bool timeCommand(int runs, const QString& program, const QStringList& args, Stats& out);
bool haveProgram(const QString& program);
// "NAME: ours median X ms (min..max), ANCHOR median Y ms, ratio R"
void printComparison(const QString& name, const Stats& ours, const QString& anchorName,
                     const Stats& anchor);
void printSingle(const QString& name, const Stats& ours);
int runsFromEnv(int fallback);  // KELVRA_BENCH_RUNS overrides the number of runs

// A size line of /proc/self/status ("VmRSS:", "VmHWM:") in MiB; 0 when unreadable.
double statusMiB(const char* key);
// Lets the peak resident size (VmHWM) start again from the current size.
void resetPeakMemory();
}  // namespace bench
