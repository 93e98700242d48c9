#include "frame/StatusBarModel.h"

#include <gtest/gtest.h>

namespace {

using namespace StatusBarModel;

TEST(StatusBarModelTest, SliderMappings)
{
    EXPECT_DOUBLE_EQ(zoomFromSlider(50), 1.0);
    EXPECT_NEAR(zoomFromSlider(0), 0.07, 1e-12);
    EXPECT_DOUBLE_EQ(zoomFromSlider(100), 16.0);
    EXPECT_EQ(sliderFromZoom(1.0), 50);
    EXPECT_EQ(sliderFromZoom(16.0), 100);
    EXPECT_EQ(sliderFromZoom(20.0), 100);
    EXPECT_EQ(sliderFromZoom(0.05), 0);
    EXPECT_EQ(sliderFromZoom(0.07), 0);
    // Every position maps to a zoom that maps back to it.
    for (int p = 0; p <= 100; ++p)
        EXPECT_EQ(sliderFromZoom(zoomFromSlider(p)), p) << p;

    EXPECT_EQ(thumbnailSizeFromSlider(0), 36);
    EXPECT_EQ(thumbnailSizeFromSlider(100), 200);
    EXPECT_EQ(thumbnailSizeFromSlider(30), 85);  // 30 * 1.64 + 36 = 85.2
    EXPECT_EQ(sliderFromThumbnailSize(85), 30);
    EXPECT_EQ(sliderFromThumbnailSize(10), 0);
    EXPECT_EQ(sliderFromThumbnailSize(500), 100);
}

TEST(StatusBarModelTest, BrowserTexts)
{
    BrowserFacts f;
    f.itemCount = 12;
    f.totalSizeText = QStringLiteral("3.50 MB");
    f.folderName = QStringLiteral("Pictures");
    Panes panes = browserPanes(f);
    ASSERT_EQ(panes.size(), 5u);
    EXPECT_EQ(*panes[0], QStringLiteral("Total 12 objects (3.50 MB)"));
    EXPECT_EQ(*panes[1], QStringLiteral("Pictures"));
    EXPECT_FALSE(panes[2]) << "no modified date known";
    EXPECT_FALSE(panes[3]);
    EXPECT_FALSE(panes[4]);

    f.selectedCount = 1;
    f.selectedSizeText = QStringLiteral("120 bytes");
    f.hasFocusedItem = true;
    f.focusedName = QStringLiteral("cat.jpg");
    f.focusedSizeText = QStringLiteral("120 bytes");
    f.modified = QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7));
    panes = browserPanes(f);
    EXPECT_EQ(*panes[0], QStringLiteral("Selected 1 object (120 bytes)"));
    EXPECT_EQ(*panes[1], QStringLiteral("cat.jpg"));
    EXPECT_EQ(*panes[2], QStringLiteral("Modified Date: 2026-03-04 05:06:07"));
    EXPECT_FALSE(panes[4]) << "the pixel size is not known yet";
    f.width = 640;
    f.height = 480;
    EXPECT_EQ(*browserPanes(f)[4], QStringLiteral("640x480"));
    f.selectedCount = 3;
    f.selectedSizeText = QStringLiteral("2.00 MB");
    EXPECT_EQ(*browserPanes(f)[0], QStringLiteral("Selected 3 objects (2.00 MB)"));
    f.selectedCount = 0;
    f.itemCount = 1;
    f.totalSizeText = QStringLiteral("5 bytes");
    EXPECT_EQ(*browserPanes(f)[0], QStringLiteral("Total 1 object (5 bytes)"));
}

TEST(StatusBarModelTest, ViewerTextsAndPaneWidths)
{
    ViewerFacts f;
    f.ordinal = 3;
    f.imageCount = 12;
    f.fileName = QStringLiteral("a.png");
    f.sizeText = QStringLiteral("1.00 KB");
    f.width = 1024;
    f.height = 768;
    f.bpp = 24;
    f.cursorX = 120;
    f.cursorY = 45;
    f.zoom = 0.375;
    Panes panes = viewerPanes(f);
    EXPECT_EQ(*panes[0], QStringLiteral("3/12"));
    EXPECT_EQ(*panes[3], QStringLiteral("1024x768x24b"));
    EXPECT_EQ(*panes[4], QStringLiteral("X:120, Y:45"));
    EXPECT_EQ(*panes[5], QStringLiteral("38%"));
    f.selection = QSize(300, 200);
    EXPECT_EQ(*viewerPanes(f)[4], QStringLiteral("X:120, Y:45 - 300x200"));

    EXPECT_EQ(paneWidths({100, std::nullopt, 80, 50}, 150), (std::vector<int>{100, 0, 50, 0}));
    EXPECT_EQ(paneWidths({10, 20}, -5), (std::vector<int>{0, 0}));
}

// A JPEG opened reduced for the memory budget: the format, cursor and selection texts give
// the file's own pixels, not the reduced image's.
TEST(StatusBarModelTest, ViewerTextsOfAReducedImageGiveTheFilesSize)
{
    const struct {
        QSize shown;
        QSize full;
        const char* format;
        const char* cursor;
    } cases[] = {
        {QSize(1000, 750), QSize(), "1000x750x24b", "X:120, Y:45 - 300x200"},
        {QSize(1000, 750), QSize(1000, 750), "1000x750x24b", "X:120, Y:45 - 300x200"},
        {QSize(1000, 750), QSize(8000, 6000), "8000x6000x24b", "X:960, Y:360 - 2400x1600"},
        {QSize(8188, 8188), QSize(65500, 65500), "65500x65500x24b", "X:959, Y:359 - 2399x1599"},
    };
    for (const auto& c : cases) {
        ViewerFacts f;
        f.width = c.shown.width();
        f.height = c.shown.height();
        f.fullSize = c.full;
        f.bpp = 24;
        f.cursorX = 120;
        f.cursorY = 45;
        f.selection = QSize(300, 200);
        const Panes panes = viewerPanes(f);
        EXPECT_EQ(*panes[3], QString::fromLatin1(c.format));
        EXPECT_EQ(*panes[4], QString::fromLatin1(c.cursor));
    }
}

}  // namespace
