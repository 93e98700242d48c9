// The export dialogs driven as the user drives them, and runs over real files: what is
// written, what is counted, what is reported, and that no original or partial file is lost.
#include "export/CDlgExport.h"
#include "export/CDlgExportingImages.h"
#include "export/ExportCommand.h"
#include "export/ImageExport.h"

#include "app/MessageBoxSeam.h"
#include "imaging/fipSuperImage.h"

#include "TestFixtures.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <unistd.h>

#include <cmath>
#include <functional>

namespace {

constexpr int kBound = 20000;

// A radio button takes clicks on its indicator and label only, not across its whole width.
void clickRadio(QRadioButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
}

class ExportRunTest : public ::testing::Test {
protected:
    fixtures::TempDir dir;
    QStringList questions;
    QMessageBox::StandardButton answer = QMessageBox::No;
    MessageBoxSeam::Handler previous;

    void SetUp() override
    {
        previous = MessageBoxSeam::setHandler([this](const MessageBoxSeam::Request& r) {
            questions << r.caption + u'|' + r.text;
            return answer;
        });
    }
    void TearDown() override
    {
        MessageBoxSeam::setHandler(previous);
        CDlgExport::setFolderChooser({});
    }

    QString folder(const QString& name) const
    {
        QDir(dir.path()).mkpath(name);
        return dir.file(name);
    }
    static QString writePng(const QString& path, unsigned width, unsigned height)
    {
        return fixtures::patternImage(width, height).save(path) ? path : QString();
    }
    static QSize sizeOf(const QString& path)
    {
        fipSuperImage image;
        if (!image.load(path))
            return {};
        return QSize(static_cast<int>(image.getWidth()), static_cast<int>(image.getHeight()));
    }
    static QStringList namesIn(const QString& path)
    {
        return QDir(path).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::Dirs | QDir::NoDotAndDotDot,
                                    QDir::Name);
    }

    // Runs the progress dialog to its end (or until `during` closes it) and returns it.
    std::unique_ptr<CDlgExportingImages> runToEnd(ExportJob job, int threads = 0)
    {
        auto dialog = std::make_unique<CDlgExportingImages>(std::move(job), nullptr, threads);
        dialog->show();
        [&] { ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog->workerRunning() && dialog->imagesDone() == dialog->imageCount(); }, kBound)); }();
        return dialog;
    }
};

TEST_F(ExportRunTest, TheOptionsDialogStartsAsThePartSaysAndItsControlsFollowTheChoices)
{
    CDlgExport dialog(dir.path());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Export"));
    const auto writable = fipSuperImage::getSupportsWritingFormats();
    ASSERT_EQ(dialog.formatCombo()->count(), static_cast<int>(writable.size()));
    EXPECT_EQ(dialog.formatCombo()->currentIndex(), 0);
    EXPECT_EQ(dialog.formatCombo()->itemData(1).toInt(), static_cast<int>(writable[1]));
    EXPECT_TRUE(dialog.sourceFolderButton()->isChecked());
    EXPECT_EQ(dialog.folderEdit()->text(), dir.path());
    EXPECT_FALSE(dialog.folderEdit()->isEnabled());
    EXPECT_FALSE(dialog.browseButton()->isEnabled());
    EXPECT_TRUE(dialog.originalSizeButton()->isChecked());
    EXPECT_EQ(dialog.sizeSlider()->minimum(), 0);
    EXPECT_EQ(dialog.sizeSlider()->maximum(), 6);
    EXPECT_EQ(dialog.sizeSlider()->value(), 3);
    EXPECT_EQ(dialog.sizeEdit()->text(), QStringLiteral("800"));
    EXPECT_TRUE(dialog.sizeEdit()->alignment() & Qt::AlignRight);
    EXPECT_FALSE(dialog.sizeEdit()->isEnabled());
    EXPECT_FALSE(dialog.sizeSlider()->isEnabled());

    dialog.show();
    clickRadio(dialog.otherFolderButton());
    clickRadio(dialog.resizeButton());
    EXPECT_TRUE(dialog.folderEdit()->isEnabled() && dialog.browseButton()->isEnabled());
    EXPECT_TRUE(dialog.sizeEdit()->isEnabled() && dialog.sizeSlider()->isEnabled());
    dialog.sizeSlider()->setValue(5);
    EXPECT_EQ(dialog.sizeEdit()->text(), QStringLiteral("1200"));
    dialog.sizeEdit()->clear();
    QTest::keyClicks(dialog.sizeEdit(), QStringLiteral("5x00"));  // letters are refused
    EXPECT_EQ(dialog.sizeEdit()->text(), QStringLiteral("500"));
    EXPECT_EQ(dialog.sizeSlider()->value(), 2);
    clickRadio(dialog.sourceFolderButton());
    clickRadio(dialog.originalSizeButton());
    EXPECT_FALSE(dialog.folderEdit()->isEnabled()) << dialog.sourceFolderButton()->isChecked();
    EXPECT_FALSE(dialog.sizeEdit()->isEnabled()) << dialog.originalSizeButton()->isChecked();

    QString title, start;
    CDlgExport::setFolderChooser([&](QWidget*, const QString& t, const QString& s) {
        title = t;
        start = s;
        return folder(QStringLiteral("chosen"));
    });
    clickRadio(dialog.otherFolderButton());
    QTest::mouseClick(dialog.browseButton(), Qt::LeftButton);
    EXPECT_EQ(title, QStringLiteral("Browse for output folder"));
    EXPECT_EQ(start, dir.path());
    EXPECT_EQ(dialog.folderEdit()->text(), dir.file(QStringLiteral("chosen")));
}

TEST_F(ExportRunTest, OkAsksAboutAMissingFolderAndNoKeepsTheDialogOpenWithTheTextSelected)
{
    CDlgExport dialog(dir.path());
    dialog.show();
    clickRadio(dialog.otherFolderButton());
    clickRadio(dialog.resizeButton());
    const QString missing = dir.file(QStringLiteral("new/deeper"));
    dialog.folderEdit()->setText(missing);
    dialog.sizeEdit()->setText(QStringLiteral("12000"));

    answer = QMessageBox::No;
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.folderEdit()->selectedText(), missing);
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_EQ(questions, QStringList{QStringLiteral(
                             "Kelvra Photo Viewer|The specified output folder does not exist.\nDo you want to create it?")});

    answer = QMessageBox::Yes;
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(QFileInfo(missing).isDir());
    EXPECT_EQ(dialog.outputFolder(), missing);
    EXPECT_EQ(dialog.maxSide(), 9999);
    EXPECT_EQ(dialog.format(), fipSuperImage::getSupportsWritingFormats().front());

    CDlgExport zero(dir.path());
    clickRadio(zero.resizeButton());
    zero.sizeEdit()->setText(QStringLiteral("0"));
    zero.accept();
    EXPECT_EQ(zero.maxSide(), 1);
    CDlgExport original(dir.path());
    original.accept();
    EXPECT_EQ(original.maxSide(), 0);
}

// The command as the list hands it over: only the selected images, counted 1 of 3 to 3 of 3.
TEST_F(ExportRunTest, ThreeSelectedOfTenAreExactlyTheOnesExportedCountedInOrder)
{
    const QString src = folder(QStringLiteral("src"));
    const QString out = folder(QStringLiteral("out"));
    QStringList all;
    for (int i = 0; i < 10; ++i)
        all << writePng(src + QStringLiteral("/p%1.png").arg(i), i == 2 ? 300 : 200, i == 2 ? 200 : 300);
    const QStringList selected{all[2], all[5], all[7]};

    QStringList statuses;
    QString buttonAtEnd;
    std::function<void()> watch;
    QTimer::singleShot(0, [&] {
        auto* options = qobject_cast<CDlgExport*>(QApplication::activeModalWidget());
        ASSERT_NE(options, nullptr);
        const int jpeg = options->formatCombo()->findData(static_cast<int>(FIF_JPEG));
        ASSERT_GE(jpeg, 0);
        options->formatCombo()->setCurrentIndex(jpeg);
        clickRadio(options->otherFolderButton());
        options->folderEdit()->setText(out);
        clickRadio(options->resizeButton());
        QTimer::singleShot(0, [&] {
            auto* progress = qobject_cast<CDlgExportingImages*>(QApplication::activeModalWidget());
            ASSERT_NE(progress, nullptr);
            EXPECT_EQ(progress->windowTitle(), QStringLiteral("Exporting Images"));
            EXPECT_EQ(progress->progressBar()->maximum(), 3);
            watch = [&, progress] {
                if (statuses.isEmpty() || statuses.back() != progress->statusText()->text())
                    statuses << progress->statusText()->text();
                if (progress->imagesDone() < 3 || progress->workerRunning()) {
                    QTimer::singleShot(0, watch);
                    return;
                }
                buttonAtEnd = progress->button()->text();
                EXPECT_EQ(progress->progressBar()->value(), 3);
                QTest::mouseClick(progress->button(), Qt::LeftButton);
            };
            watch();
        });
        options->accept();
    });
    ExportLogic::ExportSources sources{src, true, selected, all};
    EXPECT_TRUE(ExportCommand::run(nullptr, sources));

    EXPECT_EQ(namesIn(out), (QStringList{QStringLiteral("p2.jpg"), QStringLiteral("p5.jpg"), QStringLiteral("p7.jpg")}));
    EXPECT_EQ(sizeOf(out + QStringLiteral("/p2.jpg")), QSize(800, 533));
    EXPECT_EQ(sizeOf(out + QStringLiteral("/p5.jpg")), QSize(533, 800));
    EXPECT_EQ(statuses.front(), QStringLiteral("Processing image 1 of 3"));
    EXPECT_EQ(statuses.back(), QStringLiteral("Processing image 3 of 3"));
    EXPECT_TRUE(statuses.size() == 3 || statuses.size() == 2) << statuses.join(u',').toStdString();
    EXPECT_EQ(buttonAtEnd, QStringLiteral("Finish"));
}

TEST_F(ExportRunTest, ASelectionOfFoldersOnlyClosesOnOkAndExportsNothing)
{
    const QString src = folder(QStringLiteral("src"));
    writePng(src + QStringLiteral("/a.png"), 20, 10);
    folder(QStringLiteral("src/sub"));
    QTimer::singleShot(0, [] {
        if (auto* options = qobject_cast<CDlgExport*>(QApplication::activeModalWidget()))
            options->accept();
    });
    EXPECT_TRUE(ExportCommand::run(nullptr, {src, true, {}, {src + QStringLiteral("/a.png")}}));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(namesIn(src), (QStringList{QStringLiteral("a.png"), QStringLiteral("sub")}));
}

// Everything that can go wrong with one image costs that image only, and the dialog names it.
TEST_F(ExportRunTest, ImagesThatCannotBeReadOrWrittenAreCountedAndListed)
{
    const QString src = folder(QStringLiteral("src"));
    const QString out = folder(QStringLiteral("out"));
    const QString good = writePng(src + QStringLiteral("/good.png"), 40, 30);
    const QString vanished = src + QStringLiteral("/vanished.png");
    const QString broken = src + QStringLiteral("/broken.png");
    ASSERT_TRUE(fixtures::writeFile(broken, QByteArray("\x89PNG\r\n\x1a\n not really", 19)));
    const QString blocked = writePng(src + QStringLiteral("/blocked.png"), 40, 30);
    folder(QStringLiteral("out/blocked.bmp"));  // a folder where the output would go
    // A 16-bit TIFF into a format of 8-bit samples: the depth is adapted, not refused.
    fipSuperImage deep(FIT_RGB16, 40, 30, 48);
    ASSERT_TRUE(deep.save(src + QStringLiteral("/deep.tif")));

    ExportJob job{{good, vanished, broken, blocked, src + QStringLiteral("/deep.tif")}, out, QStringLiteral("bmp"), 0};
    const auto dialog = runToEnd(job);
    EXPECT_EQ(dialog->button()->text(), QStringLiteral("Finish"));
    EXPECT_EQ(dialog->statusText()->text(), QStringLiteral("Processing image 5 of 5"));
    ASSERT_FALSE(dialog->failureList()->isHidden());
    ASSERT_EQ(dialog->failureList()->count(), 3) << dialog->failureList()->item(3)->text().toStdString();
    EXPECT_EQ(dialog->failureList()->item(0)->text(), QStringLiteral("vanished.png (could not be read)"));
    EXPECT_EQ(dialog->failureList()->item(1)->text(), QStringLiteral("broken.png (could not be read)"));
    EXPECT_EQ(dialog->failureList()->item(2)->text(), QStringLiteral("blocked.png (could not be written to blocked.bmp)"));
    EXPECT_EQ(sizeOf(out + QStringLiteral("/good.bmp")), QSize(40, 30));
    fipSuperImage written;
    ASSERT_TRUE(written.load(out + QStringLiteral("/deep.bmp")));
    EXPECT_EQ(written.getImageType(), FIT_BITMAP);
    EXPECT_EQ(namesIn(out), (QStringList{QStringLiteral("blocked.bmp"), QStringLiteral("deep.bmp"), QStringLiteral("good.bmp")}));
}

TEST_F(ExportRunTest, AFullReadOnlyOrDeletedDestinationLosesNothingAndLeavesNoPartialFile)
{
    const QString src = folder(QStringLiteral("src"));
    const QStringList sources{writePng(src + QStringLiteral("/a.png"), 400, 300),
                              writePng(src + QStringLiteral("/b.png"), 400, 300)};
    const QString deleted = folder(QStringLiteral("deleted"));

    fixtures::SmallTmpfs full(256 * 1024);
    fixtures::SmallTmpfs readOnly(256 * 1024);
    QStringList destinations{deleted};
    if (full.mounted()) {
        full.fill();
        destinations << QFileInfo(full.file(QStringLiteral("x"))).absolutePath();
    }
    if (readOnly.mounted()
        && ::mount("tmpfs", QFile::encodeName(QFileInfo(readOnly.file(QStringLiteral("x"))).absolutePath()).constData(),
                   "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0)
        destinations << QFileInfo(readOnly.file(QStringLiteral("x"))).absolutePath();

    for (const QString& destination : destinations) {
        auto dialog = std::make_unique<CDlgExportingImages>(ExportJob{sources, destination, QStringLiteral("png"), 0});
        if (destination == deleted) {
            ASSERT_TRUE(QDir(deleted).removeRecursively());
        }
        dialog->show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog->workerRunning() && dialog->imagesDone() == 2; }, kBound));
        EXPECT_EQ(dialog->failureList()->count(), 2) << destination.toStdString();
        for (const QString& name : namesIn(destination))
            EXPECT_TRUE(name == QStringLiteral("filler")) << name.toStdString();
    }
    EXPECT_EQ(namesIn(src), (QStringList{QStringLiteral("a.png"), QStringLiteral("b.png")}));
}

// Exporting photos as JPEG into their own folder must not re-compress them in place.
TEST_F(ExportRunTest, ExportingIntoTheSourceFolderKeepsEveryOriginal)
{
    const QString src = folder(QStringLiteral("src"));
    const QString a = fixtures::writePatternJpeg(src + QStringLiteral("/a.jpg"), 64, 48);
    const QString other = folder(QStringLiteral("other"));
    const QString b = fixtures::writePatternJpeg(other + QStringLiteral("/a.jpg"), 48, 64);
    const QByteArray original = fixtures::readFile(a);
    const auto dialog = runToEnd(ExportJob{{a, b}, src, QStringLiteral("jpg"), 32});
    EXPECT_TRUE(dialog->failureList()->isHidden());
    EXPECT_EQ(fixtures::readFile(a), original);
    EXPECT_EQ(sizeOf(src + QStringLiteral("/a (copy).jpg")), QSize(32, 24));
    EXPECT_EQ(sizeOf(src + QStringLiteral("/a (copy 2).jpg")), QSize(24, 32));
}

TEST_F(ExportRunTest, CancelDuringTheFirstImageFinishesItAndClosesWithoutPartialFiles)
{
    const QString src = folder(QStringLiteral("src"));
    const QString out = folder(QStringLiteral("out"));
    QStringList sources;
    for (int i = 0; i < 10; ++i)
        sources << writePng(src + QStringLiteral("/p%1.png").arg(i), 1200, 900);
    CDlgExportingImages dialog(ExportJob{sources, out, QStringLiteral("png"), 0});
    QTimer::singleShot(0, [&] { QTest::mouseClick(dialog.button(), Qt::LeftButton); });
    dialog.exec();
    EXPECT_FALSE(dialog.workerRunning());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    const QStringList written = namesIn(out);
    EXPECT_LT(written.size(), 10);
    for (const QString& name : written)
        EXPECT_EQ(sizeOf(out + u'/' + name), QSize(1200, 900)) << name.toStdString();
}

TEST_F(ExportRunTest, ClosingTheWindowDuringARunStopsAndJoinsTheWorker)
{
    const QString src = folder(QStringLiteral("src"));
    QStringList sources;
    for (int i = 0; i < 4; ++i)
        sources << writePng(src + QStringLiteral("/p%1.png").arg(i), 600, 400);
    auto dialog = std::make_unique<CDlgExportingImages>(ExportJob{sources, folder(QStringLiteral("out")), QStringLiteral("png"), 0});
    dialog->show();
    EXPECT_TRUE(dialog->workerRunning());
    dialog.reset();  // joins; the sanitizers catch a thread left behind or a late report
    QCoreApplication::sendPostedEvents();
}

// The reduced decoding of a large JPEG must give what the full decoding would, give or take
// a few grey levels.
TEST_F(ExportRunTest, AReducedJpegDecodeStaysWithinAFewLevelsOfTheFullDecode)
{
    fipSuperImage photo(FIT_BITMAP, 1600, 1200, 24);
    for (unsigned y = 0; y < 1200; ++y) {
        BYTE* row = photo.getScanLine(y);
        for (unsigned x = 0; x < 1600; ++x) {
            const double fx = x / 1600.0, fy = y / 1200.0;
            row[x * 3 + FI_RGBA_RED] = static_cast<BYTE>(127 + 120 * std::sin(fx * 9 + fy * 4));
            row[x * 3 + FI_RGBA_GREEN] = static_cast<BYTE>(255 * fy);
            row[x * 3 + FI_RGBA_BLUE] = static_cast<BYTE>(127 + 100 * std::cos(fx * fy * 20));
        }
    }
    const QString path = dir.file(QStringLiteral("photo.jpg"));
    ASSERT_TRUE(photo.save(FIF_JPEG, path, 95));

    const struct {
        int side;
        unsigned reducedWidth;  // what TurboJPEG hands over before the rescale
    } cases[] = {{1000, 1600}, {800, 800}, {799, 800}, {400, 400}, {150, 200}};
    for (const auto& c : cases) {
        fipSuperImage reduced, full;
        ASSERT_TRUE(ImageExport::loadForExport(reduced, path, c.side));
        EXPECT_EQ(reduced.getWidth(), c.reducedWidth) << c.side;
        ASSERT_TRUE(full.load(path));
        const QSize size = ExportLogic::exportSize(QSize(1600, 1200), c.side);
        ASSERT_TRUE(reduced.rescale(size.width(), size.height(), FILTER_BILINEAR));
        ASSERT_TRUE(full.rescale(size.width(), size.height(), FILTER_BILINEAR));
        double sum = 0;
        int worst = 0;
        for (unsigned y = 0; y < full.getHeight(); ++y) {
            const BYTE* a = reduced.getScanLine(y);
            const BYTE* b = full.getScanLine(y);
            for (unsigned i = 0; i < full.getWidth() * 3; ++i) {
                const int d = std::abs(a[i] - b[i]);
                sum += d;
                worst = std::max(worst, d);
            }
        }
        const double mean = sum / (full.getWidth() * full.getHeight() * 3.0);
        EXPECT_LE(mean, 1.0) << c.side;
        EXPECT_LE(worst, 6) << c.side;
    }
}

}  // namespace
