// hold DIR: Page Down held over a folder of photos, as a keyboard repeats it (a key every
// 30 ms for 2 s, posted from another thread whether or not the window thread keeps up, and
// released half a repeat after the last). Reports
// the longest the window thread was busy, how often a new picture was painted, and the time
// from the last key to the final image on screen, against djpeg of that file.
#include "BenchCommands.h"
#include "BenchUtil.h"

#include "viewer/CImageView.h"
#include "viewer/ImageSequence.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QInputDevice>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

namespace {

using bench::statsOf;

constexpr int kRepeatMs = 30;
constexpr int kHoldMs = 2000;

// Notes the paints of the viewport that show a picture not painted before.
class PaintWatch : public QObject {
public:
    PaintWatch(CImageView& view, const QElapsedTimer& clock) : m_view(view), m_clock(clock) {}
    std::vector<double> newPictureAt;  // ms on the clock
    std::vector<QString> pathAtPaint;
    std::uint64_t lastSerial = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && m_view.imageSerial() != lastSerial && m_view.hasImage()) {
            lastSerial = m_view.imageSerial();
            newPictureAt.push_back(m_clock.nsecsElapsed() / 1e6);
            pathAtPaint.push_back(m_view.stepPending() ? QString() : m_view.filePath());
        }
        return false;
    }

private:
    CImageView& m_view;
    const QElapsedTimer& m_clock;
};

struct HoldRun {
    double longestBusyMs = 0;
    double longestWithoutNewPictureMs = 0;
    int newPictures = 0;
    double lastKeyToFinalMs = -1;
    QString finalPath;
};

HoldRun holdOnce(CImageView& view, int first)
{
    view.OpenImageAt(first, 0);
    view.FitImage();
    view.waitForPreload();
    // The first image's paint and the smooth reduction it asks for happen before the clock.
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents();
    }

    QElapsedTimer clock;
    PaintWatch watch(view, clock);
    watch.lastSerial = view.imageSerial();
    view.viewport()->installEventFilter(&watch);
    // The window thread's gaps between 5 ms ticks: how long it was busy at a stretch.
    double lastTick = 0, longestGap = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const double now = clock.nsecsElapsed() / 1e6;
        longestGap = std::max(longestGap, now - lastTick);
        lastTick = now;
    });
    ticker.start(5);

    QInputDevice::primaryKeyboard();  // made here, on the window thread, not by the first key
    std::atomic<double> lastKeyAt{0};
    clock.start();
    std::thread keyboard([&] {
        const auto start = std::chrono::steady_clock::now();
        for (int t = 0, n = 0; t <= kHoldMs; t += kRepeatMs, ++n) {
            std::this_thread::sleep_until(start + std::chrono::milliseconds(t));
            lastKeyAt.store(clock.nsecsElapsed() / 1e6);
            QCoreApplication::postEvent(&view, new QKeyEvent(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier,
                                                             QString(), n > 0));
        }
        // The key comes up half a repeat after its last press.
        std::this_thread::sleep_until(start + std::chrono::milliseconds(kHoldMs / kRepeatMs * kRepeatMs + kRepeatMs / 2));
        QCoreApplication::postEvent(&view, new QKeyEvent(QEvent::KeyRelease, Qt::Key_PageDown, Qt::NoModifier));
    });
    // Keys, steps and paints until the last key's image is up, then half a second more so
    // that the work the final image brings (its smooth reduction) is counted too.
    double settledAt = -1;
    while (clock.elapsed() < kHoldMs + 20000) {
        // Waits for events as the program's own loop does (the 5 ms ticker wakes it): a loop
        // that polls would take a core from the decoders.
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        const bool keysDone = clock.elapsed() > kHoldMs + 100;
        if (settledAt < 0 && keysDone && !view.stepPending() && !watch.pathAtPaint.empty()
            && watch.pathAtPaint.back() == view.filePath())
            settledAt = clock.elapsed();
        if (settledAt >= 0 && clock.elapsed() > settledAt + 500)
            break;
    }
    keyboard.join();
    ticker.stop();
    view.viewport()->removeEventFilter(&watch);

    HoldRun run;
    run.longestBusyMs = longestGap;
    run.newPictures = static_cast<int>(watch.newPictureAt.size());
    run.finalPath = view.filePath();
    double previous = 0;
    for (std::size_t i = 0; i < watch.newPictureAt.size(); ++i) {
        run.longestWithoutNewPictureMs = std::max(run.longestWithoutNewPictureMs, watch.newPictureAt[i] - previous);
        previous = watch.newPictureAt[i];
        if (!watch.pathAtPaint[i].isEmpty() && watch.pathAtPaint[i] == run.finalPath)
            run.lastKeyToFinalMs = watch.newPictureAt[i] - lastKeyAt.load();
    }
    return run;
}

}  // namespace

int runHoldBench(const QStringList& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: kelvra-bench hold DIR\n");
        return 2;
    }
    const FileListSequence sequence = FileListSequence::fromFolder(args.front());
    const int first = sequence.nextImage(-1);
    if (first < 0) {
        std::fprintf(stderr, "hold: no images in %s\n", qPrintable(args.front()));
        return 1;
    }
    const int keys = kHoldMs / kRepeatMs + 1;
    if (sequence.itemCount() < keys + 1)
        std::fprintf(stderr, "hold: %d images; the last of the %d keys find no image left\n",
                     static_cast<int>(sequence.itemCount()), keys);
    QTemporaryDir dir;
    CImageView view(ViewerSettings{dir.filePath(QStringLiteral("Temp")), dir.filePath(QStringLiteral("Config.ini"))});
    view.setViewerModeActive(true);
    view.resize(1920, 1080);
    view.show();
    view.setSequence(&sequence);
    QCoreApplication::processEvents();

    const int runs = bench::runsFromEnv(3);
    std::vector<double> busy, stale, lastKey, pictures;
    QString finalPath;
    for (int i = 0; i < runs; ++i) {
        const HoldRun run = holdOnce(view, first);
        busy.push_back(run.longestBusyMs);
        stale.push_back(run.longestWithoutNewPictureMs);
        lastKey.push_back(run.lastKeyToFinalMs);
        pictures.push_back(run.newPictures);
        finalPath = run.finalPath;
    }
    const bench::Stats p = statsOf(pictures);
    std::printf("hold: %d keys %d ms apart over %s; final image %s; new pictures painted per hold: median %.0f "
                "(%.0f..%.0f)\n",
                keys, kRepeatMs, qPrintable(args.front()), qPrintable(finalPath), p.medianMs, p.minMs, p.maxMs);
    bench::printSingle(QStringLiteral("hold: longest window-thread busy stretch (goal <= 50 ms)"), statsOf(busy));
    bench::printSingle(QStringLiteral("hold: longest time without a new picture (goal <= 250 ms)"), statsOf(stale));
    bench::Stats djpeg;
    if (bench::haveProgram(QStringLiteral("djpeg"))
        && bench::timeCommand(runs, QStringLiteral("djpeg"), {QStringLiteral("-outfile"), QStringLiteral("/dev/null"), finalPath},
                              djpeg))
        bench::printComparison(QStringLiteral("hold: last key to final image painted (goal <= 1.2)"), statsOf(lastKey),
                               QStringLiteral("djpeg"), djpeg);
    else
        bench::printSingle(QStringLiteral("hold: last key to final image painted"), statsOf(lastKey));
    return 0;
}
