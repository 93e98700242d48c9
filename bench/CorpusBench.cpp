// The hostile corpus: makes damaged and hostile files of every kind the tests know, then
// thumbnails each one and opens each one through the viewer's route, timing every file and
// watching the process's peak memory. Finishing at all is the "no crash" figure.
#include "BenchCommands.h"
#include "BenchUtil.h"

#include "HostileFiles.h"
#include "TestFixtures.h"
#include "app/ProfileFile.h"
#include "browser/CImageListCtrl.h"
#include "browser/ThumbnailMaker.h"
#include "imaging/decode/IsolatedDecoder.h"
#include "imaging/fipSuperImage.h"
#include "viewer/ImageLoading.h"

#include <FreeImage.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>

namespace {

// Fixed so that a slow or failing file can be made again by the same command.
constexpr unsigned kSeed = 14;

class CorpusWriter {
public:
    explicit CorpusWriter(QString dir) : m_dir(std::move(dir)) {}
    void put(const QString& name, const QByteArray& bytes)
    {
        if (fixtures::writeFile(m_dir + QLatin1Char('/') + name, bytes))
            ++m_written;
        else
            std::fprintf(stderr, "corpus: could not write %s\n", qPrintable(name));
    }
    QString path(const QString& name) const { return m_dir + QLatin1Char('/') + name; }
    int written() const { return m_written; }

private:
    QString m_dir;
    int m_written = 0;
};

QString numbered(const char* kind, int i, const char* ext)
{
    return QStringLiteral("%1-%2.%3").arg(QLatin1String(kind)).arg(i, 4, 10, QLatin1Char('0')).arg(QLatin1String(ext));
}

QByteArray flipped(QByteArray bytes, std::mt19937& rng)
{
    if (bytes.isEmpty())
        return bytes;
    const int flips = std::uniform_int_distribution<int>(1, 16)(rng);
    std::uniform_int_distribution<qsizetype> at(0, bytes.size() - 1);
    std::uniform_int_distribution<int> value(0, 255);
    for (int i = 0; i < flips; ++i)
        bytes[at(rng)] = char(value(rng));
    return bytes;
}

QByteArray savedBytes(FIBITMAP* dib, FREE_IMAGE_FORMAT fif, const QString& path, int flags = 0)
{
    if (!dib || !FreeImage_Save(fif, dib, QFile::encodeName(path).constData(), flags))
        return {};
    return fixtures::readFile(path);
}

// The valid sources the damaged variants start from, all made here.
std::vector<std::pair<QString, QByteArray>> validSources(const QString& scratch)
{
    constexpr unsigned w = 320, h = 240;
    fipSuperImage pattern = fixtures::patternImage(w, h);
    FIBITMAP* dib = pattern;
    std::vector<std::pair<QString, QByteArray>> out;
    fixtures::writePatternJpeg(scratch + QStringLiteral("/s.jpg"), w, h);
    out.emplace_back(QStringLiteral("jpg"), fixtures::readFile(scratch + QStringLiteral("/s.jpg")));
    out.emplace_back(QStringLiteral("progjpg"), hostile::progressiveJpeg(w, h));
    out.emplace_back(QStringLiteral("png"), savedBytes(dib, FIF_PNG, scratch + QStringLiteral("/s.png")));
    FIBITMAP* deep = FreeImage_ConvertToType(dib, FIT_RGB16);
    out.emplace_back(QStringLiteral("png16"), savedBytes(deep, FIF_PNG, scratch + QStringLiteral("/s16.png")));
    FreeImage_Unload(deep);
    out.emplace_back(QStringLiteral("tif"), savedBytes(dib, FIF_TIFF, scratch + QStringLiteral("/s.tif")));
    FIBITMAP* palette = FreeImage_ColorQuantize(dib, FIQ_WUQUANT);
    out.emplace_back(QStringLiteral("gif"), savedBytes(palette, FIF_GIF, scratch + QStringLiteral("/s.gif")));
    FreeImage_Unload(palette);
    out.emplace_back(QStringLiteral("bmp"), savedBytes(dib, FIF_BMP, scratch + QStringLiteral("/s.bmp")));
    return out;
}

void makeCorpus(CorpusWriter& out, const QString& scratch, int perKind)
{
    std::mt19937 rng(kSeed);
    const auto sources = validSources(scratch);
    for (const auto& [kind, bytes] : sources) {
        if (bytes.isEmpty()) {
            std::fprintf(stderr, "corpus: could not make the %s source\n", qPrintable(kind));
            continue;
        }
        const QByteArray ext = (kind == QLatin1String("progjpg") ? QStringLiteral("jpg")
                                : kind == QLatin1String("png16") ? QStringLiteral("png")
                                                                 : kind).toLatin1();
        out.put(QStringLiteral("valid-%1.%2").arg(kind, QLatin1String(ext)), bytes);
        std::uniform_int_distribution<qsizetype> cut(0, bytes.size() - 1);
        for (int i = 0; i < perKind; ++i) {
            out.put(numbered(qPrintable(QStringLiteral("trunc_") + kind), i, ext.constData()), bytes.left(cut(rng)));
            out.put(numbered(qPrintable(QStringLiteral("flip_") + kind), i, ext.constData()), flipped(bytes, rng));
        }
    }

    // The hostile files the tests keep, as made and then with bytes changed.
    const std::pair<const char*, QByteArray> hostileMade[] = {
        {"psd", hostile::psdWithBadChannels()},
        {"pct", hostile::pictWithBadOpcodeLength()},
        {"iff", hostile::loopingIff()},
    };
    for (const auto& [ext, bytes] : hostileMade) {
        for (int i = 0; i < perKind; ++i)
            out.put(numbered(ext, i, ext), i == 0 ? bytes : flipped(bytes, rng));
    }

    // Declared frame sizes up to 65535 × 65535 on baseline and progressive JPEGs.
    const QByteArray baseline = sources[0].second;
    const QByteArray progressive = hostile::progressiveJpeg(64, 48);
    std::uniform_int_distribution<unsigned> side(1, 65535);
    for (int i = 0; i < perKind; ++i) {
        const unsigned fw = i == 0 ? 65500 : side(rng), fh = i == 0 ? 65500 : side(rng);
        out.put(numbered("framesize", i, "jpg"), hostile::withFrameSize(baseline, fw, fh));
        out.put(numbered("framesize_prog", i, "jpg"), hostile::withFrameSize(progressive, fw, fh));
    }

    // EXIF thumbnail pointers that wrap around or run past the block.
    fixtures::writePatternJpeg(scratch + QStringLiteral("/t.jpg"), 32, 24);
    const QByteArray thumb = fixtures::readFile(scratch + QStringLiteral("/t.jpg"));
    std::uniform_int_distribution<unsigned> any(0, 0xFFFFFFFFu);
    std::uniform_int_distribution<unsigned> near(0, 4096);
    for (int i = 0; i < perKind; ++i) {
        const bool wrap = i % 2 == 0;
        const unsigned offset = wrap ? 0xFFFFFFFFu - near(rng) : near(rng);
        const unsigned length = wrap ? near(rng) + 2 : any(rng);
        out.put(numbered("exifptr", i, "jpg"), hostile::withExifPointer(baseline, offset, length, thumb));
    }

    // Odd names and things that are not regular image files.
    const QByteArray png = sources[2].second;
    out.put(QStringLiteral("odd name with spaces.png"), png);
    out.put(QStringLiteral("odd-ünïcødé-名前.png"), png);
    out.put(QStringLiteral("odd-line\nbreak.png"), png);
    out.put(QStringLiteral("-odd-leading-dash.png"), png);
    out.put(QStringLiteral("odd-") + QString(240, QLatin1Char('x')) + QStringLiteral(".png"), png);
    out.put(QStringLiteral("odd-png-named.jpg"), png);
    out.put(QStringLiteral("odd-jpeg-named.tif"), baseline);
    out.put(QStringLiteral("odd-no-extension"), png);
    out.put(QStringLiteral("odd-empty.jpg"), QByteArray());
    out.put(QStringLiteral(".odd-hidden.png"), png);
    out.put(QStringLiteral("odd-zeros.psd"), QByteArray(1 << 16, '\0'));
    if (::mkfifo(QFile::encodeName(out.path(QStringLiteral("odd-fifo.jpg"))).constData(), 0600) != 0)
        std::fprintf(stderr, "corpus: could not make the FIFO\n");
    QDir(out.path(QString())).mkdir(QStringLiteral("odd-folder.jpg"));
    QFile::link(QStringLiteral("odd-dangling-target.png"), out.path(QStringLiteral("odd-dangling-link.png")));
    QFile::link(QStringLiteral("odd-loop-b.png"), out.path(QStringLiteral("odd-loop-a.png")));
    QFile::link(QStringLiteral("odd-loop-a.png"), out.path(QStringLiteral("odd-loop-b.png")));
}

QString kindOf(const QString& name)
{
    if (name.startsWith(QLatin1String("odd")) || name.startsWith(QLatin1String(".odd"))
        || name.startsWith(QLatin1String("-odd")))
        return QStringLiteral("odd");
    return name.section(QLatin1Char('-'), 0, 0);
}

struct KindFigures {
    int files = 0;
    int thumbOk = 0;
    int viewOk = 0;
    double slowestMs = 0;
    QString slowestFile;
    long peakKiB = 0;  // the highest resident size while one of its files was read
    QString peakFile;
};

long peakResidentKiB()
{
    return static_cast<long>(bench::statusMiB("VmHWM:") * 1024);
}

}  // namespace

int runCorpusBench(const QStringList& args)
{
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: kelvra-bench corpus DIR [--per-kind N] [--skip KIND,...]\n");
        return 2;
    }
    const QString dir = QDir(args[0]).absolutePath();
    int perKind = 200;
    const int perKindAt = static_cast<int>(args.indexOf(QStringLiteral("--per-kind")));
    if (perKindAt >= 0 && perKindAt + 1 < args.size())
        perKind = args[perKindAt + 1].toInt();
    QStringList skipped;  // kinds made but not read, to measure the others when some are slow
    const int skipAt = static_cast<int>(args.indexOf(QStringLiteral("--skip")));
    if (skipAt >= 0 && skipAt + 1 < args.size())
        skipped = args[skipAt + 1].split(QLatin1Char(','));
    if (perKind <= 0 || !QDir().mkpath(dir) || !QDir(dir).isEmpty(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)) {
        std::fprintf(stderr, "corpus: DIR must be a new or empty folder and N positive\n");
        return 2;
    }

    QTemporaryDir scratch;
    CorpusWriter writer(dir);
    makeCorpus(writer, scratch.path(), perKind);

    const auto entries = QDir(dir).entryInfoList(
        QDir::Files | QDir::Dirs | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    std::printf("corpus: %d entries in %s (%d per kind, seed %u); helper time-out %lld ms\n",
                static_cast<int>(entries.size()), qPrintable(dir), perKind, kSeed,
                static_cast<long long>(Decode::IsolatedDecoder::shared().timeout().count()));
    std::fflush(stdout);

    // Browsing: the list enumerates and sorts the whole folder.
    QTemporaryDir settings;
    CImageListCtrl::Options options;
    options.settingsPath = settings.filePath(QStringLiteral("Config.ini"));
    options.useThumbnailCache = false;
    CImageListCtrl list(options);
    QElapsedTimer browseClock;
    browseClock.start();
    list.BrowseToPath(dir);
    std::printf("browse: %d items listed in %.1f ms\n", list.GetItemCount(), browseClock.nsecsElapsed() / 1e6);

    std::map<QString, KindFigures> kinds;
    double slowestThumb = 0, slowestView = 0;
    QString slowestThumbFile, slowestViewFile;
    int thumbOk = 0, viewOk = 0;
    // Reset per file below, so the process's peak is the highest of the readings.
    long peakKiB = peakResidentKiB();
    QElapsedTimer total;
    total.start();
    for (const QFileInfo& info : entries) {
        const QString path = info.absoluteFilePath();
        if (skipped.contains(kindOf(info.fileName())))
            continue;
        KindFigures& kind = kinds[kindOf(info.fileName())];
        ++kind.files;
        bench::resetPeakMemory();
        QElapsedTimer clock;
        clock.start();
        const bool thumbMade = MakeThumbnail(QFile::encodeName(path), 256, 256, ThumbnailOptions{false}).ok();
        const double thumbMs = clock.nsecsElapsed() / 1e6;
        clock.restart();
        const bool viewMade = LoadImageFile(path, 0).image != nullptr;
        const double viewMs = clock.nsecsElapsed() / 1e6;
        const long peak = peakResidentKiB();
        peakKiB = std::max(peakKiB, peak);
        if (peak > kind.peakKiB)
            kind.peakKiB = peak, kind.peakFile = info.fileName();
        thumbOk += thumbMade, viewOk += viewMade;
        kind.thumbOk += thumbMade, kind.viewOk += viewMade;
        if (thumbMs > slowestThumb)
            slowestThumb = thumbMs, slowestThumbFile = info.fileName();
        if (viewMs > slowestView)
            slowestView = viewMs, slowestViewFile = info.fileName();
        if (std::max(thumbMs, viewMs) > kind.slowestMs)
            kind.slowestMs = std::max(thumbMs, viewMs), kind.slowestFile = info.fileName();
    }
    int files = 0;
    std::printf("%-16s %6s %9s %9s %11s %-24s %9s %s\n", "kind", "files", "thumb ok", "viewer ok", "slowest ms",
                "slowest file", "peak MiB", "peak file");
    for (const auto& [name, k] : kinds) {
        files += k.files;
        std::printf("%-16s %6d %9d %9d %11.1f %-24s %9.1f %s\n", qPrintable(name), k.files, k.thumbOk, k.viewOk,
                    k.slowestMs, qPrintable(k.slowestFile.left(24)), k.peakKiB / 1024.0,
                    qPrintable(k.peakFile.left(24)));
    }
    std::printf("thumbnails: %d of %d decoded, %d refused; slowest %.1f ms (%s)\n", thumbOk, files, files - thumbOk,
                slowestThumb, qPrintable(slowestThumbFile.left(60)));
    std::printf("viewer: %d of %d decoded, %d refused; slowest %.1f ms (%s)\n", viewOk, files, files - viewOk,
                slowestView, qPrintable(slowestViewFile.left(60)));
    rusage self{}, children{};
    getrusage(RUSAGE_SELF, &self);
    getrusage(RUSAGE_CHILDREN, &children);
    peakKiB = std::max({peakKiB, peakResidentKiB(), static_cast<long>(self.ru_maxrss)});
    std::printf("read in %.1f s; peak resident memory of the process %.1f MiB (largest finished helper %.1f MiB)\n",
                total.elapsed() / 1000.0, peakKiB / 1024.0, children.ru_maxrss / 1024.0);
    const bool withinFigures = std::max(slowestThumb, slowestView) < 9000 && peakKiB < 1024L * 1024;
    std::printf("figures: %s (slowest under 9 s, peak under 1 GiB)\n", withinFigures ? "met" : "NOT met");
    return withinFigures ? 0 : 1;
}
