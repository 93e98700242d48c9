// Zoom steps, fit rules, SetZoom's centre, scrolling, conversions and the zoom settings.
#include "ViewerTestSupport.h"

#include "app/ProfileFile.h"
#include "viewer/ZoomGeometry.h"
#include "viewer/ZoomSettings.h"

#include <gtest/gtest.h>

namespace {

ViewGeometry geometry(QSize window, QSize image, int bar = 17)
{
    ViewGeometry g;
    g.setBarExtents(bar, bar);
    g.setWindowSize(window);
    g.setImageSize(image);
    return g;
}

}  // namespace

TEST(ZoomSteps, StepToNeighboursAndStopAtTheEnds)
{
    EXPECT_EQ(nextZoomIn(0.37), 0.5);
    EXPECT_EQ(nextZoomOut(0.37), 0.3);
    EXPECT_EQ(nextZoomIn(1.0), 1.5);
    EXPECT_EQ(nextZoomOut(1.0), 0.7);
    EXPECT_EQ(nextZoomIn(16.0), 16.0);
    EXPECT_EQ(nextZoomOut(0.07), 0.07);
    EXPECT_EQ(nextZoomOut(0.01), 0.07);
    EXPECT_EQ(nextZoomIn(20.0), 16.0);
    EXPECT_EQ(roundHalfAway(2.5), 3);
    EXPECT_EQ(roundHalfAway(-2.5), -3);
    EXPECT_EQ(roundHalfAway(-2.4), -2);
}

TEST(FitRules, FitNeverEnlargesAndAccountsForTheScrollBar)
{
    EXPECT_EQ(fitImageFactor(QSize(800, 600), QSize(100, 50)), 1.0);
    EXPECT_DOUBLE_EQ(fitImageFactor(QSize(800, 600), QSize(1600, 600)), 0.5);   // wider: by width
    EXPECT_DOUBLE_EQ(fitImageFactor(QSize(800, 600), QSize(1000, 1200)), 0.5);  // taller: by height

    // Fit width of a tall image: the vertical bar will show, so its width is given up.
    EXPECT_DOUBLE_EQ(fitWidthFactor(QSize(800, 600), QSize(1000, 3000), 20, false), 780.0 / 1000);
    EXPECT_DOUBLE_EQ(fitWidthFactor(QSize(800, 600), QSize(1000, 3000), 20, true), 0.8);
    EXPECT_DOUBLE_EQ(fitWidthFactor(QSize(800, 600), QSize(1000, 500), 20, false), 0.8);
    EXPECT_EQ(fitWidthFactor(QSize(800, 600), QSize(400, 3000), 20, false), 1.0);
    EXPECT_DOUBLE_EQ(fitHeightFactor(QSize(800, 600), QSize(3000, 1000), 20, false), 580.0 / 1000);
}

TEST(ViewGeometry, FitsAndLocksAsAppliedToEachNewImage)
{
    ViewGeometry g = geometry(QSize(800, 600), QSize(2000, 1000));
    g.fitImage();
    EXPECT_DOUBLE_EQ(g.zoom(), 0.4);
    EXPECT_EQ(g.zoomedSize(), QSize(800, 400));
    EXPECT_EQ(g.scrollBars(), ScrollBarsShown{});

    // Zoom lock keeps the factor for the next image; actual size gives 100%.
    g.setAutoFit(false);
    g.setZoom(3.0);
    g.zoomLock();
    g.setAutoFit(true);
    g.setImageSize(QSize(500, 400));
    g.applyZoomType();
    EXPECT_EQ(g.zoom(), 3.0);
    EXPECT_EQ(g.zoomedSize(), QSize(1500, 1200));
    g.actualSize();
    g.setImageSize(QSize(5000, 4000));
    g.applyZoomType();
    EXPECT_EQ(g.zoom(), 1.0);
    g.fitWidth();
    g.setImageSize(QSize(200, 100));
    g.applyZoomType();
    EXPECT_EQ(g.zoom(), 1.0);  // never enlarged
}

TEST(ViewGeometry, ZoomingKeepsTheImagePointUnderTheCentre)
{
    ViewGeometry g = geometry(QSize(400, 300), QSize(4000, 3000), 0);
    g.setAutoFit(false);
    g.setZoom(1.0);
    g.setScrollPosition(1000, 800);
    const double cx = g.clientToImageX(200), cy = g.clientToImageY(150);
    g.setZoom(2.0);
    EXPECT_NEAR(g.clientToImageX(200), cx, 0.5);
    EXPECT_NEAR(g.clientToImageY(150), cy, 0.5);
    g.setZoom(0.5);
    EXPECT_NEAR(g.clientToImageX(200), cx, 1.0);
    EXPECT_NEAR(g.clientToImageY(150), cy, 1.0);

    // From a fitted view the zoomed image is centred.
    g.setZoom(0.1);
    EXPECT_EQ(g.scrollX(), 0);
    g.setZoom(0.2);  // 800 x 600 in 400 x 300
    EXPECT_DOUBLE_EQ(g.scrollX(), 200);
    EXPECT_DOUBLE_EQ(g.scrollY(), 150);
}

TEST(ViewGeometry, ScrollIsClampedAndBarsFollowTheZoomedSize)
{
    ViewGeometry g = geometry(QSize(400, 300), QSize(1000, 280), 20);
    g.setAutoFit(false);
    g.setZoom(1.0);
    // Horizontal bar needed; with it the client is 280 high, exactly the image: no vertical.
    EXPECT_EQ(g.scrollBars(), (ScrollBarsShown{true, false}));
    EXPECT_EQ(g.clientSize(), QSize(400, 280));
    g.setScrollPosition(5000, 50);
    EXPECT_EQ(g.scrollX(), 600);
    EXPECT_EQ(g.scrollY(), 0);
    g.setScrollPosition(-5, 0);
    EXPECT_EQ(g.scrollX(), 0);

    g.setImageSize(QSize(1000, 290));
    g.setZoom(1.0);
    EXPECT_EQ(g.scrollBars(), (ScrollBarsShown{true, true}));
    EXPECT_EQ(g.clientSize(), QSize(380, 280));
    g.setScrollPosition(5000, 5000);
    EXPECT_EQ(g.scrollX(), 620);
    EXPECT_EQ(g.scrollY(), 10);

    g.setFullScreen(true);
    g.setScrollPosition(0, 0);
    EXPECT_EQ(g.scrollBars(), ScrollBarsShown{});
}

TEST(ViewGeometry, ConversionsRoundTripScrolledAndCentred)
{
    ViewGeometry g = geometry(QSize(300, 200), QSize(1000, 800), 0);
    g.setAutoFit(false);
    g.setZoom(2.0);
    g.setScrollPosition(333, 444);
    for (double x : {0.0, 17.0, 299.0})
        EXPECT_NEAR(g.imageToClientX(g.clientToImageX(x)), x, 1e-9);
    const QRect selection(200, 250, 40, 30);
    EXPECT_EQ(g.clientToImage(g.imageToClient(selection)), selection);
    EXPECT_EQ(g.imageToClient(QRect()), QRect());

    // Centred: a 100 x 50 image in 300 x 200 at 100% starts at (100, 75).
    g.setImageSize(QSize(100, 50));
    g.setZoom(1.0);
    EXPECT_EQ(g.imageToClientX(0), 100);
    EXPECT_EQ(g.imageToClientY(0), 75);
    EXPECT_EQ(g.clientToImageX(0), 0);      // clamped to the image
    EXPECT_EQ(g.clientToImageX(299), 100);
    EXPECT_EQ(g.imageToClientX(150), 200);  // clamped to the image width
}

TEST(ViewGeometry, VisiblePartOfAScrolledZoomedImage)
{
    ViewGeometry g = geometry(QSize(100, 100), QSize(1000, 1000), 0);
    g.setAutoFit(false);
    g.setZoom(3.0);
    g.setScrollPosition(31, 2990 - 100 + 10);  // clamped to the bottom
    const VisiblePart part = g.visiblePart();
    ASSERT_TRUE(part.valid);
    EXPECT_EQ(part.source.x(), 10);
    EXPECT_EQ(part.destination.x(), -1);  // a third of the first source pixel is scrolled away
    EXPECT_EQ(part.source.y() + part.source.height(), 1000);
    EXPECT_GE(part.destination.x() + part.destination.width(), 100);
}

TEST(ZoomSettings, CorrectedOnReadAndWrittenBack)
{
    fixtures::TempDir dir;
    ProfileFile profile(dir.file("Config.ini"));
    EXPECT_EQ(readZoomInfo(profile).type, ZoomType::FitImage);
    EXPECT_EQ(readZoomInfo(profile).level, 1.0);
    for (auto [text, expected] : {std::pair{"0", 0.01}, {"-3.5", 0.01}, {"20", 16.0}, {"2.5", 2.5}, {"abc", 0.01}}) {
        profile.writeString("ZoomInfo", "ZoomLevel", text);
        EXPECT_EQ(readZoomInfo(profile).level, expected) << text;
    }
    profile.writeInt("ZoomInfo", "ZoomType", 7);
    EXPECT_EQ(readZoomInfo(profile).type, ZoomType::FitImage);
    writeZoomInfo(profile, {ZoomType::ZoomLock, 3.0});
    EXPECT_EQ(profile.getString("ZoomInfo", "ZoomLevel", ""), "3.000000");
    EXPECT_EQ(profile.getInt("ZoomInfo", "ZoomType", -1), 4);

    // A view reads them at construction and writes them when destroyed.
    {
        auto view = viewertest::makeView(dir, QSize(200, 100));
        EXPECT_EQ(view->zoomType(), ZoomType::ZoomLock);
        EXPECT_EQ(view->zoom(), 3.0);
        view->OnZoomIn();  // without an image nothing happens
        EXPECT_EQ(view->zoom(), 3.0);
        view->OnFitWidth();
    }
    EXPECT_EQ(profile.getInt("ZoomInfo", "ZoomType", -1), 1);
}

TEST(ZoomSettings, DialogTextIsAWholePercentBetweenSevenAndSixteenHundred)
{
    EXPECT_EQ(parseZoomPercent("7"), 7);
    EXPECT_EQ(parseZoomPercent("1600"), 1600);
    EXPECT_EQ(parseZoomPercent(" 150%"), 150);
    EXPECT_FALSE(parseZoomPercent("5"));
    EXPECT_FALSE(parseZoomPercent("2000"));
    EXPECT_FALSE(parseZoomPercent("-100"));
    EXPECT_FALSE(parseZoomPercent("abc"));
    EXPECT_FALSE(parseZoomPercent(""));
}
