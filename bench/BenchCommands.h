#pragma once
// Each benchmark command of kelvra-bench: takes its arguments (after the command name),
// prints one line per measurement and returns the process exit code.
#include <QStringList>

int runDecodeBench(const QStringList& args);         // decode FILE
int runJpegTransformBench(const QStringList& args);  // jpegtransform FILE
int runEffectBench(const QStringList& args);         // effect NAME FILE
int runEffectCommandBench(const QStringList& args);  // effectcommands FILE
int runStepBench(const QStringList& args);           // step DIR
int runHoldBench(const QStringList& args);           // hold DIR
int runPaintBench(const QStringList& args);          // paint FILE
int runThumbsBench(const QStringList& args);         // thumbs DIR --size N
int runBrowseBench(const QStringList& args);         // browse DIR
int runPreviewBench(const QStringList& args);        // preview FILE
int runHelperBench(const QStringList& args);         // helper FILE
int runSlideShowBench(const QStringList& args);      // slideshow DIR
int runCorpusBench(const QStringList& args);         // corpus DIR [--per-kind N] [--skip KIND,...]
int runInfoBench(const QStringList& args);           // info FILE
int runExportBench(const QStringList& args);         // export DIR [--size N]
int runGeometryBench(const QStringList& args);       // geometry FILE.jpg
