// Benchmarks of the browser list: thumbnails per second against vipsthumbnail, and the time
// from browsing a folder to a filled, sorted list against ls -l.
#include "BenchCommands.h"
#include "BenchUtil.h"

#include "app/ProfileFile.h"
#include "browser/CImageListCtrl.h"
#include "browser/FolderItemList.h"
#include "browser/ThumbSettings.h"
#include "browser/ThumbnailMaker.h"
#include "imaging/fipSuperImage.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

namespace {

QStringList imageFiles(const QString& dir)
{
    QStringList out;
    const auto entries = QDir(dir).entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo& info : entries) {
        if (fipSuperImage::isImageExtension(info.suffix()))
            out << info.absoluteFilePath();
    }
    return out;
}

double peakRssMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

}  // namespace

int runThumbsBench(const QStringList& args)
{
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: kelvra-bench thumbs DIR [--size N]\n");
        return 2;
    }
    const QString dir = args[0];
    int size = 85;
    const int sizeAt = static_cast<int>(args.indexOf(QStringLiteral("--size")));
    if (sizeAt >= 0 && sizeAt + 1 < args.size())
        size = args[sizeAt + 1].toInt();
    const QStringList files = imageFiles(dir);
    if (files.isEmpty() || size <= 0) {
        std::fprintf(stderr, "thumbs: no images in %s\n", qPrintable(dir));
        return 2;
    }
    const int runs = bench::runsFromEnv(3);
    int made = 0;
    const bench::Stats ours = bench::timeRuns(runs, [&] {
        made = 0;
        for (const QString& file : files)
            made += MakeThumbnail(QFile::encodeName(file), size, size, ThumbnailOptions{false}).ok() ? 1 : 0;
    });
    QTemporaryDir out;
    QStringList vipsArgs = {QStringLiteral("--size"), QString::number(size), QStringLiteral("-o"),
                            out.path() + QStringLiteral("/%s.png")};
    vipsArgs += files;
    bench::Stats anchor;
    if (!bench::timeCommand(runs, QStringLiteral("vipsthumbnail"), vipsArgs, anchor)) {
        std::fprintf(stderr, "thumbs: vipsthumbnail failed\n");
        bench::printSingle(QStringLiteral("thumbs"), ours);
        return 1;
    }
    bench::printComparison(QStringLiteral("thumbs %1 files --size %2").arg(files.size()).arg(size), ours,
                           QStringLiteral("vipsthumbnail"), anchor);
    const double oursPerSecond = made * 1000.0 / std::max(ours.medianMs, 1e-6);
    const double vipsPerSecond = files.size() * 1000.0 / std::max(anchor.medianMs, 1e-6);
    std::printf("thumbs: ours %.1f thumbnails/s (%d of %d made), vipsthumbnail %.1f/s, throughput ratio %.3f\n",
                oursPerSecond, made, static_cast<int>(files.size()), vipsPerSecond, oursPerSecond / vipsPerSecond);

    // The decoding floor: djpeg's own 1/8 scaling of each JPEG, a process per file.
    QStringList jpegs;
    for (const QString& file : files)
        if (file.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive) || file.endsWith(QLatin1String(".jpeg"), Qt::CaseInsensitive))
            jpegs << file;
    bench::Stats floor;
    if (jpegs.isEmpty() || !bench::haveProgram(QStringLiteral("djpeg")))
        return 0;
    const bench::Stats oursJpegs = bench::timeRuns(runs, [&] {
        for (const QString& file : jpegs)
            MakeThumbnail(QFile::encodeName(file), size, size, ThumbnailOptions{false});
    });
    const QString loop = QStringLiteral("for f in \"$@\"; do djpeg -scale 1/8 -outfile /dev/null \"$f\" || exit 1; done");
    if (bench::timeCommand(runs, QStringLiteral("sh"), QStringList{QStringLiteral("-c"), loop, QStringLiteral("sh")} + jpegs,
                           floor))
        bench::printComparison(QStringLiteral("thumbs %1 JPEGs --size %2").arg(jpegs.size()).arg(size), oursJpegs,
                               QStringLiteral("djpeg -scale 1/8 on each"), floor);
    return 0;
}

int runBrowseBench(const QStringList& args)
{
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: kelvra-bench browse DIR [--all-thumbs [--size N]]\n");
        return 2;
    }
    const QString dir = QDir(args[0]).absolutePath();
    const int runs = bench::runsFromEnv(5);
    int size = 85;
    const int sizeAt = static_cast<int>(args.indexOf(QStringLiteral("--size")));
    if (sizeAt >= 0 && sizeAt + 1 < args.size())
        size = args[sizeAt + 1].toInt();

    QTemporaryDir settings;
    ProfileFile(settings.filePath(QStringLiteral("Config.ini")))
        .writeInt(QStringLiteral("Thumb"), QStringLiteral("ThumbSizeWidth"), size);
    ProfileFile(settings.filePath(QStringLiteral("Config.ini")))
        .writeInt(QStringLiteral("Thumb"), QStringLiteral("ThumbSizeHeight"), size);
    CImageListCtrl::Options options;
    options.settingsPath = settings.filePath(QStringLiteral("Config.ini"));
    options.useThumbnailCache = false;
    CImageListCtrl list(options);
    list.resize(1000, 700);

    const bench::Stats ours = bench::timeRuns(runs, [&] { list.BrowseToPath(dir); });
    const int count = list.GetItemCount();
    bench::Stats anchor;
    const QString shellCommand = QStringLiteral("ls -l '%1' > /dev/null").arg(dir);
    if (bench::timeCommand(runs, QStringLiteral("sh"), {QStringLiteral("-c"), shellCommand}, anchor))
        bench::printComparison(QStringLiteral("browse %1 items").arg(count), ours, QStringLiteral("ls -l"), anchor);
    else
        bench::printSingle(QStringLiteral("browse %1 items").arg(count), ours);

    if (!args.contains(QStringLiteral("--all-thumbs")))
        return 0;

    // Every thumbnail of the folder through the list's own loader and events, with the list
    // shown; then the peak memory and the longest time the window thread was kept busy.
    list.show();
    // The window's first showing (mapping, layout, first paint) is not thumbnail loading.
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    QElapsedTimer clock;
    clock.start();
    qint64 lastTick = 0;
    qint64 longestGap = 0;
    qint64 longestGapAt = 0;
    int gapsOver30 = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (now - lastTick > longestGap) {
            longestGap = now - lastTick;
            longestGapAt = now;
        }
        gapsOver30 += now - lastTick > 30000000 ? 1 : 0;
        lastTick = now;
        if (list.thumbnailsIdle())
            QCoreApplication::exit(0);
    });
    ticker.start(5);
    list.QueueThumbnails(0, count - 1);
    lastTick = clock.nsecsElapsed();
    QCoreApplication::exec();
    int made = 0;
    for (const FolderItem& item : list.items().records())
        made += item.thumbnail.isValid() ? 1 : 0;
    std::printf("browse --all-thumbs: %d thumbnails in %.1f s, peak memory %.1f MiB, longest window-thread gap %.1f ms "
                "at %.2f s, %d gaps over 30 ms (5 ms timer)\n",
                made, clock.elapsed() / 1000.0, peakRssMiB(), longestGap / 1e6, longestGapAt / 1e9, gapsOver30);
    return 0;
}
