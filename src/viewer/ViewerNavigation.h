#pragma once
// Where the viewer's step commands go, and whether they may go at all: the image and page
// steps, decided from the folder's list and the viewed image without a window.
#include <optional>

class ImageSequence;

struct ViewedPosition {
    bool hasImage = false;
    int listIndex = -1;
    int page = 0;
    int pageCount = 0;
};

// The list index an image step (Next, Previous, First, Last) leads to, or nothing when the
// command is disabled.
std::optional<int> imageStepTarget(int commandId, const ImageSequence* sequence, const ViewedPosition& at);
// The page a page step leads to, or nothing when disabled.
std::optional<int> pageStepTarget(int commandId, const ViewedPosition& at);
