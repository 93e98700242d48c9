#include "browser/ThumbSettings.h"

#include "app/ProfileFile.h"

#include "TestFixtures.h"

#include <gtest/gtest.h>

TEST(CellMetrics, FollowTheThumbnailWidth)
{
    const auto m36 = cellMetricsFor(36);
    EXPECT_EQ(m36.cellWidth, 52);
    EXPECT_EQ(m36.cellHeight, 82);
    const auto m85 = cellMetricsFor(85);
    EXPECT_EQ(m85.cellWidth, 105);
    EXPECT_EQ(m85.cellHeight, 135);
    const auto m200 = cellMetricsFor(200);
    EXPECT_EQ(m200.cellWidth, 226);
    EXPECT_EQ(m200.cellHeight, 256);
    EXPECT_EQ(frameWidthFor(30), 1);
    EXPECT_EQ(frameWidthFor(31), 2);
    EXPECT_EQ(frameWidthFor(80), 2);
    EXPECT_EQ(frameWidthFor(120), 3);
    EXPECT_EQ(frameWidthFor(121), 4);
}

TEST(ThumbSettings, ReadClampsOutOfRangeValuesAndWritesDecimalText)
{
    fixtures::TempDir dir;
    fixtures::writeFile(dir.file("Config.ini"),
                        "[Thumb]\nThumbSizeWidth=500\nThumbSizeHeight=10\nSortType=9\nSortDirection=-3\n");
    ProfileFile file(dir.file("Config.ini"));
    ThumbSettings s = ThumbSettings::read(file);
    EXPECT_EQ(s.thumbWidth, 200);
    EXPECT_EQ(s.thumbHeight, 36);
    EXPECT_EQ(s.sortType, 4);
    EXPECT_EQ(s.sortDirection, 0);

    ProfileFile empty(dir.file("none.ini"));
    const ThumbSettings d = ThumbSettings::read(empty);
    EXPECT_EQ(d.thumbWidth, 85);
    EXPECT_EQ(d.sortType, 0);

    s.sortType = 2;
    s.write(file);
    EXPECT_EQ(file.getString("Thumb", "SortType", ""), "2");
    EXPECT_EQ(file.getString("Thumb", "ThumbSizeWidth", ""), "200");
}

TEST(ThumbSettings, SliderPositionsMapOntoTheSizeRange)
{
    EXPECT_EQ(thumbSizeFromSlider(0), 36);
    EXPECT_EQ(thumbSizeFromSlider(30), 85);  // 49.2 + 36 rounds to 85
    EXPECT_EQ(thumbSizeFromSlider(100), 200);
    EXPECT_EQ(thumbSizeFromSlider(150), 200);
}
