#include "BenchUtil.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace bench {

Stats statsOf(std::vector<double> samples)
{
    Stats s;
    if (samples.empty())
        return s;
    std::sort(samples.begin(), samples.end());
    s.minMs = samples.front();
    s.maxMs = samples.back();
    const size_t n = samples.size();
    s.medianMs = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2.0;
    return s;
}

namespace {

double msSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

}  // namespace

Stats timeRuns(int runs, const std::function<void()>& fn, bool warmUp)
{
    if (warmUp)
        fn();
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        fn();
        samples.push_back(msSince(start));
    }
    return statsOf(std::move(samples));
}

bool timeCommand(int runs, const QString& program, const QStringList& args, Stats& out)
{
    std::vector<double> samples;
    for (int i = 0; i <= runs; ++i) {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.setStandardOutputFile(QProcess::nullDevice());
        const auto start = std::chrono::steady_clock::now();
        process.start(program, args);
        if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit
            || process.exitCode() != 0)
            return false;
        if (i > 0)  // the first run warms the page cache
            samples.push_back(msSince(start));
    }
    out = statsOf(std::move(samples));
    return true;
}

bool haveProgram(const QString& program)
{
    return !QStandardPaths::findExecutable(program).isEmpty();
}

void printComparison(const QString& name, const Stats& ours, const QString& anchorName,
                     const Stats& anchor)
{
    const double ratio = anchor.medianMs > 0 ? ours.medianMs / anchor.medianMs : 0.0;
    std::printf("%s: ours median %.2f ms (%.2f..%.2f), %s median %.2f ms (%.2f..%.2f), ratio %.3f\n",
                qPrintable(name), ours.medianMs, ours.minMs, ours.maxMs, qPrintable(anchorName),
                anchor.medianMs, anchor.minMs, anchor.maxMs, ratio);
    std::fflush(stdout);
}

void printSingle(const QString& name, const Stats& ours)
{
    std::printf("%s: median %.2f ms (%.2f..%.2f)\n", qPrintable(name), ours.medianMs, ours.minMs,
                ours.maxMs);
    std::fflush(stdout);
}

int runsFromEnv(int fallback)
{
    const int runs = qEnvironmentVariableIntValue("KELVRA_BENCH_RUNS");
    return runs > 0 ? runs : fallback;
}

double statusMiB(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').front().toDouble() / 1024.0;
    return 0;
}

void resetPeakMemory()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

}  // namespace bench
