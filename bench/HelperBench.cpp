// helper FILE: a thumbnail of FILE through the decoder helper (request, decoding in the helper,
// the fitted image back through a memfd) against the same decoding and fitting in process,
// the route it replaced. The difference is what isolating the library's loaders costs.
#include "BenchCommands.h"
#include "BenchUtil.h"

#include "imaging/ImageLibrary.h"
#include "imaging/decode/ImageDecoding.h"
#include "imaging/fipSuperImage.h"

#include <QFile>

#include <cstdio>

int runHelperBench(const QStringList& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: kelvra-bench helper FILE\n");
        return 2;
    }
    const QByteArray file = QFile::encodeName(args.front());
    const int runs = bench::runsFromEnv(21);
    const unsigned box = 256;
    bool ok = true;
    const bench::Stats helper = bench::timeRuns(runs, [&] {
        ok = ok && Decode::decodeThumbnail(file, box, box, 80'000'000).ok();
    });
    const bench::Stats inProcess = bench::timeRuns(runs, [&] {
        ImageLibrary::ensureInitialised();
        const FREE_IMAGE_FORMAT fif = FreeImage_GetFileType(file.constData(), 0);
        fipImage whole;
        whole = FreeImage_Load(fif, file.constData(), 0);
        FIBITMAP* thumb = whole.isValid() ? ImageLibrary::fitInside(whole, box, box, true) : nullptr;
        ok = ok && thumb;
        if (thumb)
            FreeImage_Unload(thumb);
    });
    if (!ok) {
        std::fprintf(stderr, "helper: cannot decode %s\n", file.constData());
        return 1;
    }
    bench::printComparison(QStringLiteral("thumbnail via helper"), helper, QStringLiteral("in process"), inProcess);
    std::printf("helper overhead: %.2f ms (median)\n", helper.medianMs - inProcess.medianMs);
    return 0;
}
