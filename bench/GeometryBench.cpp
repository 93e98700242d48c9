// geometry FILE: the Image menu's resize, custom rotation and colour depth on a photo against
// vips on the same pixels, and the Tools menu's lossless turn against jpegtran.
// vips runs as a process on its own uncompressed .v copy of the photo (memory-mapped, so its
// load and save cost little) with as many threads as our resampling; our code runs in memory;
// "vips copy" of the same file gives the process and I/O overhead in the anchor.
#include "BenchCommands.h"
#include "BenchUtil.h"

#include "imaging/fipSuperImage.h"
#include "imaging/geometry/JpegLossless.h"
#include "imaging/geometry/Resample.h"
#include "imaging/geometry/Rotate.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <thread>

namespace {

bool vips(const QStringList& args)
{
    return QProcess::execute(QStringLiteral("vips"), args) == 0;
}

void compare(const QString& name, int runs, const std::function<void()>& ours, const QStringList& vipsArgs)
{
    const bench::Stats mine = bench::timeRuns(runs, ours);
    bench::Stats anchor;
    if (!bench::timeCommand(runs, QStringLiteral("vips"), vipsArgs, anchor)) {
        bench::printSingle(name, mine);
        return;
    }
    bench::printComparison(name, mine, QStringLiteral("vips ") + vipsArgs.front(), anchor);
}

}  // namespace

int runGeometryBench(const QStringList& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: kelvra-bench geometry FILE.jpg\n");
        return 2;
    }
    const QString file = args.front();
    fipSuperImage photo;
    if (!photo.load(file)) {
        std::fprintf(stderr, "geometry: cannot load %s\n", qPrintable(file));
        return 1;
    }
    const int runs = bench::runsFromEnv(5);
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.v"));
    const QString out = dir.filePath(QStringLiteral("out.v"));
    // vips gets as many threads as our resampling uses.
    qputenv("VIPS_CONCURRENCY", QByteArray::number(std::clamp(std::thread::hardware_concurrency(), 1u, 8u)));
    const bool haveVips = bench::haveProgram(QStringLiteral("vips")) && vips({QStringLiteral("copy"), file, in});
    if (haveVips) {
        bench::Stats overhead;
        if (bench::timeCommand(runs, QStringLiteral("vips"), {QStringLiteral("copy"), in, out}, overhead))
            bench::printSingle(QStringLiteral("vips copy (process and I/O overhead of the anchor)"), overhead);
    }

    struct Filter { const char* name; FREE_IMAGE_FILTER filter; const char* kernel; };
    const Filter filters[] = {{"bilinear", FILTER_BILINEAR, "linear"},
                              {"bicubic", FILTER_BICUBIC, "cubic"},
                              {"lanczos", FILTER_LANCZOS3, "lanczos3"}};
    for (const double scale : {0.5, 1.5}) {
        for (const Filter& f : filters) {
            const auto w = unsigned(photo.getWidth() * scale), h = unsigned(photo.getHeight() * scale);
            const QString name = QStringLiteral("resize %1% %2").arg(scale * 100).arg(QLatin1String(f.name));
            // As the Resize command does: our reduction, the library's enlargement.
            const auto ours = [&] {
                fipImage resized;
                if (!Resample::rescale(photo, resized, w, h, f.filter)) {
                    resized = photo;
                    resized.rescale(w, h, f.filter);
                }
            };
            if (haveVips)
                compare(name, runs, ours, {QStringLiteral("resize"), in, out, QString::number(scale),
                                           QStringLiteral("--kernel"), QLatin1String(f.kernel)});
            else
                bench::printSingle(name, bench::timeRuns(runs, ours));
        }
    }
    // As the Custom rotation command does: a copy, then our rotation.
    const auto rotate = [&] {
        fipSuperImage copy(photo);
        fipImage rotated;
        if (!Rotate::rotate(copy, rotated, 17))
            copy.rotate(17);
    };
    if (haveVips)
        compare(QStringLiteral("rotate 17"), runs, rotate, {QStringLiteral("rotate"), in, out, QStringLiteral("17")});
    else
        bench::printSingle(QStringLiteral("rotate 17"), bench::timeRuns(runs, rotate));
    const bench::Stats copyOnly = bench::timeRuns(runs, [&] { fipSuperImage copy(photo); });
    bench::printSingle(QStringLiteral("copy of the photo (included in every figure of ours above)"), copyOnly);

    bench::printSingle(QStringLiteral("depth 256 colours"), bench::timeRuns(runs, [&] {
        fipSuperImage copy(photo);
        copy.adjustBPP(8, FALSE, 256);
    }));
    bench::printSingle(QStringLiteral("depth 16 greys"), bench::timeRuns(runs, [&] {
        fipSuperImage copy(photo);
        copy.adjustBPP(8, TRUE, 16);
    }));

    // The menu's lossless turn rewrites the file in place; jpegtran writes a new file.
    const QString turned = dir.filePath(QStringLiteral("turned.jpg"));
    QFile::copy(file, turned);
    QFile::setPermissions(turned, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const bench::Stats menu = bench::timeRuns(runs, [&] {
        JpegLossless::transformFiles({turned}, FIJPEG_OP_ROTATE_90);
    });
    bench::Stats jpegtran;
    if (bench::haveProgram(QStringLiteral("jpegtran"))
        && bench::timeCommand(runs, QStringLiteral("jpegtran"),
                              {QStringLiteral("-rotate"), QStringLiteral("90"), QStringLiteral("-copy"),
                               QStringLiteral("all"), QStringLiteral("-outfile"), dir.filePath(QStringLiteral("t.jpg")),
                               file},
                              jpegtran))
        bench::printComparison(QStringLiteral("lossless rotation from the menu"), menu, QStringLiteral("jpegtran"),
                               jpegtran);
    else
        bench::printSingle(QStringLiteral("lossless rotation from the menu"), menu);
    return 0;
}
