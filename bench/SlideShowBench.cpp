// slideshow DIR: the next slide to its first paint on a 1920 x 1080 slide view, with the
// look-ahead finished and not finished (against djpeg); the paint of a fitted slide; the
// memory held while the show walks the folder.
#include "BenchCommands.h"
#include "BenchUtil.h"

#include "slideshow/CSlideView.h"
#include "viewer/ImageSequence.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

const QSize kScreen(1920, 1080);

bench::Stats timeWithSetup(int runs, const std::function<void()>& setup, const std::function<void()>& measured)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        setup();
        QElapsedTimer timer;
        timer.start();
        measured();
        ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    bench::Stats s;
    if (!ms.empty()) {
        s.minMs = ms.front();
        s.maxMs = ms.back();
        s.medianMs = ms.size() % 2 ? ms[ms.size() / 2] : (ms[ms.size() / 2 - 1] + ms[ms.size() / 2]) / 2;
    }
    return s;
}

}  // namespace

int runSlideShowBench(const QStringList& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: kelvra-bench slideshow DIR\n");
        return 2;
    }
    const FileListSequence sequence = FileListSequence::fromFolder(args.front());
    const int first = sequence.nextImage(-1);
    const int second = sequence.nextImage(first);
    if (second < 0) {
        std::fprintf(stderr, "slideshow: %s needs at least two images\n", qPrintable(args.front()));
        return 1;
    }
    const int runs = bench::runsFromEnv(7);
    CSlideView view;
    view.setSequence(&sequence);
    view.resize(kScreen);
    view.show();
    QCoreApplication::processEvents();
    QImage surface(kScreen, QImage::Format_RGB32);
    const auto paint = [&] { view.render(&surface); };

    bool ok = true;
    const bench::Stats ready = timeWithSetup(
        runs,
        [&] {
            view.OpenSlideAt(first);
            view.waitForPreload();
        },
        [&] {
            ok = ok && view.OpenSlideAt(second);
            paint();
        });
    const bench::Stats notReady = timeWithSetup(
        runs, [&] { view.OpenSlideAt(first); },
        [&] {
            ok = ok && view.OpenSlideAt(second);
            paint();
        });
    if (!ok) {
        std::fprintf(stderr, "slideshow: cannot open the images of %s\n", qPrintable(args.front()));
        return 1;
    }
    bench::printSingle(QStringLiteral("slideshow: next slide (look-ahead finished, with first paint)"), ready);
    const QString secondPath = sequence.itemAt(second)->targetPath;
    bench::Stats djpeg;
    if (bench::haveProgram(QStringLiteral("djpeg"))
        && bench::timeCommand(runs, QStringLiteral("djpeg"),
                              {QStringLiteral("-outfile"), QStringLiteral("/dev/null"), secondPath}, djpeg))
        bench::printComparison(QStringLiteral("slideshow: next slide (look-ahead not finished, with first paint)"),
                               notReady, QStringLiteral("djpeg"), djpeg);
    else
        bench::printSingle(QStringLiteral("slideshow: next slide (look-ahead not finished, with first paint)"), notReady);

    // The reduced copy exists once the slide has been painted; later paints reuse it.
    paint();
    bench::printSingle(QStringLiteral("slideshow: paint of the fitted slide"), bench::timeRuns(runs * 2, paint));

    // The whole folder as a show walks it, each slide painted once.
    view.OpenSlideAt(-1);
    view.waitForPreload();
    view.OpenSlideAt(-1);
    const double before = bench::statusMiB("VmRSS:");
    double peak = before;
    int shown = 0;
    for (int i = first; i >= 0; i = sequence.nextImage(i)) {
        view.OpenSlideAt(i);
        paint();
        QCoreApplication::processEvents();
        peak = std::max(peak, bench::statusMiB("VmRSS:"));
        ++shown;
    }
    std::printf("slideshow: memory over %d slides: resident peak +%.1f MiB above the empty view\n", shown,
                peak - before);
    return 0;
}
