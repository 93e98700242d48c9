// preview FILE: the open dialog's preview and information for FILE (a 160 x 120 picture and
// the full size) against decoding the whole file and reducing it, the route it replaced.
#include "BenchCommands.h"
#include "BenchUtil.h"

#include "imaging/JpegPreview.h"
#include "imaging/fipSuperImage.h"
#include "viewer/CDlgOpenFile.h"

#include <cstdio>

int runPreviewBench(const QStringList& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: kelvra-bench preview FILE\n");
        return 2;
    }
    const QString file = args.front();
    const int runs = bench::runsFromEnv(9);
    const QSize area(160, 120);
    bool ok = true;
    const bench::Stats ours = bench::timeRuns(runs, [&] {
        ok = ok && !describeImageFile(file, true, area).preview.isNull();
    });
    const bench::Stats whole = bench::timeRuns(runs, [&] {
        fipSuperImage image;
        ok = ok && image.load(file) && image.makeThumbnail(160, 120);
    });
    if (!ok) {
        std::fprintf(stderr, "preview: cannot make a preview of %s\n", qPrintable(file));
        return 1;
    }
    const auto header = readJpegHeader(file);
    std::printf("preview route: %s\n", !header                              ? "image library"
                                       : header->embeddedThumbnail.isNull() ? "reduced JPEG decoding"
                                                                            : "stored EXIF thumbnail");
    bench::printComparison(QStringLiteral("preview"), ours, QStringLiteral("whole decode + makeThumbnail"), whole);
    return 0;
}
