// effect NAME FILE: one colour or effect operation on the decoded photo (decode and the copy
// each run starts from are not timed). The four convolution kernels are compared with
// `vips conv --precision integer` on the same pixels, minus the time `vips copy` takes for the
// same file (start-up, load, save), both with two threads. NAME "all" runs every operation.
#include "BenchCommands.h"
#include "BenchUtil.h"

#include "imaging/effects/Histogram.h"
#include "imaging/fipSuperImage.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Operation {
    const char* name;
    std::function<BOOL(fipSuperImage&)> run;
    const std::vector<int>* kernel = nullptr;  // set for the kernels compared with vips
    int divisor = 1;
};

const std::vector<int> kGauss3{1, 2, 1, 2, 4, 2, 1, 2, 1};
const std::vector<int> kGauss5{0, 1, 2, 1, 0, 1, 3, 4, 3, 1, 2, 4, 8, 4, 2, 1, 3, 4, 3, 1, 0, 1, 2, 1, 0};
const std::vector<int> kSoften{1, 1, 1, 1, 8, 1, 1, 1, 1};
const std::vector<int> kSharpen{-1, -1, -1, -1, 15, -1, -1, -1, -1};

std::vector<Operation> operations() {
    const auto kernel = [](const char* name, const std::vector<int>& k, int divisor) {
        const int size = k.size() == 25 ? 5 : 3;
        return Operation{name, [&k, size, divisor](fipSuperImage& i) { return i.convolute(k.data(), size, divisor, 0); },
                         &k, divisor};
    };
    return {
        kernel("gauss3", kGauss3, 16),
        kernel("gauss5", kGauss5, 52),
        kernel("soften", kSoften, 16),
        kernel("sharpen", kSharpen, 7),
        {"invert", [](fipSuperImage& i) { return i.invert(); }},
        {"grayscale", [](fipSuperImage& i) { return i.convertToGrayscale(); }},
        {"dither", [](fipSuperImage& i) { return i.dither(FID_FS); }},
        {"threshold", [](fipSuperImage& i) { return i.threshold(128); }},
        {"bpp-16grays", [](fipSuperImage& i) { return i.adjustBPP(8, TRUE, 16); }},
        {"bpp-256colors", [](fipSuperImage& i) { return i.adjustBPP(8, FALSE, 256); }},
        {"bpp-32", [](fipSuperImage& i) { return i.adjustBPP(32, FALSE, 0); }},
        {"swap", [](fipSuperImage& i) { return i.swapChannels(2); }},
        {"colors", [](fipSuperImage& i) { return i.adjustColors(20, 20, 1.3, FALSE) && i.adjustGammaRGB(1.1, 0.9, 1.2); }},
        {"hsl", [](fipSuperImage& i) { return i.adjustHSL(20, 30, -10); }},
        {"colorize", [](fipSuperImage& i) { return i.colorize(200, 0.8, 0.5); }},
        {"sepia", [](fipSuperImage& i) { return i.sepia(); }},
        {"solarize", [](fipSuperImage& i) { return i.solarize(128, TRUE); }},
        {"noise", [](fipSuperImage& i) { return i.addNoise(128); }},
        {"averageblur-20", [](fipSuperImage& i) { return i.averageBlur(20); }},
        {"emboss", [](fipSuperImage& i) { return i.emboss(5); }},
        {"erode", [](fipSuperImage& i) { return i.erode(5); }},
        {"edge-light", [](fipSuperImage& i) { return i.edgeDetectLight(); }},
        {"edge-heavy", [](fipSuperImage& i) { return i.edgeDetectHeavy(); }},
        {"spread-32", [](fipSuperImage& i) { return i.spread(32); }},
        {"stripe", [](fipSuperImage& i) { return i.stripe(25, 35); }},
        // Wind and mosaic as the dialogs scale them from a 200-pixel preview to 6000 pixels.
        {"wind-1500-smooth", [](fipSuperImage& i) { return i.wind(1500, 1, TRUE); }},
        {"wind-1500-hard", [](fipSuperImage& i) { return i.wind(1500, 0, FALSE); }},
        {"mosaic-150", [](fipSuperImage& i) { return i.mosaic(150); }},
        {"redeye", [](fipSuperImage& i) { return i.removeRedEye(); }},
        {"ascii", [](fipSuperImage& i) {
             std::string text(10001, '\0');
             return i.convertToAsciiText(text.data(), text.size());
         }},
        {"uniquecolors", [](fipSuperImage& i) { return i.getUniqueColors() > 0 ? TRUE : FALSE; }},
        {"histogram", [](fipSuperImage& i) {
             DWORD histo[256];
             return kelvra::fx::histogram(i, histo, FICC_BLACK) ? TRUE : FALSE;
         }},
    };
}

// Each run starts from a fresh copy of the photo; only the operation is timed.
bool timeOperation(int runs, const fipSuperImage& photo, const Operation& op, bench::Stats& out) {
    std::vector<double> samples;
    for (int i = 0; i <= runs; ++i) {  // run 0 warms up
        fipSuperImage work(photo);
        const auto start = std::chrono::steady_clock::now();
        if (!op.run(work))
            return false;
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (i > 0)
            samples.push_back(ms);
    }
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    out.minMs = samples.front();
    out.maxMs = samples.back();
    out.medianMs = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    return true;
}

bool writeMask(const QString& path, const Operation& op) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const int size = op.kernel->size() == 25 ? 5 : 3;
    QByteArray text = QByteArray::number(size) + ' ' + QByteArray::number(size) + ' ' +
                      QByteArray::number(op.divisor) + " 0\n";
    for (int row = 0; row < size; ++row) {
        for (int col = 0; col < size; ++col)
            text += QByteArray::number((*op.kernel)[std::size_t(row * size + col)]) + ' ';
        text += '\n';
    }
    return file.write(text) == text.size();
}

// vips's own figure for a kernel: conv minus copy, each a whole-process median.
bool timeVips(int runs, const QString& input, const QString& mask, const QString& output, bench::Stats& out) {
    bench::Stats conv, copy;
    if (!bench::timeCommand(runs, QStringLiteral("vips"),
                            {QStringLiteral("conv"), input, output, mask, QStringLiteral("--precision"),
                             QStringLiteral("integer")},
                            conv) ||
        !bench::timeCommand(runs, QStringLiteral("vips"), {QStringLiteral("copy"), input, output}, copy))
        return false;
    out.medianMs = conv.medianMs - copy.medianMs;
    out.minMs = conv.minMs - copy.medianMs;
    out.maxMs = conv.maxMs - copy.medianMs;
    return true;
}

}  // namespace

int runEffectBench(const QStringList& args) {
    const std::vector<Operation> all = operations();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: kelvra-bench effect NAME FILE\nNAME: all");
        for (const Operation& op : all)
            std::fprintf(stderr, " %s", op.name);
        std::fprintf(stderr, "\n");
        return 2;
    }
    const QString name = args[0], file = args[1];
    std::vector<Operation> chosen;
    std::copy_if(all.begin(), all.end(), std::back_inserter(chosen),
                 [&](const Operation& op) { return name == QLatin1String("all") || name == QLatin1String(op.name); });
    if (chosen.empty()) {
        std::fprintf(stderr, "effect: unknown operation %s\n", qPrintable(name));
        return 2;
    }
    fipSuperImage photo;
    if (!photo.load(file) || !photo.convertTo24Bits()) {
        std::fprintf(stderr, "effect: cannot load %s\n", qPrintable(file));
        return 1;
    }
    const int runs = bench::runsFromEnv(5);

    // The same pixels for vips, in its own uncompressed format so that loading costs little.
    QTemporaryDir dir;
    const QString vipsInput = dir.filePath(QStringLiteral("photo.v"));
    bench::Stats conversion;
    const bool wantVips = std::any_of(chosen.begin(), chosen.end(), [](const Operation& op) { return op.kernel; });
    const bool haveVips = wantVips && bench::haveProgram(QStringLiteral("vips")) && dir.isValid() &&
                          photo.save(dir.filePath(QStringLiteral("photo.ppm"))) &&
                          bench::timeCommand(0, QStringLiteral("vips"),
                                             {QStringLiteral("copy"), dir.filePath(QStringLiteral("photo.ppm")), vipsInput},
                                             conversion);
    if (wantVips && !haveVips)
        std::fprintf(stderr, "effect: vips (libvips-tools) not available; kernels are timed alone\n");
    qputenv("VIPS_CONCURRENCY", "2");

    int failures = 0;
    for (const Operation& op : chosen) {
        bench::Stats ours;
        if (!timeOperation(runs, photo, op, ours)) {
            std::fprintf(stderr, "effect: %s failed\n", op.name);
            ++failures;
            continue;
        }
        bench::Stats anchor;
        const QString mask = dir.filePath(QStringLiteral("%1.mat").arg(QLatin1String(op.name)));
        if (op.kernel && haveVips && writeMask(mask, op) &&
            timeVips(runs, vipsInput, mask, dir.filePath(QStringLiteral("out.v")), anchor))
            bench::printComparison(QLatin1String(op.name), ours, QStringLiteral("vips conv - copy"), anchor);
        else
            bench::printSingle(QLatin1String(op.name), ours);
    }
    return failures ? 1 : 0;
}
