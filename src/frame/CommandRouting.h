#pragma once
// Which window carries out a command, by the frame's mode and the pane with the keyboard
// focus. Every menu item, accelerator and tool-bar button reaches the frame first; this
// decides where it goes, and the enabled and checked states are asked of the same target.

#include <cstdint>

enum class FrameMode { Browser = 0, Viewer = 1, SlideShow = 2 };

// How a command is routed.
enum class CommandRule {
    ViewerOnly,       // the image view in viewer mode; disabled elsewhere
    Focus,            // the focused tree or the list in browser mode; the image view in viewer mode
    ListOrViewer,     // the list in browser mode, the image view in viewer mode
    BrowserOnly,      // the list in browser mode; disabled elsewhere
    ImageViewAlways,  // the image view in every mode
    ImageOperation,   // pixel, size and depth commands on the viewer's image
    Frame,            // the frame itself
    Unknown,
};

enum class FocusPane { Other, FolderTree, FavoritesTree };

enum class CommandTarget {
    None,             // disabled and ignored in this mode
    Unchanged,        // ignored, and the item is left as it is
    Frame,
    ImageView,
    ThumbnailList,
    FolderTree,
    FavoritesTree,
    ImageOperations,  // the frame's handlers that change the viewer's image
};

CommandRule ruleFor(int commandId);
CommandTarget targetFor(int commandId, FrameMode mode, FocusPane focus);
