#include "BenchCommands.h"

#include <cstdio>

int runStepBench(const QStringList&)
{
    std::fprintf(stderr, "step: the viewer is not built yet\n");
    return 2;
}

int runPaintBench(const QStringList&)
{
    std::fprintf(stderr, "paint: the viewer is not built yet\n");
    return 2;
}
