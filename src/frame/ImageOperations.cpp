#include "frame/ImageOperations.h"

#include "imaging/commands/EffectCommands.h"
#include "imaging/geometry/GeometryCommands.h"
#include "viewer/CImageView.h"
#include "viewer/ViewerEditTarget.h"

#include <optional>

namespace ImageOperations {

bool isEnabled(int id, FrameMode mode, const CImageView& view)
{
    if (effects::handledByViewer(id)) {
        if (mode != FrameMode::Viewer)
            return false;
        bool enabled = false;
        std::optional<bool> checked;
        view.OnUpdateCommand(id, enabled, checked);
        return enabled;
    }
    if (effects::handles(id))
        return effects::isEnabled(id, view.image(), mode == FrameMode::Viewer);
    if (geometry::handles(id))
        return geometry::isEnabled(id, view.image(), mode == FrameMode::Viewer);
    return false;
}

bool run(int id, FrameMode mode, CImageView& view)
{
    if (!isEnabled(id, mode, view))
        return false;
    if (effects::handledByViewer(id))
        return view.OnCommand(id);
    if (effects::handles(id)) {
        ViewerEditTarget target(view);
        return effects::run(id, target);
    }
    if (geometry::handles(id)) {
        ViewerEditTarget target(view);
        return geometry::run(id, target);
    }
    return false;
}

}  // namespace ImageOperations
