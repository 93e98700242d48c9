// step DIR: Next Image with the look-ahead finished and not finished, against djpeg; the memory
// held after 20 changes. paint FILE: paints of a 1920 x 1080 viewer and the cache build.
#include "BenchCommands.h"
#include "BenchUtil.h"

#include "imaging/fipSuperImage.h"
#include "viewer/CImageView.h"
#include "viewer/ImageSequence.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

using bench::statsOf;

const QSize kViewerSize(1920, 1080);

// Times `measured` after an untimed `setup`, `runs` times.
bench::Stats timeWithSetup(int runs, const std::function<void()>& setup, const std::function<void()>& measured)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        setup();
        QElapsedTimer timer;
        timer.start();
        measured();
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    return statsOf(ms);
}

struct BenchView {
    QTemporaryDir dir;
    std::unique_ptr<CImageView> view;
    QImage surface;
    BenchView()
    {
        view = std::make_unique<CImageView>(
            ViewerSettings{dir.filePath(QStringLiteral("Temp")), dir.filePath(QStringLiteral("Config.ini"))});
        view->setViewerModeActive(true);
        view->resize(kViewerSize);
        view->show();
        QCoreApplication::processEvents();
    }
    // One paint of the client area, as the window system's backing store would get it.
    void paint()
    {
        const QSize client = view->zoomGeometry().clientSize();
        if (surface.size() != client)
            surface = QImage(client, QImage::Format_RGB32);
        QPainter painter(&surface);
        view->renderTo(painter);
    }
};

}  // namespace

int runStepBench(const QStringList& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: kelvra-bench step DIR\n");
        return 2;
    }
    const FileListSequence sequence = FileListSequence::fromFolder(args.front());
    const int first = sequence.nextImage(-1);
    const int second = sequence.nextImage(first);
    if (second < 0) {
        std::fprintf(stderr, "step: %s needs at least two images\n", qPrintable(args.front()));
        return 1;
    }
    const int runs = bench::runsFromEnv(7);
    BenchView bv;
    bv.view->setSequence(&sequence);

    bool ok = true;
    const bench::Stats ready = timeWithSetup(
        runs,
        [&] {
            bv.view->OpenImageAt(first, 0);
            bv.view->waitForPreload();
        },
        [&] {
            ok = ok && bv.view->OpenImageAt(second, 0);
            bv.paint();
        });
    const bench::Stats notReady = timeWithSetup(
        runs, [&] { bv.view->OpenImageAt(first, 0); },
        [&] {
            ok = ok && bv.view->OpenImageAt(second, 0);
            bv.paint();
        });
    if (!ok) {
        std::fprintf(stderr, "step: cannot open the images of %s\n", qPrintable(args.front()));
        return 1;
    }
    bench::printSingle(QStringLiteral("step (look-ahead finished, with first paint)"), ready);
    const QString secondPath = sequence.itemAt(second)->targetPath;
    bench::Stats djpeg;
    if (bench::haveProgram(QStringLiteral("djpeg"))
        && bench::timeCommand(runs, QStringLiteral("djpeg"), {QStringLiteral("-outfile"), QStringLiteral("/dev/null"), secondPath},
                              djpeg))
        bench::printComparison(QStringLiteral("step (look-ahead not finished, with first paint)"), notReady,
                               QStringLiteral("djpeg"), djpeg);
    else
        bench::printSingle(QStringLiteral("step (look-ahead not finished, with first paint)"), notReady);

    // Memory: the image plus what 20 changes leave in the process (the history is on disk). A
    // list of one file, so no look-ahead image is counted.
    const FileListSequence single({sequence.itemAt(second)->targetPath});
    BenchView mv;
    mv.view->setSequence(&single);
    const double before = bench::statusMiB("VmRSS:");
    mv.view->OpenImageAt(0, 0);
    mv.paint();
    QCoreApplication::processEvents();  // the deferred drawing copy and reduction, as in use
    const double imageMiB = mv.view->image()->getDIBSize() / (1024.0 * 1024.0);
    const double opened = bench::statusMiB("VmRSS:");
    double peak = opened;
    for (int i = 0; i < 20; ++i) {
        mv.view->TakeUndoSnapshot();
        mv.view->image()->invert();
        mv.view->MarkChanged();
        mv.paint();
        QCoreApplication::processEvents();
        peak = std::max(peak, bench::statusMiB("VmRSS:"));
    }
    const_cast<UndoHistory&>(mv.view->undoHistory()).waitForWriter();
    const double settled = bench::statusMiB("VmRSS:");
    std::printf("memory: image %.1f MiB; resident +%.1f MiB once open and drawn, "
                "highest +%.1f MiB during 20 changes, +%.1f MiB after them with the last snapshot written\n",
                imageMiB, opened - before, peak - before, settled - before);
    return 0;
}

int runPaintBench(const QStringList& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: kelvra-bench paint FILE\n");
        return 2;
    }
    const FileListSequence sequence({args.front()});
    BenchView bv;
    bv.view->setSequence(&sequence);
    if (!bv.view->OpenImageAt(0, 0)) {
        std::fprintf(stderr, "paint: cannot open %s\n", qPrintable(args.front()));
        return 1;
    }
    const int runs = bench::runsFromEnv(15);
    bv.view->FitImage();
    const QSize imageSize = bv.view->zoomGeometry().imageSize();
    const QSize client = bv.view->zoomGeometry().clientSize();
    std::printf("paint: %d x %d image in a %d x %d client\n", imageSize.width(), imageSize.height(), client.width(),
                client.height());

    // The first paint after opening: neither the reduction nor the drawing copy exists yet.
    const bench::Stats first = timeWithSetup(runs, [&] { bv.view->RefreshAfterChange(); }, [&] { bv.paint(); });
    bench::printSingle(QStringLiteral("paint: fit, first paint after opening"), first);

    bv.view->buildDrawingCache();  // the drawing copy, made once per image
    const bench::Stats build = timeWithSetup(
        std::max(3, runs / 3), [&] { bv.view->DeleteDrawingCache(); }, [&] { bv.view->buildDrawingCache(); });
    bench::printSingle(QStringLiteral("paint: build the reduction cache at fit (%1%)")
                           .arg(bv.view->zoom() * 100, 0, 'f', 1),
                       build);

    bv.paint();
    const bench::Stats fit = bench::timeRuns(runs, [&] { bv.paint(); });
    bench::printSingle(QStringLiteral("paint: fit, cache built"), fit);

    bv.view->OnFixedZoomLevel(1.0);
    double x = 0, y = 0;
    const bench::Stats actual = bench::timeRuns(runs, [&] {
        x += 97;
        y += 53;
        bv.view->SetScrollPosition(x, y);
        bv.paint();
    });
    bench::printSingle(QStringLiteral("paint: 100% while panning"), actual);

    bv.view->OnFixedZoomLevel(3.0);
    const bench::Stats tripled = bench::timeRuns(runs, [&] {
        x += 97;
        y += 53;
        bv.view->SetScrollPosition(x, y);
        bv.paint();
    });
    bench::printSingle(QStringLiteral("paint: 300% while panning"), tripled);
    return 0;
}
