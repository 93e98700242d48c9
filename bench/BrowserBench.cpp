#include "BenchCommands.h"

#include <cstdio>

int runThumbsBench(const QStringList&)
{
    std::fprintf(stderr, "thumbs: the browser list is not built yet\n");
    return 2;
}

int runBrowseBench(const QStringList&)
{
    std::fprintf(stderr, "browse: the browser list is not built yet\n");
    return 2;
}
