// decode FILE: our JPEG load into a fipSuperImage against djpeg writing to /dev/null.
#include "BenchCommands.h"
#include "BenchUtil.h"

#include "imaging/fipSuperImage.h"

#include <cstdio>

int runDecodeBench(const QStringList& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: kelvra-bench decode FILE\n");
        return 2;
    }
    const QString file = args.front();
    const int runs = bench::runsFromEnv(9);
    bool ok = true;
    const bench::Stats ours = bench::timeRuns(runs, [&] {
        fipSuperImage image;
        ok = ok && image.load(file);
    });
    if (!ok) {
        std::fprintf(stderr, "decode: cannot load %s\n", qPrintable(file));
        return 1;
    }
    bench::Stats anchor;
    if (!bench::haveProgram(QStringLiteral("djpeg"))
        || !bench::timeCommand(runs, QStringLiteral("djpeg"),
                               {QStringLiteral("-outfile"), QStringLiteral("/dev/null"), file}, anchor)) {
        bench::printSingle(QStringLiteral("decode"), ours);
        std::fprintf(stderr, "decode: djpeg (libjpeg-turbo-progs) not available\n");
        return 0;
    }
    bench::printComparison(QStringLiteral("decode"), ours, QStringLiteral("djpeg"), anchor);
    return 0;
}
