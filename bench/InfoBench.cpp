// info FILE: the information panels on a camera JPEG. The histogram panel from a focus change
// to its finished counts (no stored thumbnail, against `djpeg -scale 1/8` of the same file;
// then with a stored EXIF thumbnail and with a freedesktop cache entry), the EXIF strip's
// reading and texts, a held arrow key over 1,000 photos, and the viewer histogram's first
// paint with three channels and a repaint without a change.
#include "BenchCommands.h"
#include "BenchUtil.h"

#include "TestFixtures.h"

#include "browser/ThumbnailMaker.h"
#include "imaging/fipSuperImage.h"
#include "info/CDlgHistogram.h"
#include "info/CHistogramWnd.h"
#include "info/CImagePreviewView.h"
#include "info/ExifTexts.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <exiv2/exiv2.hpp>

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using bench::statsOf;

bool waitForCounts(const CHistogramWnd& panel)
{
    QElapsedTimer timer;
    timer.start();
    // Sleeps until the next event, so the waiting takes no core from the worker.
    while (panel.workerRunning() || panel.data().maxima[histogram::Red] == 0) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (timer.elapsed() > 30000)
            return false;
    }
    return true;
}

// A new modification time, so no cache entry matches the file.
void touch(const QString& path, int seconds)
{
    const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
}

// A camera's usual tags on the copy, as a photo straight from a camera carries them.
bool addCameraTags(const QString& path)
{
    try {
        auto image = Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString());
        image->readMetadata();
        Exiv2::ExifData& exif = image->exifData();
        exif["Exif.Image.Make"] = "Kestrel";
        exif["Exif.Image.Model"] = "K-100";
        exif["Exif.Photo.ExposureTime"] = "10/2500";
        exif["Exif.Photo.FNumber"] = "28/10";
        exif["Exif.Photo.ExposureProgram"] = "3";
        exif["Exif.Photo.ISOSpeedRatings"] = "400";
        exif["Exif.Photo.ExposureBiasValue"] = "-2/3";
        exif["Exif.Photo.FocalLength"] = "500/10";
        image->writeMetadata();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

int runInfoBench(const QStringList& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: kelvra-bench info FILE\n");
        return 2;
    }
    const int runs = bench::runsFromEnv(9);
    QTemporaryDir dir;
    // The freedesktop cache of this run only, so the first figures meet no entry.
    qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.filePath("cache")));
    const QString photo = dir.filePath("photo.jpg");
    if (!QFile::copy(args.front(), photo) || !addCameraTags(photo)) {
        std::fprintf(stderr, "info: cannot copy %s\n", qPrintable(args.front()));
        return 1;
    }

    // ---- Histogram panel -------------------------------------------------------------
    CHistogramWnd panel({});
    panel.resize(200, 110);
    bool ok = true;
    int stamp = 1000000000;
    const auto focusOn = [&](const QString& path) {
        panel.SetPath(QString());
        QCoreApplication::processEvents();
        panel.SetPath(path);
        ok = ok && waitForCounts(panel);
    };
    // Ours and djpeg take turns, so load from elsewhere on the machine falls on both alike.
    const QStringList djpegArgs = {QStringLiteral("-scale"), QStringLiteral("1/8"), QStringLiteral("-outfile"),
                                   QStringLiteral("/dev/null"), photo};
    const bool haveDjpeg = bench::haveProgram(QStringLiteral("djpeg"));
    std::vector<double> oursMs, djpegMs;
    for (int i = 0; i <= runs; ++i) {
        touch(photo, ++stamp);
        QElapsedTimer timer;
        timer.start();
        focusOn(photo);
        const double ms = timer.nsecsElapsed() / 1e6;
        bench::Stats anchor;
        if (haveDjpeg && !bench::timeCommand(1, QStringLiteral("djpeg"), djpegArgs, anchor))
            ok = false;
        if (i == 0)
            continue;  // warm-up
        oursMs.push_back(ms);
        djpegMs.push_back(anchor.medianMs);
    }
    const bench::Stats cold = statsOf(oursMs);
    if (haveDjpeg)
        bench::printComparison(QStringLiteral("histogram panel, no stored thumbnail"), cold,
                               QStringLiteral("djpeg -scale 1/8 (taking turns)"), statsOf(djpegMs));
    else
        bench::printSingle(QStringLiteral("histogram panel, no stored thumbnail"), cold);

    // The entry the thumbnail list's loader leaves for a large cell.
    if (!MakeThumbnail(QFile::encodeName(photo), 200, 200).ok())
        ok = false;
    const bench::Stats cached = bench::timeRuns(runs, [&] { focusOn(photo); });
    bench::printSingle(QStringLiteral("histogram panel, freedesktop cache entry"), cached);

    const QString withPreview = dir.filePath("preview.jpg");
    {
        QImage small(160, 120, QImage::Format_RGB32);
        small.fill(Qt::darkGreen);
        const QString smallPath = dir.filePath("small.jpg");
        small.save(smallPath, "JPEG", 90);
        fixtures::writeFile(withPreview, fixtures::withExifThumbnail(fixtures::readFile(photo),
                                                                     fixtures::readFile(smallPath)));
    }
    const bench::Stats preview = bench::timeRuns(runs, [&] {
        touch(withPreview, ++stamp);
        focusOn(withPreview);
    });
    bench::printSingle(QStringLiteral("histogram panel, stored EXIF thumbnail"), preview);

    // ---- EXIF strip ------------------------------------------------------------------
    const bench::Stats exif = bench::timeRuns(std::max(runs, 50), [&] {
        ok = ok && !exiftext::forFile(photo).isEmpty();
    });
    bench::printSingle(QStringLiteral("EXIF strip, Load + eight texts"), exif);

    // ---- A held arrow key over 1,000 photos --------------------------------------------
    {
        CImagePreviewView pane({});
        pane.resize(200, 200);
        std::vector<double> perKey;
        QElapsedTimer all;
        all.start();
        for (int i = 0; i < 1000; ++i) {
            QElapsedTimer key;
            key.start();
            pane.SetFocusedPath(i % 2 ? photo : withPreview);
            QCoreApplication::processEvents();  // the start, and any finished run
            perKey.push_back(key.nsecsElapsed() / 1e6);
            // Keys repeat every 30 ms; the window thread is free in between.
            QEventLoop idle;
            QTimer::singleShot(std::max<qint64>(0, 30 - key.elapsed()), &idle, &QEventLoop::quit);
            idle.exec();
        }
        const double held = all.elapsed();
        QElapsedTimer settle;
        settle.start();
        ok = ok && waitForCounts(*pane.histogram());
        std::sort(perKey.begin(), perKey.end());
        std::printf("held key over 1,000 photos: window thread per key median %.2f ms, max %.2f ms; %.0f ms for "
                    "the keys; last histogram %.1f ms after the last key\n",
                    perKey[perKey.size() / 2], perKey.back(), held, settle.nsecsElapsed() / 1e6);
    }

    // ---- Viewer histogram --------------------------------------------------------------
    fipSuperImage image;
    if (!image.load(photo)) {
        std::fprintf(stderr, "info: cannot load %s\n", qPrintable(photo));
        return 1;
    }
    CDlgHistogram dialog([&]() -> const fipSuperImage* { return &image; });
    dialog.resize(300, 200);
    CWndHistogram* window = dialog.histogramWindow();
    QImage target(window->size(), QImage::Format_RGB32);
    const bench::Stats first = bench::timeRuns(runs, [&] {
        window->Reset();
        window->render(&target);
    });
    bench::printSingle(QStringLiteral("viewer histogram, first paint, three channels"), first);
    const bench::Stats again = bench::timeRuns(std::max(runs, 50), [&] { window->render(&target); });
    bench::printSingle(QStringLiteral("viewer histogram, repaint without a change"), again);

    if (!ok) {
        std::fprintf(stderr, "info: a measurement failed\n");
        return 1;
    }
    return 0;
}
