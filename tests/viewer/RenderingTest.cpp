// Drawing paths, backgrounds, the selection frame, cursors and the "Set Zoom Level" dialog.
#include "ViewerTestSupport.h"
#include "DensityRerun.h"

#include "app/MessageBoxSeam.h"
#include "app/NativePath.h"
#include "app/ProfileFile.h"
#include "imaging/fipSuperImage.h"
#include "viewer/CDlgSetZoomLevel.h"
#include "viewer/EditViewSettings.h"
#include "viewer/ImageLoading.h"
#include "viewer/IncrementalReduction.h"
#include "viewer/ViewRendering.h"
#include "viewer/ZoomSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QPainter>
#include <QRadioButton>
#include <QFile>
#include <QGuiApplication>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

using fixtures::TempDir;

namespace {

QRgb rgbOf(const RGBQUAD& c)
{
    return qRgb(c.rgbRed, c.rgbGreen, c.rgbBlue);
}

QImage grabClient(CImageView& view)
{
    return view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

struct OpenView {
    TempDir dir;
    QStringList files;
    std::unique_ptr<FileListSequence> sequence;
    std::unique_ptr<CImageView> view;
    OpenView(QSize image, QSize window)
    {
        files << viewertest::writePatternPng(dir.file("a.png"), image.width(), image.height());
        sequence = std::make_unique<FileListSequence>(files);
        view = viewertest::makeView(dir, window);
        view->setSequence(sequence.get());
        view->OnFitImage();
        view->OpenImageAt(0, 0);
    }
};

}  // namespace

TEST(DrawPath, CacheForModestReductionsStretchOtherwiseCopyAtHundredPercent)
{
    EXPECT_EQ(chooseDrawPath(0.5, QSize(2000, 2000), false), DrawPath::Cache);     // 4000 x 4000 at 50%
    EXPECT_EQ(chooseDrawPath(0.7, QSize(5600, 5600), false), DrawPath::Stretch);   // 8000 x 8000 at 70%
    EXPECT_EQ(chooseDrawPath(0.5, QSize(4000, 4000), false), DrawPath::Cache);     // exactly the limit
    EXPECT_EQ(chooseDrawPath(0.5, QSize(2000, 2000), true), DrawPath::Stretch);    // slider dragged
    EXPECT_EQ(chooseDrawPath(1.0, QSize(2000, 2000), false), DrawPath::Direct);
    EXPECT_EQ(chooseDrawPath(3.0, QSize(2000, 2000), false), DrawPath::Stretch);
}

TEST(DrawPath, StretchFromTheLibraryRowsKeepsOrientationAndColourOrder)
{
    const fipSuperImage image = fixtures::patternImage(8, 6);
    const QImage doubled = stretchBottomUpBgr(image.accessPixels(), QSize(8, 6), image.getScanWidth(),
                                              QRectF(0, 0, 8, 6), QSize(16, 12));
    ASSERT_EQ(doubled.size(), QSize(16, 12));
    EXPECT_EQ(doubled.pixel(0, 0), rgbOf(fixtures::patternColor(0, 0)));
    EXPECT_EQ(doubled.pixel(3, 5), rgbOf(fixtures::patternColor(1, 2)));
    EXPECT_EQ(doubled.pixel(15, 11), rgbOf(fixtures::patternColor(7, 5)));
    // A part of the image, halved.
    const QImage part = stretchBottomUpBgr(image.accessPixels(), QSize(8, 6), image.getScanWidth(),
                                           QRectF(4, 2, 4, 4), QSize(2, 2));
    EXPECT_EQ(part.pixel(0, 0), rgbOf(fixtures::patternColor(5, 3)));
    EXPECT_EQ(part.pixel(1, 1), rgbOf(fixtures::patternColor(7, 5)));
}

// 1, 4 and 8-bit palette images are drawn from their own rows (no 32-bit copy), each pixel
// through its palette and the right way up.
TEST(Painting, PaletteImagesAreDrawnFromTheirRowsTheRightWayUp)
{
    for (const unsigned bpp : {1u, 4u, 8u}) {
        SCOPED_TRACE(bpp);
        TempDir dir;
        fipSuperImage image(FIT_BITMAP, 9, 5, bpp);
        const unsigned colours = 1u << bpp;
        RGBQUAD* palette = image.getPalette();
        for (unsigned i = 0; i < colours; ++i)
            palette[i] = RGBQUAD{BYTE(i * 7), BYTE(255 - i), BYTE(i * 3 % 256), 0};
        auto indexAt = [&](unsigned x, unsigned y) { return BYTE((x + 2 * y) % colours); };
        for (unsigned y = 0; y < 5; ++y)
            for (unsigned x = 0; x < 9; ++x) {
                BYTE index = indexAt(x, y);
                image.setPixelIndex(x, 4 - y, &index);  // the library counts rows from the bottom
            }
        const QString file = dir.file("palette.bmp");
        ASSERT_TRUE(image.save(file));
        FileListSequence sequence(QStringList{file});
        auto view = viewertest::makeView(dir, QSize(100, 80));
        view->setSequence(&sequence);
        view->OpenImageAt(0, 0);
        view->OnFixedZoomLevel(4.0);
        const QImage shot = grabClient(*view);
        EXPECT_EQ(view->lastDrawPath(), DrawPath::Stretch);
        const QPoint origin = view->drawnRect().topLeft();
        for (const QPoint p : {QPoint(0, 0), QPoint(8, 0), QPoint(3, 4), QPoint(8, 4)}) {
            const RGBQUAD c = palette[indexAt(p.x(), p.y())];
            EXPECT_EQ(shot.pixel(origin + 4 * p + QPoint(1, 1)), rgbOf(c)) << p.x() << "," << p.y();
        }
    }
}

TEST(Painting, SmallImageIsCentredOnTheViewerBackgroundOrBlackInFullScreen)
{
    OpenView v(QSize(10, 8), QSize(100, 80));
    ASSERT_TRUE(v.view->hasImage());
    ASSERT_EQ(v.view->zoom(), 1.0);
    QImage shot = grabClient(*v.view);
    ASSERT_EQ(shot.size(), QSize(100, 80));
    EXPECT_EQ(v.view->lastDrawPath(), DrawPath::Direct);
    EXPECT_EQ(v.view->drawnRect(), QRect(45, 36, 10, 8));
    EXPECT_EQ(shot.pixel(45, 36), rgbOf(fixtures::patternColor(0, 0)));
    EXPECT_EQ(shot.pixel(54, 43), rgbOf(fixtures::patternColor(9, 7)));
    EXPECT_EQ(shot.pixel(50, 40), rgbOf(fixtures::patternColor(5, 4)));
    for (QPoint p : {QPoint(0, 0), QPoint(44, 36), QPoint(55, 43), QPoint(50, 35), QPoint(50, 44), QPoint(99, 79)})
        EXPECT_EQ(shot.pixel(p), qRgb(0x8A, 0x8A, 0x8A)) << p.x() << "," << p.y();

    v.view->setFullScreenMode(true);
    shot = grabClient(*v.view);
    EXPECT_EQ(shot.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(44, 36), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(45, 36), rgbOf(fixtures::patternColor(0, 0)));

    v.view->ReleaseImage();
    shot = grabClient(*v.view);
    EXPECT_EQ(shot.pixel(50, 40), qRgb(0, 0, 0));
}

TEST(Painting, ReducedViewIsDrawnFromTheCacheAndZoomedViewsStretch)
{
    OpenView v(QSize(64, 48), QSize(100, 80));
    v.view->OnFixedZoomLevel(0.5);
    QImage shot = grabClient(*v.view);
    EXPECT_EQ(v.view->lastDrawPath(), DrawPath::Cache);
    EXPECT_TRUE(v.view->hasDrawingCache());
    EXPECT_EQ(v.view->drawnRect(), QRect(34, 28, 32, 24));

    // A change of the pixels drops the cache.
    v.view->TakeUndoSnapshot();
    v.view->image()->invert();
    v.view->MarkChanged();
    EXPECT_FALSE(v.view->hasDrawingCache());

    // A flip mirrors the cache, which then shows what a new reduction would.
    grabClient(*v.view);
    v.view->image()->flipVertical();
    v.view->MarkMirrored(true);
    EXPECT_TRUE(v.view->hasDrawingCache());
    const QImage mirrored = grabClient(*v.view);
    v.view->MarkChanged();
    EXPECT_EQ(grabClient(*v.view), mirrored);
    v.view->image()->flipVertical();
    v.view->MarkChanged();

    // At 300% the top-left image pixel covers 3 x 3 screen pixels from the scroll origin.
    v.view->OnFixedZoomLevel(3.0);
    v.view->SetScrollPosition(0, 0);
    shot = grabClient(*v.view);
    EXPECT_EQ(v.view->lastDrawPath(), DrawPath::Stretch);
    RGBQUAD inverted = fixtures::patternColor(0, 0);
    inverted.rgbRed = 255 - inverted.rgbRed;
    inverted.rgbGreen = 255 - inverted.rgbGreen;
    inverted.rgbBlue = 255 - inverted.rgbBlue;
    EXPECT_EQ(shot.pixel(0, 0), rgbOf(inverted));
    EXPECT_EQ(shot.pixel(2, 2), rgbOf(inverted));
    EXPECT_NE(shot.pixel(3, 0), rgbOf(inverted));
}

// Neighbouring pixels along row `y` of `shot` that differ sharply: a 1-pixel stripe pattern
// drawn one to one keeps them all, any scaling loses most.
int sharpSteps(const QImage& shot, int y)
{
    int steps = 0;
    for (int x = 0; x + 1 < shot.width(); ++x)
        if (std::abs(qGray(shot.pixel(x, y)) - qGray(shot.pixel(x + 1, y))) > 200)
            ++steps;
    return steps;
}

// 100% is one image pixel to one device pixel, and a fit fills the device pixels: at twice the
// density the same stripes stay as sharp as at 1x, and a large image fits at half the zoom.
// The test runs itself again in a process whose screen has that density.
TEST(Painting, HundredPercentIsOneDevicePixelAndFitsCountDevicePixels)
{
    const double ratio = qGuiApp->devicePixelRatio();
    TempDir dir;
    QImage stripes(200, 100, QImage::Format_RGB32);
    for (int x = 0; x < stripes.width(); ++x)
        for (int y = 0; y < stripes.height(); ++y)
            stripes.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    const QString file = dir.file("stripes.png");
    ASSERT_TRUE(stripes.save(file));
    FileListSequence sequence(QStringList{file, viewertest::writePatternPng(dir.file("large.png"), 2400, 1600)});
    auto view = viewertest::makeView(dir, QSize(600, 400));
    view->setSequence(&sequence);
    view->OpenImageAt(1, 0);  // the list is in name order: large.png, stripes.png
    view->OnActualSize();
    const QImage shot = grabClient(*view);
    ASSERT_EQ(shot.devicePixelRatio(), ratio);
    EXPECT_EQ(view->drawnRect().width(), qRound(200 / ratio));
    EXPECT_EQ(sharpSteps(shot, shot.height() / 2), 199);

    view->OpenImageAt(0, 0);
    view->OnFitImage();
    EXPECT_DOUBLE_EQ(view->zoom(), 0.25 * ratio);
    grabClient(*view);
    EXPECT_EQ(view->drawnRect().size(), QSize(600, 400));
    EXPECT_EQ(view->lastDrawPath(), DrawPath::Cache);

    if (ratio < 2)
        fixtures::rerunAtDensity(QStringLiteral("2"));
}

// A reduction by more than two (block means, then the filter) is the area average the right
// way up: smooth gradients come out as Qt's smooth scaling gives them, and fine stripes as an
// even grey.
TEST(Painting, ALargeReductionIsTheAreaAverageTheRightWayUp)
{
    fipSuperImage image(FIT_BITMAP, 1203, 801, 24);
    for (unsigned y = 0; y < 801; ++y) {
        BYTE* row = image.getScanLine(800 - y);  // bottom-up rows
        for (unsigned x = 0; x < 1203; ++x) {
            const bool stripes = x < 200 && y < 200;
            row[3 * x + FI_RGBA_RED] = stripes ? BYTE(x % 2 * 255) : BYTE(x * 255 / 1202);
            row[3 * x + FI_RGBA_GREEN] = stripes ? BYTE(x % 2 * 255) : BYTE(y * 255 / 800);
            row[3 * x + FI_RGBA_BLUE] = stripes ? BYTE(x % 2 * 255) : 90;
        }
    }
    const QSize size(280, 187);
    const QImage reduced = reducedDisplayImage(image, {}, size);
    const QImage expected = makeDisplayImage(image).scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    ASSERT_EQ(reduced.size(), size);
    int worst = 0, stripesWorst = 0;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const QRgb a = reduced.pixel(x, y), b = expected.pixel(x, y);
            if (x < 44 && y < 44) {  // the stripes, 46.5 pixels across
                stripesWorst = std::max(stripesWorst, std::abs(qGray(a) - 128));
                continue;
            }
            if (x < 49 && y < 49)  // along their sharp edge a fraction of a pixel moves a lot
                continue;
            worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                              std::abs(qBlue(a) - qBlue(b))});
        }
    EXPECT_LE(worst, 4);
    // Qt's own smooth scaling leaves a beat of about 10 grey levels there.
    EXPECT_LE(stripesWorst, 2);
}

// The view's reduction of a large photo, made a band per turn, is the one made at once.
TEST(Painting, TheReductionMadeInBandsIsTheOneMadeAtOnce)
{
    fipSuperImage image(FIT_BITMAP, 2600, 1700, 24);
    for (unsigned y = 0; y < 1700; ++y) {
        BYTE* row = image.getScanLine(y);
        for (unsigned x = 0; x < 2600; ++x) {
            row[3 * x] = BYTE(x * 7 + y);
            row[3 * x + 1] = BYTE(y * 3);
            row[3 * x + 2] = BYTE((x ^ y) & 0xFF);
        }
    }
    const QSize size(300, 196);
    auto reduction = IncrementalReduction::start(image, size);
    ASSERT_TRUE(reduction);
    int turns = 1;
    while (!reduction->step(image))
        ++turns;
    EXPECT_GT(turns, 2);
    EXPECT_EQ(reduction->take(), reducedDisplayImage(image, {}, size));
}

TEST(Painting, SelectionFrameInvertsWhatIsUnderItAndHasBlackHandles)
{
    OpenView v(QSize(60, 40), QSize(100, 80));
    const QImage before = grabClient(*v.view);
    v.view->setSelection(QRect(10, 10, 30, 20));
    const QImage after = grabClient(*v.view);
    const QRect frame = v.view->zoomGeometry().imageToClient(QRect(10, 10, 30, 20));
    // A point on the top edge between the corner and the middle handles.
    const QPoint onEdge(frame.left() + 8, frame.top());
    EXPECT_EQ(after.pixel(onEdge), before.pixel(onEdge) ^ 0x00FFFFFF);
    EXPECT_EQ(after.pixel(frame.topLeft()), qRgb(0, 0, 0));              // corner handle
    EXPECT_EQ(after.pixel(frame.center()), before.pixel(frame.center()));  // inside untouched
    EXPECT_EQ(trackerHitTest(frame, frame.topLeft()), 0);
    EXPECT_EQ(trackerHitTest(frame, frame.center()), 8);
    EXPECT_EQ(trackerHitTest(frame, frame.topLeft() - QPoint(3, 3)), -1);
}

TEST(Cursors, EachToolGetsItsCursorWhereItApplies)
{
    CursorInputs in;
    in.hasImage = true;
    in.drawnRect = QRect(10, 10, 50, 50);
    in.point = QPoint(20, 20);
    EXPECT_EQ(chooseCursor(in), CursorKind::Default);  // pan tool, image fits
    in.imageFitsClient = false;
    EXPECT_EQ(chooseCursor(in), CursorKind::Pan);
    in.leftButtonDown = true;
    EXPECT_EQ(chooseCursor(in), CursorKind::PanDown);
    in.tool = ViewTool::Zoom;
    EXPECT_EQ(chooseCursor(in), CursorKind::Zoom);
    in.point = QPoint(5, 5);
    EXPECT_EQ(chooseCursor(in), CursorKind::Default);
    in.tool = ViewTool::Select;
    EXPECT_EQ(chooseCursor(in), CursorKind::Select);
    in.selectionOnScreen = QRect(0, 0, 40, 40);
    EXPECT_EQ(chooseCursor(in), CursorKind::SizeFDiag);  // on the top-left handle
    in.point = QPoint(20, 20);
    EXPECT_EQ(chooseCursor(in), CursorKind::Move);
    in.overScrollBarOrMenu = true;
    EXPECT_EQ(chooseCursor(in), CursorKind::Default);
    in.cursorHidden = true;
    EXPECT_EQ(chooseCursor(in), CursorKind::Hidden);
}

TEST(ZoomCommands, StepsFitsAndFixedLevelsOnAnOpenImage)
{
    OpenView v(QSize(400, 200), QSize(148, 100));  // fits at 0.37
    EXPECT_DOUBLE_EQ(v.view->zoom(), 0.37);
    v.view->OnZoomIn();
    EXPECT_EQ(v.view->zoom(), 0.5);
    EXPECT_FALSE(v.view->zoomGeometry().autoFit());
    v.view->OnFixedZoomLevel(0.07);
    EXPECT_FALSE(v.view->canZoomOut());
    v.view->OnFixedZoomLevel(16);
    EXPECT_FALSE(v.view->canZoomIn());
    v.view->OnZoomIn();
    EXPECT_EQ(v.view->zoom(), 16.0);

    // The scroll bars follow the geometry, and moving one scrolls the view.
    v.view->OnFixedZoomLevel(1.0);
    QScrollBar* bar = v.view->horizontalScrollBar();
    ASSERT_TRUE(v.view->zoomGeometry().scrollBars().horizontal);
    EXPECT_EQ(bar->maximum(), 400 - v.view->zoomGeometry().clientSize().width());
    EXPECT_EQ(bar->pageStep(), v.view->zoomGeometry().clientSize().width());
    bar->setValue(100);
    EXPECT_EQ(v.view->zoomGeometry().scrollX(), 100);
    EXPECT_EQ(v.view->ClientToImageX(0), 100);
    v.view->OnFixedZoomLevel(16);

    v.view->OnZoomLock();
    EXPECT_EQ(v.view->zoomType(), ZoomType::ZoomLock);
    v.view->OpenImageAt(0, 0);
    EXPECT_EQ(v.view->zoom(), 16.0);  // locked for the next image
    v.view->OnFitImage();
    EXPECT_DOUBLE_EQ(v.view->zoom(), 0.37);

    // The window growing re-fits; a fitted small image stays at 100%.
    v.view->resize(1000, 800);
    QCoreApplication::processEvents();
    EXPECT_EQ(v.view->zoom(), 1.0);
}

TEST(ZoomDialog, RejectsLevelsOutsideTheRangeAndAppliesTheChoice)
{
    OpenView v(QSize(40, 30), QSize(100, 80));
    ASSERT_EQ(v.view->zoom(), 1.0);
    std::vector<MessageBoxSeam::Request> shown;
    auto previous = MessageBoxSeam::setHandler([&](const MessageBoxSeam::Request& r) {
        shown.push_back(r);
        return QMessageBox::Ok;
    });

    {
        CDlgSetZoomLevel dialog(v.view->zoom(), v.view->zoomType(), v.view.get());
        EXPECT_EQ(dialog.levelEdit()->currentText(), "100");
        EXPECT_TRUE(dialog.radio(CDlgSetZoomLevel::Choice::Specify)->isChecked());
        for (const char* bad : {"5", "2000"}) {
            dialog.levelEdit()->setEditText(bad);
            dialog.accept();
            EXPECT_NE(dialog.result(), QDialog::Accepted) << bad;
        }
        ASSERT_EQ(shown.size(), 2u);
        EXPECT_EQ(shown[0].caption, "Set Zoom Level");
        EXPECT_EQ(shown[0].text, "You must specify a valid zoom level (7% - 1600%).");
        EXPECT_EQ(shown[0].icon, QMessageBox::Warning);

        dialog.levelEdit()->setEditText("100");
        dialog.accept();
        ASSERT_EQ(dialog.result(), QDialog::Accepted);
        v.view->applyZoomDialog(dialog);
        EXPECT_TRUE(v.view->zoomGeometry().autoFit());  // 100 at 100%: nothing changed
    }
    {
        CDlgSetZoomLevel dialog(v.view->zoom(), v.view->zoomType(), v.view.get());
        dialog.levelEdit()->setEditText("250");
        dialog.lockBox()->setChecked(true);
        dialog.accept();
        v.view->applyZoomDialog(dialog);
        EXPECT_EQ(v.view->zoom(), 2.5);
        EXPECT_EQ(v.view->zoomType(), ZoomType::ZoomLock);
        EXPECT_FALSE(v.view->zoomGeometry().autoFit());
    }
    {
        CDlgSetZoomLevel dialog(v.view->zoom(), v.view->zoomType(), v.view.get());
        EXPECT_TRUE(dialog.lockBox()->isChecked());
        dialog.radio(CDlgSetZoomLevel::Choice::FitWidth)->setChecked(true);
        dialog.lockBox()->setChecked(false);
        dialog.accept();
        v.view->applyZoomDialog(dialog);
        EXPECT_EQ(v.view->zoomType(), ZoomType::FitWidth);  // the fit replaced the lock already
        EXPECT_EQ(v.view->zoom(), 1.0);
    }
    MessageBoxSeam::setHandler(previous);
}

TEST(ZoomSettings, NumbersInConfigIniIgnoreADecimalCommaLocale)
{
    const fixtures::CommaDecimalLocale german;
    if (!german.active())
        GTEST_SKIP() << "no de_DE.UTF-8 locale here (scripts/install-deps.sh generates it as root)";
    TempDir dir;
    ProfileFile profile(dir.file("Config.ini"));
    writeZoomInfo(profile, {ZoomType::ZoomLock, 0.5});
    EXPECT_EQ(profile.getString("ZoomInfo", "ZoomLevel", ""), "0.500000");
    EXPECT_EQ(viewertest::makeView(dir, QSize(200, 100))->zoom(), 0.5);
    profile.writeString("ZoomInfo", "ZoomLevel", "2.5");
    EXPECT_EQ(readZoomInfo(profile).level, 2.5);

    writeEditViewSettings(profile, EditViewSettings{}, 1.5);
    EXPECT_EQ(profile.getString("EditView", "SelRatio", ""), "1.500000");
    EXPECT_EQ(readEditViewSettings(profile).ratio, 1.5);
}

namespace {

// A `type` image of one colour: `level` of full scale in red, half of it in green, full blue.
fipSuperImage deepImage(FREE_IMAGE_TYPE type, unsigned width, unsigned height, double level)
{
    const unsigned bpp = type == FIT_RGB16 ? 48 : type == FIT_RGBA16 ? 64 : type == FIT_RGBF ? 96 : 16;
    fipSuperImage image(type, width, height, bpp);
    for (unsigned y = 0; y < height; ++y) {
        BYTE* line = image.getScanLine(y);
        for (unsigned x = 0; x < width; ++x) {
            if (type == FIT_RGB16 || type == FIT_RGBA16) {
                auto* p = reinterpret_cast<WORD*>(line) + x * (type == FIT_RGB16 ? 3 : 4);
                p[0] = static_cast<WORD>(65535 * level), p[1] = static_cast<WORD>(32767 * level), p[2] = 65535;
                if (type == FIT_RGBA16)
                    p[3] = 65535;
            } else if (type == FIT_RGBF) {
                auto* p = reinterpret_cast<FIRGBF*>(line) + x;
                *p = {static_cast<float>(level), static_cast<float>(level / 2), 1.0f};
            } else if (type == FIT_UINT16) {
                reinterpret_cast<WORD*>(line)[x] = static_cast<WORD>(x == 0 ? 0 : 65535 * level);
            }
        }
    }
    return image;
}

}  // namespace

// Deeper images are drawn at 8 bits while the image keeps its depth.
TEST(Painting, SixteenBitAndFloatImagesAreShown)
{
    const struct {
        FREE_IMAGE_TYPE type;
        const char* name;
        double level;
        QRgb expected;  // 0: anything but the background
    } cases[] = {{FIT_RGB16, "rgb16.png", 0.5, qRgb(127, 63, 255)}, {FIT_RGB16, "rgb16.tif", 0.5, qRgb(127, 63, 255)},
                 {FIT_RGBA16, "rgba16.png", 0.5, qRgb(127, 63, 255)}, {FIT_RGBF, "rgbf.tif", 0.5, qRgb(128, 64, 255)},
                 {FIT_RGBF, "hdr.tif", 8.0, 0}, {FIT_UINT16, "grey16.png", 0.5, qRgb(255, 255, 255)}};
    for (const auto& c : cases) {
        TempDir dir;
        const QString path = dir.file(c.name);
        ASSERT_TRUE(deepImage(c.type, 40, 30, c.level).save(path)) << c.name;
        FileListSequence sequence({path});
        auto view = viewertest::makeView(dir, QSize(100, 80));
        view->setSequence(&sequence);
        view->OpenImageAt(0, 0);
        ASSERT_TRUE(view->hasImage()) << c.name;
        EXPECT_EQ(view->image()->getImageType(), c.type) << c.name;
        const QRgb shown = grabClient(*view).pixel(50, 40);
        EXPECT_NE(shown, qRgb(0x8A, 0x8A, 0x8A)) << c.name;
        EXPECT_NE(shown, qRgb(0, 0, 0)) << c.name;
        if (c.expected)
            EXPECT_EQ(shown, c.expected) << c.name << " " << std::hex << shown;
    }
}

// Once a large reduced image is drawn from its finished cache, the view stays idle.
TEST(Painting, ADeepImageTooLargeToReduceAtOnceSettlesAfterItsCache)
{
    OpenView v(QSize(40, 30), QSize(100, 80));
    *v.view->image() = deepImage(FIT_RGB16, 2100, 2000, 0.5);
    v.view->MarkChanged();
    int paints = 0;
    struct Counter : QObject {
        int& count;
        explicit Counter(int& c) : count(c) {}
        bool eventFilter(QObject*, QEvent* e) override
        {
            count += e->type() == QEvent::Paint;
            return false;
        }
    } counter(paints);
    v.view->viewport()->installEventFilter(&counter);
    grabClient(*v.view);
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(v.view->hasDrawingCache());
    paints = 0;
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(paints, 0);
    EXPECT_EQ(grabClient(*v.view).pixel(50, 40), qRgb(127, 63, 255));
}

TEST(Painting, AFileWhoseNameIsNotUtf8IsOpened)
{
    TempDir dir;
    const QByteArray native = QFile::encodeName(dir.path()) + "/caf\xE9.png";
    ASSERT_EQ(std::rename(QFile::encodeName(viewertest::writePatternPng(dir.file("a.png"), 10, 8)).constData(),
                          native.constData()),
              0);
    FileListSequence sequence({NativePath::decode(native)});
    auto view = viewertest::makeView(dir, QSize(100, 80));
    view->setSequence(&sequence);
    view->OpenImageAt(0, 0);
    ASSERT_TRUE(view->hasImage());
    EXPECT_EQ(grabClient(*view).pixel(45, 36), rgbOf(fixtures::patternColor(0, 0)));
}
