// jpegtransform FILE: our lossless rotation by 90 against jpegtran -rotate 90 -copy all.
// Both read FILE and write a new file, as a whole process would.
#include "BenchCommands.h"
#include "BenchUtil.h"

#include "imaging/JpegTransform.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

int runJpegTransformBench(const QStringList& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: kelvra-bench jpegtransform FILE\n");
        return 2;
    }
    const QString file = args.front();
    QTemporaryDir dir;
    const QString ourOut = dir.filePath(QStringLiteral("ours.jpg"));
    const QString theirOut = dir.filePath(QStringLiteral("jpegtran.jpg"));
    const int runs = bench::runsFromEnv(9);
    bool ok = true;
    const bench::Stats ours = bench::timeRuns(runs, [&] {
        ok = ok && JpegTransform::transformFile(file, ourOut, FIJPEG_OP_ROTATE_90, false);
    });
    if (!ok) {
        std::fprintf(stderr, "jpegtransform: cannot transform %s\n", qPrintable(file));
        return 1;
    }
    bench::Stats anchor;
    if (!bench::haveProgram(QStringLiteral("jpegtran"))
        || !bench::timeCommand(runs, QStringLiteral("jpegtran"),
                               {QStringLiteral("-rotate"), QStringLiteral("90"), QStringLiteral("-copy"),
                                QStringLiteral("all"), QStringLiteral("-outfile"), theirOut, file},
                               anchor)) {
        bench::printSingle(QStringLiteral("jpegtransform"), ours);
        std::fprintf(stderr, "jpegtransform: jpegtran (libjpeg-turbo-progs) not available\n");
        return 0;
    }
    bench::printComparison(QStringLiteral("jpegtransform"), ours, QStringLiteral("jpegtran"), anchor);
    return 0;
}
