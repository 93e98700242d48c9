#include "CommandRouting.h"

#include "app/CommandIds.h"

#include <algorithm>
#include <initializer_list>

namespace {

struct Range {
    int first;
    int last;
    CommandRule rule;
};

bool oneOf(int id, std::initializer_list<int> ids)
{
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

// Ranges first, so single ids inside a range can be listed on their own below.
constexpr Range kRanges[] = {
    {cmd::ZoomLevelFirst, cmd::ZoomLevelLast, CommandRule::ImageViewAlways},
    {cmd::ThumbSizeFirst, cmd::ThumbSizeLast, CommandRule::BrowserOnly},
    {cmd::SortKeyFirst, cmd::SortBackward, CommandRule::BrowserOnly},
    {cmd::HistogramRed, cmd::HistogramGray, CommandRule::BrowserOnly},
    {cmd::SetWallpaperCenter, cmd::RestoreWallpaper, CommandRule::ListOrViewer},
    {cmd::EffectsFirst, cmd::EffectsLast, CommandRule::ImageOperation},
    {cmd::EffectsSecondFirst, cmd::EffectsSecondLast, CommandRule::ImageOperation},
    {cmd::SwapColorsFirst, cmd::SwapColorsLast, CommandRule::ImageOperation},
    {cmd::ColorDepthFirst, cmd::ColorDepthLast, CommandRule::ImageOperation},
    {cmd::JpegLosslessFirst, cmd::JpegLosslessLast, CommandRule::ImageOperation},
};

}  // namespace

CommandRule ruleFor(int id)
{
    using namespace cmd;
    if (oneOf(id, {ZoomIn, ZoomOut, ActualSize, FitImage, FitImageButton, FitWidth, FitHeight, ZoomLock,
                   ZoomTo, Undo, Redo, CropToSelection, SelFree, SelSameAsImage, Sel1x1, Sel1x2, Sel3x4,
                   Sel9x13, Sel10x15, Sel13x18, Sel20x25, SelPortrait, SelLandscape, QuickSlideShow}))
        return CommandRule::ViewerOnly;
    if (oneOf(id, {Cut, Copy, Paste, Delete, Rename, Properties, LocateOnDisk, NewFolder, AddToFavorites,
                   CopyToFolder, MoveToFolder}))
        return CommandRule::Focus;
    if (oneOf(id, {FullScreen, Print, OpenWithProgram, OpenWithEditor, SelectAll, ClearSelection,
                   InvertSelection, SlideShow, EmailImages}))
        return CommandRule::ListOrViewer;
    if (oneOf(id, {CopyImageToClipboard, SelectAllFiles, SelectAllImages, Export, Refresh}))
        return CommandRule::BrowserOnly;
    if (oneOf(id, {Browse, NextImage, PreviousImage, FirstImage, LastImage, NextPage, PreviousPage,
                   FirstPage, LastPage, Close}))
        return CommandRule::ImageViewAlways;
    if (oneOf(id, {Soften, Sharpen, EnhanceColors, AdjustHsl, VerticalFlip, HorizontalFlip, RotateLeft,
                   RotateRight, Rotate180, RedEyeReduction, CountColors, CustomRotation, Resize, CanvasSize,
                   SetDpi, AsciiArt}))
        return CommandRule::ImageOperation;
    if (oneOf(id, {Open, Save, SaveAs, Reopen, Back, Forward, Up, ToolBar, AddressBar, StatusBar, Histogram,
                   PanTool, SelectTool, ZoomTool, Clear, SetBackgroundColor, Exit, About, Website,
                   CheckForUpdates, ContactUs, Help, HelpButton, Sort}))
        return CommandRule::Frame;
    for (const Range& range : kRanges)
        if (id >= range.first && id <= range.last)
            return range.rule;
    return CommandRule::Unknown;
}

CommandTarget targetFor(int id, FrameMode mode, FocusPane focus)
{
    switch (ruleFor(id)) {
    case CommandRule::ViewerOnly:
        return mode == FrameMode::Viewer ? CommandTarget::ImageView : CommandTarget::None;
    case CommandRule::Focus:
        if (mode == FrameMode::Viewer)
            return CommandTarget::ImageView;
        if (mode != FrameMode::Browser)
            return CommandTarget::None;
        if (focus == FocusPane::FolderTree)
            return CommandTarget::FolderTree;
        // Favorites are added from the folder tree or the list, never from the favorites tree.
        if (focus == FocusPane::FavoritesTree && id != cmd::AddToFavorites)
            return CommandTarget::FavoritesTree;
        return CommandTarget::ThumbnailList;
    case CommandRule::ListOrViewer:
        if (mode == FrameMode::Browser)
            return CommandTarget::ThumbnailList;
        return mode == FrameMode::Viewer ? CommandTarget::ImageView : CommandTarget::Unchanged;
    case CommandRule::BrowserOnly:
        return mode == FrameMode::Browser ? CommandTarget::ThumbnailList : CommandTarget::None;
    case CommandRule::ImageViewAlways:
        return CommandTarget::ImageView;
    case CommandRule::ImageOperation:
        // In the browser the three rotations turn the selected files instead.
        if (mode == FrameMode::Browser
            && (id == cmd::RotateLeft || id == cmd::RotateRight || id == cmd::Rotate180))
            return CommandTarget::ThumbnailList;
        return CommandTarget::ImageOperations;
    case CommandRule::Frame:
        return CommandTarget::Frame;
    case CommandRule::Unknown:
        break;
    }
    return CommandTarget::None;
}
