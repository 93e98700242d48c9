// effectcommands FILE: the effect commands as the user sees them on a photo in the viewer,
// and their parameter dialogs.
//  - command: from Ok (or the menu click) to the repainted view — work copy, undo snapshot
//    handed to the writer thread, operation, paint — against the operation alone on a copy
//    made beforehand (not timed), in the same run; with the peak memory the command added, in
//    images of the photo's size. Timed twice: once the photo has been looked at long enough
//    for the history to copy it ahead (the memory that copy holds at rest is printed too),
//    and at once after opening.
//  - dialog: its opening (reduced copy and first preview) and one slider step to the repainted
//    preview.
// Names after FILE ("Negative" "Vertical Flip") time only those commands and no dialog.
#include "BenchCommands.h"
#include "BenchUtil.h"

#include "app/CommandIds.h"
#include "app/MessageBoxSeam.h"
#include "imaging/commands/EffectCommands.h"
#include "imaging/dialogs/ColorDialogs.h"
#include "imaging/dialogs/ValueDialogs.h"
#include "imaging/fipSuperImage.h"
#include "viewer/CImageView.h"
#include "viewer/ImageSequence.h"
#include "viewer/ViewerEditTarget.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QSlider>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

using bench::statsOf;

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start, Clock::time_point end = Clock::now())
{
    return std::chrono::duration<double, std::milli>(end - start).count();
}

// Moves the first value off its neutral default, so Enhance Colors and Adjust HSL do work.
void chooseValues(int id, QDialog& dialog)
{
    if (id != cmd::EnhanceColors && id != cmd::AdjustHsl)
        return;
    if (auto* effect = dynamic_cast<CDlgEffectBase*>(&dialog))
        effect->edit(0)->setText(QStringLiteral("20"));
}

const std::vector<std::pair<int, const char*>>& commands()
{
    static const std::vector<std::pair<int, const char*>> list = {
        {cmd::Negative, "Negative"}, {cmd::Grayscale, "Grayscale"}, {cmd::BlackAndWhite, "Black & White"},
        {cmd::Threshold, "Threshold"}, {cmd::Colorize, "Colorize"}, {cmd::Sepia, "Sepia"},
        {cmd::Solarize, "Solarize"}, {cmd::GaussianBlur3, "Gaussian Blur 3x3"},
        {cmd::GaussianBlur5, "Gaussian Blur 5x5"}, {cmd::AverageBlur, "Average Blur"}, {cmd::Soften, "Soften"},
        {cmd::Sharpen, "Sharpen"}, {cmd::AddNoise, "Add Noise"}, {cmd::Emboss, "Emboss"}, {cmd::Erode, "Erode"},
        {cmd::EdgeDetectLight, "Edge Light"}, {cmd::EdgeDetectMedium, "Edge Medium"},
        {cmd::EdgeDetectHeavy, "Edge Heavy"}, {cmd::Spread, "Spread"}, {cmd::Stripe, "Stripe"}, {cmd::Wind, "Wind"},
        {cmd::Mosaic, "Mosaic"}, {cmd::EnhanceColors, "Enhance Colors"}, {cmd::AdjustHsl, "Adjust HSL"},
        {33293, "RGB>RBG"}, {cmd::VerticalFlip, "Vertical Flip"}, {cmd::HorizontalFlip, "Horizontal Flip"},
        {cmd::RotateLeft, "Rotate Left"}, {cmd::Rotate180, "Rotate 180"}, {cmd::RedEyeReduction, "Red Eye"},
    };
    return list;
}

struct DialogCase {
    const char* name;
    std::function<std::unique_ptr<CDlgEffectBase>(const fipSuperImage&)> make;
};

template <class D>
DialogCase dialogCase(const char* name)
{
    return {name, [](const fipSuperImage& s) { return std::unique_ptr<CDlgEffectBase>(new D(&s)); }};
}

}  // namespace

int runEffectCommandBench(const QStringList& args)
{
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: kelvra-bench effectcommands FILE [COMMAND NAME...]\n");
        return 2;
    }
    const int runs = bench::runsFromEnv(5);
    const auto previous = MessageBoxSeam::setHandler([](const MessageBoxSeam::Request&) { return QMessageBox::Ok; });

    QTemporaryDir dir;
    const FileListSequence sequence({args.front()});
    CImageView view(ViewerSettings{dir.filePath(QStringLiteral("Temp")), dir.filePath(QStringLiteral("Config.ini"))});
    view.setViewerModeActive(true);
    view.resize(1280, 800);
    view.show();
    view.setSequence(&sequence);
    if (!view.OpenImageAt(0, 0) || !view.image()->isValid()) {
        std::fprintf(stderr, "effectcommands: cannot open %s\n", qPrintable(args.front()));
        return 1;
    }
    const fipSuperImage photo = *view.image();
    const double imageMiB = double(photo.getDIBSize()) / (1024.0 * 1024.0);
    std::printf("photo %ux%u, %u bits, %.1f MiB\n", photo.getWidth(), photo.getHeight(), photo.getBPP(), imageMiB);
    QImage surface(view.viewport()->size(), QImage::Format_RGB32);
    const auto paint = [&] {
        QPainter painter(&surface);
        view.renderTo(painter);
    };
    paint();

    const QStringList only = args.mid(1);
    for (const auto& [id, name] : commands()) {
        if (!only.isEmpty() && !only.contains(QLatin1String(name)))
            continue;
        // The operation with the values the dialog gives, chosen once.
        const EffectUi choose{[id = id](QDialog& d) {
            chooseValues(id, d);
            d.accept();
            return d.result();
        }};
        std::optional<effects::Operation> op = effects::fixedOperation(id);
        if (!op)
            op = effects::askOperation(id, photo, nullptr, choose);
        if (!op)
            continue;
        std::vector<double> alone, atOnce, rested;
        double peakImages = 0, restImages = 0;
        // From Ok to the repainted view, on a freshly opened photo: at once, or after the
        // photo has been looked at long enough for the history to copy it ahead.
        const auto timeCommand = [&, id = id](bool afterLooking) {
            view.OpenImageAt(0, 0);  // a fresh photo and an empty history
            view.setSelection(id == cmd::RedEyeReduction ? QRect(0, 0, int(photo.getWidth()), int(photo.getHeight()))
                                                         : QRect());
            paint();
            QCoreApplication::processEvents();
            if (afterLooking) {
                const double opened = bench::statusMiB("VmRSS:");
                const auto lookStart = Clock::now();
                while (!view.undoHistory().copyAheadReady() && msSince(lookStart) < 5000)
                    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
                restImages = std::max(restImages, (bench::statusMiB("VmRSS:") - opened) / imageMiB);
            }
            bench::resetPeakMemory();
            const double before = bench::statusMiB("VmRSS:");
            Clock::time_point okPressed = Clock::now();
            const EffectUi ui{[&](QDialog& d) {
                chooseValues(id, d);
                d.accept();
                okPressed = Clock::now();
                return d.result();
            }};
            ViewerEditTarget target(view);
            effects::run(id, target, ui);
            paint();
            const double commandMs = msSince(okPressed);
            peakImages = std::max(peakImages, (bench::statusMiB("VmHWM:") - before) / imageMiB);
            return commandMs;
        };
        for (int run = 0; run <= runs; ++run) {  // run 0 warms up
            fipSuperImage copy(photo);
            const auto start = Clock::now();
            (*op)(copy);
            const double opMs = msSince(start);
            const double atOnceMs = timeCommand(false);
            const double restedMs = timeCommand(true);
            if (run > 0) {
                alone.push_back(opMs);
                atOnce.push_back(atOnceMs);
                rested.push_back(restedMs);
            }
        }
        bench::printComparison(QStringLiteral("command %1 after a look (peak +%2 images, +%3 at rest)")
                                   .arg(QLatin1String(name))
                                   .arg(peakImages, 0, 'f', 2)
                                   .arg(restImages, 0, 'f', 2),
                               statsOf(rested), QStringLiteral("operation alone"), statsOf(alone));
        bench::printComparison(QStringLiteral("command %1 at once after opening").arg(QLatin1String(name)),
                               statsOf(atOnce), QStringLiteral("operation alone"), statsOf(alone));
    }

    // Where a command's time beyond its operation goes.
    std::vector<double> snapshot, snapshotAhead, repaint;
    for (int run = 0; run <= runs; ++run) {
        for (const bool afterLooking : {false, true}) {
            view.OpenImageAt(0, 0);
            paint();
            const auto lookStart = Clock::now();
            while (afterLooking && !view.undoHistory().copyAheadReady() && msSince(lookStart) < 5000)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
            auto start = Clock::now();
            view.TakeUndoSnapshot();
            const double snapshotMs = msSince(start);
            start = Clock::now();
            view.MarkChanged();
            paint();
            if (run > 0) {
                (afterLooking ? snapshotAhead : snapshot).push_back(snapshotMs);
                repaint.push_back(msSince(start));
            }
        }
    }
    bench::printSingle(QStringLiteral("undo snapshot on the window thread, copied then"), statsOf(snapshot));
    bench::printSingle(QStringLiteral("undo snapshot on the window thread, copied ahead"), statsOf(snapshotAhead));
    bench::printSingle(QStringLiteral("MarkChanged and the repaint of the view"), statsOf(repaint));
    // The conversions leave an 8-bit image, which the view first turns into a drawing copy.
    std::vector<double> greyRepaint;
    for (int run = 0; run <= runs; ++run) {
        view.OpenImageAt(0, 0);
        paint();
        view.image()->convertToGrayscale();
        const auto start = Clock::now();
        view.MarkChanged();
        paint();
        if (run > 0)
            greyRepaint.push_back(msSince(start));
    }
    bench::printSingle(QStringLiteral("MarkChanged and the repaint of an 8-bit grey result"), statsOf(greyRepaint));

    const std::vector<DialogCase> dialogs = {
        dialogCase<CDlgAddNoise>("Add Noise"),   dialogCase<CDlgThreshold>("Threshold"),
        dialogCase<CDlgAverageBlur>("Average Blur"), dialogCase<CDlgEmboss>("Emboss"),
        dialogCase<CDlgSolarize>("Solarize"),    dialogCase<CDlgSpread>("Spread"),
        dialogCase<CDlgMosaic>("Mosaic"),        dialogCase<CDlgWind>("Wind"),
        dialogCase<CDlgStripe>("Stripe"),        dialogCase<CDlgColorize>("Colorize"),
        dialogCase<CDlgEnhanceColors>("Enhance Colors"), dialogCase<CDlgAdjustHSL>("Adjust HSL"),
    };
    for (const DialogCase& c : only.isEmpty() ? dialogs : std::vector<DialogCase>{}) {
        std::vector<double> opening, steps;
        for (int run = 0; run <= runs; ++run) {
            const auto start = Clock::now();
            std::unique_ptr<CDlgEffectBase> dialog = c.make(photo);
            dialog->show();
            const double openMs = msSince(start);
            QCoreApplication::processEvents();
            QSlider* slider = dialog->slider(0);
            for (int step = 0; step < 10; ++step) {
                const int next = slider->value() < slider->maximum() ? slider->value() + 1 : slider->minimum();
                const auto stepStart = Clock::now();
                slider->setValue(next);  // edit, effect on the reduced copy, repaint
                if (run > 0)
                    steps.push_back(msSince(stepStart));
            }
            if (run > 0)
                opening.push_back(openMs);
        }
        bench::printSingle(QStringLiteral("dialog %1 opening").arg(QLatin1String(c.name)), statsOf(opening));
        bench::printSingle(QStringLiteral("dialog %1 slider step to repainted preview").arg(QLatin1String(c.name)),
                           statsOf(steps));
    }
    MessageBoxSeam::setHandler(previous);
    return 0;
}
