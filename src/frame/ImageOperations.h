#pragma once
// The frame's dispatch of the commands that change the viewer's image (effects, and the size,
// canvas, rotation, resolution and depth commands): the frame carries out most of them on the
// viewer's image, and forwards the viewer's own (Negative, swaps, Solarize, flips, rotations)
// to the viewer while it is shown.
#include "frame/CommandRouting.h"

class CImageView;

namespace ImageOperations {

bool isEnabled(int id, FrameMode mode, const CImageView& view);
// False when the command is not one of these or did not apply.
bool run(int id, FrameMode mode, CImageView& view);

}  // namespace ImageOperations
