#include "info/CDlgHistogram.h"
#include "info/CHistogramWnd.h"
#include "info/CImagePreviewView.h"
#include "info/HistogramLogic.h"
#include "browser/CTitle.h"
#include "browser/ThumbnailCache.h"
#include "info/CExifInfoWnd.h"

#include "imaging/fipSuperImage.h"

#include "app/CommandIds.h"
#include "app/ProfileFile.h"

#include "TestFixtures.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QDateTime>
#include <QTest>

#include <chrono>
#include <numeric>

using namespace histogram;

namespace {

constexpr int kBound = 20000;
const QColor kWhite(Qt::white);

// An image of one grey level with a ramp over every level in its first 16 rows.
fipSuperImage flatWithRamp(unsigned width, unsigned height, BYTE value)
{
    fipSuperImage image(FIT_BITMAP, width, height, 24);
    for (unsigned y = 0; y < height; ++y) {
        BYTE* row = image.getScanLine(y);
        for (unsigned x = 0; x < width; ++x) {
            const BYTE v = y < 16 ? BYTE(x % 256) : value;
            row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = v;
        }
    }
    return image;
}

// Only white and the frame colour in the picture.
bool onlyFrame(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c != kWhite && c.rgb() != kPanelFrame)
                return false;
        }
    return true;
}

}  // namespace

TEST(PanelHistogram, CapTinyImagesAndHiddenChannels)
{
    // Under 256 pixels the average count is 0, so every count is capped to nothing.
    const PanelData tiny = panelData(fixtures::patternImage(15, 15));
    for (uint32_t m : tiny.maxima)
        EXPECT_EQ(m, 0u);
    EXPECT_TRUE(onlyFrame(paintPanel(QSize(200, 110), tiny, {true, true, true, true})));

    const PanelData data = panelData(fixtures::patternImage(64, 64));
    EXPECT_FALSE(onlyFrame(paintPanel(QSize(200, 110), data, {false, true, true, true})));
    const QImage hidden = paintPanel(QSize(200, 110), data, {false, false, false, false});
    EXPECT_TRUE(onlyFrame(hidden));
    EXPECT_EQ(hidden.pixel(9, 9), kPanelFrame);
    EXPECT_EQ(hidden.pixel(191, 101), kPanelFrame);
    EXPECT_EQ(hidden.pixel(8, 8), kWhite.rgb());
}

TEST(PanelHistogram, AFlatBackgroundReachesTheTopWithoutFlatteningTheRest)
{
    const PanelData data = panelData(flatWithRamp(256, 64, 200));
    const Counts& red = data.counts[Red];
    // 16384 pixels: the cap is four times the average of 64.
    EXPECT_EQ(red[200], 256u);
    EXPECT_EQ(data.maxima[Red], 256u);
    EXPECT_EQ(red[10], 16u);
    // Shown alone in a panel whose plot is 255 wide each column is one bin: the background's
    // column rises to the top of the plot, the others stay low but are drawn.
    const QImage picture = paintPanel(QSize(275, 120), data, {false, true, false, false});
    const QColor redPen = panelPen(1u << Red);
    EXPECT_EQ(picture.pixelColor(10 + 200, 11), redPen);
    EXPECT_EQ(picture.pixelColor(10 + 10, 108), redPen);
    EXPECT_EQ(picture.pixelColor(10 + 10, 100), kWhite);
}

TEST(PanelHistogram, OverlappingChannelsUseThePensOfTheirSets)
{
    PanelData data;
    data.counts[Red].fill(100);
    data.counts[Green].fill(50);
    data.counts[Blue].fill(25);
    data.maxima = {0, 100, 50, 25};
    const QImage picture = paintPanel(QSize(120, 120), data, {false, true, true, true});
    const int x = 60;
    // Plot height 100, base line at 110: red alone to 100, red and green to 50, all three to 25.
    EXPECT_EQ(picture.pixelColor(x, 20), panelPen(1u << Red));
    EXPECT_EQ(picture.pixelColor(x, 70), panelPen((1u << Red) | (1u << Green)));
    EXPECT_EQ(picture.pixelColor(x, 100), panelPen((1u << Red) | (1u << Green) | (1u << Blue)));
    EXPECT_EQ(panelPen(15).rgb(), 0xFF556688u);
    EXPECT_EQ(panelPen(14).rgb(), 0xFF244A92u);
}

TEST(HistogramPanel, WorkerReportsByEventAndOddFilesLeaveItEmpty)
{
    fixtures::TempDir dir;
    const QString a = fixtures::writePatternJpeg(dir.file("a.jpg"), 320, 240);
    const QString b = fixtures::writePatternJpeg(dir.file("b.jpg"), 64, 64);
    fixtures::writeFile(dir.file("notes.txt"), "not an image");
    CHistogramWnd panel({});
    panel.resize(200, 110);

    panel.SetPath(a);
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel.data().maxima[Red] > 0 && !panel.workerRunning(); }, kBound));
    const PanelData first = panel.data();

    // Focus moving across many files runs no more than one worker and ends on the last.
    for (int i = 0; i < 200; ++i)
        panel.SetPath(i % 2 ? a : b);
    panel.SetPath(b);
    QCoreApplication::processEvents();  // the merged start clears the counts
    EXPECT_EQ(panel.data().maxima[Red], 0u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel.data().maxima[Red] > 0 && !panel.workerRunning(); }, kBound));
    EXPECT_NE(panel.data().counts[Red], first.counts[Red]);

    // A camera's stored preview stands in for decoding the photo.
    QImage green(160, 120, QImage::Format_RGB32);
    green.fill(QColor(0, 128, 0));
    ASSERT_TRUE(green.save(dir.file("thumb.jpg"), "JPEG", 95));
    const QString withPreview = dir.file("preview.jpg");
    fixtures::writeFile(withPreview, fixtures::withExifThumbnail(fixtures::readFile(a), fixtures::readFile(dir.file("thumb.jpg"))));
    panel.SetPath(withPreview);
    QCoreApplication::processEvents();
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel.data().maxima[Green] > 0 && !panel.workerRunning(); }, kBound));
    const Counts& greens = panel.data().counts[Green];
    EXPECT_EQ(std::accumulate(greens.begin() + 120, greens.begin() + 137, 0u), std::accumulate(greens.begin(), greens.end(), 0u));

    // So does an entry of the freedesktop cache (here a blue one, unlike the photo).
    const QString cachedPhoto = fixtures::writePatternJpeg(dir.file("cached.jpg"), 320, 240);
    QImage blue(256, 192, QImage::Format_RGB32);
    blue.fill(QColor(0, 0, 255));
    const QFileInfo info(cachedPhoto);
    ASSERT_TRUE(ThumbnailCache::store(*ThumbnailCache::sizeClassFor(200), QFile::encodeName(cachedPhoto),
                                      info.lastModified().toSecsSinceEpoch(), uint64_t(info.size()), blue, 320, 240));
    panel.SetPath(cachedPhoto);
    QCoreApplication::processEvents();
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel.data().maxima[Blue] > 0 && !panel.workerRunning(); }, kBound));
    EXPECT_EQ(panel.data().counts[Blue][255], panel.data().maxima[Blue]);
    EXPECT_EQ(std::accumulate(panel.data().counts[Blue].begin(), panel.data().counts[Blue].end() - 1, 0u), 0u);

    // A folder, an unknown extension, a file deleted before the worker opens it, nothing.
    const QString doomed = fixtures::writePatternJpeg(dir.file("doomed.jpg"), 64, 64);
    for (const QString& path : {dir.path(), dir.file("notes.txt"), doomed, QString()}) {
        panel.SetPath(path);
        if (path == doomed)
            QFile::remove(doomed);
        QTest::qWait(1);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !panel.workerRunning(); }, kBound));
        QCoreApplication::processEvents();
        EXPECT_EQ(panel.data().maxima, (std::array<uint32_t, 4>{})) << qPrintable(path);
    }
}

TEST(HistogramPanel, ShowFlagsAreCommandsAndLiveInConfig)
{
    fixtures::TempDir dir;
    const QString config = dir.file("Config.ini");
    {
        CHistogramWnd panel(config);
        EXPECT_EQ(panel.shown(), (std::array<bool, 4>{false, true, true, true}));
        EXPECT_TRUE(panel.isChecked(cmd::HistogramRed));
        EXPECT_FALSE(panel.isChecked(cmd::HistogramGray));
        panel.OnCommand(cmd::HistogramGray);
        panel.OnCommand(cmd::HistogramBlue);
        EXPECT_TRUE(panel.isChecked(cmd::HistogramGray));
    }
    ProfileFile file(config);
    EXPECT_EQ(file.getString("Histogram", "ShowGray", {}), "1");
    EXPECT_EQ(file.getString("Histogram", "ShowBlue", {}), "0");
    EXPECT_EQ(file.getString("Histogram", "ShowRed", {}), "1");
    CHistogramWnd again(config);
    EXPECT_EQ(again.shown(), (std::array<bool, 4>{true, true, true, false}));
}

TEST(InformationPane, ChildrenFollowThePaneSize)
{
    CImagePreviewView pane({});
    pane.resize(180, 200);
    pane.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));
    EXPECT_EQ(pane.title()->geometry(), QRect(0, 0, 180, 16));
    EXPECT_EQ(pane.histogram()->geometry(), QRect(0, 16, 180, 110));
    EXPECT_EQ(pane.exif()->geometry(), QRect(0, 126, 180, 74));
    EXPECT_EQ(pane.title()->title(), "Histogram & EXIF Information");
    EXPECT_EQ(pane.histogram()->objectName(), "HistStatWnd");
    EXPECT_EQ(pane.exif()->objectName(), "ExifInfoWnd");
}

TEST(ViewerHistogram, CountsShownChannelsLazilyAndBlendsOverlaps)
{
    fipSuperImage image = fixtures::patternImage(64, 64);
    int asked = 0;
    CDlgHistogram dialog([&]() -> const fipSuperImage* { ++asked; return &image; });
    EXPECT_EQ(dialog.windowTitle(), "Histogram");
    EXPECT_EQ(dialog.minimumSize(), QSize(160, 120));
    const bool ticks[] = {true, true, true, false};
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(dialog.channelBox(c)->isChecked(), ticks[c]);
    dialog.resize(300, 200);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    CWndHistogram* window = dialog.histogramWindow();
    EXPECT_EQ(window->geometry(), QRect(0, 0, 300, 175));
    const int xs[] = {6, 41, 76, 111};
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(dialog.channelBox(c)->pos(), QPoint(xs[c], 180));

    window->grab();
    const DialogData& data = window->data();
    EXPECT_TRUE(data.computed(DlgRed) && data.computed(DlgGreen) && data.computed(DlgBlue));
    EXPECT_FALSE(data.computed(DlgGrey));
    // The three colours counted together give the library's counts, capped over all three.
    std::array<Counts, 3> library{};
    const FREE_IMAGE_COLOR_CHANNEL channels[] = {FICC_RED, FICC_GREEN, FICC_BLUE};
    uint64_t total = 0;
    for (size_t c = 0; c < 3; ++c) {
        std::array<DWORD, 256> raw{};
        ASSERT_TRUE(image.getHistogram(raw.data(), channels[c]));
        std::copy(raw.begin(), raw.end(), library[c].begin());
        for (uint32_t v : library[c])
            total += v;
    }
    uint32_t maximum = 0;
    for (size_t c = 0; c < 3; ++c) {
        for (uint32_t& v : library[c])
            maximum = std::max(v = std::min<uint32_t>(v, uint32_t(total / 768 * 4)), maximum);
        EXPECT_EQ(data.counts(int(c)), library[c]);
    }
    EXPECT_EQ(data.maximum(), maximum);

    // Luminance is counted only once it is shown.
    QTest::mouseClick(dialog.channelBox(DlgGrey), Qt::LeftButton);
    window->grab();
    EXPECT_TRUE(window->data().computed(DlgGrey));

    // The image changed: nothing counted until the next paint.
    dialog.Reset();
    EXPECT_FALSE(window->data().computed(DlgRed));
    EXPECT_EQ(window->data().maximum(), 0u);
    EXPECT_GT(asked, 0);
}

TEST(ViewerHistogram, OverlappingBarsAreHalfBlendedInChannelOrder)
{
    DialogData data;
    fipSuperImage grey(FIT_BITMAP, 32, 32, 24);  // all black: every channel's counts at bin 0
    ASSERT_TRUE(data.computeShown(&grey, {true, true, false, false}));
    const QImage picture = data.paint(QSize(10, 20), {true, true, false, false});
    // Red is the base; green blends half over it: ((g - r) * 128 + r * 256) / 256.
    const QColor red = dialogColor(DlgRed), green = dialogColor(DlgGreen);
    const auto half = [](int other, int base) { return ((other - base) * 128 + base * 256) / 256; };
    EXPECT_EQ(picture.pixelColor(0, 19),
              QColor(half(green.red(), red.red()), half(green.green(), red.green()), half(green.blue(), red.blue())));
    EXPECT_EQ(picture.pixelColor(0, 0), QColor(half(green.red(), red.red()), half(green.green(), red.green()),
                                               half(green.blue(), red.blue())));
    EXPECT_EQ(picture.pixelColor(5, 10), kWhite);
    // Shown alone, a channel keeps its own colour.
    EXPECT_EQ(data.paint(QSize(10, 20), {false, true, false, false}).pixelColor(0, 19), green);
}
