#include "viewer/ViewerNavigation.h"

#include "viewer/ImageSequence.h"
#include "viewer/ViewerCommands.h"

std::optional<int> imageStepTarget(int id, const ImageSequence* seq, const ViewedPosition& at)
{
    if (!seq)
        return std::nullopt;
    int target = -1;
    switch (id) {
    // From an item that could not be decoded too: Next and Previous are the way on.
    case vcmd::NextImage:
        if (at.listIndex >= 0)
            target = seq->nextImage(at.listIndex);
        break;
    case vcmd::PreviousImage:
        if (at.listIndex >= 0)
            target = seq->previousImage(at.listIndex);
        break;
    case vcmd::FirstImage:
        target = seq->nextImage(-1);
        break;
    case vcmd::LastImage:
        target = seq->previousImage(seq->itemCount());
        break;
    default:
        return std::nullopt;
    }
    if (target < 0 || ((id == vcmd::FirstImage || id == vcmd::LastImage) && target == at.listIndex))
        return std::nullopt;
    return target;
}

std::optional<int> pageStepTarget(int id, const ViewedPosition& at)
{
    if (!at.hasImage)
        return std::nullopt;
    int page = at.page;
    switch (id) {
    case vcmd::NextPage: page = at.page + 1; break;
    case vcmd::PreviousPage: page = at.page - 1; break;
    case vcmd::FirstPage: page = 0; break;
    case vcmd::LastPage: page = at.pageCount - 1; break;
    default: return std::nullopt;
    }
    if (page == at.page || page < 0 || page >= at.pageCount)
        return std::nullopt;
    return page;
}
