#include "app/CommandIds.h"
#include "frame/CommandRouting.h"

#include <gtest/gtest.h>

namespace {

using T = CommandTarget;

TEST(CommandRoutingTest, EachRuleByMode)
{
    const struct {
        int id;
        T browser;
        T viewer;
        T slideShow;
    } cases[] = {
        {cmd::ZoomIn, T::None, T::ImageView, T::None},
        {cmd::Undo, T::None, T::ImageView, T::None},
        {cmd::Delete, T::ThumbnailList, T::ImageView, T::None},
        {cmd::Print, T::ThumbnailList, T::ImageView, T::Unchanged},
        {cmd::SetWallpaperTile, T::ThumbnailList, T::ImageView, T::Unchanged},
        {cmd::Export, T::ThumbnailList, T::None, T::None},
        {cmd::ThumbSizeFirst + 3, T::ThumbnailList, T::None, T::None},
        {cmd::HistogramGray, T::ThumbnailList, T::None, T::None},
        {cmd::NextImage, T::ImageView, T::ImageView, T::ImageView},
        {cmd::ZoomLevelFirst + 5, T::ImageView, T::ImageView, T::ImageView},
        {cmd::Exit, T::Frame, T::Frame, T::Frame},
        {cmd::PanTool, T::Frame, T::Frame, T::Frame},
        {cmd::VerticalFlip, T::ImageOperations, T::ImageOperations, T::ImageOperations},
        {cmd::RotateLeft, T::ThumbnailList, T::ImageOperations, T::ImageOperations},
        {cmd::EffectsFirst + 2, T::ImageOperations, T::ImageOperations, T::ImageOperations},
        {cmd::ColorDepthLast, T::ImageOperations, T::ImageOperations, T::ImageOperations},
        {12345, T::None, T::None, T::None},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(targetFor(c.id, FrameMode::Browser, FocusPane::Other), c.browser) << c.id;
        EXPECT_EQ(targetFor(c.id, FrameMode::Viewer, FocusPane::Other), c.viewer) << c.id;
        EXPECT_EQ(targetFor(c.id, FrameMode::SlideShow, FocusPane::Other), c.slideShow) << c.id;
    }
}

TEST(CommandRoutingTest, FocusedTreesTakeFileCommandsInTheBrowser)
{
    for (int id : {cmd::Delete, cmd::Rename, cmd::Properties, cmd::CopyToFolder}) {
        EXPECT_EQ(targetFor(id, FrameMode::Browser, FocusPane::FolderTree), T::FolderTree) << id;
        EXPECT_EQ(targetFor(id, FrameMode::Browser, FocusPane::FavoritesTree), T::FavoritesTree) << id;
        EXPECT_EQ(targetFor(id, FrameMode::Viewer, FocusPane::FolderTree), T::ImageView) << id;
    }
    // Favorites are never added from the favorites tree itself.
    EXPECT_EQ(targetFor(cmd::AddToFavorites, FrameMode::Browser, FocusPane::FavoritesTree), T::ThumbnailList);
    EXPECT_EQ(targetFor(cmd::AddToFavorites, FrameMode::Browser, FocusPane::FolderTree), T::FolderTree);
}

}  // namespace
