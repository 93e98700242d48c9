#pragma once
// Each benchmark command of kelvra-bench: takes its arguments (after the command name),
// prints one line per measurement and returns the process exit code.
#include <QStringList>

int runDecodeBench(const QStringList& args);
int runJpegTransformBench(const QStringList& args);
int runEffectBench(const QStringList& args);
