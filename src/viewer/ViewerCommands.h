#pragma once
// Command ids the viewer answers, the same numbers as the frame's menus and accelerators.
// Kept here so the viewer needs nothing from the frame.

namespace vcmd {

enum : int {
    // Files
    Save = 132,
    SaveAs = 1114,
    Open = 33089,
    Reopen = 33488,
    Close = 33539,
    Print = 33096,
    Delete = 33052,
    // Edit
    Undo = 33250,
    Redo = 33251,
    Cut = 33105,
    Copy = 33104,
    Paste = 33102,
    SelectAll = 33121,
    ClearSelection = 33374,
    SetBackgroundColor = 33372,
    CropToSelection = 33373,
    // Navigation
    Browse = 33263,
    NextImage = 33428,
    PreviousImage = 33429,
    FirstImage = 33430,
    LastImage = 33431,
    NextPage = 33518,
    PreviousPage = 33519,
    FirstPage = 33520,
    LastPage = 33521,
    QuickSlideShow = 33433,
    FullScreen = 33024,
    // Zoom
    ZoomIn = 33435,
    ZoomOut = 33040,
    ActualSize = 33033,
    FitImage = 33034,
    // Tools and selection
    PanTool = 33364,
    SelectTool = 33365,
    ZoomTool = 33366,
    SelFree = 33390,
    SelSameAsImage = 33391,
    SelRatio1x1 = 33398,
    SelRatio1x2 = 33399,
    SelRatio3x4 = 33401,
    SelRatio9x13 = 33402,
    SelRatio10x15 = 33403,
    SelRatio13x18 = 33404,
    SelRatio20x25 = 33405,
    SelPortrait = 33388,
    SelLandscape = 33389,
};

}  // namespace vcmd
