// Starts like the program (the allocator tuning and its restart), then launches a stand-in
// child the way the program launches other programs, which records its environment:
//   env_probe OUTPUT_FILE
// Prints "tuned" when the probe itself ran with huge pages.

#include "app/ProcessTuning.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>

#include <cstdio>

int main(int argc, char** argv)
{
    ProcessTuning::useHugePagesForLargeBuffers(argv);
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    QFile self(QStringLiteral("/proc/self/environ"));
    if (self.open(QIODevice::ReadOnly) && self.readAll().contains("glibc.malloc.hugetlb=1"))
        std::printf("tuned\n");
    QProcess child;
    child.setStandardOutputFile(QString::fromLocal8Bit(argv[1]));
    child.start(QStringLiteral("/usr/bin/env"), {});
    return child.waitForFinished(30000) && child.exitCode() == 0 ? 0 : 1;
}
