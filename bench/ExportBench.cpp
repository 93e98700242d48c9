// Batch export against vipsthumbnail: 800-pixel PNG and JPEG copies of a folder of photos,
// first with everything on one core, then with both cores (our two export threads against two
// vipsthumbnail processes, each given half of the files).
#include "BenchCommands.h"
#include "BenchUtil.h"

#include "export/ExportWorker.h"
#include "imaging/fipSuperImage.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QTemporaryDir>

#include <sched.h>

#include <cstdio>

namespace {

// Counts the reports and issues the next image as the progress dialog does.
class Counter : public QObject {
public:
    Counter(int count, int threads, QEventLoop& loop) : m_count(count), m_threads(threads), m_loop(loop) {}
    ExportWorker* worker = nullptr;
    int written = 0;

protected:
    void customEvent(QEvent* event) override
    {
        if (event->type() != ExportImageDoneEvent::kType)
            return;
        if (static_cast<ExportImageDoneEvent*>(event)->result().outcome == ImageExport::Outcome::Written)
            ++written;
        if (++m_done >= m_count)
            m_loop.quit();
        else
            worker->issueUpTo(m_done + m_threads);
    }

private:
    int m_done = 0;
    const int m_count;
    const int m_threads;
    QEventLoop& m_loop;
};

int exportAll(const QStringList& files, const QString& folder, const QString& extension, int side, int threads)
{
    QEventLoop loop;
    Counter counter(static_cast<int>(files.size()), threads, loop);
    ExportWorker worker(ExportJob{files, folder, extension, side}, &counter, threads);
    counter.worker = &worker;
    worker.issueUpTo(threads);
    loop.exec();
    return counter.written;
}

bool pinToCores(int count)
{
    cpu_set_t set;
    CPU_ZERO(&set);
    for (int i = 0; i < count; ++i)
        CPU_SET(i, &set);
    return ::sched_setaffinity(0, sizeof(set), &set) == 0;
}

void clearFolder(const QString& path)
{
    QDir dir(path);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden))
        dir.remove(name);
}

}  // namespace

int runExportBench(const QStringList& args)
{
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: kelvra-bench export DIR [--size N]\n");
        return 2;
    }
    int side = 800;
    const int sizeAt = static_cast<int>(args.indexOf(QStringLiteral("--size")));
    if (sizeAt >= 0 && sizeAt + 1 < args.size())
        side = args[sizeAt + 1].toInt();
    QStringList files;
    for (const QFileInfo& info : QDir(args[0]).entryInfoList(QDir::Files, QDir::Name))
        if (fipSuperImage::isImageExtension(info.suffix()))
            files << info.absoluteFilePath();
    if (files.isEmpty() || side <= 0) {
        std::fprintf(stderr, "export: no images in %s\n", qPrintable(args[0]));
        return 2;
    }
    if (!bench::haveProgram(QStringLiteral("vipsthumbnail")) || !bench::haveProgram(QStringLiteral("taskset"))) {
        std::fprintf(stderr, "export: vipsthumbnail and taskset are needed for the anchor\n");
        return 2;
    }
    const int runs = bench::runsFromEnv(3);
    const qsizetype half = files.size() / 2;
    const QString fileList = QStringLiteral("'") + files.join(QStringLiteral("' '")) + QStringLiteral("'");
    const QString firstHalf = QStringLiteral("'") + files.mid(0, half).join(QStringLiteral("' '")) + QStringLiteral("'");
    const QString secondHalf = QStringLiteral("'") + files.mid(half).join(QStringLiteral("' '")) + QStringLiteral("'");

    for (const QString extension : {QStringLiteral("png"), QStringLiteral("jpg")}) {
        for (const int cores : {1, 2}) {
            QTemporaryDir ours, theirs;
            if (!pinToCores(cores)) {
                std::fprintf(stderr, "export: cannot choose the cores\n");
                return 1;
            }
            int written = 0;
            const bench::Stats oursStats = bench::timeRuns(runs, [&] {
                clearFolder(ours.path());
                written = exportAll(files, ours.path(), extension, side, cores);
            });
            pinToCores(2);
            // vipsthumbnail's own thread pool is held to one thread per process, so one process
            // uses one core; the first run of timeCommand warms the page cache.
            const QString output = QStringLiteral(" --size %1 -o '%2/%s.%3' ").arg(side).arg(theirs.path(), extension);
            const QString vips = QStringLiteral("VIPS_CONCURRENCY=1 taskset -c %1 vipsthumbnail") + output;
            const QString command = cores == 1 ? vips.arg(0) + fileList
                                               : vips.arg(0) + firstHalf + QStringLiteral(" & ") + vips.arg(1) + secondHalf
                                                     + QStringLiteral(" & wait");
            bench::Stats anchor;
            if (!bench::timeCommand(runs, QStringLiteral("sh"), {QStringLiteral("-c"), command}, anchor)) {
                std::fprintf(stderr, "export: vipsthumbnail failed\n");
                return 1;
            }
            const QString name = QStringLiteral("export %1 files to %2-pixel %3 on %4 core(s)")
                                     .arg(files.size()).arg(side).arg(extension.toUpper()).arg(cores);
            bench::printComparison(name, oursStats, QStringLiteral("vipsthumbnail"), anchor);
            const double oursPerSecond = written * 1000.0 / std::max(oursStats.medianMs, 1e-6);
            const double vipsPerSecond = files.size() * 1000.0 / std::max(anchor.medianMs, 1e-6);
            std::printf("  ours %.2f images/s (%d of %d written), vipsthumbnail %.2f images/s, throughput ratio %.3f\n",
                        oursPerSecond, written, static_cast<int>(files.size()), vipsPerSecond,
                        oursPerSecond / vipsPerSecond);
            std::fflush(stdout);
        }
    }
    return 0;
}
