// kelvra-bench COMMAND ARGS...: measures one part of the program against an anchor tool run
// on the same input in the same process run.
#include "BenchCommands.h"

#include "app/ProcessTuning.h"

#include <QCoreApplication>
#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>

int main(int argc, char** argv)
{
    // The same process set-up as the program, so figures are the program's.
    ProcessTuning::useHugePagesForLargeBuffers(argv);
    // The anchors (djpeg, vips, ...) run with the same allocator tuning as we do, so the
    // ratios compare like with like.
    ::setenv("GLIBC_TUNABLES", ProcessTuning::tunablesWithHugePages(std::getenv("GLIBC_TUNABLES")).c_str(), 1);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);  // the viewer and list benchmarks make widgets
    const std::map<QString, std::function<int(const QStringList&)>> commands = {
        {QStringLiteral("decode"), runDecodeBench},
        {QStringLiteral("jpegtransform"), runJpegTransformBench},
        {QStringLiteral("effect"), runEffectBench},
        {QStringLiteral("geometry"), runGeometryBench},
        {QStringLiteral("effectcommands"), runEffectCommandBench},
        {QStringLiteral("step"), runStepBench},
        {QStringLiteral("hold"), runHoldBench},
        {QStringLiteral("paint"), runPaintBench},
        {QStringLiteral("thumbs"), runThumbsBench},
        {QStringLiteral("browse"), runBrowseBench},
        {QStringLiteral("preview"), runPreviewBench},
        {QStringLiteral("helper"), runHelperBench},
        {QStringLiteral("slideshow"), runSlideShowBench},
        {QStringLiteral("corpus"), runCorpusBench},
        {QStringLiteral("info"), runInfoBench},
        {QStringLiteral("export"), runExportBench},
    };
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || !commands.count(args.front())) {
        std::fprintf(stderr, "usage: kelvra-bench COMMAND ARGS...\ncommands:");
        for (const auto& [name, run] : commands)
            std::fprintf(stderr, " %s", qPrintable(name));
        std::fprintf(stderr, "\n");
        return 2;
    }
    const QString command = args.takeFirst();
    return commands.at(command)(args);
}
